#!/usr/bin/env bash
# The map tutorials and level 4's tutorial played by replays, headless, on
# the sample data set at 800 x 600, a first profile with its hints on:
# - bonus (developer keys on): after the first map tutorial, level 1
#   finished by the map's Shift-click, level 2 played and won (C), back on
#   the map level 3's window shows the bees won in level 2 in its first
#   slot with the new-bonus tutorial's arrow (map-new-bonus.png); level 3
#   then finished by Shift-click. The per-user folder it leaves, levels 1
#   to 3 finished and level 4 open, is where the next two runs start.
# - regime (developer keys on): the eighth level's Shift-click brings the
#   regime tutorial (map-regime.png); the regime button then switches to
#   the hard regime, whose first visit shows the hard tutorial
#   (map-hard.png); the profile keeps the hard regime.
# - level4 (developer keys off): level 4 chosen on the map and played with
#   its tutorial to the won day by the follower's clicks
#   (scripts/tutorial_level4.txt), screenshots of its steps 4 and 8 and of
#   the result window; back on the map.
# Each run is checked by its log (the tutorials' steps), the per-user files
# and its screenshots; the times are printed.
# Usage: GameMapTutorials.sh TALLOWMERE WORK_FOLDER DATA_FOLDER
set -uo pipefail
. "$(dirname "${BASH_SOURCE[0]}")/../support/CommandLine.sh"
tm_game_setup "$1" "$2" "$3"
run_timeout=300
LEVEL4="$(dirname "${BASH_SOURCE[0]}")/scripts/tutorial_level4.txt"
# The nodes of levels 3, 4 and 8 on the map, the regime button.
level3='115 340'
level4='115 265'
level8='210 305'
regime='643 565'

# in_log NAME TEXT: the run's log has TEXT; shot NAME FILE: the run wrote the screenshot FILE.
in_log() { grep -q "$2" "$work/$1.log" || fail "the $1 run's log lacks \"$2\""; }
shot() { [ -s "$work/$1/$2" ] || fail "the $1 run wrote no $2"; }

# --- A new bonus won in level 2 shown in level 3's window --------------------
tm_game_config 1
{
  tm_replay_bees_won
  echo "expect window TutL
screenshot map-new-bonus.png
click 400 300               # the hint's click: the tutorial ends
wait 600
click 307 495               # the window's \"cancel\"
wait 600
click $level3 shift
wait 2500
move 790 595
wait 100
screenshot map-level4-open.png"
} >"$work/bonus.txt"
tm_play_headless bonus
in_log bonus "Level map *level 2 finished, level 3 now 2"
in_log bonus "Tutorial *step 0x40030001"
in_log bonus "Tutorial *0x40030000 ends"
in_log bonus "Level map *level 3 finished, level 4 now 2"
shot bonus map-new-bonus.png
prepared="$work/prepared"
rm -rf "$prepared"
cp -a "$user" "$prepared"
# The bees won in level 2 wait in the first slot of the easy regime's selection.
od -An -v -tx1 "$prepared/profile0.dat" | tr -d ' \n' | grep -q "0100000000000000ffffffffffffffff" ||
  fail "profile0.dat holds no selection of the bees alone"

# --- The regime tutorial after the eighth level, the hard one on the first hard visit ---
from="$prepared"
{
  tm_replay_header
  echo "click 589 356               # \"easy\": the map (levels finished: no comic)
await 5 3000
wait 1500
move $level8
wait 100
click $level8 shift          # the eighth level finished: the hard regime opens
wait 3000
expect window TutL
screenshot map-regime.png
click 400 300               # the hint's click: the tutorial ends
wait 1000
click $regime               # the regime button: to the hard regime
wait 1500
expect window TutL
screenshot map-hard.png
click 400 300
wait 1000"
} >"$work/regime.txt"
tm_play_headless regime
in_log regime "Level map *level 8 finished"
in_log regime "Tutorial *step 0x40050002"
in_log regime "Tutorial *0x40050000 ends"
in_log regime "Tutorial *step 0x40060001"
in_log regime "Tutorial *0x40060000 ends"
shot regime map-regime.png
shot regime map-hard.png
cmp -s "$prepared/profile0.dat" "$user/profile0.dat" && fail "the regime run left profile0.dat as it was"
# The profile's progress block (from byte 112 of the file) keeps the hard regime in its third word.
[ "$(od -An -tu4 -j120 -N4 "$user/profile0.dat" | tr -d ' ')" = 1 ] || fail "profile0.dat does not keep the hard regime"

# --- Level 4 with its tutorial ---------------------------------------------------
tm_game_config 0
{
  tm_replay_header
  echo "click 589 356               # \"easy\": the map
await 5 3000
wait 1500"
  tm_replay_open_level $level4
  echo "click 489 495               # \"play\" (below the bonus slots)
await $((0x80000003)) 2000
await 4 60000
wait 500"
  grep -v '^ *#' "$LEVEL4"
  echo "expect won
wait 8000                   # the last eggs walk in; the result shows
expect window LvRt
screenshot level4-won.png
key enter                   # its OK: to the map
await 5 5000
wait 1600"
} >"$work/level4.txt"
tm_play_headless level4
for n in 1 2 3 4 5 6 7 8 9; do in_log level4 "Tutorial *step 0x8004000$n"; done
in_log level4 "Tutorial *0x80040000 ends"
in_log level4 "Level map *level 4 finished"
shot level4 tutorial-step4.png
shot level4 tutorial-step8.png
iconv -f UTF-16 -t UTF-8 "$user/Tester/records.txt" 2>/dev/null | grep -q "level_04" ||
  grep -aq "level_04" "$user/Tester/records.txt" 2>/dev/null || fail "the records do not hold level 4 won"
tm_cli_finish
