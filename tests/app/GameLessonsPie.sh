#!/usr/bin/env bash
# Level 5's lessons followed as a player does, through the X server (the X
# robot), in an 800 x 600 window on a 1,024 x 768 screen without a window
# manager, on the sample data set with the hints on: each click goes where
# the lesson's arrow is drawn (the log tells, under "Places"), a slanted
# arrow's point taken 12 px deeper (it aims at the corner of a round
# button's square), on the hint when the lesson only waits.
#
# The game's own replay, headless and with the developer keys, first makes
# the profile: levels 1 to 4 finished (level 2 won, the others by the map's
# Shift-click). Then, through the X server, from the main screen's "Easy
# Days", the map's level 5 and its "Play", the day started, the lessons to
# their end, each checked on the farm as the player sees it:
# - the site chosen, the bakery chosen from its build button: it goes up
#   there, paid for (the money counter shows less);
# - the wheat bed harvested (its ripe sign gone), the hens fed with it
#   (their hunger bubble gone), the mill set to work, its flour and the
#   hens' eggs waited for, the eggs collected (their hand gone): the
#   bakery's pie, grey while flour or eggs were missing, shows in colour;
# - the bakery set to work with them: the task counts the first pie.
# Usage: GameLessonsPie.sh TALLOWMERE WORK_FOLDER DATA_FOLDER XROBOT XWINDOWWATCH
set -uo pipefail
here="$(dirname "${BASH_SOURCE[0]}")"
. "$here/xwatch/Robot.sh"
tm_robot_setup "$@"
run_timeout=300

# upto UNTIL NAME [on]: the lessons followed (with "on", on from the step
# showing: the log read from the line of the step before it) until the log
# tells UNTIL (within 60 s); the pointer then moved off the farm and
# NAME.png taken.
upto() {
  local from=""
  [ "$#" -lt 3 ] ||
    from="$(tm_step_before)"
  tm_follow_lessons "$1" 60 "$from" 12
  x move 790 330
  sleep 0.5
  shot "$2"
}
# differs BEFORE AFTER "X Y W H" WHAT: a failure naming WHAT unless the
# pictures BEFORE and AFTER differ there (no more than 80% alike).
differs() {
  local alike
  alike="$(same "$1" "$2" $3)"
  [ "$alike" -le 80 ] || fail "$4 ($alike% as in $1.png)"
}

# The profile has levels 3 and 4 finished too (the map's nodes at 800 x
# 600 Shift-clicked).
tm_robot_prepare_kept '115 340' '115 265'
tm_game_start_easy 0x5
tm_open_level 115 191
shot farm
x key Return  # "Click to start the day"

# The site north-east of the crossing, the money counter's first digit (of
# three), the task's count of pies.
upto "step 0x80050004" bakery
differs farm bakery "530 175 20 28" "no bakery goes up on the site"
differs farm bakery "$(placed "window Mony" | awk '{ print $1 + int($3 / 2) - 40, $2 + 8, 20, 26 }')" \
  "the money counter shows nothing paid for the bakery"
count="$(placed "button Lvlp 4C500005" | awk '{ print $1 + 125, $2 + 76, 10, 16 }')"
# The hand over the wheat bed south-west of the crossing (the crop is
# ripe), the hens' hunger bubble beside their house north-west of it, the
# hand over that house (eggs to collect), the bakery's pie over its roof.
upto "step 0x80050006" wheat on
differs farm wheat "190 308 34 34" "the wheat bed is not harvested"
upto "step 0x80050009" eggs on
differs wheat eggs "265 196 40 26" "the hens still ask for wheat after they were fed"
upto "step 0x8005000A" baking on
differs eggs baking "226 196 26 26" "the eggs stay uncollected"
differs eggs baking "555 97 26 16" "the bakery's pie stays grey with the flour and the eggs in"
upto "step 0x8005000B" pie on
differs farm pie "$count" "the task counts no pie baked"
upto "0x80050000 ends" end on
steps="$(grep -a "^Tutorial *step 0x8005" "$log" | sed 's/.* //' | tr -d '\r' | tr '\n' ' ')"
[ "$steps" = "$(printf '0x800500%02X ' {1..11})" ] || fail "level 5's lessons went through $steps"
echo "level 5 took $((($(date +%s%N) - began) / 1000000)) ms"
tm_x_stop
tm_cli_finish
