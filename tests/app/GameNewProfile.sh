#!/usr/bin/env bash
# A first profile typed and created as a player does it, through the X
# server (the X robot), in an 800 x 600 window on a 1,024 x 768 screen
# without a window manager, on the sample data set.
#
# On a first start the new-profile window asks for a name (the user's name
# proposed, chosen, so that typing replaces it): "Robot Tesst" typed, two
# Backspaces and a "t" make it "Robot Test", and "OK" creates it. The main
# screen then greets it and opens its menu ("Easy Days" can be clicked), the
# profile's file holds the name as typed (its records folder named so), and
# Escape ends the game with status 0. A second start asks for no name and
# greets the profile. The first start is recorded: the recording says the
# window's size and ends with the game's quit, and replayed headless (a
# larger screen) it plays at that size, its OK clicked: the same profile.
# Usage: GameNewProfile.sh TALLOWMERE WORK_FOLDER DATA_FOLDER XROBOT XWINDOWWATCH
set -uo pipefail
. "$(dirname "${BASH_SOURCE[0]}")/xwatch/Robot.sh"
tm_robot_setup "$@"

began=$(date +%s%N)
tm_x_start 1024 768 none
tm_game_start --record "$work/made.txt"
x await-window 60000 >/dev/null
x await-log "$log" "Placed button NewP 79000001" 60000 >/dev/null
x type Robot Tesst
x key BackSpace BackSpace
x type t
x shot "$work/typed.png"
after "Gone window NewP" 10000 click $(centre "button NewP 79000001")  # "OK"
x await-log "$log" "Placed button MSMn 12340001" 10000 >/dev/null       # "Easy Days" open
greeting="$(placed "button MSMn 1234000F")"
[ -n "$greeting" ] || fail "the main screen greets nobody"
sleep 0.5
x shot "$work/greeted.png"
x key Escape
tm_game_wait 200 && [ "$game_status" = 0 ] || fail "Escape on the main screen ended the game with status ${game_status:-?}"
# typed: profile0.dat holds the name as typed (UTF-16). The name in the
# profile's file and as the records' folder.
typed() {
  grep -q "$(printf 'R\0o\0b\0o\0t\0 \0T\0e\0s\0t\0\0\0' | od -An -tx1 | tr -d ' \n')" \
    <(od -An -tx1 "$user/profile0.dat" 2>/dev/null | tr -d ' \n')
}
typed || fail "profile0.dat does not hold \"Robot Test\""
[ -d "$user/Robot Test" ] || fail "no records folder \"Robot Test\": $(ls "$user")"
grep -q "^screen 800 600$" "$work/made.txt" || fail "the recording does not say 800 x 600"
tail -n 1 "$work/made.txt" | grep -Eq "^await 4294967295 [0-9]+$" || fail "the recording does not end with the quit"

# The second start: no name asked, the profile greeted.
tm_game_start
x await-log "$log" "Placed button MSMn 12340001" 60000 >/dev/null
sleep 0.5
x shot "$work/greeted-again.png"
grep -aq "Placed window NewP" "$log" && fail "the second start asked for a new profile"
[ -n "$(placed "button MSMn 1234000F")" ] || fail "the second start greets nobody"
x key Escape
tm_game_wait 200
tm_x_stop

# The recording replayed headless, on a first start again.
rm -rf "$XDG_DATA_HOME"
run_timeout=120
run replayed "$game" --headless --data "$data" --replay "$work/made.txt"
[ "$(status replayed)" = 0 ] || fail "the recording replays with status $(status replayed): $(tail -3 "$work/replayed.err")"
typed || fail "the recording replayed headless made no profile \"Robot Test\": $(ls "$user" 2>&1)"
echo "the new-profile run took $((($(date +%s%N) - began) / 1000000)) ms"
tm_cli_finish
