#!/usr/bin/env bash
# Installs what Vimbrel needs to build, test and run its demo (Debian 12):
#   scripts/install-deps.sh             the Linux build
#   scripts/install-deps.sh --windows   the Windows build: mingw-w64, Wine,
#                                       a deb-src entry for Debian's sources,
#                                       the zh_CN.UTF-8 locale
# Idempotent: asks apt only for the packages that are missing. Root is needed
# only when something is missing (apt-get, the apt sources, locale-gen).
set -euo pipefail

packages=(
  build-essential cmake pkg-config
  libgtest-dev googletest
  libwxgtk3.2-dev
  libcli11-dev nlohmann-json3-dev
  xvfb xauth
  iproute2 procps
  fonts-wqy-microhei
  imagemagick xdotool
  clang-tidy-14 clang-format-14
  clang-14 libclang-rt-14-dev
  jq ccache
  gettext wx3.2-i18n wx-common
  librsvg2-bin help2man lintian man-db dpkg-dev
)
windows=0
if [ "${1:-}" = "--windows" ]; then
  windows=1
  packages+=(
    mingw-w64 g++-mingw-w64-x86-64-posix gcc-mingw-w64-x86-64-posix libz-mingw-w64-dev
    dpkg-dev xz-utils make
    wine wine64
    locales
    icoutils nsis zip unzip
  )
fi

need_root() {
  if [ "$(id -u)" -ne 0 ]; then
    echo "install-deps: $1 needs root" >&2
    exit 1
  fi
}

missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done

updated=0
if [ "$windows" = 1 ]; then
  # apt-get source needs a deb-src entry: the same mirrors as the deb ones.
  src_list=/etc/apt/sources.list.d/vimbrel-deb-src.sources
  if ! grep -rqs '^\(deb-src\|Types:.*deb-src\)' /etc/apt/sources.list /etc/apt/sources.list.d/; then
    need_root "adding a deb-src entry to apt's sources"
    if [ -f /etc/apt/sources.list.d/debian.sources ]; then
      sed 's/^Types: deb$/Types: deb-src/' /etc/apt/sources.list.d/debian.sources >"$src_list"
    fi
    if [ -f /etc/apt/sources.list ]; then
      sed -n 's/^deb \(.*\)$/deb-src \1/p' /etc/apt/sources.list \
        >/etc/apt/sources.list.d/vimbrel-deb-src.list
    fi
    updated=1
  fi
fi

if [ ${#missing[@]} -gt 0 ] || [ "$updated" = 1 ]; then
  need_root "updating apt's lists and installing: ${missing[*]}"
  export DEBIAN_FRONTEND=noninteractive
  apt-get update -qq
  [ ${#missing[@]} -gt 0 ] && apt-get install -y -qq --no-install-recommends "${missing[@]}"
fi

if [ "$windows" = 1 ] && ! locale -a 2>/dev/null | grep -qi '^zh_CN\.utf-\?8$'; then
  # Under Wine this locale gives the Chinese code page (936) as the ANSI one.
  need_root "generating the zh_CN.UTF-8 locale"
  sed -i 's/^# *\(zh_CN\.UTF-8 UTF-8\)/\1/' /etc/locale.gen
  grep -q '^zh_CN\.UTF-8 UTF-8' /etc/locale.gen || echo 'zh_CN.UTF-8 UTF-8' >>/etc/locale.gen
  locale-gen >/dev/null
fi
exit 0
