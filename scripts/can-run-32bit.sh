#!/usr/bin/env bash
# Exits 0 when this machine runs 32-bit x86 programs, 1 when it does not.
#
# Decided by trying: it writes a 96-byte 32-bit x86 Linux program that exits
# with 42 through the i386 system call gate and runs it. Kernels built
# without 32-bit support refuse it with "Exec format error"; where it runs,
# a 32-bit Wine can run too. Needs nothing but bash.
set -uo pipefail

program=$(mktemp "${TMPDIR:-/tmp}/flowball-i386.XXXXXX")
trap 'rm -f "$program"' EXIT

# ELF header (52 bytes), one loadable segment at 0x08048000 (32 bytes), and
# the code: mov eax, 1 (exit); mov ebx, 42; int 0x80.
printf '%b' \
    '\x7fELF\x01\x01\x01\x00\x00\x00\x00\x00\x00\x00\x00\x00' \
    '\x02\x00\x03\x00\x01\x00\x00\x00\x54\x80\x04\x08\x34\x00\x00\x00' \
    '\x00\x00\x00\x00\x00\x00\x00\x00\x34\x00\x20\x00\x01\x00\x00\x00' \
    '\x00\x00\x00\x00' \
    '\x01\x00\x00\x00\x00\x00\x00\x00\x00\x80\x04\x08\x00\x80\x04\x08' \
    '\x60\x00\x00\x00\x60\x00\x00\x00\x05\x00\x00\x00\x00\x10\x00\x00' \
    '\xb8\x01\x00\x00\x00\xbb\x2a\x00\x00\x00\xcd\x80' >"$program"
chmod +x "$program"

"$program" 2>/dev/null
status=$?
if ((status == 42)); then
    exit 0
fi
exit 1
