#!/usr/bin/env bash
# Configures and builds one variant: scripts/build.sh [DIR] [SANITIZER]
# SANITIZER is empty, "address" or "thread".
set -euo pipefail
top=$(cd "$(dirname "$0")/.." && pwd)
dir=${1:-$top/build}
sanitize=${2:-}
cmake -S "$top" -B "$dir" -DCMAKE_BUILD_TYPE=RelWithDebInfo -DVIMBREL_SANITIZE="$sanitize" >/dev/null
cmake --build "$dir" -j"$(nproc)"
