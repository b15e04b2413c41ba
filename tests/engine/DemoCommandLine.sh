#!/usr/bin/env bash
# The engine demo as a newcomer meets it: help and wrong options, a windowed
# run without a display, a run without a data set, a second start while
# another instance runs, what a headless run says it wrote, a run without a
# sound device, and output that reaches a pipe while the program runs.
# Usage: DemoCommandLine.sh ENGINE_DEMO WORK_FOLDER DATA_FOLDER
set -uo pipefail
. "$(dirname "${BASH_SOURCE[0]}")/../support/CommandLine.sh"
tm_cli_setup "$1" "$2"
demo="$program"
data="$3"

# --- Help and wrong options ---------------------------------------------------------------
run help "$demo" --help
[ "$(status help)" = 0 ] || fail "--help exits $(status help)"
for option in --headless --frames --data --screenshot --wav --check --cursor --help; do
  [ "$(grep -c -- "^  $option " "$work/help.out")" = 1 ] || fail "--help has no line of its own for $option"
done
for args in "--bogus" "--frames" "--frames 12x" "--frames 0" "--headless" "--frames 2 --screenshot shot.jpg" \
            "--frames 2 --screenshot shot" "--headless --frames 2 --wav mix.mp3" "--wav mix.wav --frames 2" \
            "--headless --frames 2 --data"; do
  # shellcheck disable=SC2086
  run wrong "$demo" $args
  [ "$(status wrong)" = 2 ] || fail "'$args' exits $(status wrong), not 2"
  has wrong.err "^usage: engine_demo" || fail "'$args' prints no usage"
done
[ ! -e shot.jpg ] && [ ! -e shot ] || fail "a refused screenshot name was written"

# --- No display: fails at once, saying so -------------------------------------------------
for display in "" ":7919"; do
  start=$(date +%s)
  if [ -z "$display" ]; then
    run nodisplay env -u DISPLAY -u WAYLAND_DISPLAY -u SDL_VIDEODRIVER ASAN_OPTIONS=detect_leaks=0 \
      "$demo" --frames 3 --screenshot "$work/nodisplay.png"
  else
    run nodisplay env -u WAYLAND_DISPLAY -u SDL_VIDEODRIVER DISPLAY="$display" ASAN_OPTIONS=detect_leaks=0 \
      "$demo" --frames 3 --screenshot "$work/nodisplay.png"
  fi
  took=$(($(date +%s) - start))
  [ "$(status nodisplay)" = 1 ] || fail "no display ('$display') exits $(status nodisplay), not 1"
  has nodisplay.err "engine_demo: no display: .*, try --headless" || fail "no display ('$display') is not said"
  [ "$took" -le 5 ] || fail "no display ('$display') took ${took}s"
  [ ! -e "$work/nodisplay.png" ] || fail "a run without a display wrote a screenshot"
done

# --- No data set: says so and where to get one ----------------------------------------------
run nodata "$demo" --headless --frames 2 --data "$work/no-such-folder" --screenshot "$work/nodata.png"
[ "$(status nodata)" = 1 ] || fail "a run without a data set exits $(status nodata), not 1"
has nodata.err "engine_demo: no data set to show: .*no-such-folder.*databuild" || fail "a missing data set is not said"
[ ! -e "$work/nodata.png" ] || fail "a run without a data set wrote a screenshot"

# --- A second start while another instance holds the lock ----------------------------------
printf 'the first instance'"'"'s log' >"$work/bin/log.txt"
cp "$work/bin/log.txt" "$work/first-log.txt"
exec 9>"$work/run/TallowmereEngineDemo.lock"  # the lock in the private runtime folder
flock -n 9 || fail "cannot take the lock for the test"
run second "$demo" --headless --frames 2 --data "$data" --screenshot "$work/second.png"
[ "$(status second)" = 1 ] || fail "a second start exits $(status second), not 1"
has second.err "already running" || fail "a second start does not say why it stopped"
[ ! -e "$work/second.png" ] || fail "a refused second start wrote its screenshot"
cmp -s "$work/bin/log.txt" "$work/first-log.txt" || fail "a refused second start touched the first instance's log"
exec 9>&-

# --- A headless run says what it wrote ----------------------------------------------------
run headless "$demo" --headless --frames 3 --data "$data" --screenshot "$work/shot.png" --wav "$work/mix.wav"
[ "$(status headless)" = 0 ] || fail "the headless run exits $(status headless)"
has headless.out "wrote $work/shot.png (frame 3, 800 x 600)" || fail "the headless run does not name its screenshot"
has headless.out "wrote $work/mix.wav" || fail "the headless run does not name its sound"
has headless.out "log in $work/bin/log.txt" || fail "the headless run does not say where its log is"
[ -s "$work/shot.png" ] && [ -s "$work/mix.wav" ] || fail "the headless run's files are missing"
head -c 12 "$work/bin/log.txt" | grep -q "LOG STARTED:" || fail "the headless run wrote no log of its own"

# --- No sound device: one line says so, the sound libraries' complaints go to the log ------
# ALSA told to open a device that exists nowhere fails on any machine, and
# says so at length on the standard error stream unless the demo keeps it.
run nosound env SDL_VIDEODRIVER=dummy SDL_AUDIODRIVER=alsa AUDIODEV=tm-no-such-device ASAN_OPTIONS=detect_leaks=0 \
  "$demo" --frames 3 --data "$data"
[ "$(status nosound)" = 0 ] || fail "a run without a sound device exits $(status nosound)"
[ "$(grep -c "no sound" "$work/nosound.out")" = 1 ] || fail "a run without a sound device does not say so once"
[ ! -s "$work/nosound.err" ] || fail "a run without a sound device printed: $(head -c 300 "$work/nosound.err")"
grep -q "^Sound *none: no sound device" "$work/bin/log.txt" || fail "the log does not say why there is no sound"

# --- Output reaches a pipe as it is written -----------------------------------------------
# A windowed run on a driver the user chose runs until closed; its first line
# must arrive while it runs.
mkfifo "$work/lines"
SDL_VIDEODRIVER=dummy SDL_AUDIODRIVER=dummy ASAN_OPTIONS=detect_leaks=0 "$demo" --data "$data" >"$work/lines" \
  2>"$work/piped.err" &
pid=$!
line=""
read -r -t 15 line <"$work/lines" || true
kill "$pid" 2>/dev/null
wait "$pid" 2>/dev/null
[[ "$line" == "Tallowmere engine demo:"* ]] || fail "the first line did not reach the pipe while the demo ran ('$line')"

tm_cli_finish
