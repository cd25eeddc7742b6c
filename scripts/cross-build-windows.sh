#!/bin/sh
# Builds Patchferry for 64-bit Windows with the MinGW-w64 cross compiler: the window against Qt for
# Windows, patchferry-cli, the WinMM MIDI backend and the unit and Qt tests of all of them
# (GoogleTest compiled from Debian's sources), then the installer and the portable zip
# (scripts/windows-packages.sh). scripts/wine-test.sh runs the result under Wine.
#
# Usage: scripts/cross-build-windows.sh [build folder]   (default: build-windows)
# Qt for Windows is taken from $PATCHFERRY_QT_WINDOWS (default: shared/qt-windows/
# qt-6.4.2-mingw64 beside the clone); its host tools (moc, rcc, uic) are Debian's, of the same Qt
# version.
set -eu

root=$(cd "$(dirname "$0")/.." && pwd)
build=${1:-"$root/build-windows"}
qt=${PATCHFERRY_QT_WINDOWS:-$root/../shared/qt-windows/qt-6.4.2-mingw64}
# A path with ".." in it is not re-rooted as a find root: give CMake the plain one.
qt=$(realpath -m "$qt")
[ -f "$qt/lib/cmake/Qt6/Qt6Config.cmake" ] || {
  echo "cross-build-windows: no Qt for Windows in $qt (set PATCHFERRY_QT_WINDOWS)" >&2
  exit 1
}

# Qt's moc, rcc and uic write code for their own Qt version: the window can be cross-built only
# with Debian's host tools of the same version as Qt for Windows (Debian 12's 6.4.2). Elsewhere
# (Debian 13 has 6.8) the window and its installer are left out and said so; the rest is built.
qt_version() { sed -n 's/^set(PACKAGE_VERSION "\([0-9.]*\)")$/\1/p' "$1/Qt6ConfigVersionImpl.cmake" 2>/dev/null; }
windows_qt=$(qt_version "$qt/lib/cmake/Qt6")
host_qt=$(qt_version /usr/lib/x86_64-linux-gnu/cmake/Qt6)
app=ON
if [ "$windows_qt" != "$host_qt" ]; then
  app=OFF
  echo "cross-build-windows: Qt for Windows is $windows_qt but this machine's Qt tools are" \
    "${host_qt:-missing}: building without the window and its installer" >&2
fi

cmake -S "$root" -B "$build" -G Ninja \
    -DPATCHFERRY_BUILD_APP=$app \
    -DCMAKE_TOOLCHAIN_FILE="$root/cmake/mingw-w64-x86_64.cmake" \
    -DCMAKE_BUILD_TYPE=RelWithDebInfo \
    -DCMAKE_PREFIX_PATH="$qt" \
    -DQT_HOST_PATH=/usr -DQT_HOST_PATH_CMAKE_DIR=/usr/lib/x86_64-linux-gnu/cmake \
    -DPATCHFERRY_BUILD_TESTS=ON \
    -DPATCHFERRY_BUILD_BENCH=OFF \
    -DPATCHFERRY_WERROR=ON
cmake --build "$build" -j"$(nproc)"
if [ "$app" = ON ]; then
  "$root/scripts/windows-packages.sh" "$build"
fi
