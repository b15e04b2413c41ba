#!/usr/bin/env bash
# The level player's command line as a newcomer meets it: what is not a
# script file is refused at once, a screenshot that cannot be written stops
# the run before it plays, a level the data set lacks is refused, no
# display stops it at once with the game's status and one line, the
# level's menu holds the day's clock, a data set
# without its texts stops it with the file named, a script's screenshot
# marks and last frame are the same whether the frames between them are
# rasterised or not, and a winning script played with --record writes a
# recording that replays headless (every frame rasterised) to the same end
# and the same last frame.
# Usage: PlayerCommandLine.sh LEVELPLAYER WORK_FOLDER DATA_FOLDER WINNING_SCRIPT (the scenario
# data set and a script that wins its first level)
set -uo pipefail
. "$(dirname "${BASH_SOURCE[0]}")/../../support/CommandLine.sh"
tm_cli_setup "$1" "$2"
player="$program"
data="$3"
winning="$4"
run_timeout=60  # a guard: a refusal is at once; a run that reads or plays on fails by it

# --- Scripts are regular files under 1 MB ----------------------------------------------------
mkdir "$work/folder"
mkfifo "$work/pipe.txt"
head -c $((2 * 1024 * 1024)) /dev/zero | tr '\0' '#' >"$work/big.txt"
for script in /dev/zero /dev/null "$work/folder" "$work/pipe.txt" "$work/big.txt"; do
  run script "$player" --headless --script "$script" --data "$data"
  [ "$(status script)" = 2 ] || fail "the script $script exits $(status script), not 2"
  has script.err "levelplayer: $script: .*\(not a regular file\|too large\)" || fail "the script $script is not refused"
done

# --- A screenshot that cannot be written stops the run before it plays ----------------------
touch "$work/plain-file"
mkdir "$work/folder.png"
for shot in "$work/no-such-folder/shot.png" "$work/plain-file/shot.png" "$work/folder.png"; do
  run shot "$player" --headless --frames 1000000 --data "$data" --screenshot "$shot"
  [ "$(status shot)" = 1 ] || fail "the screenshot $shot exits $(status shot), not 1"
  has shot.err "cannot write the screenshot" || fail "the screenshot $shot is not refused"
  ! has shot.out "levelplayer: level" || fail "the run with the screenshot $shot played"
done

# --- A level the data set does not have is refused (the scenario set has nine) -----------------
for level in 0 42 x 10; do
  run level "$player" --headless --frames 1 --data "$data" --level "$level"
  [ "$(status level)" = 2 ] || fail "--level $level exits $(status level), not 2"
  ! has level.out "levelplayer: level" || fail "the run with --level $level played"
done
has level.err "has no level 10 (its levels: 1, 2, 3, 4, 5, 6, 7, 8, 9)" ||
  fail "level 10 is not refused clearly: $(cat "$work/level.err")"
run help "$player" --help
has help.out "--level N .*by default 1" || fail "--help does not list --level"

# --- No display (none named, or one that does not answer): the game's status 4, the one line
# saying so alone on stderr, also outside a desktop session (no XDG_RUNTIME_DIR) ---------------
for display in "" ":7919"; do
  run nodisplay env -u DISPLAY -u WAYLAND_DISPLAY -u SDL_VIDEODRIVER -u XDG_RUNTIME_DIR ${display:+DISPLAY=$display} \
    ASAN_OPTIONS=detect_leaks=0 "$player" --frames 2 --data "$data"
  [ "$(status nodisplay)" = 4 ] || fail "no display ('$display') exits $(status nodisplay), not 4"
  grep -qv "^levelplayer: no display: .*, try --headless$" "$work/nodisplay.err" &&
    fail "no display ('$display') says more than it should: $(cat "$work/nodisplay.err")"
  has nodisplay.err "levelplayer: no display: .*, try --headless" || fail "no display ('$display') is not said"
done

# --- The data set's texts: "language.dat" missing stops with status 3, damaged with 1 -------------
mkdir "$work/texts"
for file in Data.dat Sprites.dat Sounds.dat; do ln -s "$data/$file" "$work/texts/$file"; done
for fault in "is missing" "is damaged or not of this version"; do
  [ "$fault" = "is missing" ] || head -c 3000 /dev/zero | tr '\0' 'Z' >"$work/texts/language.dat"
  want=$([ "$fault" = "is missing" ] && echo 3 || echo 1)
  run texts "$player" --headless --frames 2 --data "$work/texts"
  [ "$(status texts)" = "$want" ] || fail "a language.dat that $fault exits $(status texts), not $want"
  has texts.err "levelplayer: no level to play: $work/texts/language.dat $fault" || fail "language.dat $fault: not said"
  tr -d '\r' <"$work/bin/log.txt" | grep -q "^ERROR! $work/texts/language.dat $fault" ||
    fail "language.dat $fault: not in the log"
done

# --- Rasterising only the frames a screenshot reads, or every frame: the same play ----------------------
run_timeout=300
for mode in some every; do
  sed "s|SHOT|$work/$mode|" >"$work/marks-$mode.txt" <<'SCRIPT'
wait 500
click 400 300
wait 200
click 185 187
wait 200
screenshot SHOT-heap.png
click 489 554
wait 1500
screenshot SHOT-walk.png
wait 300
SCRIPT
  every=$([ "$mode" = every ] && echo --rasterise)
  # shellcheck disable=SC2086  # no option when empty
  run "marks-$mode" "$player" --headless $every --script "$work/marks-$mode.txt" --data "$data" \
    --screenshot "$work/$mode-last.png"
  [ "$(status "marks-$mode")" = 0 ] || fail "the marked script ($mode frames rasterised) exits $(status "marks-$mode")"
done
for shot in heap walk last; do
  [ -s "$work/some-$shot.png" ] || fail "no $shot frame written"
  cmp -s "$work/some-$shot.png" "$work/every-$shot.png" || fail "the $shot frame differs when every frame is rasterised"
done
[ "$(grep "levelplayer: level" "$work/marks-some.out")" = "$(grep "levelplayer: level" "$work/marks-every.out")" ] ||
  fail "the marked script ends otherwise when every frame is rasterised: $(cat "$work/marks-every.out")"
# The result window expected before the day is won: the mark fails, named.
printf 'wait 500\nclick 400 300\nwait 200\nexpect window LvRt\n' >"$work/no-result.txt"
run no-result "$player" --headless --script "$work/no-result.txt" --data "$data"
[ "$(status no-result)" = 3 ] || fail "a result window expected too early exits $(status no-result), not 3"
has no-result.err "line 4: expect window LvRt: not met" || fail "the unmet window mark is not named"

# --- The level's menu holds the day's clock: the yard won with the menu open for 10 s on the way
# is won at the level time of the plain script (13.88 s) plus at most a few frames --------------
sed '/^click 400 300/a wait 200\nclick 755 12\nwait 10000\nclick 398 142\nwait 600' "$winning" >"$work/menu-pause.txt"
run menu-pause "$player" --headless --script "$work/menu-pause.txt" --data "$data"
[ "$(status menu-pause)" = 0 ] || fail "the yard with a pause in the menu exits $(status menu-pause)"
won_at="$(sed -n 's/^levelplayer: level won with .* at \([0-9]*\)\.[0-9]* s of level time$/\1/p' "$work/menu-pause.out")"
[ -n "$won_at" ] && [ "$won_at" -lt 15 ] ||
  fail "the level's clock ran on under its menu: $(cat "$work/menu-pause.out")"

# --- A recording made beside a script replays to the same end ---------------------------------
run_timeout=900  # a win played under the sanitizers on a busy machine takes minutes
run played "$player" --headless --script "$winning" --data "$data" --record "$work/recorded.txt" \
  --screenshot "$work/played.png"
[ "$(status played)" = 0 ] || fail "the winning script with --record exits $(status played)"
has played.out "level won with" || fail "the winning script with --record did not win"
grep -q "^expect won$" "$work/recorded.txt" || fail "the recording of a won run does not expect the win"
run replayed "$player" --headless --rasterise --script "$work/recorded.txt" --data "$data" --screenshot "$work/replayed.png"
[ "$(status replayed)" = 0 ] || fail "the recording replays with status $(status replayed)"
[ "$(grep "levelplayer: level" "$work/replayed.out")" = "$(grep "levelplayer: level" "$work/played.out")" ] ||
  fail "the replay ends otherwise: $(cat "$work/replayed.out")"
cmp -s "$work/played.png" "$work/replayed.png" || fail "the replay's last frame differs from the run's"

tm_cli_finish
