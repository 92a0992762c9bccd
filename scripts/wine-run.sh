#!/usr/bin/env bash
# Runs a Windows program of one of our builds under Wine, for the tests and
# for CMake:
#
#   wine-run.sh PROGRAM.exe [ARGS...]
#
# The prefix and the display belong to the build folder that holds PROGRAM
# (the nearest folder above it with a CMakeCache.txt), whose cache says
# whether the prefix is a 32-bit or a 64-bit one; see wine-session.sh.
# The exit code is the program's. A fault of the Windows program comes back
# as its exception code; only Wine itself dies of a signal.
set -euo pipefail

if [[ $# -lt 1 ]]; then
    echo "usage: $0 PROGRAM.exe [ARGS...]" >&2
    exit 2
fi

build_dir=$(cd "$(dirname "$1")" && pwd)
while [[ ! -f $build_dir/CMakeCache.txt ]]; do
    if [[ $build_dir == / ]]; then
        echo "wine-run: $1 is not inside a CMake build folder" >&2
        exit 2
    fi
    build_dir=$(dirname "$build_dir")
done

export WINEPREFIX=${WINEPREFIX:-$build_dir/wineprefix}
WINEARCH=$("$(dirname "${BASH_SOURCE[0]}")/wine-arch.sh" "$build_dir")
export WINEARCH
export WINEDEBUG=-all
export WINEDLLOVERRIDES="mscoree,mshtml="
DISPLAY=$("$(dirname "${BASH_SOURCE[0]}")/wine-session.sh" start "$build_dir")
export DISPLAY

exec wine "$@"
