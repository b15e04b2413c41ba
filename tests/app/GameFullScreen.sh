#!/usr/bin/env bash
# Full screen switched on and off from the options window of the main
# screen as a player does it, through the X server (the X robot), in a
# window of a virtual X server: on a 1,920 x 1,080 screen with a window
# manager (openbox) and on a 1,024 x 768 screen without one. The robot types
# the first profile's name, opens the options, ticks "Full Screen", closes
# the options where they are drawn in full screen, opens the credits (which
# answer only once the options window has gone) and leaves them, opens the
# options again, unticks "Full Screen", closes them and quits with Escape.
#
# Just after each switch, before the pointer moves, the game's drawn cursor
# must stand on the X pointer (found in the screen the X server shows) and
# stay there for a second, and the X pointer on the same point of the check
# box clicked, which the options window placed anew shows elsewhere. A
# watcher outside the game (XWindowWatch) follows the window: it must come
# to cover the screen, the screen must then show the frame to its edges (no
# black outer row or column: at 16:9 they are the screen borders' art), and
# it must come back as a window of its first size. Its place: first centred
# with 32 pixels kept free at the bottom of the desktop (without a window
# manager nobody draws a frame round it: it counts none), back from full
# screen centred without them (the same x, 16 pixels lower). On an 800 x 600
# screen without a window manager the window opens wholly on it, at +0+0.
# The pictures just after the switches are left as NAME-full.png and
# NAME-window.png in the work folder.
# Usage: GameFullScreen.sh TALLOWMERE WORK_FOLDER DATA_FOLDER XROBOT XWINDOWWATCH
set -uo pipefail
. "$(dirname "${BASH_SOURCE[0]}")/xwatch/Robot.sh"
tm_robot_setup "$@"
openbox="$(command -v openbox)" || fail "openbox is not installed (tools/deps.sh installs it)"

# The main screen's "Options" and "Credits", the options window's "Full
# Screen" and "Close" (as the log places them: "Places" is on).
options="button MSMn 12340003" credits="button MSMn 12340005"
box="button Opts 1C8C0003" close="button Opts 1C8C0002"

# flip WHEN W H X Y: "Full Screen" clicked where the X pointer rests on it;
# the window at that size and place, the drawn cursor on the pointer, and
# the X pointer on the same point of the box placed anew as before.
flip() {
  local bx by px py at
  x move $(centre "$box")
  read -r bx by _ <<<"$(placed "$box")"
  read -r px py <<<"$(xq pointer)"
  at="$((px - bx)),$((py - by))"
  after "Placed window Opts" 10000 click $(centre "$box")
  x await-window 10000 "${@:2}" >/dev/null
  tm_on_pointer "$name, $1"
  read -r bx by _ <<<"$(placed "$box")"
  read -r px py <<<"$(xq pointer)"
  [ "$((px - bx)),$((py - by))" = "$at" ] ||
    fail "$name, $1: the X pointer at $px,$py, at $((px - bx)),$((py - by)) of the check box placed anew, not $at"
}

# check NAME WM SCREEN_W SCREEN_H WINDOW_W WINDOW_H
check() {
  local name="$1" wm="$2" sw="$3" sh="$4" ww="$5" wh="$6" began
  began=$(date +%s%N)
  tm_x_start "$sw" "$sh" "$wm" || return
  local seen="$work/$name.watch"
  "$watch" "Tallowmere Farm" "$work/$name-screen.png" >"$seen" 2>&1 &
  local watch_pid=$!
  rm -rf "$XDG_DATA_HOME"  # a first start: the new-profile window
  tm_game_start
  x await-window 60000 >/dev/null
  x await-log "$log" "Placed button NewP 79000001" 60000 >/dev/null
  x type Tester
  after "Gone window NewP" 10000 key Return
  local fx fy
  read -r _ _ fx fy <<<"$(xq window)"
  after "Placed window Opts" 10000 click $(centre "$options")
  # In: the window covers the screen and the options window is placed anew.
  flip "just after going full screen" "$sw" "$sh" 0 0
  x shot "$work/$name-full.png"
  after "Gone window Opts" 10000 click $(centre "$close")
  after "Placed window Cred" 10000 click $(centre "$credits")
  after "Gone window Cred" 10000 key Escape
  after "Placed window Opts" 10000 click $(centre "$options")
  # Out: a window of its first size again, where it comes back to.
  flip "just after leaving full screen" "$ww" "$wh" "$fx" $((fy + 16))
  x shot "$work/$name-window.png"
  after "Gone window Opts" 10000 click $(centre "$close")
  x key Escape
  tm_game_wait 200 && [ "$game_status" = 0 ] || fail "$name: the game ended with status ${game_status:-?}"
  sleep 0.2  # the watcher sees the window go
  kill "$watch_pid" 2>/dev/null
  wait "$watch_pid" 2>/dev/null
  tm_x_stop
  echo "$name: $(tr '\n' ';' <"$seen")"
  local first last
  first="$(grep -m1 '^window ' "$seen" | cut -d' ' -f2,3)"
  last="$(grep '^window ' "$seen" | tail -1 | cut -d' ' -f2,3)"
  [ "$first" = "$ww $wh" ] || fail "$name: the window opened at $first, not $ww $wh"
  grep -qx "window $sw $sh 0 0" "$seen" || fail "$name: the window never covered the $sw x $sh screen"
  grep -qx filled "$seen" || fail "$name: the screen in full screen was not filled to its edges ($(grep 'black edge' "$seen"))"
  [ "$last" = "$ww $wh" ] || fail "$name: the window came back at $last, not $ww $wh"
  local lx ly
  read -r lx ly <<<"$(grep '^window ' "$seen" | tail -1 | cut -d' ' -f4,5)"
  if [ "$wm" = none ]; then
    local cy=$(((sh - 32 - wh) / 2))
    [ "$fx $fy" = "$(((sw - ww) / 2)) $((cy < 0 ? 0 : cy))" ] ||
      fail "$name: the window opened at +$fx+$fy, not centred with 32 pixels free below"
  fi
  [ "$lx $ly" = "$fx $((fy + 16))" ] || fail "$name: the window came back at +$lx+$ly, first at +$fx+$fy"
  grep -qx gone "$seen" || fail "$name: the window did not go with the game"
  echo "the $name run took $((($(date +%s%N) - began) / 1000000)) ms"
}
[ -z "$openbox" ] || check managed "$openbox" 1920 1080 1280 800
check bare none 1024 768 800 600

# The smallest desktop, without a window manager: the whole window on it.
tm_x_start 800 600 none && {
  rm -rf "$XDG_DATA_HOME"
  tm_game_start
  at="$(xq await-window 60000)"
  [ "$at" = "800 600 0 0" ] || fail "on an 800 x 600 desktop the window opened at $at, not 800 600 0 0"
  tm_x_stop
}
tm_cli_finish
