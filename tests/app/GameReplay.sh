#!/usr/bin/env bash
# The program played by replays, headless: through the logos (the studio's
# mark not skipped by a click, the game's logo skipped) and the start-up's
# loading panel to the main screen's request, with screenshots; a state that does not come in time, an
# expect not met and a line that does not read, each with its status and its
# line; two runs of one replay writing the same "config.dat", log and mark
# frame, one rasterising only the frames its screenshot mark reads and one
# every frame (--rasterise); a recording of a replay that replays to the
# same end.
# Usage: GameReplay.sh TALLOWMERE WORK_FOLDER DATA_FOLDER
set -uo pipefail
. "$(dirname "${BASH_SOURCE[0]}")/../support/CommandLine.sh"
tm_game_setup "$1" "$2" "$3"
run_timeout=120
start=$((0x80000002))

# --- Through the start-up, a screenshot at the main screen's request ---------------------------
cat >"$work/startup.txt" <<REPLAY
clock 1767225600   # 1 January 2026
seed 7
wait 100
click 400 300      # the studio's mark may not be skipped: two clicks leave the logos running
wait 100
click 400 300
wait 500
expect state 1
wait 2400
click 400 300      # the game's logo is skipped
await $start 1000
wait 300
screenshot loading.png
log the start-up has begun
key escape         # no screen hears keys yet: passes by
move 400 300
wheel 400 300 -120
text "ab"
await 6 120000
screenshot startup.png
expect state 6
REPLAY
(cd "$work" && run startup "$game" --headless --data "$data" --replay startup.txt --record recorded.txt)
[ "$(status startup)" = 0 ] || fail "the start-up replay exits $(status startup), not 0"
[ -s "$work/startup.png" ] || fail "the screenshot mark wrote no file beside the replay"
[ -s "$work/loading.png" ] && ! cmp -s "$work/loading.png" "$work/startup.png" ||
  fail "the start-up loading's frame is missing or the main screen's"
grep -q "Replay.*the start-up has begun" "$user/log.txt" || fail "the log mark is not in the log"
grep -q "2026" "$user/log.txt" || fail "the log's stamps do not read the replay's clock"
grep -q "the main screen is asked for" "$user/log.txt" || fail "the replay did not reach the main screen's request"
cp "$user/config.dat" "$work/first-config.dat"
cp "$user/log.txt" "$work/first-log.txt"
mv "$work/startup.png" "$work/first-startup.png"

# --- The same replay again, every frame rasterised: the same files and frame, byte for byte -------------
rm -rf "$XDG_DATA_HOME"
(cd "$work" && run again "$game" --headless --rasterise --data "$data" --replay startup.txt)
[ "$(status again)" = 0 ] || fail "the second run exits $(status again)"
cmp -s "$user/config.dat" "$work/first-config.dat" || fail "two runs of one replay wrote different config.dat"
cmp -s "$work/startup.png" "$work/first-startup.png" || fail "the screenshot mark's frame differs with every frame rasterised"
# The first run also recorded: its log says so in the line on the replay.
grep -q "the key seed 7" "$work/first-log.txt" || fail "the log does not name the replay's clock and seed"
grep -v "the key seed" "$work/first-log.txt" | diff - <(grep -v "the key seed" "$user/log.txt") >"$work/log.diff" ||
  fail "two runs of one replay wrote different logs: $(head -5 "$work/log.diff")"

# --- The recording replays to the same end --------------------------------------------------------
grep -q "^seed 7$" "$work/recorded.txt" || fail "the recording has not the replay's seed"
grep -q "^text \"ab\"$" "$work/recorded.txt" || fail "the typed text is not recorded"
grep -q "^wheel 400 300 -120$" "$work/recorded.txt" || fail "the wheel is not recorded"
printf 'await 6 1000\n' >>"$work/recorded.txt"
rm -rf "$XDG_DATA_HOME"
run replayed "$game" --headless --data "$data" --replay "$work/recorded.txt"
[ "$(status replayed)" = 0 ] || fail "the recording replays with status $(status replayed)"
cmp -s "$user/config.dat" "$work/first-config.dat" || fail "the recording's run wrote another config.dat"

# --- A first profile named on the main screen: OK makes it, the menu greets it ------------------------
cat >"$work/first_profile.txt" <<'REPLAY'
clock 1767225600
seed 7
await 6 120000
wait 800
expect window NewP
text "Marigold"    # over the proposed user name
key enter          # OK
wait 600
move 560 420       # over the menu: the girl smiles
wait 400
screenshot first_profile.png
REPLAY
rm -rf "$XDG_DATA_HOME"
(cd "$work" && run first_profile "$game" --headless --data "$data" --replay first_profile.txt)
[ "$(status first_profile)" = 0 ] || fail "the first profile's replay exits $(status first_profile): $(head -3 "$work/first_profile.err")"
[ -s "$work/first_profile.png" ] || fail "no screenshot of the greeting"
[ -s "$user/profile0.dat" ] || fail "OK made no profile file"
grep -aq "M.a.r.i.g.o.l.d" "$user/profile0.dat" || fail "the profile is not named Marigold"

# --- Marks that fail, lines that do not read ----------------------------------------------------------
# fails NAME STATUS SAID REPLAY: the replay (its lines as printf's text) ends
# the run with STATUS, saying SAID on stderr.
fails() {
  # shellcheck disable=SC2059  # the replay is given as printf text
  printf "$4" >"$work/$1.txt"
  run "$1" "$game" --headless --data "$data" --replay "$work/$1.txt"
  [ "$(status "$1")" = "$2" ] || fail "the replay $1 exits $(status "$1"), not $2"
  has "$1.err" "$1.txt: $3" || fail "the replay $1 does not say \"$3\": $(cat "$work/$1.err")"
}
fails timeout 5 "line 2: await 4 200: timed out" 'wait 20\nawait 4 200\n'
fails expect 5 "line 2: expect state 4: not met" '# first\nexpect state 4\n'
fails bad 2 "line 3: cannot read \"click 1\"" 'wait 20\n\nclick 1\n'
fails long 5 "line 4: wait 100000: the run ended first" 'await 6 120000\nwait 400\nkey escape\nwait 100000\n'
fails nowin 5 "expect won: no level was won" 'await 6 120000\nexpect won\n'

tm_cli_finish
