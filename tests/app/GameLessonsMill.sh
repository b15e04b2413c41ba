#!/usr/bin/env bash
# Level 2's lessons followed as a player does, through the X server (the X
# robot), in an 800 x 600 window on a 1,024 x 768 screen without a window
# manager, on the sample data set with the hints on: each click goes where
# the lesson's arrow is drawn (the log tells, under "Places"), or on the
# hint itself when it has none.
#
# The game's own replay, headless and with the developer keys, first makes
# the profile: level 1 finished by the map's Shift-click. Then, through the
# X server, from the main screen's "Easy Days", the map's level 2 and its
# "Play", the day started, the lessons to their end:
# - the first mill site's lesson, the building button and the mill's: the
#   mill stands on the site (its roof shows where grass was) and the money
#   counter shows it paid;
# - the wheat harvested and the mill set to work: the first flour counted
#   on the level's task ("1/3" where "0/3" stood);
# - the second site likewise: its mill stands there, paid;
# - both mills set to work by their arrows, the task's three flour made:
#   the lessons end, the day is won (its result window shows) and the task
#   counts more than the first flour.
# Usage: GameLessonsMill.sh TALLOWMERE WORK_FOLDER DATA_FOLDER XROBOT XWINDOWWATCH
set -uo pipefail
here="$(dirname "${BASH_SOURCE[0]}")"
. "$here/xwatch/Robot.sh"
tm_robot_setup "$@"
run_timeout=300

tm_replay_bees_won level1 >"$work/prepare.txt"
tm_robot_prepare 1

# follow UNTIL SECONDS: the lessons followed on from the step showing (the
# log read from the line of the step before it).
follow() {
  tm_follow_lessons "$1" "$2" \
    "$(tm_step_before)"
}
# changed WHAT BEFORE AFTER X Y W H: a failure unless the pictures BEFORE
# and AFTER differ there (at most 80% alike).
changed() {
  local alike
  alike="$(same "$2" "$3" "${@:4}")"
  [ "$alike" -le 80 ] || fail "$1 ($alike% as before)"
}

tm_game_start_easy 0x5
x move 115 415
sleep 0.2
after "Placed window LvIf" 10000 click 115 415
after "-> 0x4" 60000 click $(centre "button LvIf 35000001")  # "Play"
x await-log "$log" "Placed window Lvlp" 20000 >/dev/null
sleep 1
# The farm before the day: the mill sites' grass under where the roofs
# come, the money's digits, the first digit of the task's count of flour.
site1="198 165 72 38"
site2="532 165 72 38"
money="360 5 60 30"
count="128 562 10 20"
shot farm
x key Return  # "Click to start the day"
tm_follow_lessons "step 0x80020005" 60
shot mill1
changed "no mill stands on the first site" farm mill1 $site1
changed "the money counter does not show the first mill paid" farm mill1 $money
follow "step 0x80020009" 60
shot flour1
changed "the task counts no flour after the first mill's work" mill1 flour1 $count
follow "step 0x8002000E" 90
shot mill2
changed "no mill stands on the second site" farm mill2 $site2
changed "the money counter does not show the second mill paid" flour1 mill2 $money
# Both mills set to work: each of the step's two arrows clicked once (the
# step hides the arrow of a mill at work, the log still tells its place:
# the arrows followed by the lowest tag would click the first mill again).
sleep 1
shown="$(tail -n "+$(grep -an "step 0x8002000D" "$log" | cut -d: -f1)" "$log" | tr -d '\r')"
for tag in 1 2; do
  x click $(grep -a "^Placed arrow $tag " <<<"$shown" | tail -1 | tm_arrow_point)
  sleep 0.5
done
x await-log "$log" "step 0x8002000F" 20000 >/dev/null
x await-log "$log" "0x80020000 ends" 60000 >/dev/null
x await-log "$log" "Placed window LvRt" 20000 >/dev/null
shot won
changed "the task counts no more flour than the first" flour1 won $count
steps="$(grep -a "^Tutorial *step 0x8002" "$log" | sed 's/.* //' | tr -d '\r' | tr '\n' ' ')"
[ "$steps" = "$(printf '0x800200%02X ' {1..15})" ] || fail "level 2's lessons went through $steps"
echo "level 2 took $((($(date +%s%N) - began) / 1000000)) ms"
tm_x_stop
tm_cli_finish
