#!/usr/bin/env bash
# Builds and runs every test: the unit tests under AddressSanitizer and
# UndefinedBehaviorSanitizer (g++), and every fuzz target for a few seconds
# (clang and libFuzzer), and the audio mixer's tests under ThreadSanitizer.
# The unit tests include the engine demo and the SDL2 check on a virtual X
# display (xvfb-run). The unit-test summary is printed last.
set -euo pipefail
here="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
. "$here/tools/deps.sh"
tm_install_packages "${TM_BUILD_PACKAGES[@]}" "${TM_TEST_PACKAGES[@]}"
jobs="$(tm_jobs)"

tests="$here/build-test"
fuzz="$here/build-fuzz"
tsan="$here/build-tsan"

cmake -S "$here" -B "$tests" -DCMAKE_BUILD_TYPE=Debug -DTM_SANITIZE=ON
cmake --build "$tests" -j "$jobs"

CC=clang CXX=clang++ cmake -S "$here" -B "$fuzz" -DCMAKE_BUILD_TYPE=RelWithDebInfo -DTM_FUZZ=ON \
  -DTM_FUZZ_SECONDS="${TM_FUZZ_SECONDS:-5}"
cmake --build "$fuzz" -j "$jobs"

# The audio mixer's tests once more under ThreadSanitizer (a small build of
# their own sources only).
cmake -S "$here/tests/tsan" -B "$tsan" -DCMAKE_BUILD_TYPE=Debug
cmake --build "$tsan" -j "$jobs"

export ASAN_OPTIONS="detect_leaks=1:abort_on_error=0:strict_string_checks=1"
export UBSAN_OPTIONS="print_stacktrace=1:halt_on_error=1"

echo "== Fuzz targets"
ctest --test-dir "$fuzz" --output-on-failure -j "$jobs" -L fuzz

echo "== Audio mixer under ThreadSanitizer"
TSAN_OPTIONS="halt_on_error=1" "$tsan/audio_tsan_tests" --gtest_brief=1

echo "== Unit tests"
ctest --test-dir "$tests" --output-on-failure -j "$jobs"
