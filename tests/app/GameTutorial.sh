#!/usr/bin/env bash
# The program played by a replay on the sample data set at 800 x 600 with
# the hints on, the whole first session (tm_replay_whole_game): the studio's
# mark and the game's logo, a first profile named on the main screen (its
# "Show Hints" left on), the opening comic closed, the map (map-before.png),
# level 1 played with its tutorial to a won day with a medal (screenshots at
# its steps 1, 4 and 16, won.png), the result window's OK back to the map,
# whose result animation opens level 2 (map-after.png), the map's options
# window with the sound's volume changed, closed, Escape to the main screen
# and its "quit": the run ends with status 0, no look-up missed, and the
# per-user folder holds "config.dat" (the changed volume), "profiles.dat",
# the profile's file, its records and level 1's. Level 1's tutorial keeps
# its beds' water fixed while it runs, so a fixed script of clicks follows
# it: scripts/tutorial_level1.txt, the clicks of the tutorial follower on
# the same level (tutorials/played/TutorialReplayScriptsTest.cpp keeps the
# two in step).
# Headless (recorded: the recording ends expecting the win and the quit);
# with XVFB_RUN given, the same replay also in a window of an 800 x 600 X
# screen to the same end, every screenshot the same picture as the headless
# one (the butterflies' flight included: the run is the same whatever the
# output).
# Usage: GameTutorial.sh TALLOWMERE WORK_FOLDER DATA_FOLDER [XVFB_RUN]
set -uo pipefail
. "$(dirname "${BASH_SOURCE[0]}")/../support/CommandLine.sh"
tm_game_setup "$1" "$2" "$3"
xvfb_run="${4:-}"
run_timeout=400
tm_game_config 0
tm_replay_whole_game "$(dirname "${BASH_SOURCE[0]}")/scripts/tutorial_level1.txt" >"$work/tutorial.txt"

# play NAME ARGS...: the replay in a folder of its own, on a fresh per-user folder.
play() {
  local name="$1"
  shift
  tm_play_replay "$name" tutorial.txt "$@"
}
shots="studio logo new-profile map-before tutorial-step1 tutorial-step4 tutorial-step16 won map-after options main-end"
check() {
  local name="$1"
  [ "$(status "$name")" = 0 ] || fail "the $name replay exits $(status "$name"): $(tail -3 "$work/$name.err")"
  for shot in $shots; do [ -s "$work/$name/$shot.png" ] || fail "the $name run wrote no $shot.png"; done
  grep -q "Level map *level 1 finished, level 2 now 2" "$work/$name.log" ||
    fail "the $name run's map did not animate level 2 opening"
  cmp -s "$work/$name/map-before.png" "$work/$name/map-after.png" && fail "the $name run's map looks alike before and after"
  local states
  states="$(sed -n 's/^Game state *\(.*\)$/\1/p' "$work/$name.log" | tr -d '\r' | tr '\n' ' ')"
  [ "$states" = "0x0 -> 0x1 0x1 -> 0x80000002 0x80000002 -> 0x6 0x6 -> 0x7 0x7 -> 0x5 0x5 -> 0x80000003 0x80000003 -> 0x4 0x4 -> 0x5 0x5 -> 0x6 0x6 -> 0xFFFFFFFF " ] ||
    fail "the $name run went through the states $states"
  grep -q "look-up missed:" "$work/$name.log" && fail "the $name run missed a look-up: $(grep "look-up missed:" "$work/$name.log" | head -3)"
  for file in config.dat profiles.dat profile0.dat Tester/records.txt Tester/level_01.txt; do
    [ -s "$user/$file" ] || fail "the $name run left no $file in the per-user folder"
  done
  # The options' change: the sound's volume saved (the first start saves 50.0).
  cmp -s <(od -An -tx1 -j60 -N4 "$user/config.dat") <(printf ' 00 00 48 42\n') &&
    fail "the $name run's config.dat holds the sound's first volume"
}

play headless "$game" --headless --record recorded.txt
check headless
# A recording of a run that won a level ends expecting the win, then the
# game's own quit.
tail -n 2 "$work/headless/recorded.txt" 2>/dev/null | tr '\n' ' ' | grep -Eq "^expect won await 4294967295 [0-9]+ $" ||
  fail "the recording of the won run ends with: $(tail -n 2 "$work/headless/recorded.txt" | tr '\n' ' ')"
if [ -n "$xvfb_run" ]; then
  # SDL2's system libraries keep a few allocations to the end: no leak report for the window's run.
  ASAN_OPTIONS="${ASAN_OPTIONS:+$ASAN_OPTIONS:}detect_leaks=0" play window "$xvfb_run" -a -s "-screen 0 800x600x24" "$game"
  check window
  # Every mark the same picture, byte for byte.
  for shot in $shots; do
    cmp -s "$work/window/$shot.png" "$work/headless/$shot.png" || fail "$shot.png differs between the window and headless"
  done
  echo "replay in a window: $(cat "$work/window.ms") ms"
fi
echo "replay headless: $(cat "$work/headless.ms") ms"
tm_cli_finish
