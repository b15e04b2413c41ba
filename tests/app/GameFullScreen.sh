#!/usr/bin/env bash
# Full screen switched on and off from the options window of the main
# screen, in a window of a virtual X server (Xvfb, through SDL2), as a
# player does it: on a 1,920 x 1,080 screen with a window manager (openbox)
# and on a 1,024 x 768 screen without one. A replay opens the options in the
# window, ticks "Full Screen", clicks "Close" where it is drawn in full
# screen, opens the credits (which answer only once the options window has
# gone), opens the options again, unticks "Full Screen" and quits.
#
# A watcher outside the game (XWindowWatch) follows the window on the X
# screen: it must come to cover the screen, the screen must then show the
# frame to its edges (no black outer row or column: at 16:9 they are the
# screen borders' art), and it must come back as a window of its first size
# at its place.
# The frames the replay writes are the screen's size in full screen and the
# window's after.
# Usage: GameFullScreen.sh TALLOWMERE WORK_FOLDER DATA_FOLDER XVFB_RUN XWINDOWWATCH
#        (it runs itself inside the X server as: GameFullScreen.sh inside WM WATCH SHOT GAME ARGS...)
set -uo pipefail

if [ "${1:-}" = inside ]; then
  # Inside xvfb-run: the window manager (or none), the watcher, the game.
  wm="$2" watch="$3" shot="$4"
  shift 4
  if [ "$wm" != none ]; then
    "$wm" >/dev/null 2>&1 &
    wm_pid=$!
    sleep 1  # the manager owns the screen before the game's window comes
  fi
  "$watch" "Tallowmere Farm" "$shot" >"$shot.watch" 2>&1 &
  watch_pid=$!
  "$@"
  status=$?
  sleep 1  # the watcher sees the window go
  kill "$watch_pid" 2>/dev/null
  wait "$watch_pid" 2>/dev/null
  [ "$wm" = none ] || kill "$wm_pid" 2>/dev/null
  exit "$status"
fi

. "$(dirname "${BASH_SOURCE[0]}")/../support/CommandLine.sh"
tm_game_setup "$1" "$2" "$3"
xvfb_run="$4"
watch="$5"
self="$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)/$(basename "${BASH_SOURCE[0]}")"
run_timeout=300
printf '[Video]\nFullscreen=0\n' >"$(dirname "$game")/config.ini"
openbox="$(command -v openbox)" || fail "openbox is not installed (tools/deps.sh installs it)"

# replay NAME: the replay for a screen, from the drawn places of the main
# screen's and the options window's controls in the window (OPTIONS BOX
# CLOSE) and in full screen (BOX CLOSE CREDITS OPTIONS), each "X Y".
replay() {
  local name="$1" options="$2" box="$3" close="$4" fbox="$5" fclose="$6" credits="$7" foptions="$8"
  cat >"$work/$name.txt" <<EOF
clock 1767225600
seed 7
await 6 120000
wait 800
text "Tester"               # the first profile's name
key enter                   # the new-profile window's OK
wait 600
click $options              # "Options", in the window
wait 600
click $box                  # "Full Screen" ticked
wait 2000                   # looked at from outside
screenshot full.png
click $fclose               # "Close", where it is drawn in full screen
wait 600
click $credits              # "Credits": only with no options window
wait 600
expect window Cred
key escape                  # the credits closed
wait 600
click $foptions             # "Options" again
wait 600
click $fbox                 # "Full Screen" unticked
wait 2000
screenshot window.png
click $close                # "Close", in the window again
wait 600
key escape                  # the main screen: the game ends
await 4294967295 3000
EOF
}
replay managed "941 638" "463 387" "639 517" "783 527" "959 657" "144 1040" "1373 842"
replay bare "589 492" "223 287" "399 417" "335 371" "511 501" "48 728" "749 619"

# The size of a PNG file: "W H".
png_size() { od -An -tu1 -j16 -N8 "$1" | awk '{ print $1 * 16777216 + $2 * 65536 + $3 * 256 + $4, $5 * 16777216 + $6 * 65536 + $7 * 256 + $8 }'; }

# check NAME WM SCREEN_W SCREEN_H WINDOW_W WINDOW_H
check() {
  local name="$1" wm="$2" sw="$3" sh="$4" ww="$5" wh="$6"
  # SDL2's system libraries keep a few allocations to the end: no leak report for a window's run.
  ASAN_OPTIONS="${ASAN_OPTIONS:+$ASAN_OPTIONS:}detect_leaks=0" tm_play_replay "$name" "$name.txt" "$xvfb_run" -a \
    -s "-screen 0 ${sw}x${sh}x24" bash "$self" inside "$wm" "$watch" "$work/$name-screen.png" "$game"
  [ "$(status "$name")" = 0 ] || fail "the $name replay exits $(status "$name"): $(tail -3 "$work/$name.err")"
  local seen="$work/$name-screen.png.watch"
  echo "$name: $(tr '\n' ';' <"$seen")"
  local first last
  first="$(grep -m1 '^window ' "$seen" | cut -d' ' -f2,3)"
  last="$(grep '^window ' "$seen" | tail -1 | cut -d' ' -f2,3)"
  [ "$first" = "$ww $wh" ] || fail "$name: the window opened at $first, not $ww $wh"
  grep -qx "window $sw $sh 0 0" "$seen" || fail "$name: the window never covered the $sw x $sh screen"
  grep -qx filled "$seen" || fail "$name: the screen in full screen was not filled to its edges ($(grep 'black edge' "$seen"))"
  [ "$last" = "$ww $wh" ] || fail "$name: the window came back at $last, not $ww $wh"
  # Its place: first centred with 32 pixels kept free at the bottom of the
  # desktop, back from full screen centred without them (the same x, 16
  # pixels lower), whatever frame a window manager puts round it.
  local fx fy lx ly
  read -r fx fy <<<"$(grep -m1 '^window ' "$seen" | cut -d' ' -f4,5)"
  read -r lx ly <<<"$(grep '^window ' "$seen" | tail -1 | cut -d' ' -f4,5)"
  [ "$lx $ly" = "$fx $((fy + 16))" ] || fail "$name: the window came back at +$lx+$ly, first at +$fx+$fy"
  grep -qx gone "$seen" || fail "$name: the window did not go with the game"
  [ "$(png_size "$work/$name/full.png" 2>/dev/null)" = "$sw $sh" ] || fail "$name: the full-screen frame is not $sw x $sh"
  [ "$(png_size "$work/$name/window.png" 2>/dev/null)" = "$ww $wh" ] || fail "$name: the frame after is not $ww x $wh"
  echo "the $name replay took $(cat "$work/$name.ms") ms"
}
[ -z "$openbox" ] || check managed "$openbox" 1920 1080 1280 800
check bare none 1024 768 800 600
tm_cli_finish
