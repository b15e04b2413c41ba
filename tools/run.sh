#!/usr/bin/env bash
# Builds the program (release) and the sample data set, then starts the
# game on it: the logos, the loading, the main screen. The data set is
# written to build/Data by the data builder, again only when its sources
# (tools/data) or the builder are newer than it. "config.ini" is written
# beside the program only when it is missing: a window, no cheats. Extra
# arguments go to the game (--replay FILE, --headless; --help lists them).
# `--level-player` starts the level player on the data set's first level
# instead, with the arguments after it (--level N, --script FILE, ...).
# `--demo` starts the engine demo instead. `--scenarios` plays the scenario
# levels (tools/data/scenarios) in the level player: their data set is built
# into build/Scenarios the same way, only when missing or out of date
# (`--scenarios --level 2` plays the second). CMake configures the build folder only when it
# is new or its options changed; the build re-runs it when its files change.
set -euo pipefail
here="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
. "$here/tools/deps.sh"
tm_report_exit tools/run.sh
tm_install_packages "${TM_BUILD_PACKAGES[@]}"

build="$here/build"
tm_configure "$here" "$build" -DCMAKE_BUILD_TYPE=Release -DTM_TESTS=OFF -DTM_BENCH=OFF
target=run_tallowmere
program="$build/src/tallowmere"
data="$build/Data"
extra=(--data "$data")
if [ "${1:-}" = "--level-player" ]; then
  shift
  target=run_levelplayer
  program="$build/tools/levelplayer/levelplayer"
  extra=()
elif [ "${1:-}" = "--demo" ]; then
  shift
  target=run_engine_demo
  program="$build/tools/demo/engine_demo"
  extra=()
elif [ "${1:-}" = "--scenarios" ]; then
  shift
  target=run_scenarios
  program="$build/tools/levelplayer/levelplayer"
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
# The game's own settings beside it, never over a person's.
if [ "$target" = run_tallowmere ] && [ ! -e "$build/src/config.ini" ]; then
  printf '[Video]\nFullscreen=0\n\n[Game]\nCheats=0\n' >"$build/src/config.ini"
fi
exec "$program" "${extra[@]}" "$@"
