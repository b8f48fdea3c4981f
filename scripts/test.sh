#!/usr/bin/env bash
# Installs what is missing, checks the formatting and the product code with
# clang-tidy, builds, and runs every test: the plain build, then the threaded
# tests under ThreadSanitizer, the unit tests under AddressSanitizer, the
# datagram fuzz target for a bounded number of inputs, and last the Windows
# program, built with mingw-w64 and tested under Wine, and the packages made
# from both builds (build-packages/) with their tests. Private-network tests
# need root.
set -euo pipefail
top=$(cd "$(dirname "$0")/.." && pwd)
# How long each step took, for the CI log.
last=$SECONDS
took() { echo "test.sh: $1 took $((SECONDS - last)) s (all so far $SECONDS s)"; last=$SECONDS; }

"$top/scripts/install-deps.sh"
"$top/scripts/install-deps.sh" --windows
took "installing"

# The Windows program is built beside everything else, at the lowest
# priority: it takes what the other steps leave idle (the tests mostly wait
# on the network and the displays). A fresh machine compiles wxWidgets for
# Windows there; with the cache (scripts/cache-env.sh) only the project.
windows_log=$top/build-windows.log
# A session of its own makes a scheduling group of its own where the kernel
# groups by session (autogroup): the group's priority is lowered too.
setsid bash -c 'echo 19 >/proc/self/autogroup 2>/dev/null || true; exec nice -n 19 "$@"' _ \
  "$top/scripts/build-windows.sh" "$top/build-windows" >"$windows_log" 2>&1 &
windows_build=$!
# Its own process group: a failing step ends the whole build with it.
trap 'kill -- "-$windows_build" 2>/dev/null || true' EXIT

"$top/scripts/format.sh" --check
"$top/scripts/tidy.sh" "$top/build-tidy"
took "formatting check and clang-tidy"

"$top/scripts/build.sh" "$top/build"
# The test programs that mostly wait (the private network, the displays)
# run as shards side by side.
(cd "$top/build" && ctest --output-on-failure -j4)
took "the plain build and its tests"

# Everything that does not need the toolkit, built without it and under
# AddressSanitizer and UndefinedBehaviorSanitizer: the core, the simulator,
# the command line and the unit tests. A wx header reached from there stops
# this build. The unit tests and the command line's tests run in it.
# Only what runs here and what it needs: the private network's tests run in
# the plain build and under ThreadSanitizer, the benchmarks build there.
VIMBREL_BUILD_OPTIONS=-DVIMBREL_GUI=OFF "$top/scripts/build.sh" "$top/build-core" address \
  vimbrel_unit_tests vimbrel_cli_tests
(cd "$top/build-core" && ASAN_OPTIONS=detect_leaks=1 ctest --output-on-failure -j4 -R '^(unit|cli_[0-9]+)$')
took "the build without the toolkit, under AddressSanitizer"

"$top/scripts/build.sh" "$top/build-tsan" thread vimbrel_lab_tests vimbrel_window_tests camsim replyflood
# The scale and flood cases are left out of the window's tests in this build
# (tests/CMakeLists.txt).
export TSAN_OPTIONS="halt_on_error=1 second_deadlock_stack=1 suppressions=$top/tests/tsan.supp"
(cd "$top/build-tsan" && ctest --output-on-failure -j4 -L '^(lab|window)$')
unset TSAN_OPTIONS
took "ThreadSanitizer"

"$top/scripts/fuzz.sh" "$top/build-fuzz"
took "fuzzing"

if ! wait "$windows_build"; then
  tail -n 60 "$windows_log" >&2
  echo "test.sh: the Windows build failed (all of it in $windows_log)" >&2
  exit 1
fi
trap - EXIT
took "waiting for the Windows build"
"$top/scripts/test-windows.sh" "$top/build-windows"
took "the Windows program's tests under Wine"

"$top/scripts/test-packages.sh" "$top/build" "$top/build-windows"
took "the packages (.deb, installer, zip) and their tests"
