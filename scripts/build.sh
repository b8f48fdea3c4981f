#!/usr/bin/env bash
# Configures and builds one variant: scripts/build.sh [DIR] [SANITIZER] [TARGET...]
# SANITIZER is empty, "address" or "thread"; no TARGET builds everything.
# VIMBREL_BUILD_OPTIONS adds options to CMake's (e.g. -DVIMBREL_GUI=OFF).
set -euo pipefail
top=$(cd "$(dirname "$0")/.." && pwd)
dir=${1:-$top/build}
sanitize=${2:-}
shift $(( $# < 2 ? $# : 2 ))
# shellcheck source=scripts/cache-env.sh
. "$top/scripts/cache-env.sh"
cmake -S "$top" -B "$dir" -DCMAKE_BUILD_TYPE=RelWithDebInfo -DVIMBREL_SANITIZE="$sanitize" \
  ${VIMBREL_BUILD_OPTIONS:-} "${compiler_launcher[@]}" >/dev/null
targets=()
for t in "$@"; do targets+=(--target "$t"); done
cmake --build "$dir" -j"$(nproc)" "${targets[@]}"
