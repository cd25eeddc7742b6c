#!/usr/bin/env bash
# Builds the libFuzzer targets with clang, the sanitizers and coverage everywhere, and runs each
# for a bounded time from its seeds: the SysEx reader (the given number of seconds, default 30),
# the receiver of answers from a MIDI input (half that), and the converter with the Radias dump
# builder, the device inquiry reader and the command line (a sixth each, at least 5 s).
#
# To run one target longer, build as here and run it on its own, e.g. for ten minutes:
#   build-fuzz/tests/fuzz/make_fuzz_seeds /tmp/seeds
#   build-fuzz/tests/fuzz/converter_fuzz -max_total_time=600 /tmp/seeds/converter
set -euo pipefail
cd "$(dirname "$0")/.."
seconds=${1:-30}
short=$(((seconds + 5) / 6))
((short < 5)) && short=5
targets=(syx_reader_fuzz program_receiver_fuzz converter_fuzz device_inquiry_fuzz cli_fuzz)
CC=clang CXX=clang++ cmake -S . -B build-fuzz -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo \
  -DPATCHFERRY_FUZZ=ON -DPATCHFERRY_BUILD_APP=OFF -DPATCHFERRY_BUILD_BENCH=OFF \
  -DPATCHFERRY_BUILD_TOOLS=ON -DPATCHFERRY_BUILD_TESTS=ON -DPATCHFERRY_WERROR=ON >/dev/null
cmake --build build-fuzz -j"$(nproc)" --target "${targets[@]}" make_fuzz_seeds
mkdir -p build-fuzz/artifacts
corpus=$(mktemp -d)
trap 'rm -rf "$corpus"' EXIT
build-fuzz/tests/fuzz/make_fuzz_seeds "$corpus"
# target, seconds, longest input, seeds
run() {
  echo "== $1 for $2 s"
  build-fuzz/tests/fuzz/"$1" -max_total_time="$2" -max_len="$3" -print_final_stats=1 \
    -artifact_prefix="$PWD/build-fuzz/artifacts/" \
    "$corpus/$4" 2>&1 | tail -n 12
}
run syx_reader_fuzz "$seconds" 40000 reader
run program_receiver_fuzz "$(((seconds + 1) / 2))" 40000 receiver
run converter_fuzz "$short" 255 converter
run device_inquiry_fuzz "$short" 200 inquiry
run cli_fuzz "$short" 400 cli
