#!/bin/sh
# Builds the library, the MIDI output (WinMM backend), the command-line tools and the unit tests
# of all of them for 64-bit Windows with the MinGW-w64 cross compiler, GoogleTest included from
# Debian's sources. scripts/wine-test.sh runs the result under Wine.
#
# Usage: scripts/cross-build-windows.sh [build folder]   (default: build-windows)
set -eu

root=$(cd "$(dirname "$0")/.." && pwd)
build=${1:-"$root/build-windows"}

cmake -S "$root" -B "$build" -G Ninja \
    -DCMAKE_TOOLCHAIN_FILE="$root/cmake/mingw-w64-x86_64.cmake" \
    -DCMAKE_BUILD_TYPE=RelWithDebInfo \
    -DPATCHFERRY_BUILD_APP=OFF \
    -DPATCHFERRY_BUILD_TESTS=ON \
    -DPATCHFERRY_BUILD_BENCH=OFF \
    -DPATCHFERRY_WERROR=ON
cmake --build "$build" -j"$(nproc)"
