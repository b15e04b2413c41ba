#!/usr/bin/env bash
# Builds the program (release) and the sample data set, then starts the
# level player: the data set's first level in a window, played with the
# mouse. The data set is written to build/Data by the data builder, again
# only when its sources (tools/data) or the builder are newer than it. Until
# the game's screens exist the level player stands for the program. Extra
# arguments go to it (--headless, --script FILE, --screenshot FILE.png;
# --help lists them all). `--demo` first starts the engine demo instead,
# with the arguments after it. `--scenarios` plays the scenario levels
# (tools/data/scenarios) instead: their data set is built into build/Scenarios
# the same way, only when missing or out of date, and the level player reads
# it (`--scenarios --level 2` plays the second). CMake configures the build folder only when it
# is new or its options changed; the build re-runs it when its files change.
set -euo pipefail
here="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
. "$here/tools/deps.sh"
tm_install_packages "${TM_BUILD_PACKAGES[@]}"

build="$here/build"
tm_configure "$here" "$build" -DCMAKE_BUILD_TYPE=Release -DTM_TESTS=OFF -DTM_BENCH=OFF
target=run_levelplayer
program="$build/tools/levelplayer/levelplayer"
data="$build/Data"
extra=()
if [ "${1:-}" = "--demo" ]; then
  shift
  target=run_engine_demo
  program="$build/tools/demo/engine_demo"
elif [ "${1:-}" = "--scenarios" ]; then
  shift
  target=run_scenarios
  data="$build/Scenarios"
  extra=(--data "$data")
fi
# A warm start skips even make's walk over the libraries when nothing it
# builds from changed since the last good build: no file or folder of the
# sources (a folder's time changes when a file in it is added or removed)
# and not the configuration is newer than the stamp, taken as that build
# began.
stamp="$build/$target.stamp"
if [ ! -x "$program" ] || [ ! -f "$stamp" ] || [ ! -f "$data/built.stamp" ] ||
  [ -n "$(find "$here/CMakeLists.txt" "$here/cmake" "$here/src" "$here/tools" \
    "$build/CMakeFiles/cmake.check_cache" -newer "$stamp" -print -quit)" ]; then
  rm -f "$stamp"
  touch "$stamp.new"
  cmake --build "$build" -j "$(tm_jobs)" --target "$target"
  mv "$stamp.new" "$stamp"
fi
exec "$program" "${extra[@]}" "$@"
