#!/usr/bin/env bash
# Sets everything up on a fresh Debian 12 or 13 machine, builds Patchferry and runs every test:
# the unit and GUI tests, the same tests again under AddressSanitizer and
# UndefinedBehaviorSanitizer, bounded fuzzing runs of everything that reads outside bytes, and
# the further checks below. Stops at the first failure.
set -euo pipefail
cd "$(dirname "$0")/.."
jobs=$(nproc)
export QT_QPA_PLATFORM=offscreen

step() { printf '\n==== %s ====\n' "$*"; }

step "Installing build packages"
scripts/install-deps.sh

step "Build and test"
cmake -S . -B build -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DPATCHFERRY_WERROR=ON
cmake --build build -j"$jobs"
ctest --test-dir build --output-on-failure -j"$jobs"

step "Build and test with AddressSanitizer and UndefinedBehaviorSanitizer"
cmake -S . -B build-asan -G Ninja -DCMAKE_BUILD_TYPE=Debug -DPATCHFERRY_SANITIZE=ON \
  -DPATCHFERRY_BUILD_BENCH=OFF -DPATCHFERRY_WERROR=ON
cmake --build build-asan -j"$jobs"
ASAN_OPTIONS=detect_leaks=1:abort_on_error=1 \
  LSAN_OPTIONS=suppressions="$PWD/scripts/lsan.supp":print_suppressions=0 \
  UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1 \
  ctest --test-dir build-asan --output-on-failure -j"$jobs"

step "Fuzzing the readers of outside bytes"
scripts/fuzz.sh 30

# ---- further checks (one line each) ----
if [ -x scripts/cross-build-windows.sh ]; then step "Windows cross build"; scripts/cross-build-windows.sh; fi
if [ -x scripts/wine-test.sh ]; then step "Windows tests under Wine"; scripts/wine-test.sh; fi
if [ -x scripts/package-test.sh ]; then step "Package"; scripts/package-test.sh; fi
if [ -x scripts/vm-midi-test.sh ]; then step "MIDI on a real kernel in a VM"; scripts/vm-midi-test.sh; fi
# The other supported Debian release, in a debootstrap'd system: build, tests and its package.
for release in bookworm trixie; do
  [ "$release" = "$(. /etc/os-release && echo "$VERSION_CODENAME")" ] && continue
  step "Debian $release"; scripts/release-test.sh "$release"
done

step "All tests passed"
