#!/usr/bin/env bash
# The program played by replays, headless: through the logos (the studio's
# mark not skipped by a click, the game's logo skipped) and the start-up's
# loading panel to the main screen's request, with screenshots; a state that does not come in time, an
# expect not met and a line that does not read, each with its status and its
# line; two runs of one replay writing the same "config.dat", log and mark
# frame, one rasterising only the frames its screenshot mark reads and one
# every frame (--rasterise); one of 100,001 frames played to its end, one
# smaller than any window refused; a recording of a replay that replays to
# the same end, which it names, and fails once cut short of it. With XVFB_RUN
# given, a recording made in an 800 x 600 window of a 1024 x 768 X screen:
# it says its size and its end (the game's quit), and replayed headless it
# plays at that size (the new-profile window's OK clicked: the profile
# made); without its size it misses and fails at its end; a size the X
# screen cannot hold stops the run with the reason.
# Usage: GameReplay.sh TALLOWMERE WORK_FOLDER DATA_FOLDER [XVFB_RUN]
set -uo pipefail
. "$(dirname "${BASH_SOURCE[0]}")/../support/CommandLine.sh"
tm_game_setup "$1" "$2" "$3"
xvfb_run="${4:-}"
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
grep -q "^screen 1280 1024$" "$work/recorded.txt" || fail "the recording does not say the size it was made at"
tail -n 1 "$work/recorded.txt" | grep -Eq "^await 6 [0-9]+$" || fail "the recording does not end on the main screen"
rm -rf "$XDG_DATA_HOME"
run replayed "$game" --headless --data "$data" --replay "$work/recorded.txt"
[ "$(status replayed)" = 0 ] || fail "the recording replays with status $(status replayed): $(tail -3 "$work/replayed.err")"
cmp -s "$user/config.dat" "$work/first-config.dat" || fail "the recording's run wrote another config.dat"
# Its waits taken out, it ends before the main screen has come: status 5.
grep -v "^wait " "$work/recorded.txt" >"$work/cut.txt"
rm -rf "$XDG_DATA_HOME"
run cut "$game" --headless --data "$data" --replay "$work/cut.txt"
[ "$(status cut)" = 5 ] || fail "the recording without its waits exits $(status cut), not 5"
has cut.err "cut.txt: line [0-9]*: await 6 [0-9]*: timed out" || fail "the end not met is not said: $(cat "$work/cut.err")"

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
fails tiny 5 "recorded at 1 x 1, smaller than the game's smallest window (320 x 240)" 'screen 1 1\nwait 20\n'
# Past 100,000 frames (33 min 20 s of play): a replay runs to its end.
printf 'wait 2000020\nexpect state 6\n' >"$work/endless.txt"
run_timeout=500 run endless "$game" --headless --data "$data" --replay "$work/endless.txt"
[ "$(status endless)" = 0 ] || fail "a replay of 100,001 frames exits $(status endless): $(tail -2 "$work/endless.err")"

# --- Recorded in a window, replayed headless at its size -------------------------------------------
if [ -n "$xvfb_run" ]; then
  # A window on a 1024 x 768 X screen: 800 x 600, the largest window that fits.
  printf '[Video]\nFullscreen=0\n' >"$(dirname "$game")/config.ini"
  {
    tm_replay_header
    echo 'text "Tester"
click 307 395               # the new-profile window: OK
wait 600
click 589 561               # "quit"
await 4294967295 3000'
  } >"$work/window.txt"
  rm -rf "$XDG_DATA_HOME"
  # SDL2's system libraries keep a few allocations to the end: no leak report for the window's run.
  (cd "$work" && ASAN_OPTIONS="${ASAN_OPTIONS:+$ASAN_OPTIONS:}detect_leaks=0" run window "$xvfb_run" -a \
    -s "-screen 0 1024x768x24" "$game" --data "$data" --replay window.txt --record made.txt)
  [ "$(status window)" = 0 ] || fail "the replay in a window exits $(status window): $(tail -3 "$work/window.err")"
  grep -q "^screen 800 600$" "$work/made.txt" || fail "the window's recording does not say 800 x 600"
  tail -n 1 "$work/made.txt" | grep -Eq "^await 4294967295 [0-9]+$" || fail "the window's recording does not end with the quit"
  rm -rf "$XDG_DATA_HOME"
  run sized "$game" --headless --data "$data" --replay "$work/made.txt"
  [ "$(status sized)" = 0 ] || fail "the window's recording replays headless with status $(status sized): $(tail -3 "$work/sized.err")"
  [ -s "$user/profile0.dat" ] || fail "the window's recording replayed headless made no profile"
  # Without its size (as recordings were once made), headless at 1024 x 768:
  # its clicks miss, the game never quits where the recording did.
  grep -v "^screen " "$work/made.txt" >"$work/unsized.txt"
  rm -rf "$XDG_DATA_HOME"
  run unsized "$game" --headless --data "$data" --replay "$work/unsized.txt"
  [ "$(status unsized)" = 5 ] || fail "the recording without its size exits $(status unsized), not 5"
  has unsized.err "unsized.txt: line [0-9]*: await 4294967295 [0-9]*: timed out" ||
    fail "the quit not met is not said: $(cat "$work/unsized.err")"
  # A size the X screen cannot hold, in a window or full screen (the second
  # as wide as the game's 800 x 600 window).
  for size in "1600 1200" "800 1200"; do
    sed "s/^screen .*/screen $size/" "$work/made.txt" >"$work/large.txt"
    ASAN_OPTIONS="${ASAN_OPTIONS:+$ASAN_OPTIONS:}detect_leaks=0" run large "$xvfb_run" -a -s "-screen 0 1024x768x24" \
      "$game" --data "$data" --replay "$work/large.txt"
    [ "$(status large)" = 5 ] || fail "a replay of $size, too large for the screen, exits $(status large), not 5"
    has large.err "large.txt: recorded at ${size/ / x }" || fail "a replay too large for the screen is not said: $(cat "$work/large.err")"
  done
  rm -f "$(dirname "$game")/config.ini"
fi

tm_cli_finish
