#!/usr/bin/env bash
# The level map and the warehouse played as a player does, through the X
# server (the X robot), in an 800 x 600 window on a 1,024 x 768 screen
# without a window manager, on the sample data set with the hints on.
#
# First the game's own replay, headless, brings a profile to the middle of
# level 1 (its tutorial followed, four wheat brought in, one of them sold
# as the tutorial asks: three in the warehouse) and leaves it for the map,
# which keeps the level. Then, through the X server:
# - the map: the wheel with Shift zooms the picture in and with Control in
#   fine steps, back the other way it comes to the very picture it had; the
#   wheel alone changes nothing; a drag from the grass onto level 1 opens
#   nothing (a level opens on its press) and leaves the map where it was;
# - level 1's window, dragged by its title, shows at its new place, and its
#   "Play" there takes the level up where it was left;
# - the warehouse, opened from the level panel: a click on the wheat
#   chooses it (the sell buttons show), "sell one" sells one (its count
#   changes, the money too), a double click on it sells the rest (its button
#   goes, the money changes again).
# Usage: GameMapWarehouse.sh TALLOWMERE WORK_FOLDER DATA_FOLDER XROBOT XWINDOWWATCH
set -uo pipefail
here="$(dirname "${BASH_SOURCE[0]}")"
. "$here/xwatch/Robot.sh"
tm_robot_setup "$@"
run_timeout=300

# The profile: level 1 left for the map with three wheat in the warehouse.
{
  tm_replay_new_profile
  tm_replay_easy_to_map
  tm_replay_map_to_level1
  echo "wait 500"
  # The tutorial's clicks up to the fourth wheat brought in.
  grep -v '^ *#' "$here/scripts/tutorial_level1.txt" | sed -n 1,102p
  echo 'wait 8000
key escape                  # the level menu
wait 800
click 398 413               # "To the Map": the level kept
await 5 10000
wait 500'
} >"$work/prepare.txt"
tm_robot_prepare 0

# "Easy Days": no level won yet, so the opening comic first; Enter closes it.
tm_game_start_easy 0x7
after "-> 0x5" 10000 key Return
sleep 1.5
x click 780 150  # the villains' attack skipped: its tutorial takes the click
sleep 1.5

# The map's wheel, with the pointer over the map. The picture is compared
# where nothing moves by itself (the left half, away from the river, the
# villains and the butterflies).
area="20 80 300 380"
x move 400 300
sleep 0.3
shot map
x wheel 400 300 -1
sleep 0.3
shot map-wheel
[ "$(same map map-wheel $area)" -ge 97 ] || fail "the wheel alone changed the map"
x wheel 400 300 -1 shift
sleep 0.3
shot map-in
[ "$(same map map-in $area)" -le 80 ] || fail "the wheel with Shift did not zoom the map"
x wheel 400 300 -3 ctrl
sleep 0.3
shot map-in-more
[ "$(same map-in map-in-more $area)" -le 90 ] || fail "the wheel with Control did not zoom the map"
# Back out past the first scale: the map stops there, as it was.
x wheel 400 300 3 shift
sleep 0.3
shot map-home
[ "$(same map map-home $area)" -ge 97 ] || fail "the map zoomed back out is not as it was: $(same map map-home $area)%"
# A drag from the grass onto level 1's sign (where the map shows it at 800 x 600).
windows="$(grep -ac "Placed window LvIf" "$log")"
x drag 300 380 115 490
sleep 0.5
shot map-dragged
[ "$(same map map-dragged $area)" -ge 97 ] || fail "a drag over the map changed it"
[ "$(grep -ac "Placed window LvIf" "$log")" = "$windows" ] || fail "a drag onto level 1 opened its window"

# Level 1's window, dragged by its title.
after "Placed window LvIf" 10000 click 115 490
shot level-window
read -r wx wy ww wh <<<"$(placed "window LvIf")"
read -r tx ty <<<"$(centre "title LvIf")"
after "Placed window LvIf" 10000 drag "$tx" "$ty" $((tx + 60)) $((ty + 40))
shot level-window-moved
[ "$(placed "window LvIf")" = "$((wx + 60)) $((wy + 40)) $ww $wh" ] ||
  fail "level 1's window dragged by 60, 40 is placed at $(placed "window LvIf"), first at $wx $wy"
# Its body (below the title, where the pointer stands) shows 60, 40 further.
[ "$(same level-window level-window-moved $((wx + 30)) $((wy + 100)) 500 260 60 40)" -ge 95 ] ||
  fail "level 1's window is not shown where it was dragged"
after "-> 0x4" 60000 click $(centre "button LvIf 35000004")  # "Continue", where the window now is
after "Placed window Lvlp" 10000 sleep 0

sleep 1
x key Return  # "Click to start the day"
# The tutorial's last note ("keep harvesting", which leaves the player
# nothing else to do): "Got it", and "Yes" to skip the rest of the day's
# hints.
x await-log "$log" "Placed button Lvlp 4C500004" 10000 >/dev/null
after "Placed window Diag" 10000 click $(centre "button Lvlp 4C500004")
after "Gone window Diag" 10000 click $(centre "button Diag 40000003")
# The warehouse, from the level panel; the money is the level's counter at
# the top, its digits in the middle third of its window.
money="$(placed "window Mony" | awk '{ print $1 + int($3 / 3), $2, int($3 / 3), $4 }')"
after "Placed window Wrhs" 10000 click $(centre "button Lvlp 4C500003")
shot warehouse
read -r px py pw ph <<<"$(placed "button Wrhs 3A5E4083")"  # the wheat
[ -n "$pw" ] || fail "the warehouse shows no wheat"
# A click on the wheat chooses it: the sell buttons come to life.
sell_one="$(placed "button Wrhs 3A5E4081")"
[ -z "$sell_one" ] || fail "\"Sell 1\" is there before a product is chosen"
after "Placed button Wrhs 3A5E4081" 10000 click $((px + pw / 2)) $((py + ph / 2))
read -r sx sy sw sh <<<"$(placed "button Wrhs 3A5E4081")"
sleep 0.5
shot chosen
[ "$(same warehouse chosen "$sx" "$sy" "$sw" "$sh")" -le 70 ] || fail "\"Sell 1\" does not show chosen wheat"
# "Sell 1": one wheat less on its button, more money.
x click $((sx + sw / 2)) $((sy + sh / 2))
sleep 1.5  # the money counts up
shot sold-one
[ "$(same chosen sold-one $px $py $pw $ph)" -le 97 ] || fail "\"Sell 1\" left the wheat's count as it was"
[ "$(same chosen sold-one $money)" -le 98 ] || fail "\"Sell 1\" left the money as it was"
[ "$(placed "button Wrhs 3A5E4083")" = "$px $py $pw $ph" ] || fail "\"Sell 1\" sold all the wheat"
# A double click on the wheat sells the rest: its button goes, more money.
x dclick $((px + pw / 2)) $((py + ph / 2))
sleep 1.5
shot sold-all
[ "$(same sold-one sold-all $px $py $pw $ph)" -le 70 ] || fail "a double click on the wheat left it in the warehouse"
[ "$(same sold-one sold-all $money)" -le 98 ] || fail "a double click on the wheat left the money as it was"
echo "the map and warehouse run took $((($(date +%s%N) - began) / 1000000)) ms"
tm_cli_finish
