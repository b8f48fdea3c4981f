#!/usr/bin/env bash
# Makes the Windows installer and the portable zip from the Windows build:
#   scripts/package-windows.sh [DIR] [OUT]
# DIR (default build-windows) is built first if needed (scripts/build-windows.sh
# reuses what it built); OUT (default build-packages) receives
#   vimbrel-VERSION-setup.exe      NSIS (makensis), see res/windows/vimbrel.nsi
#   vimbrel-VERSION-portable.zip   vimbrel.exe, vimbrel-cli.exe, README.txt
set -euo pipefail
top=$(cd "$(dirname "$0")/.." && pwd)
dir=${1:-$top/build-windows}
out=${2:-$top/build-packages}
say() { echo "package-windows: $*"; }

"$top/scripts/build-windows.sh" "$dir" vimbrel vimbrel-cli >/dev/null
dir=$(cd "$dir" && pwd)
version=$(sed -n 's/^CMAKE_PROJECT_VERSION:STATIC=//p' "$dir/CMakeCache.txt")
[ -n "$version" ] || { echo "package-windows: no version in $dir/CMakeCache.txt" >&2; exit 1; }
mkdir -p "$out"
out=$(cd "$out" && pwd)
stage=$out/windows-stage
rm -rf "$stage"
files=$stage/vimbrel-$version-portable
mkdir -p "$files"

for exe in app/vimbrel.exe cli/vimbrel-cli.exe; do
  x86_64-w64-mingw32-strip -o "$files/$(basename "$exe")" "$dir/$exe"
done
# CRLF for Notepad of older Windows; UTF-8 with a BOM reads as Chinese there.
{ printf '\xef\xbb\xbf'; sed "s/@VERSION@/$version/; s/\$/\r/" "$top/res/windows/README-portable.txt"; } \
  >"$files/README.txt"

setup=$out/vimbrel-$version-setup.exe
makensis -V2 -DVERSION="$version" -DFILES="$files" -DICON="$dir/res/icons/vimbrel.ico" \
  -DOUT="$setup" "$top/res/windows/vimbrel.nsi" >/dev/null
zipfile=$out/vimbrel-$version-portable.zip
rm -f "$zipfile"
(cd "$stage" && zip -q -9 -r -X "$zipfile" "vimbrel-$version-portable")
rm -rf "$stage"
say "$setup ($(du -k "$setup" | cut -f1) KiB)"
say "$zipfile ($(du -k "$zipfile" | cut -f1) KiB)"
