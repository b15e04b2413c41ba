#!/usr/bin/env bash
# The game's states played by replays, headless, on an 800 x 600 screen
# ("config.ini" beside the program): start -> main screen -> level 1 won ->
# map -> main screen, twice, with the same state trace and byte-identical
# profile files, the map's result animation opening level 2 (screenshots
# of the map before and after, map-before.png and map-after.png); a level left through its menu's "to map", kept by the map
# and entered again without loading, saved in "profile0.dat", deleted by
# the main screen and restored from the file; the menu's restart; the
# menu's quit ending the run with a current profile (clean under the
# sanitizers); with hints on, the first map tutorial after the villains'
# scene (map-first-tutorial.png).
#
# Played on the scenario data set: level 1 is the garbage yard, won by the
# same clicks whatever the random draws. Level 1 is played by the level
# player's script for it (LEVEL1 below, its
# comments left out, its "expect won" kept): the replays only wrap it, so when
# level 1 changes only that script's clicks change.
# Usage: GameStates.sh TALLOWMERE WORK_FOLDER DATA_FOLDER SCRIPTS_FOLDER
set -uo pipefail
. "$(dirname "${BASH_SOURCE[0]}")/../support/CommandLine.sh"
tm_game_setup "$1" "$2" "$3"
LEVEL1="$4/clear_the_yard.txt"
run_timeout=300
tm_game_config 0
loading=$((0x80000003))

# The screens' buttons (game coordinates at 800 x 600), the level
# menu's button and its commands. A first run names the profile (hints
# off) and goes through the opening comic to the map.
first_play="$(tm_replay_new_profile hints-off; tm_replay_easy_to_map)"
# Level 1 on the map, then the level window's "play", or "continue" when
# the level has a saved game.
map_button="$(tm_replay_open_level 115 490)
click 489 438"
map_continue="$(tm_replay_open_level 115 490)
click 580 438"
menu='click 755 10'
menu_to_map='click 398 414'
menu_restart='click 398 210'
restart_yes='click 488 438'
menu_quit='click 398 482'
quit_yes='click 314 357'

# trace NAME: the game states the run named NAME went through, one a line.
trace() { sed -n 's/^Game state *\(.*\)$/\1/p' "$work/$1.log" | tr -d '\r'; }

# --- Start, main screen, level 1 won, map, main screen ----------------------------------------------
{
  echo "$first_play"
  echo "await 5 3000"
  echo "wait 400"
  echo "screenshot map-before.png"
  echo "$map_button"
  echo "await $loading 2000"
  echo "await 4 60000"
  grep -v '^ *#' "$LEVEL1"
  echo "key enter       # the result window's OK: to the map"
  echo "await 5 5000"
  echo "wait 1600       # the map's result animation (200 + 900 ms after the fade)"
  echo "move 790 595     # the pointer off the nodes"
  echo "wait 100"
  echo "screenshot map-after.png"
  echo "key escape      # the map: back to the main screen"
  echo "await 6 2000"
  echo "wait 400"
} >"$work/won.txt"
# Every replay starts with the start-up and level 1 loaded from the map.
to_level='0x0 -> 0x1
0x1 -> 0x80000002
0x80000002 -> 0x6
0x6 -> 0x7
0x7 -> 0x5
0x5 -> 0x80000003
0x80000003 -> 0x4'
expected_won="$to_level
0x4 -> 0x5
0x5 -> 0x6
0x6 -> 0xFFFFFFFF"
tm_play_headless won
[ "$(trace won)" = "$expected_won" ] || fail "the won replay's states: $(trace won | tr '\n' ' ')"
# Back on the map the result animation opens level 2.
grep -q "Level map *level 1 finished, level 2 now 2" "$work/won.log" ||
  fail "the map did not animate level 2 opening: $(grep 'Level map' "$work/won.log" | head -3)"
[ -s "$work/won/map-before.png" ] && [ -s "$work/won/map-after.png" ] && ! cmp -s "$work/won/map-before.png" "$work/won/map-after.png" ||
  fail "the map's screenshots before and after the level are missing or alike"
grep -aq "золото" "$user/Tester/records.txt" 2>/dev/null ||
  iconv -f UTF-16 -t UTF-8 "$user/Tester/records.txt" 2>/dev/null | grep -q "level_01: .*00:00:1" ||
  fail "the records do not hold level 1 won"
mkdir -p "$work/first"
cp "$user"/profile0.dat "$user"/profiles.dat "$user"/config.dat "$work/first/" ||
  fail "the won replay wrote no profile"
tm_play_replay again won.txt "$game" --headless
[ "$(trace again)" = "$expected_won" ] || fail "the second run's states: $(trace again | tr '\n' ' ')"
for f in profile0.dat profiles.dat config.dat; do
  cmp -s "$user/$f" "$work/first/$f" || fail "two runs of one replay wrote different $f"
done

# --- A level left through its menu: kept by the map, saved, restored ---------------------------------
{
  echo "$first_play"
  echo "await 5 3000"
  echo "wait 400"
  echo "$map_button"
  echo "await 4 60000"
  echo "wait 500"
  echo "click 400 300   # the day starts"
  echo "wait 1000"
  echo "$menu"
  echo "wait 800"
  echo "$menu_to_map"
  echo "await 5 3000"
  echo "wait 400"
  echo "$map_continue   # the kept level again, not loaded"
  echo "await 4 3000"
  echo "wait 600"
  echo "$menu"
  echo "wait 800"
  echo "$menu_to_map"
  echo "await 5 3000"
  echo "wait 400"
  echo "key escape      # the main screen deletes the level left"
  echo "await 6 2000"
  echo "wait 400"
  tm_replay_easy_to_map         # no level finished yet: the comic and the attack again
  echo "await 5 3000"
  echo "wait 400"
  echo "$map_continue   # loaded anew, restored from the profile"
  echo "await $loading 2000"
  echo "await 4 60000"
  echo "wait 600"
  echo "screenshot restored.png"
  echo "$menu"
  echo "wait 800"
  echo "$menu_restart"
  echo "wait 800"
  echo "$restart_yes"
  echo "wait 1000"
  echo "screenshot restarted.png"
  echo "click 400 300   # the day starts again: the quit saves it"
  echo "wait 1000"
  echo "$menu"
  echo "wait 800"
  echo "$menu_quit"
  echo "wait 800"
  echo "$quit_yes"
  echo "wait 5000       # the game ends first"
} >"$work/menu.txt"
tm_play_headless menu 5  # its quit ends the run
has menu.err "line [0-9]*: wait 5000: the run ended first" ||
  fail "the menu's quit did not end the run: $(head -3 "$work/menu.err")"
expected_menu="$to_level
0x4 -> 0x5
0x5 -> 0x4
0x4 -> 0x5
0x5 -> 0x6
0x6 -> 0x7
0x7 -> 0x5
0x5 -> 0x80000003
0x80000003 -> 0x4
0x4 -> 0xFFFFFFFF"
[ "$(trace menu)" = "$expected_menu" ] || fail "the menu replay's states: $(trace menu | tr '\n' ' ')"
grep -aq "ERROR: AddressSanitizer\|runtime error" "$work/menu.err" && fail "the quit was not clean: $(head -5 "$work/menu.err")"
# Restored, the day had begun (no prompt to start it, its clock running);
# the restart brought the prompt back.
[ -s "$work/menu/restored.png" ] && [ -s "$work/menu/restarted.png" ] || fail "the menu replay wrote no screenshots"
cmp -s "$work/menu/restored.png" "$work/menu/restarted.png" && fail "the restored level looks like the restarted one"
# The level in progress was saved in the profile when the run quit.
won_size=$(stat -c %s "$work/first/profile0.dat")
menu_size=$(stat -c %s "$user/profile0.dat")
[ "$menu_size" -gt "$won_size" ] || fail "the level in progress is not in profile0.dat ($menu_size <= $won_size bytes)"

# --- Hints on: the villains' scene, then the first map tutorial -------------------------------------
# A first profile with hints on, after the opening comic: the villains'
# scene, skipped by a click, hands over to the first tutorial, whose
# layer refuses the awards button; level 1's node opens its window and ends
# the tutorial.
{
  tm_replay_new_profile
  tm_replay_easy_to_map
  echo "await 5 3000"
  echo "wait 1000       # the scene skipped, the first tutorial shows"
  echo "expect window TutL"
  echo "screenshot map-first-tutorial.png"
  echo "click 88 566    # \"awards\": refused while the tutorial runs"
  echo "wait 400"
  echo "move 115 490"
  echo "wait 100"
  echo "click 115 490   # level 1: its window"
  echo "wait 600"
  echo "expect window LvIf"
} >"$work/hints.txt"
tm_play_headless hints
[ -s "$work/hints/map-first-tutorial.png" ] || fail "the hints replay wrote no screenshot"

tm_cli_finish
