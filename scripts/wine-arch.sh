#!/usr/bin/env bash
# Prints the Wine prefix architecture (win32 or win64) of a Windows build
# folder, as its CMake cache records it: wine-arch.sh BUILD_DIR
set -euo pipefail
arch=$(sed -n 's/^FLOWBALL_WINEARCH:INTERNAL=//p' "$1/CMakeCache.txt" 2>/dev/null || true)
if [[ $arch != win32 && $arch != win64 ]]; then
    echo "wine-arch: $1 is not a configured Windows build folder" >&2
    exit 2
fi
echo "$arch"
