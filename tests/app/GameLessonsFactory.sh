#!/usr/bin/env bash
# Level 3's lessons followed as a player does, through the X server (the X
# robot), in an 800 x 600 window on a 1,024 x 768 screen without a window
# manager, on the sample data set with the hints on: each click goes where
# the lesson's arrow is drawn (the log tells, under "Places"), or on the
# hint itself when it has none.
#
# The game's own replay, headless and with the developer keys, first makes
# the profile: level 2 won (the bees with it), the new bonus's hint over
# level 3's window read and the window cancelled. Then, through the X
# server, from the main screen's "Easy Days", the map's level 3 and its
# "Play", the day started, the lessons to their end:
# - the prepared bed clicked: the panel shows its upgrade button; that
#   clicked: the bed is sown, paid for (the money counter shows less);
# - the ripe wheat harvested: it goes from the bed;
# - the mill clicked, upgraded by its button: its second millstone's slot
#   shows over it, paid for;
# - flour ordered from the mill's product button: the task counts one;
# - the warehouse opened by its button: it shows the task's flour; upgraded
#   from there: the flour's capacity grows, paid for; closed: the farm shows
#   again where it stood.
# Usage: GameLessonsFactory.sh TALLOWMERE WORK_FOLDER DATA_FOLDER XROBOT XWINDOWWATCH
set -uo pipefail
here="$(dirname "${BASH_SOURCE[0]}")"
. "$here/xwatch/Robot.sh"
tm_robot_setup "$@"
run_timeout=300

# to STEP NAME: the lessons followed on from the step showing (the log read
# from the line of the step before it) until STEP shows, NAME.png taken then.
to() {
  tm_follow_lessons "$1" 60 \
    "$(tm_step_before)"
  steps+="$lesson_steps"
  sleep 0.5
  shot "$2"
}
# alike WHAT MIN MAX A B X Y W H [DX DY]: a failure naming WHAT unless the
# pictures A and B are from MIN to MAX per cent alike there.
alike() {
  local got
  got="$(same "${@:4}")"
  [ "$got" -ge "$2" ] && [ "$got" -le "$3" ] || fail "$1 ($got% alike)"
}
changed() { alike "$1" 0 80 "${@:2}"; }
# paid WHAT A B: a failure naming WHAT unless the money counter's digits
# differ between A and B (one digit of three leaves them some 85% alike).
paid() { alike "$1" 0 95 "$2" "$3" $money; }

# Where the farm shows the money's digits, the prepared bed's crop, the
# mill's second millstone slot and the first digit of the task's count.
money="360 8 70 24"
bed="178 362 60 30"
slot="540 118 55 30"
count="128 564 10 16"

tm_replay_bees_kept >"$work/prepare.txt"
tm_robot_prepare 1
tm_game_start_easy 0x5
tm_open_level 115 340
shot farm
x key Return  # "Click to start the day"
tm_follow_lessons "step 0x80030003" 60
steps="$lesson_steps"
sleep 0.5
shot bed
changed "the bed clicked, the panel shows no upgrade button" farm bed 480 520 90 70
to "step 0x80030004" sown
changed "the bed's upgrade did not sow it" bed sown $bed
paid "the money counter shows nothing paid for the sowing" bed sown
to "step 0x80030005" ripe
to "step 0x80030006" harvested
changed "the ripe wheat stayed on the bed" ripe harvested $bed
to "step 0x80030007" mill
to "step 0x80030008" upgraded
changed "the mill's upgrade shows no second millstone" mill upgraded $slot
paid "the money counter shows nothing paid for the mill's upgrade" mill upgraded
to "step 0x8003000A" flour
changed "the task counts no flour after the mill's work" upgraded flour $count
to "step 0x8003000B" farm-again
to "step 0x8003000C" warehouse
# The warehouse's first product button shows the sack the task shows.
read -r px py _ <<<"$(placed "button Wrhs 3A5E4083")"
read -r tx ty _ <<<"$(placed "button Lvlp 4C500005")"
alike "the warehouse shows no flour as the task's" 70 100 warehouse warehouse \
  $((px + 30)) $((py + 20)) 20 24 $((tx + 126 - px - 30)) $((ty + 39 - py - 20))
to "step 0x8003000D" stock
to "step 0x8003000E" bigger
changed "the warehouse's upgrade did not raise the flour's capacity" stock bigger 162 170 8 16
paid "the money counter shows nothing paid for the warehouse's upgrade" stock bigger
to "step 0x8003000F" closed
# (the road west of the crossing, under the window's middle).
alike "the warehouse window did not close" 90 100 farm-again closed 130 285 240 60
tm_follow_lessons "0x80030000 ends" 30
steps+="$lesson_steps"
[ "$steps" = "$(printf '0x800300%02X ' {1..15})" ] || fail "level 3's lessons went through $steps"
echo "level 3 took $((($(date +%s%N) - began) / 1000000)) ms"
tm_x_stop
tm_cli_finish
