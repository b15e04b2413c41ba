#!/usr/bin/env bash
# Level 6's lessons and level 8's followed as a player does, through the X
# server (the X robot), in an 800 x 600 window on a 1,024 x 768 screen
# without a window manager, on the sample data set with the hints on: each
# click goes where the lesson's arrow is drawn (the log tells, under
# "Places"), or on what its text names.
#
# The game's own replay, headless and with the developer keys, first makes
# the profile: level 1 finished by the map's Shift-click, level 2 won (its
# bees bonus), level 3's new-bonus hint read and the bees left chosen, and
# levels 3 to 7 finished the same way: level 8 open with the bees taken.
# Then, through the X server, from the map:
# - level 6, played again (its lessons show while the hints are on): the
#   raider comes as the day starts and gasses a mill: the lesson's arrow
#   points at it, and it looks otherwise than before the day; its text
#   clicked, the next gas cloud waits in his catapult: a click on it bursts
#   it (the money counter shows its coins, the cloud is gone); the raider,
#   clicked where the arrow points until he runs off, is gone from where he
#   stood and his coins show on the counter; the repair arrow clicked, the
#   farmer sets to work, and once the lessons end the mill looks as before
#   the day, and the other mill, the warehouse and the wheat bed as before
#   the cloud (it gassed nothing); left for the map by the level menu;
# - level 8: the bees' lesson ("click the bees button and they will chase
#   him off the farm"), shown once the raider stands at the farm: its
#   arrow's button clicked, the raider is gone from where he stood, his
#   40 coins turn the counter's 400 into 440, the farm there looks as
#   before he came, and no point he aims at is gassed (the mill looks as
#   it did), also after his next shot's time once the lessons end;
#   bees-drive-off.png shows the bees at him;
# - the removal lesson: the bed the arrows point at selected, its remove
#   command clicked, the bed cleared away (its place looks otherwise).
# Usage: GameLessonsVillains.sh TALLOWMERE WORK_FOLDER DATA_FOLDER XROBOT XWINDOWWATCH [SHOTS_FOLDER]
set -uo pipefail
here="$(dirname "${BASH_SOURCE[0]}")"
. "$here/xwatch/Robot.sh"
tm_robot_setup "$@"
run_timeout=300
shots="${6:-}"

# The nodes of levels 3 to 8 on the map at 800 x 600.
level3='115 340'
level4='115 265'
level5='115 191'
level6='212 154'
level7='212 229'
level8='210 305'

# --- The profile: level 8 open, the bees owned and chosen ------------------------
tm_replay_bees_kept "$level3" "$level4" "$level5" "$level6" "$level7" >"$work/prepare.txt"
tm_robot_prepare 1

# lesson STEP: waits for the lesson step STEP (since the log's line `mark`)
# and a moment for its arrows; its arrow's point, "X Y", in `arrow`, where
# its text stands, in `hint` (as placed last since the step or lesson
# before it ended: a step's arrows are placed as it shows, before it is
# told).
lesson() {
  local placed
  x await-log "$log" "step $1" 60000 >/dev/null
  sleep 1
  placed="$(tail -n "+$mark" "$log" | tr -d '\r' | awk -v step="step $1" '
    /^Tutorial/ && !shown { if (index($0, step)) shown = 1; else kept = "" }
    { kept = kept $0 "\n" }
    END { printf "%s", kept }')"
  arrow="$(tm_arrow_point <<<"$placed")"
  hint="$(grep -a "^Placed hint " <<<"$placed" | tail -1 | awk '{ print $6, $7 }')"
  mark="$(wc -l <"$log")"
}
# rest: the pointer on the grass, away from what the pictures compare.
rest() { x move 700 180; }

tm_game_start_easy 0x5
# --- Level 6 ----------------------------------------------------------------------
tm_open_level $level6
# The money is the level's counter at the top, its digits in the middle
# third of its window. The farm before the day: the mill the raider gasses,
# the other mill, the warehouse, the wheat bed (under the start's words
# until the day starts), where he stands.
money="$(placed "window Mony" | awk '{ print $1 + int($3 / 3), $2, int($3 / 3), $4 }')"
gassed="200 150 60 85"
mill2="535 150 65 85"
warehouse="365 50 70 75"
wheat="150 355 150 85"
raider="595 235 65 65"
shot six-farm
mark="$(wc -l <"$log")"
x key Return  # "Click to start the day"
# His first cloud gasses the mill, which the lesson's first arrow points at.
lesson 0x80060001
read -r ax ay <<<"$arrow"
[ "$ax" -ge 200 ] && [ "$ax" -lt 260 ] && [ "$ay" -ge 150 ] && [ "$ay" -lt 235 ] ||
  fail "level 6's first lesson points at ${arrow:-nothing}, not at the mill"
shot six-gassed
[ "$(same six-farm six-gassed $gassed)" -le 80 ] || fail "the mill does not look gassed at level 6's first lesson"
# "Click to see what we can do": its text clicked.
x click $hint
# The next cloud waits in the catapult's bucket: the arrow stops short of
# the raider, on the screen's middle side, and the bucket stands 27 px
# left of and 53 px above where it points. Clicked, the cloud bursts and
# pays.
lesson 0x80060002
read -r ax ay <<<"$arrow"
[ -n "$ay" ] || fail "the gas cloud's lesson shows no arrow"
rest
shot six-cloud
[ "$(same six-farm six-cloud $raider)" -le 80 ] || fail "no raider stands east of the crossing in level 6"
cloud="$((ax - 27)) $((ay - 53))"
x click $cloud
lesson 0x80060003
read -r ax ay <<<"$arrow"
[ -n "$ay" ] || fail "the raider's lesson shows no arrow"
rest
sleep 0.5
shot six-burst
[ "$(same six-cloud six-burst $money)" -le 98 ] || fail "the money counter shows no coins for the gas cloud burst"
read -r cx cy <<<"$cloud"
[ "$(same six-cloud six-burst $((cx - 8)) $((cy - 8)) 16 16)" -le 70 ] || fail "the gas cloud is still in the catapult"
# "Click the villain until he runs off": at the arrow, until the
# repair's lesson shows.
for ((i = 0; i < 20; ++i)); do
  grep -aq "step 0x80060004" "$log" && break
  x click "$ax" "$ay"
  sleep 0.4
done
lesson 0x80060004
read -r ax ay <<<"$arrow"
[ -n "$ay" ] || fail "the repair's lesson shows no arrow"
rest
# He runs off: the farm where he stood looks as before the day; his coins show.
for ((i = 0; i < 10; ++i)); do
  sleep 1
  shot six-driven-off
  [ "$(same six-farm six-driven-off $raider)" -ge 95 ] && break
done
[ "$(same six-farm six-driven-off $raider)" -ge 95 ] ||
  fail "the raider still stands east of the crossing: $(same six-farm six-driven-off $raider)% as before the day"
[ "$(same six-burst six-driven-off $money)" -le 98 ] || fail "the money counter shows no coins for the raider driven off"
# The red arrow clicked: the farmer cleans the mill up; once the lessons
# end it looks as before the day, and nothing else was gassed.
x click "$ax" "$ay"
lesson 0x80060005
x await-log "$log" "0x80060000 ends" 60000 >/dev/null
rest
sleep 1
shot six-repaired
[ "$(same six-farm six-repaired $gassed)" -ge 95 ] ||
  fail "the repaired mill does not look as before the day: $(same six-farm six-repaired $gassed)%"
for area in mill2 warehouse wheat; do
  [ "$(same six-cloud six-repaired ${!area})" -ge 95 ] ||
    fail "the $area area does not look as before the cloud: $(same six-cloud six-repaired ${!area})%"
done
[ -z "$shots" ] || { mkdir -p "$shots" && cp "$work/six-repaired.png" "$shots/"; }
steps="$(grep -a "^Tutorial *step 0x8006" "$log" | sed 's/.* //' | tr -d '\r' | tr '\n' ' ')"
[ "$steps" = "0x80060001 0x80060002 0x80060003 0x80060004 0x80060005 " ] || fail "level 6's lessons went through $steps"
echo "level 6 took $((($(date +%s%N) - began) / 1000000)) ms"
# Left for the map by the level menu.
after "Placed button Menu 20000004" 10000 key Escape
after "-> 0x5" 10000 click $(centre "button Menu 20000004")  # "To the Map"
sleep 1.5

# --- Level 8 ----------------------------------------------------------------------
began=$(date +%s%N)
tm_open_level $level8
# The farm before the raider comes: where he will stand (east of the
# crossing) and the mill.
raider="595 235 65 65"
bed="215 390 70 50"
mill="195 150 80 90"
shot farm
mark="$(wc -l <"$log")"
x key Return  # "Click to start the day"
# The bees' lesson, once he stands there: its arrow's button clicked.
x await-log "$log" "step 0x80330001" 60000 >/dev/null
sleep 1.5
read -r ax ay <<<"$(tail -n "+$mark" "$log" | tr -d '\r' | tm_arrow_point)"
[ -n "$ay" ] || fail "the bees' lesson shows no arrow"
shot raider
[ "$(same farm raider $raider)" -le 80 ] || fail "no raider stands east of the crossing at the bees' lesson"
x click "$ax" "$ay"
sleep 1
shot bees-drive-off
# Struck and driven off, he pays his 40 coins: the counter's 400 turns 440.
# Its digits, 17 px apart, end 11 px right of its middle: the first 4
# stands also second now, the first and the last digit stay.
read -r d1 d3 <<<"$(placed "window Mony" | awk '{ print $1 + int($3 / 2) - 40, $1 + int($3 / 2) - 6 }')"
for digit in "$d1 8 17 23" "$d1 8 17 23 17 0" "$d3 8 17 23"; do
  [ "$(same farm bees-drive-off $digit)" -ge 95 ] ||
    { fail "the money counter does not show 440 for the raider driven off"; break; }
done
[ -z "$shots" ] || { mkdir -p "$shots" && cp "$work/bees-drive-off.png" "$shots/"; }
# The removal lesson that follows: the bed it points at cleared away.
tm_follow_lessons "0x80080000 ends" 90
ended=$SECONDS
steps="$(tail -n "+$mark" "$log" | sed -n 's/^Tutorial *step \(0x[0-9A-F]*\).*/\1/p' | tr -d '\r' | tr '\n' ' ')"
[ "$steps" = "0x80330001 0x80080001 0x80080002 0x80080003 0x80080004 " ] || fail "level 8's lessons went through $steps"
# Past his next shot's time once the lessons let the day go on (6 s, his
# throw and the cloud's flight: a raider left standing has gassed the mill
# 10 s on): he is gone, the farm where he stood looks as before he came,
# the mill is not gassed.
sleep $((ended + 15 - SECONDS > 0 ? ended + 15 - SECONDS : 0))
shot after
[ "$(same farm after $raider)" -ge 95 ] ||
  fail "the raider still stands east of the crossing after the bees: $(same farm after $raider)% as before he came"
[ "$(same farm after $mill)" -ge 95 ] || fail "the mill does not look as before the raider: $(same farm after $mill)%"
[ "$(same raider after $bed)" -le 80 ] || fail "the bed the lesson points at is not cleared away"
x key Escape
echo "level 8 took $((($(date +%s%N) - began) / 1000000)) ms"
tm_x_stop
tm_cli_finish
