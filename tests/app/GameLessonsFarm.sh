#!/usr/bin/env bash
# The map's lessons and level 1's followed as a player does, through the X
# server (the X robot), in an 800 x 600 window on a 1,024 x 768 screen
# without a window manager, on the sample data set with the hints on: each
# click goes where the lesson's arrow is drawn, or on the hint itself when
# it has none (the log tells where arrows are, under "Places").
#
# The game's own replay, headless, first makes a profile; then, through the
# X server, from the main screen's "Easy Days" and the opening comic:
# - the map's lessons: the villains' attack sent away by a click, the
#   arrow on level 1 clicked: level 1's window opens;
# - level 1's lessons from its "Play": the beds sown and harvested as the
#   arrows ask, the warehouse opened where it shows the wheat brought in,
#   to the lessons' end; the day is then won (five wheat stored): the
#   result window shows.
# Usage: GameLessonsFarm.sh TALLOWMERE WORK_FOLDER DATA_FOLDER XROBOT XWINDOWWATCH
set -uo pipefail
here="$(dirname "${BASH_SOURCE[0]}")"
. "$here/xwatch/Robot.sh"
tm_robot_setup "$@"
run_timeout=300

tm_replay_new_profile >"$work/prepare.txt"
tm_robot_prepare 0

tm_game_start_easy 0x7  # "Easy Days": the opening comic
after "-> 0x5" 10000 key Return
# The map's lessons, to level 1's window.
tm_follow_lessons "Placed window LvIf" 60
echo "the map's lessons: $lesson_steps"
grep -aq "^Tutorial *0x40010000 ends" "$log" || fail "the map's first lesson did not end on level 1's window"
x shot "$work/level1-window.png"

after "-> 0x4" 60000 click $(centre "button LvIf 35000001")  # "Play"
x await-log "$log" "Placed window Lvlp" 20000 >/dev/null
sleep 1
x key Return  # "Click to start the day"
mark="$(wc -l <"$log")"
tm_follow_lessons "0x80010000 ends" 300
echo "level 1's lessons: $lesson_steps"
x shot "$work/level1-end.png"
[ "$(wc -w <<<"$lesson_steps")" -ge 20 ] || fail "level 1's lessons went through only $lesson_steps"
tail -n "+$mark" "$log" | grep -aq "^Placed button Wrhs 3A5E4083 " ||
  fail "the warehouse the lessons opened showed no wheat"
# Five wheat stored by then: the day is won, its result shows.
x await-log "$log" "Placed window LvRt" 20000 >/dev/null
x shot "$work/level1-won.png"
echo "level 1 took $((($(date +%s%N) - began) / 1000000)) ms"
tm_x_stop
tm_cli_finish
