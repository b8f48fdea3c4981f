#!/usr/bin/env bash
# Installs what Vimbrel needs to build, test and run its demo (Debian 12).
# Idempotent: asks apt only for the packages that are missing.
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
  jq
)

missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done
[ ${#missing[@]} -eq 0 ] && exit 0

if [ "$(id -u)" -ne 0 ]; then
  echo "install-deps: these packages are missing and installing them needs root: ${missing[*]}" >&2
  exit 1
fi
export DEBIAN_FRONTEND=noninteractive
apt-get update -qq
apt-get install -y -qq --no-install-recommends "${missing[@]}"
