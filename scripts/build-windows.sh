#!/usr/bin/env bash
# Builds the Windows program from this Linux machine with mingw-w64:
#   scripts/build-windows.sh [DIR] [TARGET...]
# DIR (default build-windows) holds everything: Debian's sources of
# wxWidgets and expat under DIR/deps/src, the static libraries they give
# (and GoogleTest's, from the sources Debian's googletest package installs)
# under DIR/deps/prefix, and the project's build, whose program is
# DIR/app/vimbrel.exe. A second run reuses what the first one built.
set -euo pipefail
top=$(cd "$(dirname "$0")/.." && pwd)
dir=${1:-$top/build-windows}
shift $(( $# < 1 ? $# : 1 ))
mkdir -p "$dir"
dir=$(cd "$dir" && pwd)
toolchain=$top/cmake/mingw-w64-x86_64.cmake
triple=x86_64-w64-mingw32
jobs=$(nproc)

"$top/scripts/install-deps.sh" --windows
# shellcheck source=scripts/cache-env.sh
. "$top/scripts/cache-env.sh"

say() { echo "build-windows: $*"; }

# Unpacks Debian's source package $1 into $src (once). When the newest
# version's files cannot be had from the mirror, tries the older ones apt
# knows.
fetch_source() {
  local package=$1 version
  if compgen -G "$src/$package*/debian/changelog" >/dev/null; then return 0; fi
  say "fetching the sources of $package"
  local log=$src/$package-fetch.log
  : >"$log"
  for version in "" $(apt-cache showsrc "$package" | sed -n 's/^Version: //p'); do
    if (cd "$src" && apt-get source -qq "$package${version:+=$version}" >>"$log" 2>&1); then
      [ -n "$version" ] && say "$package: the newest sources are not on the mirror; took $version"
      return 0
    fi
  done
  grep -v 'unsandboxed as root' "$log" >&2
  echo "build-windows: could not get the sources of $package" >&2
  return 1
}

source_dir() { ls -d "$src/$1"*/ | head -n1; }

build_expat() {
  [ -f "$deps/expat.done" ] && return 0
  fetch_source expat
  local from
  from=$(source_dir expat-)expat
  say "building expat"
  rm -rf "$deps/expat-src" "$deps/expat-build"
  cp -r "$from" "$deps/expat-src"
  # Debian's patches test these with #if: give them a value.
  sed -i 's/^#cmakedefine XML_DTD$/#define XML_DTD 1/; s/^#cmakedefine XML_NS$/#define XML_NS 1/' \
    "$deps/expat-src/expat_config.h.cmake"
  cmake -S "$deps/expat-src" -B "$deps/expat-build" -DCMAKE_TOOLCHAIN_FILE="$toolchain" \
    -DCMAKE_BUILD_TYPE=Release -DCMAKE_INSTALL_PREFIX="$prefix" -DEXPAT_SHARED_LIBS=OFF \
    -DEXPAT_BUILD_TOOLS=OFF -DEXPAT_BUILD_EXAMPLES=OFF -DEXPAT_BUILD_TESTS=OFF \
    -DEXPAT_BUILD_DOCS=OFF -DEXPAT_BUILD_PKGCONFIG=OFF >/dev/null
  cmake --build "$deps/expat-build" -j"$jobs" >/dev/null
  cmake --install "$deps/expat-build" >/dev/null
  touch "$deps/expat.done"
}

# wxMSW, static, with only what the program uses: base, core, adv, xml, xrc.
# Debian strips the bundled png, jpeg, tiff, zlib and expat: zlib comes from
# libz-mingw-w64-dev, expat from the step above, the image formats are off.
build_wx() {
  [ -f "$deps/wx.done" ] && return 0
  fetch_source wxwidgets3.2
  local from
  from=$(source_dir wxwidgets3.2-)
  say "building wxWidgets (a long compile)"
  rm -rf "$deps/wx-build"
  mkdir -p "$deps/wx-build"
  (cd "$deps/wx-build" &&
   "$from/configure" --host=$triple --build="$(gcc -dumpmachine)" --prefix="$prefix" \
     CC=$triple-gcc-posix CXX=$triple-g++-posix \
     CPPFLAGS="-I$prefix/include -DXML_STATIC" LDFLAGS="-L$prefix/lib" \
     --with-msw --disable-shared --enable-unicode --enable-precomp-headers \
     --with-zlib=sys --with-expat=sys --without-regex \
     --without-libpng --without-libjpeg --without-libtiff --without-liblzma \
     --without-libcurl --without-opengl --without-libmspack --without-nanosvg \
     --disable-svg --disable-html --disable-htmlhelp --disable-aui --disable-propgrid \
     --disable-ribbon --disable-stc --disable-richtext --disable-webview \
     --disable-mediactrl --disable-sound --disable-debugreport --disable-sockets \
     --disable-ipc --disable-protocols --disable-url --disable-fs_inet \
     --disable-webrequest --disable-secretstore >configure.log 2>&1 ||
     { tail -30 configure.log >&2; exit 1; })
  make -C "$deps/wx-build" -j"$jobs" >"$deps/wx-build/make.log" 2>&1 ||
    { tail -40 "$deps/wx-build/make.log" >&2; return 1; }
  make -C "$deps/wx-build" install >/dev/null
  rm -rf "$deps/wx-build"
  touch "$deps/wx.done"
}

build_gtest() {
  [ -f "$deps/gtest.done" ] && return 0
  say "building GoogleTest"
  rm -rf "$deps/gtest-build"
  cmake -S /usr/src/googletest -B "$deps/gtest-build" -DCMAKE_TOOLCHAIN_FILE="$toolchain" \
    -DCMAKE_BUILD_TYPE=Release -DCMAKE_INSTALL_PREFIX="$prefix" -DBUILD_GMOCK=OFF \
    -DBUILD_SHARED_LIBS=OFF >/dev/null
  cmake --build "$deps/gtest-build" -j"$jobs" >/dev/null
  cmake --install "$deps/gtest-build" >/dev/null
  touch "$deps/gtest.done"
}

# The dependencies change only with their Debian sources, the toolchain and
# the steps above: they are built once for each such key into the cache
# folder outside the clone, and DIR/deps links there. A DIR/deps that is
# already there (a folder or a link) is used as it is.
newest_source() { apt-cache showsrc "$1" 2>/dev/null | sed -n 's/^Version: //p' | sort -V | tail -n1; }
deps=$dir/deps
if [ ! -e "$deps" ]; then
  key=$( {
    echo "wxwidgets3.2 $(newest_source wxwidgets3.2)"
    echo "expat $(newest_source expat)"
    echo "googletest $(dpkg-query -W -f='${Version}' googletest)"
    echo "$($triple-g++-posix --version | head -n1)"
    echo "$(dpkg-query -W -f='${Version}' g++-mingw-w64-x86-64-posix mingw-w64-x86-64-dev libz-mingw-w64-dev)"
    declare -f fetch_source build_expat build_wx build_gtest
  } | sha256sum | cut -c1-16)
  mkdir -p "$vimbrel_cache/windows-deps/$key"
  ln -sfn "$vimbrel_cache/windows-deps/$key" "$deps"
  say "dependencies: $vimbrel_cache/windows-deps/$key"
fi
src=$deps/src
prefix=$deps/prefix
mkdir -p "$src" "$prefix"
# wx-config names the prefix by its real path; the search root must match
# it when DIR/deps is a link to deps built elsewhere.
prefix=$(cd "$prefix" && pwd -P)

# One build of the dependencies at a time in one folder (two clones may
# share it).
exec 9>"$deps/.lock"
flock 9
build_expat
build_wx
build_gtest
flock -u 9

say "building the project"
cmake -S "$top" -B "$dir" -DCMAKE_TOOLCHAIN_FILE="$toolchain" -DCMAKE_BUILD_TYPE=Release \
  "${compiler_launcher[@]}" -DVIMBREL_WINDOWS_PREFIX="$prefix" -DwxWidgets_CONFIG_EXECUTABLE="$prefix/bin/wx-config" \
  >/dev/null
targets=()
for t in "$@"; do targets+=(--target "$t"); done
cmake --build "$dir" -j"$jobs" "${targets[@]}"
