#!/usr/bin/env bash
# Builds the datagram fuzz target with clang, libFuzzer and AddressSanitizer
# and runs it from the seed corpus: scripts/fuzz.sh [BUILD_DIR] [RUNS].
# RUNS inputs (default 500,000: about a minute on two idle cores), or at most
# VIMBREL_FUZZ_SECONDS (default 90) of running; any crash or broken check fails and leaves the input in
# BUILD_DIR. New inputs go to BUILD_DIR/corpus, never into the tree.
set -euo pipefail
top=$(cd "$(dirname "$0")/.." && pwd)
dir=${1:-$top/build-fuzz}
runs=${2:-500000}
seconds=${VIMBREL_FUZZ_SECONDS:-90}

CC=clang-14 CXX=clang++-14 cmake -S "$top" -B "$dir" -DCMAKE_BUILD_TYPE=RelWithDebInfo \
  -DVIMBREL_FUZZ=ON -DVIMBREL_SANITIZE= >/dev/null
cmake --build "$dir" -j"$(nproc)" --target vimbrel_datagram_fuzzer

mkdir -p "$dir/corpus"
cd "$dir"
ASAN_OPTIONS=detect_leaks=1 UBSAN_OPTIONS=print_stacktrace=1 \
  ./fuzz/vimbrel_datagram_fuzzer -runs="$runs" -max_total_time="$seconds" -max_len=512 \
    -print_final_stats=1 corpus "$top/fuzz/corpus/datagram"
