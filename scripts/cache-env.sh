# Sourced by the build scripts (after setting $top): the folder outside the
# clone that keeps what a later run can reuse, and ccache where it is
# installed.
#   VIMBREL_CACHE   the folder (default /var/cache/vimbrel; where that cannot
#                   be written, ~/.cache/vimbrel)
# ccache takes paths relative to the clone's top and leaves the build folder
# out of its hashes, so that a fresh clone of the same sources elsewhere (as
# CI makes one) hits what an earlier clone compiled.
vimbrel_cache=${VIMBREL_CACHE:-/var/cache/vimbrel}
if ! { mkdir -p "$vimbrel_cache" 2>/dev/null && [ -w "$vimbrel_cache" ]; }; then
  vimbrel_cache=${XDG_CACHE_HOME:-$HOME/.cache}/vimbrel
  mkdir -p "$vimbrel_cache"
fi
compiler_launcher=()
if command -v ccache >/dev/null; then
  export CCACHE_DIR=${CCACHE_DIR:-$vimbrel_cache/ccache}
  export CCACHE_BASEDIR=$top CCACHE_NOHASHDIR=1
  export CCACHE_MAXSIZE=${CCACHE_MAXSIZE:-4G}
  compiler_launcher=(-DCMAKE_C_COMPILER_LAUNCHER=ccache -DCMAKE_CXX_COMPILER_LAUNCHER=ccache)
fi
