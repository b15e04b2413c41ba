#!/usr/bin/env bash
# Builds and runs every test: the unit tests under AddressSanitizer and
# UndefinedBehaviorSanitizer (g++), and every fuzz target for a few seconds
# (clang and libFuzzer). The unit-test summary is printed last.
set -euo pipefail
here="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
. "$here/tools/deps.sh"
tm_install_packages "${TM_BUILD_PACKAGES[@]}" "${TM_TEST_PACKAGES[@]}"
jobs="$(tm_jobs)"

tests="$here/build-test"
fuzz="$here/build-fuzz"

cmake -S "$here" -B "$tests" -DCMAKE_BUILD_TYPE=Debug -DTM_SANITIZE=ON
cmake --build "$tests" -j "$jobs"

CC=clang CXX=clang++ cmake -S "$here" -B "$fuzz" -DCMAKE_BUILD_TYPE=RelWithDebInfo -DTM_FUZZ=ON \
  -DTM_FUZZ_SECONDS="${TM_FUZZ_SECONDS:-5}"
cmake --build "$fuzz" -j "$jobs"

export ASAN_OPTIONS="detect_leaks=1:abort_on_error=0:strict_string_checks=1"
export UBSAN_OPTIONS="print_stacktrace=1:halt_on_error=1"

echo "== Fuzz targets"
ctest --test-dir "$fuzz" --output-on-failure -j "$jobs" -L fuzz

# The engine demo through SDL2 on a virtual X display: a few frames, then its
# screenshot must show the scene.
echo "== Engine demo under Xvfb"
demo_shot="$tests/engine-demo-xvfb.png"
ASAN_OPTIONS="detect_leaks=0" xvfb-run -a -s "-screen 0 1024x768x24" \
  "$tests/tools/demo/engine_demo" --frames 20 --screenshot "$demo_shot"
"$tests/tools/demo/engine_demo" --check "$demo_shot"

echo "== Unit tests"
ctest --test-dir "$tests" --output-on-failure -j "$jobs"
