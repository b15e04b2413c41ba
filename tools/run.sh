#!/usr/bin/env bash
# Builds the program (release, in build/) and the sample data set, then
# starts the game on it: the logos, the loading, the main screen.
#   bash tools/run.sh [OPTION...]                  the game (--help lists OPTION)
#   bash tools/run.sh --level-player [OPTION...]   the level player instead
#   bash tools/run.sh --scenarios [OPTION...]      the level player on the scenario levels
#   bash tools/run.sh --demo [OPTION...]           the engine demo instead
# Each of them answers --help. The Debian packages it needs are installed
# first when missing (as root or through sudo). The data set is written to
# build/Data by the data builder, again only when its sources (tools/data) or
# the builder are newer than it; the scenario levels (tools/data/scenarios)
# likewise into build/Scenarios. "config.ini" is written beside the program
# only when it is missing: a window, no cheats. CMake configures the build
# folder only when it is new or its options changed; the build re-runs it
# when its files change. docs/manual.md says more.
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
