#!/usr/bin/env bash
# Builds the libFuzzer target of the SysEx reader with clang and the sanitizers, seeds it with
# valid dumps of each kind, and fuzzes for the given number of seconds (default 30).
set -euo pipefail
cd "$(dirname "$0")/.."
seconds=${1:-30}
CC=clang CXX=clang++ cmake -S . -B build-fuzz -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo \
  -DPATCHFERRY_FUZZ=ON -DPATCHFERRY_BUILD_APP=OFF -DPATCHFERRY_BUILD_BENCH=OFF \
  -DPATCHFERRY_BUILD_TOOLS=OFF -DPATCHFERRY_BUILD_TESTS=ON -DPATCHFERRY_WERROR=ON >/dev/null
cmake --build build-fuzz -j"$(nproc)" --target syx_reader_fuzz make_fuzz_seeds
corpus=$(mktemp -d)
trap 'rm -rf "$corpus"' EXIT
build-fuzz/tests/fuzz/make_fuzz_seeds "$corpus"
build-fuzz/tests/fuzz/syx_reader_fuzz -max_total_time="$seconds" -max_len=40000 \
  -print_final_stats=1 "$corpus" 2>&1 | tail -n 12
