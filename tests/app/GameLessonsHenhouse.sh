#!/usr/bin/env bash
# Level 4's lessons followed as a player does, through the X server (the X
# robot), in an 800 x 600 window on a 1,024 x 768 screen without a window
# manager, on the sample data set with the hints on: each click goes where
# the lesson's arrow is drawn (the log tells, under "Places"), a slanted
# arrow's point taken 12 px deeper (it aims at the corner of a round
# button's square).
#
# The game's own replay, headless and with the developer keys, first makes
# the profile: levels 1 to 4 finished (level 2 won, the others by the map's
# Shift-click). Then, through the X server, from the map:
# - level 4, played again (its lessons show while the hints are on), to
#   the lessons' end: the henhouse built on the site (paid for: the money
#   counter shows less), the wheat harvested, the hens fed, their eggs
#   collected: the task's count shows one.
# Usage: GameLessonsHenhouse.sh TALLOWMERE WORK_FOLDER DATA_FOLDER XROBOT XWINDOWWATCH
set -uo pipefail
here="$(dirname "${BASH_SOURCE[0]}")"
. "$here/xwatch/Robot.sh"
tm_robot_setup "$@"
run_timeout=300

# Levels 3 and 4 finished (their nodes on the map at 800 x 600).
tm_robot_prepare_kept '115 340' '115 265'

# play X Y NAME UNTIL: the map's level at (X, Y) opened, its day started
# and its lessons followed until the log tells UNTIL (within 90 s), the
# pointer then moved off the farm; NAME-farm.png shows the farm before the
# day, NAME-end.png the farm then; `count` is where the task button shows
# the first digit of the count of the task's products, `money` the money
# counter's first digit (of three).
play() {
  tm_open_level "$1" "$2"
  count="$(placed "button Lvlp 4C500005" | awk '{ print $1 + 123, $2 + 76, 14, 17 }')"
  money="$(placed "window Mony" | awk '{ print $1 + int($3 / 2) - 42, $2 + 6, 22, 30 }')"
  shot "$3-farm"
  x key Return  # "Click to start the day"
  tm_follow_lessons "$4" 90 "" 12
  echo "$3's lessons: $lesson_steps"
  x move 700 120
  sleep 1
  shot "$3-end"
}
# differs NAME AREA WHAT: a failure naming WHAT unless NAME-end.png shows
# AREA otherwise than NAME-farm.png (no more than 90% of it alike).
differs() {
  local alike
  alike="$(same "$1-farm" "$1-end" $2)"
  [ "$alike" -le 90 ] || fail "$3 ($alike% as before the day)"
}
# On the site north-west of the crossing: the henhouse's roof (above where
# the farmer stands to build).
henhouse="216 170 50 30"
tm_game_start_easy 0x5

# --- Level 4: the henhouse built on the site, the wheat bed harvested, the
# hens fed with it, their eggs collected: the task counts one.
play 115 265 four "0x80040000 ends"
[ "$lesson_steps" = "$(printf '0x8004000%s ' 1 2 3 4 5 6 7 8 9)" ] ||
  fail "level 4's lessons went through $lesson_steps"
differs four "$henhouse" "no henhouse stands on the site after level 4's lessons"
differs four "$money" "the money counter shows nothing paid for the henhouse"
differs four "$count" "the task's count shows no egg collected after level 4's lessons"
echo "level 4 took $((($(date +%s%N) - began) / 1000000)) ms"
tm_x_stop
tm_cli_finish
