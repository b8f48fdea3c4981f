#!/usr/bin/env bash
# Formats the tracked C++ files with clang-format-14 (Debian's), or with
# --check only reports the files that differ and fails if any does.
set -euo pipefail
top=$(cd "$(dirname "$0")/.." && pwd)
cd "$top"
mapfile -t files < <(git ls-files '*.cpp' '*.h')
if [ "${1:-}" = "--check" ]; then
  bad=()
  for f in "${files[@]}"; do
    clang-format-14 --dry-run -Werror "$f" >/dev/null 2>&1 || bad+=("$f")
  done
  if [ ${#bad[@]} -gt 0 ]; then
    echo "format: not formatted (run scripts/format.sh): ${bad[*]}" >&2
    exit 1
  fi
  echo "format: ${#files[@]} files formatted"
else
  clang-format-14 -i "${files[@]}"
fi
