#!/usr/bin/env bash
# Level 8's lessons followed as a player does, through the X server (the X
# robot), in an 800 x 600 window on a 1,024 x 768 screen without a window
# manager, on the sample data set with the hints on: each click goes where
# the lesson's arrow is drawn (the log tells, under "Places").
#
# The game's own replay, headless and with the developer keys, first makes
# the profile: level 1 finished by the map's Shift-click, level 2 won (its
# bees bonus), level 3's new-bonus hint read and the bees left chosen, and
# levels 3 to 7 finished the same way: level 8 open with the bees taken.
# Then, through the X server, level 8 from the map:
# - the bees' lesson ("click the bees button and they will chase him off
#   the farm"), shown once the raider stands at the farm: its arrow's
#   button clicked, the raider is gone from where he stood, the farm there
#   looks as before he came, and no point he aims at is gassed (the bed
#   looks as it did), also after his shots' time; bees-drive-off.png shows
#   the bees at him;
# - the removal lesson: the bed the arrows point at selected, its remove
#   command clicked, the bed cleared away (its place looks otherwise).
# Usage: GameLessonsVillains.sh TALLOWMERE WORK_FOLDER DATA_FOLDER XROBOT XWINDOWWATCH [SHOTS_FOLDER]
set -uo pipefail
here="$(dirname "${BASH_SOURCE[0]}")"
. "$here/xwatch/Robot.sh"
tm_robot_setup "$@"
run_timeout=300
shots="${6:-}"

# The nodes of levels 1 to 8 on the map at 800 x 600.
level1='115 490'
level2='115 415'
level3='115 340'
level4='115 265'
level5='115 191'
level6='212 154'
level7='212 229'
level8='210 305'

# --- The profile: level 8 open, the bees owned and chosen ------------------------
{
  tm_replay_new_profile
  tm_replay_easy_to_map
  tm_replay_open_level $level1
  echo "key escape                  # the first map lesson ended by level 1's window, closed
wait 600
click $level1 shift          # level 1 finished by the developers' click
wait 2500"
  tm_replay_open_level $level2
  echo "click 489 438               # \"play\"
await $((0x80000003)) 2000
await 4 60000
wait 1000
click 400 300               # the day starts
wait 1000
key 46                      # C: won, the bees with it
wait 3000
key enter                   # the result window's OK: to the map
await 5 5000
wait 2000"
  tm_replay_open_level $level3
  echo "wait 900
click 400 300               # the new bonus's hint read
wait 600
click 307 495               # the window's \"cancel\"
wait 600"
  for level in "$level3" "$level4" "$level5" "$level6" "$level7"; do
    echo "move $level
wait 100
click $level shift
wait 3000"
  done
} >"$work/prepare.txt"
tm_robot_prepare 1

# same A B X Y W H: the per cent of the pixels alike (XRobot compare); shot NAME: a picture of the window.
same() { xq compare "$work/$1.png" "$work/$2.png" "${@:3}"; }
shot() { x shot "$work/$1.png"; }

began=$(date +%s%N)
tm_game_start_prepared
after "-> 0x5" 10000 click $(centre "button MSMn 12340001")  # "Easy Days": the map
sleep 1.5
x move $level8
sleep 0.2
after "Placed window LvIf" 10000 click $level8
after "-> 0x4" 60000 click $(centre "button LvIf 35000001")  # "Play"
x await-log "$log" "Placed window Lvlp" 20000 >/dev/null
sleep 1
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
# Struck and driven off, he pays his coins: the money counter shows more.
money="$(placed "window Mony" | awk '{ print $1 + int($3 / 3), $2, int($3 / 3), $4 }')"
[ "$(same farm bees-drive-off $money)" -le 98 ] || fail "the money counter shows no coins for the raider driven off"
[ -z "$shots" ] || { mkdir -p "$shots" && cp "$work/bees-drive-off.png" "$shots/"; }
bees=$SECONDS
# The removal lesson that follows: the bed it points at cleared away.
tm_follow_lessons "0x80080000 ends" 90
steps="$(tail -n "+$mark" "$log" | sed -n 's/^Tutorial *step \(0x[0-9A-F]*\).*/\1/p' | tr -d '\r' | tr '\n' ' ')"
[ "$steps" = "0x80330001 0x80080001 0x80080002 0x80080003 0x80080004 " ] || fail "level 8's lessons went through $steps"
# Past the raider's first two shots' time (6 s each): he is gone, the farm
# where he stood looks as before he came, the mill is not gassed.
sleep $((bees + 14 - SECONDS > 0 ? bees + 14 - SECONDS : 0))
shot after
[ "$(same farm after $raider)" -ge 95 ] ||
  fail "the raider still stands east of the crossing after the bees: $(same farm after $raider)% as before he came"
[ "$(same farm after $mill)" -ge 95 ] || fail "the mill does not look as before the raider: $(same farm after $mill)%"
[ "$(same raider after $bed)" -le 80 ] || fail "the bed the lesson points at is not cleared away"
x key Escape
echo "level 8 took $((($(date +%s%N) - began) / 1000000)) ms"
tm_x_stop
tm_cli_finish
