#!/usr/bin/env bash
# The program in a window of a virtual X server (Xvfb, through SDL2) played
# by a replay from its start: the studio's mark, the game's logo skipped, the
# start-up's loading, the main screen with its first profile, the opening
# comic, the map (level 1 chosen there),
# the level's loading, level 1 cleared to a won day and its result window.
# The X screen is 800 x 600, the size "config.ini" asks for, so the window is
# the same 800 x 600 full screen the headless run of the same replay gets:
# every screenshot mark of the two runs is the same picture, byte for byte.
#
# Played on the scenario data set: its level 1 (the garbage yard) is won by
# the same clicks whatever the random draws, where the sample set's first
# level waits on its plants' random water. Level 1 is played by the level
# player's script for it (the LEVEL1 file, comments left
# out, its "expect won" kept), as the game-state replays do.
# Usage: GameXvfb.sh TALLOWMERE WORK_FOLDER DATA_FOLDER SCRIPTS_FOLDER XVFB_RUN
set -uo pipefail
. "$(dirname "${BASH_SOURCE[0]}")/../support/CommandLine.sh"
tm_game_setup "$1" "$2" "$3"
LEVEL1="$4/clear_the_yard.txt"
xvfb_run="$5"
run_timeout=300
printf '[Video]\nFullscreen=1\nScreen=800,600\n' >"$(dirname "$game")/config.ini"
start=$((0x80000002))

{
  echo "clock 1767225600
seed 7
wait 1500
screenshot studio.png       # the studio's mark, which a click cannot skip
wait 1600
click 400 300               # the game's logo skipped
await $start 1000
wait 300
screenshot loading.png
await 6 120000
wait 400
wait 800
text \"Tester\"               # the first profile's name
click 197 322               # \"Show Hints\" off: no tutorial on the scenario levels
screenshot main.png
key enter                   # the new-profile window's OK
wait 600"
  tm_replay_easy_to_map
  tm_replay_map_to_level1
  grep -v '^ *#' "$LEVEL1"
  echo "screenshot won.png    # the result window over the won day
expect state 4"
} >"$work/xvfb.txt"

# play NAME ARGS...: the replay in a folder of its own, on a fresh per-user folder.
play() {
  local name="$1"
  shift
  tm_play_replay "$name" xvfb.txt "$@"
  cp "$user/Tester/records.txt" "$work/$name.records" 2>/dev/null || : >"$work/$name.records"
}

# SDL2's system libraries keep a few allocations to the end: no leak report for the window's run.
ASAN_OPTIONS="${ASAN_OPTIONS:+$ASAN_OPTIONS:}detect_leaks=0" play window "$xvfb_run" -a -s "-screen 0 800x600x24" "$game"
[ "$(status window)" = 0 ] || fail "the replay in a window exits $(status window): $(tail -3 "$work/window.err")"
play headless "$game" --headless
[ "$(status headless)" = 0 ] || fail "the headless replay exits $(status headless): $(tail -3 "$work/headless.err")"
for shot in studio loading main won; do
  [ -s "$work/window/$shot.png" ] || fail "the window's run wrote no $shot.png"
  cmp -s "$work/window/$shot.png" "$work/headless/$shot.png" || fail "$shot.png differs between the window and headless"
done
states="$(sed -n 's/^Game state *\(.*\)$/\1/p' "$work/window.log" | tr -d '\r' | tr '\n' ' ')"
[ "$states" = "0x0 -> 0x1 0x1 -> 0x80000002 0x80000002 -> 0x6 0x6 -> 0x7 0x7 -> 0x5 0x5 -> 0x80000003 0x80000003 -> 0x4 0x4 -> 0xFFFFFFFF " ] ||
  fail "the window's run went through the states $states"
for name in window headless; do
  { iconv -f UTF-16 -t UTF-8 "$work/$name.records" 2>/dev/null || cat "$work/$name.records"; } | grep -aq "level_01" ||
    fail "the $name run's records do not hold level 1 won"
done
echo "replay in a window: $(cat "$work/window.ms") ms, headless: $(cat "$work/headless.ms") ms"
tm_cli_finish
