#!/usr/bin/env bash
# The developer keys in the game (headless, 800 x 600, "Cheats=1" in
# "config.ini"): level 1 entered from the map, the day started, C wins it at
# once at the bronze limit; the result window shows it (cheats_won.png). With the switch off
# the same C does nothing and the level goes on.
# Usage: GameCheats.sh TALLOWMERE WORK_FOLDER DATA_FOLDER
set -uo pipefail
. "$(dirname "${BASH_SOURCE[0]}")/../support/CommandLine.sh"
tm_game_setup "$1" "$2" "$3"
run_timeout=300

play() {
  rm -rf "$XDG_DATA_HOME"
  (cd "$work" && run "$1" "$game" --headless --data "$data" --replay "$2")
  cp "$user/log.txt" "$work/$1.log" 2>/dev/null || : >"$work/$1.log"
}
replay() {
  echo 'clock 1767225600
seed 7
await 6 120000
wait 1200
text "Tester"
click 197 322   # "Show Hints" off: no tutorial on the scenario levels
key enter       # the first profile
wait 600
click 589 356   # "easy": the opening comic, which Enter closes
await 7 2000
wait 1500
key enter
await 5 3000
wait 1500
click 780 150   # the attack of the villains skipped: its tutorial takes the click
wait 1000
move 115 490                # over level 1 first: the map hovers on moves
wait 100
click 115 490   # level 1 on the map
wait 600
click 489 438   # the level window: play
await 4 60000
wait 500
click 400 300   # the day starts
wait 1000
key 46          # C'
  echo "$1"
}

printf '[Video]\nFullscreen=1\nScreen=800,600\n[Game]\nCheats=1\n' >"$(dirname "$game")/config.ini"
replay 'wait 3000
expect window LvRt
screenshot cheats_won.png' >"$work/won.txt"
play won "$work/won.txt"
[ "$(status won)" = 0 ] || fail "C with the switch on: status $(status won): $(head -3 "$work/won.err")"
[ -s "$work/cheats_won.png" ] || fail "no screenshot of the result window"
iconv -f UTF-16 -t UTF-8 "$user/Tester/records.txt" 2>/dev/null | grep -q "level_01" ||
  grep -aq "level_01" "$user/Tester/records.txt" 2>/dev/null || fail "the records do not hold level 1 won"

printf '[Video]\nFullscreen=1\nScreen=800,600\n[Game]\nCheats=0\n' >"$(dirname "$game")/config.ini"
replay 'wait 3000
expect window LvRt' >"$work/off.txt"
play off "$work/off.txt"
[ "$(status off)" = 5 ] || fail "C with the switch off won the level (status $(status off))"
tm_cli_finish
