#!/usr/bin/env bash
# Builds the libFuzzer targets with clang and the sanitizers: the SysEx reader, seeded with valid
# dumps of each kind, and the receiver of answers from a MIDI input, seeded with whole answers.
# Fuzzes the reader for the given number of seconds (default 30) and the receiver for half that.
set -euo pipefail
cd "$(dirname "$0")/.."
seconds=${1:-30}
CC=clang CXX=clang++ cmake -S . -B build-fuzz -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo \
  -DPATCHFERRY_FUZZ=ON -DPATCHFERRY_BUILD_APP=OFF -DPATCHFERRY_BUILD_BENCH=OFF \
  -DPATCHFERRY_BUILD_TOOLS=OFF -DPATCHFERRY_BUILD_TESTS=ON -DPATCHFERRY_WERROR=ON >/dev/null
cmake --build build-fuzz -j"$(nproc)" --target syx_reader_fuzz program_receiver_fuzz make_fuzz_seeds
corpus=$(mktemp -d)
trap 'rm -rf "$corpus"' EXIT
mkdir "$corpus/reader" "$corpus/receiver"
build-fuzz/tests/fuzz/make_fuzz_seeds "$corpus/reader" "$corpus/receiver"
build-fuzz/tests/fuzz/syx_reader_fuzz -max_total_time="$seconds" -max_len=40000 \
  -print_final_stats=1 "$corpus/reader" 2>&1 | tail -n 12
build-fuzz/tests/fuzz/program_receiver_fuzz -max_total_time="$(((seconds + 1) / 2))" -max_len=40000 \
  -print_final_stats=1 "$corpus/receiver" 2>&1 | tail -n 12
