#!/usr/bin/env bash
# The program played by a replay on the sample data set at 800 x 600 with
# the hints on: a first profile named on the main screen (its "Show Hints"
# left on), the opening comic closed, the map (map-before.png), level 1
# played with its tutorial to a won day with a medal (screenshots at its
# steps 1, 4 and 16), the result window's OK back to the map, whose result
# animation opens level 2 (map-after.png). Level 1's tutorial keeps its
# beds' water fixed while it runs, so a fixed script of clicks follows it:
# scripts/tutorial_level1.txt, the clicks of the tutorial follower on the
# same level (tutorials/played/TutorialReplayScriptsTest.cpp keeps the two in step).
# Headless (recorded: the recording ends expecting the win); with XVFB_RUN given, the same replay also in a window of an
# 800 x 600 X screen to the same end, its screenshots without drifting
# particles the same pictures as the headless ones.
# Usage: GameTutorial.sh TALLOWMERE WORK_FOLDER DATA_FOLDER [XVFB_RUN]
set -uo pipefail
. "$(dirname "${BASH_SOURCE[0]}")/../support/CommandLine.sh"
tm_game_setup "$1" "$2" "$3"
LEVEL1="$(dirname "${BASH_SOURCE[0]}")/scripts/tutorial_level1.txt"
xvfb_run="${4:-}"
run_timeout=400
tm_game_config 0

{
  tm_replay_new_profile
  tm_replay_easy_to_map
  echo "screenshot map-before.png"
  tm_replay_map_to_level1
  echo "wait 500"
  grep -v '^ *#' "$LEVEL1"
  echo "expect won
wait 8000                   # the last harvest walks in; the result shows
expect window LvRt          # the result window over the won day
key enter                   # its OK: to the map
await 5 5000
wait 1600                   # the map's result animation (200 + 900 ms after the fade)
move 790 595                # the pointer off the nodes
wait 100
screenshot map-after.png
key escape                  # the map: back to the main screen
await 6 2000"
} >"$work/tutorial.txt"

# play NAME ARGS...: the replay in a folder of its own, on a fresh per-user folder.
play() {
  local name="$1"
  shift
  tm_play_replay "$name" tutorial.txt "$@"
}
shots="map-before tutorial-step1 tutorial-step4 tutorial-step16 map-after"
check() {
  local name="$1"
  [ "$(status "$name")" = 0 ] || fail "the $name replay exits $(status "$name"): $(tail -3 "$work/$name.err")"
  for shot in $shots; do [ -s "$work/$name/$shot.png" ] || fail "the $name run wrote no $shot.png"; done
  grep -q "Level map *level 1 finished, level 2 now 2" "$work/$name.log" ||
    fail "the $name run's map did not animate level 2 opening"
  cmp -s "$work/$name/map-before.png" "$work/$name/map-after.png" && fail "the $name run's map looks alike before and after"
}

play headless "$game" --headless --record recorded.txt
check headless
# A recording of a run that won a level ends expecting the win.
[ "$(tail -n 1 "$work/headless/recorded.txt" 2>/dev/null)" = "expect won" ] ||
  fail "the recording of the won run does not end with \"expect won\""
if [ -n "$xvfb_run" ]; then
  # SDL2's system libraries keep a few allocations to the end: no leak report for the window's run.
  ASAN_OPTIONS="${ASAN_OPTIONS:+$ASAN_OPTIONS:}detect_leaks=0" play window "$xvfb_run" -a -s "-screen 0 800x600x24" "$game"
  check window
  # The shot whose screen holds none of the drifting particles (the map's
  # and the level's butterflies, whose flight differs a few pixels between
  # the window's run and the headless one) is the same picture.
  for shot in map-after; do
    cmp -s "$work/window/$shot.png" "$work/headless/$shot.png" || fail "$shot.png differs between the window and headless"
  done
  echo "replay in a window: $(cat "$work/window.ms") ms"
fi
echo "replay headless: $(cat "$work/headless.ms") ms"
tm_cli_finish
