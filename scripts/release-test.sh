#!/usr/bin/env bash
# Builds and tests Patchferry on another Debian release, in a minbase system of that release
# made with debootstrap and entered with chroot: the project's own installer, a build with
# warnings as errors (its GCC), the unit and GUI tests, the fuzz targets built with its clang and
# run briefly, and the release's own package, installed on a second, fresh minbase system of
# the release (package-check-fresh.sh). The Windows cross build, Wine and the VM stay with the
# host.
#
# The build system is kept in the build folder (build/debian/<release>-build) between runs on
# the same machine, so that a second run builds only what changed; a fresh clone makes it anew.
#
# usage: release-test.sh <release>     (for example trixie)
set -euo pipefail
cd "$(dirname "$0")/.."
source scripts/lib/debian-root.sh
release=$1
root="$DEBIAN_ROOTS/$release-build"
jobs=$(nproc)
start=$SECONDS

step() { printf -- '-- %s (%d s)\n' "$*" $((SECONDS - start)); }
trap debian_root_leave EXIT

if [[ ! -x "$root/usr/bin/apt-get" ]]; then
    step "making the build system"
    debian_root_fresh "$release" "$root"
fi
debian_root_enter "$root"

# The sources as they are in the work tree (tracked and new files), in place of the last run's.
step "copying the sources"
rm -rf "$root/src" && mkdir -p "$root/src"
git ls-files -z --cached --others --exclude-standard | tar -c --null -T - -f - | tar -x -C "$root/src"

# What this stage runs there: the build, the tests with the desktop one, the package. The
# Windows and VM groups stay with the host.
step "installing the build packages with the project's installer"
debian_run "$root" sh -c 'apt-get update -qq' >/dev/null
debian_run "$root" /src/scripts/install-deps.sh build desktop package >"$DEBIAN_ROOTS/$release-install.log" 2>&1 ||
    { tail -n 30 "$DEBIAN_ROOTS/$release-install.log" >&2; echo "FAIL: the installer failed on Debian $release" >&2; exit 1; }
# shellcheck disable=SC2016 # expanded by the shell inside
debian_run "$root" sh -c 'echo "  $(. /etc/os-release; echo "$PRETTY_NAME"), $(g++ --version | head -n 1),
  $(clang --version | head -n 1), Qt $(dpkg-query -W -f="\${Version}" qt6-base-dev)"'

step "building with warnings as errors"
debian_run "$root" sh -c "cmake -S /src -B /build -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo \
    -DPATCHFERRY_WERROR=ON >/dev/null && cmake --build /build -j$jobs" >"$DEBIAN_ROOTS/$release-build.log" 2>&1 ||
    { grep -E 'error|warning' "$DEBIAN_ROOTS/$release-build.log" | head -n 40 >&2; tail -n 20 "$DEBIAN_ROOTS/$release-build.log" >&2
      echo "FAIL: the build failed on Debian $release" >&2; exit 1; }

step "running the tests"
# All of them, the real window on Xvfb with openbox (window_desktop_test) included.
if ! debian_run "$root" sh -c "QT_QPA_PLATFORM=offscreen ctest --test-dir /build -j$jobs --output-on-failure" \
    >"$DEBIAN_ROOTS/$release-ctest.log" 2>&1; then
    grep -vE '^\s+(Start|[0-9]+/[0-9]+ Test .*Passed)' "$DEBIAN_ROOTS/$release-ctest.log" | tail -n 80 >&2
    echo "FAIL: tests failed on Debian $release" >&2
    exit 1
fi
tail -n 3 "$DEBIAN_ROOTS/$release-ctest.log"

step "building the fuzz targets with clang"
debian_run "$root" sh -c "cd /src && scripts/fuzz.sh 5" | tail -n 3

step "making the package"
rm -f "$root"/build/patchferry_*.deb
debian_run "$root" sh -c "cd /build && cpack -G DEB >/dev/null"
deb=$(ls "$root"/build/patchferry_*.deb)
debian_root_leave
trap - EXIT
scripts/package-check-fresh.sh "$release" "$deb"
cp "$deb" "$DEBIAN_ROOTS/"
step "Debian $release passed; its package: build/debian/$(basename "$deb")"
