#!/usr/bin/env bash
# Runs clang-tidy (the checks in .clang-tidy) over the product code:
# scripts/tidy.sh [BUILD_DIR]. Configures BUILD_DIR for its compilation
# database (nothing is built) and fails on any finding. Tests, benchmarks
# and generated sources are not checked.
set -euo pipefail
top=$(cd "$(dirname "$0")/.." && pwd)
dir=${1:-$top/build-tidy}
tidy=clang-tidy-14

command -v "$tidy" >/dev/null || {
  echo "tidy: $tidy is missing (Debian package clang-tidy-14)" >&2
  exit 1
}
cmake -S "$top" -B "$dir" -DCMAKE_BUILD_TYPE=RelWithDebInfo -DCMAKE_EXPORT_COMPILE_COMMANDS=ON >/dev/null
dir=$(cd "$dir" && pwd)

# Product sources only; platform/win is not in a Linux compilation database.
folders="(app|cli|controls|controls_ui|operations|operations_ui|protocol|platform|res|session|tools)"
product="$top/${folders}/"
# Headers are reached through each library's folder of links in the build
# tree (cmake/folder_exports.cmake), or from beside their source.
headers="^(${top}|${dir}/include/[^/]+)/${folders}/.*\.h$"
mapfile -t files < <(sed -n 's/^ *"file": "\(.*\)",\?$/\1/p' "$dir/compile_commands.json" \
                     | grep -E "^${product}.*\.cpp$" | sort -u)
[ ${#files[@]} -gt 0 ] || { echo "tidy: no product sources in $dir" >&2; exit 1; }

# Each clang-tidy prints its findings on stdout; stderr only counts them.
if printf '%s\n' "${files[@]}" \
   | xargs -P "$(nproc)" -n 1 "$tidy" -p "$dir" --quiet --header-filter="${headers}" \
       2> >(grep -v -e ' warnings\? generated\.$' -e '^Suppressed ' -e '^Use -header-filter' \
              -e 'NOLINT' >&2 || true); then
  echo "tidy: ${#files[@]} files clean"
else
  echo "tidy: findings above" >&2
  exit 1
fi
