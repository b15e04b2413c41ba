#!/usr/bin/env bash
# Builds and runs every test: first the unit tests under AddressSanitizer and
# UndefinedBehaviorSanitizer (g++; they include the layering check, the engine
# demo and the SDL2 check on a virtual X display; one process per GoogleTest
# suite), then the audio mixer's tests under ThreadSanitizer, then every fuzz
# target for a few seconds (clang and libFuzzer), and the libraries, tools and
# benchmarks built in release (the optimiser's own warnings, at -O3, fail it
# as any other; the benchmarks are only compiled there, run by tools/bench.sh).
# The builds compile in unity batches, where one file's includes serve the
# next; the unit build also compiles each source of its libraries, tools and
# tests alone, syntax only (TM_INCLUDE_CHECK), so a file that does not
# include what it uses fails there. The fuzz and release
# builds run beside the unit tests at the lowest priority (at normal priority
# once the unit tests only wait for them). Builds and test runs use every
# core, or CMAKE_BUILD_PARALLEL_LEVEL jobs when it is set; then the parts
# run one after another, so that no more than that many run at once.
# Every part runs even when one before it failed; a summary of all of them,
# with each part's wall and CPU time, ends the output, and the exit status is
# non-zero when any failed. The Debian packages it needs are installed first
# when missing (as root or through sudo); it builds in build-test, build-tsan,
# build-fuzz and build-release (TM_FUZZ_SECONDS: each fuzz target's run,
# 2 s unless set). docs/manual.md says what it plays.
#   bash tools/test.sh
set -euo pipefail
here="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
. "$here/tools/deps.sh"
tm_report_exit tools/test.sh
tm_install_packages "${TM_BUILD_PACKAGES[@]}" "${TM_TEST_PACKAGES[@]}"
jobs="$(tm_jobs)"
one_lane=""
[ "$jobs" != "${CMAKE_BUILD_PARALLEL_LEVEL:-}" ] || one_lane=1

tests="$here/build-test"
fuzz="$here/build-fuzz"
tsan="$here/build-tsan"
release="$here/build-release"

export ASAN_OPTIONS="detect_leaks=1:abort_on_error=0:strict_string_checks=1"
export UBSAN_OPTIONS="print_stacktrace=1:halt_on_error=1"
# Leaks inside system libraries that the program cannot free (each named
# with its reason in the file); our own still fail. (The unit build's CTest
# entries carry these options themselves, tests/CMakeLists.txt, so a test
# run alone meets them too; here they serve the fuzz targets' run.)
export LSAN_OPTIONS="suppressions=$here/tests/lsan-suppressions.txt:print_suppressions=0"

unit_status=0
fuzz_status=0
tsan_status=0
release_status=0

# Each part reports its wall and CPU time (user and system, its child
# processes included) when it ends, and the summary repeats them: which part
# takes the time on a slow machine.
TIMEFORMAT="%R s wall, %U s user, %S s system"
timings=()
clocks="$(mktemp -d)"
# (The second lane below is stopped with the script.)
second_lane=""
trap '[ -z "$second_lane" ] || { pkill -P "$second_lane" 2>/dev/null; kill "$second_lane" 2>/dev/null; }; rm -rf "$clocks"' EXIT
timed() {
  local name="$1" clock status=0
  shift
  clock="$(mktemp -p "$clocks")"
  { time "$@" 2>&4 || status=$?; } 4>&2 2>"$clock"
  echo "== $name took $(tail -n 1 "$clock")"
  timings+=("$name: $(tail -n 1 "$clock")")
  return "$status"
}

unit_tests() {
  cmake -S "$here" -B "$tests" -DCMAKE_BUILD_TYPE=Debug -DTM_SANITIZE=ON -DTM_BENCH=OFF -DTM_INCLUDE_CHECK=ON ||
    unit_status=$?
  if [ "$unit_status" -eq 0 ]; then
    timed "Unit tests, build" cmake --build "$tests" -j "$jobs" || unit_status=$?
  fi
  if [ "$unit_status" -eq 0 ]; then
    timed "Unit tests, run" ctest --test-dir "$tests" --output-on-failure --no-tests=error -j "$jobs" ||
      unit_status=$?
  fi
}
fuzz_build() {
  CC=clang CXX=clang++ cmake -S "$here" -B "$fuzz" -DCMAKE_BUILD_TYPE=RelWithDebInfo -DTM_FUZZ=ON \
    -DTM_FUZZ_SECONDS="${TM_FUZZ_SECONDS:-2}" || fuzz_status=$?
  if [ "$fuzz_status" -eq 0 ]; then
    timed "Fuzz targets, build" cmake --build "$fuzz" -j "$jobs" || fuzz_status=$?
  fi
}
fuzz_run() {
  timed "Fuzz targets, run" ctest --test-dir "$fuzz" --output-on-failure --no-tests=error -j "$jobs" -L fuzz ||
    fuzz_status=$?
}
# The audio mixer's tests once more under ThreadSanitizer (a small build of
# their own sources only).
tsan_mixer() {
  cmake -S "$here/tests/tsan" -B "$tsan" -DCMAKE_BUILD_TYPE=Debug || tsan_status=$?
  if [ "$tsan_status" -eq 0 ]; then
    cmake --build "$tsan" -j "$jobs" || tsan_status=$?
  fi
  if [ "$tsan_status" -eq 0 ]; then
    TSAN_OPTIONS="halt_on_error=1" "$tsan/audio_tsan_tests" --gtest_brief=1 || tsan_status=$?
  fi
}
# The release build compiles in unity batches as the test builds do (file by
# file it took half as long again; a check of every header of src/ alone
# would take as much as the batches save).
release_build() {
  cmake -S "$here" -B "$release" -DCMAKE_BUILD_TYPE=Release -DTM_WERROR=ON -DTM_TESTS=OFF -DTM_BENCH=ON \
    -DTM_CAMPAIGN=ON -DTM_UNITY_BATCH=8 || release_status=$?
  if [ "$release_status" -eq 0 ]; then
    cmake --build "$release" -j "$jobs" || release_status=$?
  fi
  # The campaign, all of its levels (the unit build plays four), and the
  # release game played through the X server by the X robot. A robot's entry
  # mostly waits on the game's clock (about a third of a core), so they run
  # at twice the cores' count; a campaign entry counts twice
  # (tests/CMakeLists.txt).
  if [ "$release_status" -eq 0 ]; then
    ctest --test-dir "$release" -L 'campaign|robot' --output-on-failure --no-tests=error -j "$((jobs * 2))" ||
      release_status=$?
  fi
}

# Two lanes keep both cores busy. The first, at normal priority, builds and
# runs the unit tests and the mixer's; the second, at the lowest priority,
# builds the fuzz targets and then the release build in the time the first
# leaves a core idle (a configure, a link, a test waiting on its display,
# the last long tests). The fuzz targets run once the unit tests are done and
# their build is, each for its seconds with a core to itself; the release
# build goes on under them. The second lane's output is shown at its part.
lanes="$clocks/lanes"
mkdir -p "$lanes"
# A part's status file is written last, whole (renamed into place). With
# one lane (a parallel level set) the second lane's parts run after the
# first's.
second_lane_parts() {
  timed "Fuzz targets, configure and build" fuzz_build >"$lanes/fuzz.log" 2>&1 || true
  printf '%s\n' "${timings[@]}" >"$lanes/fuzz.timings"
  echo "$fuzz_status" >"$lanes/fuzz.status.new" && mv "$lanes/fuzz.status.new" "$lanes/fuzz.status"
  timings=()
  timed "Release build" release_build >"$lanes/release.log" 2>&1 || true
  printf '%s\n' "${timings[@]}" >"$lanes/release.timings"
  echo "$release_status" >"$lanes/release.status.new" && mv "$lanes/release.status.new" "$lanes/release.status"
}
if [ -z "$one_lane" ]; then
  (
    renice -n 19 -p "$BASHPID" >/dev/null || true
    second_lane_parts
  ) &
  second_lane=$!
fi

echo "== Unit tests"
timed "Unit tests" unit_tests
echo "== Audio mixer under ThreadSanitizer"
timed "Audio mixer under ThreadSanitizer" tsan_mixer
[ -z "$one_lane" ] || (second_lane_parts)

# lane_priority NICE: the second lane and everything it runs at that
# priority. While the first lane only waits for it, the second lane runs at
# normal priority, so other work on the machine does not starve it; it goes
# back to the lowest under the fuzz targets' timed runs. (Raising a priority
# takes the right to; without it the lane stays at the lowest.)
lane_priority() {
  [ -n "$second_lane" ] || return 0
  local pids=("$second_lane") all=()
  while [ "${#pids[@]}" -gt 0 ]; do
    all+=("${pids[@]}")
    mapfile -t pids < <(pgrep -P "$(IFS=,; echo "${pids[*]}")" || true)
  done
  renice -n "$1" -p "${all[@]}" >/dev/null 2>&1 || true
}

echo "== Fuzz targets"
lane_priority 0
while [ ! -e "$lanes/fuzz.status" ] && kill -0 "$second_lane" 2>/dev/null; do sleep 1; done
lane_priority 19
cat "$lanes/fuzz.log" 2>/dev/null || true
fuzz_status="$(cat "$lanes/fuzz.status" 2>/dev/null || echo 1)"
mapfile -t -O "${#timings[@]}" timings < <(cat "$lanes/fuzz.timings" 2>/dev/null || true)
if [ "$fuzz_status" -eq 0 ]; then
  fuzz_run || true
fi

echo "== Release build"
lane_priority 0
[ -z "$second_lane" ] || wait "$second_lane" || true
second_lane=""
cat "$lanes/release.log" 2>/dev/null || true
release_status="$(cat "$lanes/release.status" 2>/dev/null || echo 1)"
mapfile -t -O "${#timings[@]}" timings < <(cat "$lanes/release.timings" 2>/dev/null || true)

echo "== Summary"
report() {
  if [ "$2" -eq 0 ]; then echo "$1: passed"; else echo "$1: FAILED (status $2)"; fi
}
report "Unit tests" "$unit_status"
report "Fuzz targets" "$fuzz_status"
report "Audio mixer under ThreadSanitizer" "$tsan_status"
report "Release build" "$release_status"
for t in "${timings[@]}"; do echo "$t"; done
if [ "$unit_status" -ne 0 ] || [ "$fuzz_status" -ne 0 ] || [ "$tsan_status" -ne 0 ] ||
  [ "$release_status" -ne 0 ]; then
  exit 1
fi
