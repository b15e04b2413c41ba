#!/usr/bin/env bash
# The run command (tools/run.sh) on a copy of the source tree whose build is
# up to date and whose program is a stub that writes down how it was
# started: no window, no build. "config.ini" is written beside the program
# when it is missing (a window, no cheats), left byte for byte when a person
# has one, also an empty one; the level player and the engine demo write
# none; the game's arguments reach the program after the data folder.
# Usage: RunScript.sh SOURCE_FOLDER WORK_FOLDER
set -uo pipefail
source="$1"
work="$2"
failures=0
fail() {
  echo "FAILED: $*"
  failures=$((failures + 1))
}
rm -rf "$work"
tree="$work/tree"
mkdir -p "$tree/tools" "$tree/src" "$tree/cmake" "$work/bin"
cp "$source/tools/run.sh" "$tree/tools/run.sh"
touch "$tree/CMakeLists.txt"
# Packages present and the build configured: the helpers do nothing.
cat >"$tree/tools/deps.sh" <<'DEPS'
TM_BUILD_PACKAGES=()
tm_install_packages() { :; }
tm_report_exit() { :; }
tm_configure() { :; }
tm_jobs() { echo 1; }
DEPS
# A build would be a fault: cmake on the path fails loudly.
printf '#!/bin/sh\necho "cmake was run: $*" >&2\nexit 99\n' >"$work/bin/cmake"
chmod +x "$work/bin/cmake"
build="$tree/build"
stub='#!/bin/sh
{ echo "$0"; for a in "$@"; do echo "$a"; done; } >"$STARTED"'
for p in src/tallowmere tools/levelplayer/levelplayer tools/demo/engine_demo; do
  mkdir -p "$(dirname "$build/$p")"
  printf '%s\n' "$stub" >"$build/$p"
  chmod +x "$build/$p"
done
mkdir -p "$build/CMakeFiles" "$build/Data" "$build/Scenarios"
touch "$build/CMakeFiles/cmake.check_cache" "$build/Data/built.stamp" "$build/Scenarios/built.stamp"
sleep 1  # the stamps newer than every source, at a second's resolution
for t in run_tallowmere run_levelplayer run_engine_demo run_scenarios; do touch "$build/$t.stamp"; done

config="$build/src/config.ini"
# start NAME ARGS...: run.sh with ARGS; its status, output and the stub's record kept under NAME.
start() {
  local name="$1"
  shift
  STARTED="$work/$name.started" PATH="$work/bin:$PATH" timeout 60 bash "$tree/tools/run.sh" "$@" \
    >"$work/$name.out" 2>"$work/$name.err"
  echo $? >"$work/$name.status"
}

# Missing: written, a window and no cheats; the game started on the data set with the arguments.
start first --replay x.txt
[ "$(cat "$work/first.status")" = 0 ] || fail "first start: status $(cat "$work/first.status"): $(head -3 "$work/first.err")"
[ -f "$config" ] || fail "no config.ini written when missing"
[ "$(cat "$config" 2>/dev/null)" = $'[Video]\nFullscreen=0\n\n[Game]\nCheats=0' ] || fail "config.ini written as: $(cat "$config")"
[ "$(cat "$work/first.started" 2>/dev/null)" = "$build/src/tallowmere"$'\n'"--data"$'\n'"$build/Data"$'\n'"--replay"$'\n'"x.txt" ] ||
  fail "the game was started as: $(tr '\n' ' ' <"$work/first.started")"

# A person's own, and an empty one: kept byte for byte, time included.
for own in $'[Video]\r\nFullscreen=1\r\n[Game]\r\nCheats=1\r\n' ''; do
  printf '%s' "$own" >"$config"
  touch -d '2020-01-01 00:00:00' "$config"
  cp -p "$config" "$work/own.ini"
  start again
  [ "$(cat "$work/again.status")" = 0 ] || fail "start with a config.ini: status $(cat "$work/again.status")"
  cmp -s "$config" "$work/own.ini" || fail "an existing config.ini was changed: $(od -c "$config" | head -3)"
  [ "$(stat -c %Y "$config")" = "$(stat -c %Y "$work/own.ini")" ] || fail "an existing config.ini was written over"
done

# The level player, the scenarios and the demo: no config.ini of the game's.
rm -f "$config"
start player --level-player --level 2
start scenarios --scenarios --level 2
start demo --demo
[ ! -e "$config" ] || fail "the level player, the scenarios or the demo wrote config.ini"
[ "$(head -1 "$work/player.started" 2>/dev/null)" = "$build/tools/levelplayer/levelplayer" ] || fail "--level-player did not start the level player"
[ "$(sed -n 2,3p "$work/scenarios.started" 2>/dev/null | tr '\n' ' ')" = "--data $build/Scenarios " ] || fail "--scenarios: not on the scenario set"
[ "$(head -1 "$work/demo.started" 2>/dev/null)" = "$build/tools/demo/engine_demo" ] || fail "--demo did not start the demo"
if [ "$failures" -ne 0 ]; then
  for f in "$work"/*.err; do echo "--- $f"; head -n 5 "$f"; done
  exit 1
fi
echo "run.sh checks passed"
