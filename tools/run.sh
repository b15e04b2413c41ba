#!/usr/bin/env bash
# Builds the game (release) and starts it. Extra arguments go to the game.
set -euo pipefail
here="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
. "$here/tools/deps.sh"
tm_install_packages "${TM_BUILD_PACKAGES[@]}"

build="$here/build"
cmake -S "$here" -B "$build" -DCMAKE_BUILD_TYPE=Release -DTM_TESTS=OFF -DTM_BENCH=OFF
cmake --build "$build" -j "$(tm_jobs)" --target tallowmere
exec "$build/src/tallowmere" "$@"
