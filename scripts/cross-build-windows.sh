#!/bin/sh
# Builds the library, the MIDI output (WinMM backend) and, when present, the command-line tools
# for 64-bit Windows with the MinGW-w64 cross compiler, so that the Windows code at least compiles
# and links. Nothing of it can run here.
#
# Usage: scripts/cross-build-windows.sh [build folder]   (default: build-windows)
set -eu

root=$(cd "$(dirname "$0")/.." && pwd)
build=${1:-"$root/build-windows"}

cmake -S "$root" -B "$build" -G Ninja \
    -DCMAKE_TOOLCHAIN_FILE="$root/cmake/mingw-w64-x86_64.cmake" \
    -DCMAKE_BUILD_TYPE=RelWithDebInfo \
    -DPATCHFERRY_BUILD_APP=OFF \
    -DPATCHFERRY_BUILD_TESTS=OFF \
    -DPATCHFERRY_BUILD_BENCH=OFF
cmake --build "$build" -j2
