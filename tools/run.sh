#!/usr/bin/env bash
# Builds the program (release) and the sample data set, then starts the
# level player: the data set's first level in a window, played with the
# mouse. The data set is written to build/Data by the data builder, again
# only when its sources (tools/data) or the builder are newer than it. Until
# the game's screens exist the level player stands for the program. Extra
# arguments go to it (--headless, --script FILE, --screenshot FILE.png;
# --help lists them all). `--demo` first starts the engine demo instead,
# with the arguments after it.
set -euo pipefail
here="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
. "$here/tools/deps.sh"
tm_install_packages "${TM_BUILD_PACKAGES[@]}"

build="$here/build"
cmake -S "$here" -B "$build" -DCMAKE_BUILD_TYPE=Release -DTM_TESTS=OFF -DTM_BENCH=OFF
if [ "${1:-}" = "--demo" ]; then
  shift
  cmake --build "$build" -j "$(tm_jobs)" --target engine_demo sample_data
  exec "$build/tools/demo/engine_demo" "$@"
fi
cmake --build "$build" -j "$(tm_jobs)" --target levelplayer sample_data
exec "$build/tools/levelplayer/levelplayer" "$@"
