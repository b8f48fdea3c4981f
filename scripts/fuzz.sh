#!/usr/bin/env bash
# Builds the datagram fuzz target with clang, libFuzzer and AddressSanitizer
# and runs it from the seed corpus: scripts/fuzz.sh [BUILD_DIR] [RUNS].
# RUNS inputs (default 200,000: about a minute on an idle core), or at most
# VIMBREL_FUZZ_SECONDS (default 120) of running; any crash or broken check fails and leaves the input in
# BUILD_DIR. New inputs go to BUILD_DIR/corpus, never into the tree.
set -euo pipefail
top=$(cd "$(dirname "$0")/.." && pwd)
dir=${1:-$top/build-fuzz}
runs=${2:-200000}
seconds=${VIMBREL_FUZZ_SECONDS:-120}

# shellcheck source=scripts/cache-env.sh
. "$top/scripts/cache-env.sh"
CC=clang-14 CXX=clang++-14 cmake -S "$top" -B "$dir" -DCMAKE_BUILD_TYPE=RelWithDebInfo \
  -DVIMBREL_FUZZ=ON -DVIMBREL_GUI=OFF -DVIMBREL_SANITIZE= "${compiler_launcher[@]}" >/dev/null
cmake --build "$dir" -j"$(nproc)" --target vimbrel_datagram_fuzzer

mkdir -p "$dir/corpus"
cd "$dir"
# A small quarantine lets freed memory be reused instead of faulting in
# fresh pages (twice the inputs per second, a sixth of the memory); reads
# past the given bytes still hit the redzones.
ASAN_OPTIONS=detect_leaks=1:quarantine_size_mb=16:malloc_context_size=5 UBSAN_OPTIONS=print_stacktrace=1 \
  ./fuzz/vimbrel_datagram_fuzzer -runs="$runs" -max_total_time="$seconds" -max_len=512 \
    -print_final_stats=1 corpus "$top/fuzz/corpus/datagram"
