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
took "installing"

"$top/scripts/format.sh" --check
"$top/scripts/tidy.sh" "$top/build-tidy"
took "formatting check and clang-tidy"

"$top/scripts/build.sh" "$top/build"
(cd "$top/build" && ctest --output-on-failure)
took "the plain build and its tests"

# Everything that does not need the toolkit, built without it: the core, the
# simulator, the command line and the unit tests. A wx header reached from
# there stops this build.
cmake -S "$top" -B "$top/build-core" -DCMAKE_BUILD_TYPE=RelWithDebInfo -DVIMBREL_GUI=OFF >/dev/null
cmake --build "$top/build-core" -j"$(nproc)"
(cd "$top/build-core" && ctest --output-on-failure -R '^unit$')
took "the build without the toolkit"

"$top/scripts/build.sh" "$top/build-tsan" thread vimbrel_lab_tests vimbrel_window_tests camsim
# The scale and flood cases measure time and load, which the sanitizer's own
# slowness would distort: they run in the plain build only.
export TSAN_OPTIONS="halt_on_error=1 second_deadlock_stack=1 suppressions=$top/tests/tsan.supp"
(cd "$top/build-tsan" && ctest --output-on-failure -R '^lab$')
(cd "$top/build-tsan" && xvfb-run -a -s "-screen 0 1600x1200x24" tests/vimbrel_window_tests \
   --gtest_filter='-SmallScreen.*:ScaleWindowTest.*')
unset TSAN_OPTIONS
took "ThreadSanitizer"

"$top/scripts/build.sh" "$top/build-asan" address vimbrel_unit_tests
(cd "$top/build-asan" && ASAN_OPTIONS=detect_leaks=1 ctest --output-on-failure -R '^unit$')
took "AddressSanitizer"

"$top/scripts/fuzz.sh" "$top/build-fuzz"
took "fuzzing"

"$top/scripts/test-windows.sh" "$top/build-windows"
took "the Windows program (installing, wxWidgets, build, Wine)"

"$top/scripts/test-packages.sh" "$top/build" "$top/build-windows"
took "the packages (.deb, installer, zip) and their tests"
