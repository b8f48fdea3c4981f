#!/usr/bin/env bash
# Makes the packages and tests them as a user would meet them:
#   scripts/test-packages.sh [BUILD] [WINDOWS-BUILD]
# - the .deb: `apt-get install ./…deb` on this machine, vimbrel-cli --version
#   (in a network namespace of its own), man -w vimbrel-cli, the desktop
#   entry, the icon and firewalld's service; then `apt-get purge` and none of its files is left;
# - the installer under Wine (scripts/wine-session in a namespace with no
#   network): a silent install for the current user, the files, the
#   Start-menu shortcut and the "Apps & features" entry, the installed
#   vimbrel-cli.exe --version; a silent uninstall and nothing is left; for
#   all users the firewall rules added and removed (netsh recorded);
# - the portable zip holds the two programs and the README.
# WINDOWS-BUILD "" skips the Windows packages. Needs root.
set -euo pipefail
top=$(cd "$(dirname "$0")/.." && pwd)
build=${1:-$top/build}
winbuild=${2-$top/build-windows}
out=$top/build-packages
[ "$(id -u)" -eq 0 ] || { echo "test-packages: run as root" >&2; exit 1; }
fail() { echo "test-packages: $*" >&2; exit 1; }

"$top/scripts/package-deb.sh" "$build" "$out"
version=$(sed -n 's/^CMAKE_PROJECT_VERSION:STATIC=//p' "$build/CMakeCache.txt")
deb=$out/vimbrel_${version}_$(dpkg --print-architecture).deb

export DEBIAN_FRONTEND=noninteractive
dpkg-query -W -f='${Status}' vimbrel 2>/dev/null | grep -q "install ok installed" &&
  fail "vimbrel is installed on this machine already; remove it first"
apt-get install -y -qq "$deb" >/dev/null
files=$(dpkg-query -L vimbrel | while read -r f; do [ -d "$f" ] || echo "$f"; done)
installed_version=$(unshare --net -- /usr/bin/vimbrel-cli --version)
[ "$installed_version" = "vimbrel-cli $version" ] ||
  fail "vimbrel-cli --version said '$installed_version', not 'vimbrel-cli $version'"
man -w vimbrel-cli | grep -qx /usr/share/man/man1/vimbrel-cli.1.gz || fail "man -w vimbrel-cli"
grep -q '^Name\[zh_CN\]=' /usr/share/applications/vimbrel.desktop || fail "no Chinese name in the desktop entry"
for size in 16 32 48 256; do
  [ -f "/usr/share/icons/hicolor/${size}x${size}/apps/vimbrel.png" ] || fail "no ${size} px icon"
done
# firewalld's service: well-formed, and it lets in UDP from the cameras'
# port 9876 (a reply's source), nothing else.
service=/usr/lib/firewalld/services/vimbrel.xml
[ -f "$service" ] || fail "no firewalld service $service"
python3 - "$service" <<'PY' || fail "firewalld service: not what lets the replies in"
import sys, xml.etree.ElementTree as ET
root = ET.parse(sys.argv[1]).getroot()
assert root.tag == "service", root.tag
assert root.findtext("short") == "Vimbrel"
opened = [(e.tag, dict(e.attrib)) for e in root if e.tag not in ("short", "description")]
assert opened == [("source-port", {"protocol": "udp", "port": "9876"})], opened
PY
apt-get purge -y -qq vimbrel >/dev/null
left=$(for f in $files; do [ -e "$f" ] && echo "$f"; done || true)
[ -z "$left" ] || fail "left after apt-get purge: $left"
dpkg-query -W vimbrel >/dev/null 2>&1 && fail "dpkg still knows vimbrel"
echo "test-packages: the .deb installs, runs, has its man page and firewalld service and goes away cleanly"

[ -n "$winbuild" ] || exit 0
"$top/scripts/package-windows.sh" "$winbuild" "$out"
"$top/scripts/build-windows.sh" "$winbuild" netsh_recorder >/dev/null
winbuild=$(cd "$winbuild" && pwd)
setup=$out/vimbrel-$version-setup.exe
zipfile=$out/vimbrel-$version-portable.zip
listing=$(unzip -Z1 "$zipfile" | sort | tr '\n' ' ')
[ "$listing" = "vimbrel-$version-portable/ vimbrel-$version-portable/README.txt vimbrel-$version-portable/vimbrel-cli.exe vimbrel-$version-portable/vimbrel.exe " ] ||
  fail "the zip holds: $listing"

unshare --net -- "$top/scripts/wine-session" "$winbuild/wine-prefix" -- \
  "$top/scripts/test-windows-installer" "$setup" "$version" "$winbuild/tests/netsh_recorder.exe"
