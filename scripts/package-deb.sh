#!/usr/bin/env bash
# Makes the Debian package from the Linux build:
#   scripts/package-deb.sh [BUILD] [OUT]
# BUILD (default build) is configured and its two programs built here if
# needed; OUT (default build-packages) receives vimbrel_VERSION_amd64.deb.
# The package holds /usr/bin/vimbrel and /usr/bin/vimbrel-cli (stripped), the
# desktop entry, the icon in the hicolor sizes, firewalld's service vimbrel, the man page of vimbrel-cli
# (help2man, from its --help) and the copyright; its Depends come from
# dpkg-shlibdeps. lintian must find no error in it. Needs root: the man page
# is made in a network namespace of its own (unshare), where the program
# can send nothing.
set -euo pipefail
top=$(cd "$(dirname "$0")/.." && pwd)
build=${1:-$top/build}
out=${2:-$top/build-packages}
say() { echo "package-deb: $*"; }

[ -f "$build/CMakeCache.txt" ] ||
  cmake -S "$top" -B "$build" -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
cmake --build "$build" -j"$(nproc)" --target vimbrel vimbrel-cli vimbrel_icons >/dev/null
version=$(sed -n 's/^CMAKE_PROJECT_VERSION:STATIC=//p' "$build/CMakeCache.txt")
description=$(sed -n 's/^CMAKE_PROJECT_DESCRIPTION:STATIC=//p' "$build/CMakeCache.txt")
[ -n "$version" ] || { echo "package-deb: no version in $build/CMakeCache.txt" >&2; exit 1; }
arch=$(dpkg --print-architecture)
mkdir -p "$out"
out=$(cd "$out" && pwd)
stage=$out/deb-stage
root=$stage/root
rm -rf "$stage"
mkdir -p "$root/DEBIAN" "$root/usr/bin" "$root/usr/share/applications" \
  "$root/usr/share/man/man1" "$root/usr/share/doc/vimbrel"

install -m 0755 -s "$build/app/vimbrel" "$build/cli/vimbrel-cli" "$root/usr/bin/"
install -m 0644 "$top/res/linux/vimbrel.desktop" "$root/usr/share/applications/"
# firewalld's service "vimbrel": the cameras' replies, UDP from port 9876.
install -D -m 0644 "$top/res/linux/vimbrel-firewalld.xml" "$root/usr/lib/firewalld/services/vimbrel.xml"
for png in "$build"/res/icons/vimbrel-*.png; do
  size=$(basename "$png" .png)
  size=${size#vimbrel-}
  install -D -m 0644 "$png" "$root/usr/share/icons/hicolor/${size}x${size}/apps/vimbrel.png"
done
install -D -m 0644 "$top/res/vimbrel.svg" "$root/usr/share/icons/hicolor/scalable/apps/vimbrel.svg"
# The window's catalogs, where the toolkit's translations look for them.
for mo in "$build"/locale/*/LC_MESSAGES/vimbrel.mo; do
  lang=$(basename "$(dirname "$(dirname "$mo")")")
  install -D -m 0644 "$mo" "$root/usr/share/locale/$lang/LC_MESSAGES/vimbrel.mo"
done

# help2man runs the program for --help and --version: with no network.
unshare --net -- help2man --no-info --section=1 --version-string="$version" \
  --name="the command line of Vimbrel: find network cameras and send them commands" \
  "$root/usr/bin/vimbrel-cli" >"$stage/vimbrel-cli.1"
gzip -9n <"$stage/vimbrel-cli.1" >"$root/usr/share/man/man1/vimbrel-cli.1.gz"
chmod 0644 "$root/usr/share/man/man1/vimbrel-cli.1.gz"

cat >"$root/usr/share/doc/vimbrel/copyright" <<COPYRIGHT
Format: https://www.debian.org/doc/packaging-manuals/copyright-format/1.0/
Upstream-Name: Vimbrel

Files: *
Copyright: The Vimbrel developers
License: MIT
 Permission is hereby granted, free of charge, to any person obtaining a copy
 of this software and associated documentation files (the "Software"), to deal
 in the Software without restriction, including without limitation the rights
 to use, copy, modify, merge, publish, distribute, sublicense, and/or sell
 copies of the Software, and to permit persons to whom the Software is
 furnished to do so, subject to the following conditions:
 .
 The above copyright notice and this permission notice shall be included in
 all copies or substantial portions of the Software.
 .
 THE SOFTWARE IS PROVIDED "AS IS", WITHOUT WARRANTY OF ANY KIND, EXPRESS OR
 IMPLIED, INCLUDING BUT NOT LIMITED TO THE WARRANTIES OF MERCHANTABILITY,
 FITNESS FOR A PARTICULAR PURPOSE AND NONINFRINGEMENT.
COPYRIGHT
{
  echo "vimbrel ($version) unstable; urgency=medium"
  echo
  echo "  * Release $version."
  echo
  echo " -- Vimbrel developers <vimbrel@example.org>  $(date -R -d @"${SOURCE_DATE_EPOCH:-$(git -C "$top" log -1 --format=%ct 2>/dev/null || date +%s)}")"
} | gzip -9n >"$root/usr/share/doc/vimbrel/changelog.gz"
chmod 0644 "$root/usr/share/doc/vimbrel/copyright" "$root/usr/share/doc/vimbrel/changelog.gz"

# dpkg-shlibdeps reads a debian/control: a minimal one of its own.
mkdir -p "$stage/src/debian"
printf 'Source: vimbrel\n\nPackage: vimbrel\nArchitecture: any\n' >"$stage/src/debian/control"
depends=$(cd "$stage/src" &&
  dpkg-shlibdeps -O "$root/usr/bin/vimbrel" "$root/usr/bin/vimbrel-cli" 2>/dev/null |
  sed -n 's/^shlibs:Depends=//p')
[ -n "$depends" ] || { echo "package-deb: dpkg-shlibdeps found no dependencies" >&2; exit 1; }

cat >"$root/DEBIAN/control" <<CONTROL
Package: vimbrel
Version: $version
Architecture: $arch
Maintainer: Vimbrel developers <vimbrel@example.org>
Installed-Size: $(du -sk --exclude=DEBIAN "$root" | cut -f1)
Depends: $depends
Section: net
Priority: optional
Description: find network cameras on the local network and set them up
 $description
 .
 Vimbrel searches the local network for cameras that speak its small UDP
 protocol (port 9876, multicast and broadcast) and acts on the ones picked:
 free IP addresses in one go, reboot, factory settings, motor start and
 stop. It has one window in Simplified Chinese (vimbrel) and a command line
 (vimbrel-cli).
CONTROL

deb=$out/vimbrel_${version}_${arch}.deb
dpkg-deb --root-owner-group -Zxz --build "$root" "$deb" >/dev/null
lintian --fail-on error --suppress-tags no-manual-page "$deb" ||
  { echo "package-deb: lintian found errors in $deb" >&2; exit 1; }
rm -rf "$stage"
say "$deb ($(du -k "$deb" | cut -f1) KiB)"
