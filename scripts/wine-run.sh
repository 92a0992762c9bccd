#!/usr/bin/env bash
# Runs a 32-bit Windows program under Wine for the tests and for CMake:
#
#   wine-run.sh PROGRAM.exe [ARGS...]
#
# The prefix and the display belong to the build folder that holds PROGRAM
# (the nearest folder above it with a CMakeCache.txt); see wine-session.sh.
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
export WINEDEBUG=-all
export WINEDLLOVERRIDES="mscoree,mshtml="
DISPLAY=$("$(dirname "${BASH_SOURCE[0]}")/wine-session.sh" start "$build_dir")
export DISPLAY

# Wine itself now and then dies of SIGSEGV as a program exits, after the
# program has done its work and printed its result (seen about once in a few
# hundred test runs on a loaded machine). That one case runs once more, and
# says so; any other failure is the program's and stands.
status=0
wine "$@" || status=$?
if ((status == 128 + 11)); then
    echo "wine-run: wine died of SIGSEGV running $1; running it once more" >&2
    status=0
    wine "$@" || status=$?
fi
exit "$status"
