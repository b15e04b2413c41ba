#!/usr/bin/env bash
# The program as a player meets it: help and wrong options, no display, data
# that is missing (the folder, an archive, the language), a headless start
# on a first run up to the main screen's request, data that does not read
# ("CNST" gone, a damaged sprite record), a second start, the language
# option and "config.ini".
# Usage: GameCommandLine.sh TALLOWMERE WORK_FOLDER DATA_FOLDER
set -uo pipefail
. "$(dirname "${BASH_SOURCE[0]}")/../support/CommandLine.sh"
tm_game_setup "$1" "$2" "$3"
log="$user/log.txt"

# --- Help and wrong options -----------------------------------------------------------------
run help "$game" --help
[ "$(status help)" = 0 ] || fail "--help exits $(status help)"
has help.out "^Exit status: 0 a normal end" || fail "--help names no exit statuses"
for args in "--bogus" "--data" "-language x"; do
  # shellcheck disable=SC2086
  run wrong "$game" $args
  [ "$(status wrong)" = 2 ] || fail "'$args' exits $(status wrong), not 2"
  has wrong.err "^usage: tallowmere" || fail "'$args' prints no usage"
done

# --- No display (none named, or one that does not answer): status 4 at once, the one line
# saying so alone on stderr, also outside a desktop session (no XDG_RUNTIME_DIR) ---------------
for display in "" ":7919"; do
  run nodisplay env -u DISPLAY -u WAYLAND_DISPLAY -u SDL_VIDEODRIVER -u XDG_RUNTIME_DIR ${display:+DISPLAY=$display} \
    ASAN_OPTIONS=detect_leaks=0 "$game" --data "$data"
  [ "$(status nodisplay)" = 4 ] || fail "no display ('$display') exits $(status nodisplay), not 4"
  grep -qv "^tallowmere: no display: .*, try --headless$" "$work/nodisplay.err" &&
    fail "no display ('$display') says more than it should: $(cat "$work/nodisplay.err")"
  has nodisplay.err "tallowmere: no display: .*, try --headless" || fail "no display ('$display') is not said"
done

# --- Data missing: status 3, the path and the run command, no per-user folder yet --------------
run nodata "$game" --headless
[ "$(status nodata)" = 3 ] || fail "no data folder exits $(status nodata), not 3"
has nodata.err "$work/bin/Data is missing" || fail "the missing data folder is not named"
has nodata.err "bash tools/run.sh" || fail "the run command is not named"
[ ! -e "$user" ] || fail "a run without data made the per-user folder"
mkdir -p "$work/partial"
cp "$data/Data.dat" "$data/Sprites.dat" "$work/partial/"
run noarchive "$game" --headless --data "$work/partial"
[ "$(status noarchive)" = 3 ] || fail "no Sounds.dat exits $(status noarchive), not 3"
has noarchive.err "partial/Sounds.dat is missing" || fail "the missing archive is not named"
cp "$data/Sounds.dat" "$work/partial/"
run nolanguage "$game" --headless --data "$work/partial"
[ "$(status nolanguage)" = 3 ] || fail "no language.dat exits $(status nolanguage), not 3"
has nolanguage.err "partial/language.dat is missing" || fail "the missing language is not named"

# --- A first run, headless, to the main screen's request ---------------------------------------
run first "$game" --headless --data "$data"
[ "$(status first)" = 0 ] || fail "the headless start exits $(status first), not 0"
[ "$(stat -c %a "$user")" = 700 ] || fail "the per-user folder is not made with mode 700"
[ -s "$log" ] || fail "the log is not in the per-user folder"
[ -s "$user/config.dat" ] || fail "config.dat is not written at once"
grep -q "loader step 255" "$log" || fail "the loader did not reach its finish"
grep -q "the main screen is asked for" "$log" || fail "the main screen was not asked for"
grep -q "has no reader yet" "$log" && fail "a section was skipped for want of its reader"
grep -q "Cursors.*7 of 7 loaded" "$log" || fail "the cursor files were not loaded"
grep -q "play.url" "$log" && fail "a headless run looked at play.url"

# --- Data that does not read: status 1 and the message ------------------------------------------
mkdir -p "$work/broken"
cp "$data/Sprites.dat" "$data/Sounds.dat" "$data/language.dat" "$work/broken/"
# "Data.dat" whose "CNST" entry is renamed: the section is not there.
cp "$data/Data.dat" "$work/broken/Data.dat"
LC_ALL=C perl -0777 -pi -e 's/TSNC/TSNX/' "$work/broken/Data.dat"
cmp -s "$data/Data.dat" "$work/broken/Data.dat" && fail "the test could not rename CNST"
run nocnst "$game" --headless --data "$work/broken"
[ "$(status nocnst)" = 1 ] || fail "a Data.dat without CNST exits $(status nocnst), not 1"
has nocnst.err "Data error!" || fail "\"Data error!\" is not said"
grep -q "Data error!" "$log" || fail "\"Data error!\" is not in the log"
# "Sprites.dat" cut short: it does not open as an archive.
cp "$data/Data.dat" "$work/broken/Data.dat"
head -c $(($(stat -c %s "$data/Sprites.dat") / 2)) "$data/Sprites.dat" >"$work/broken/Sprites.dat"
run badsprite "$game" --headless --data "$work/broken"
[ "$(status badsprite)" = 1 ] || fail "a damaged Sprites.dat exits $(status badsprite), not 1"
has badsprite.err "Sprites.dat is damaged" || fail "a damaged Sprites.dat is not said"

# --- A second start: refused, the first one's log untouched ------------------------------------
cp "$log" "$work/first-log.txt"
lock=$(tr -d '\r' <"$log" | sed -n 's/^Single instance *\(\/.*\/\)$/\1/p')  # the per-user folder itself
[ -n "$lock" ] || fail "the log does not name the single-instance lock"
exec 9<"${lock:-$work/run}"
flock -n 9 || fail "cannot take the lock for the test"
run second "$game" --headless --data "$data"
[ "$(status second)" = 1 ] || fail "a second start exits $(status second), not 1"
has second.err "already running" || fail "a second start does not say why it stopped"
cmp -s "$log" "$work/first-log.txt" || fail "a refused second start touched the first one's log"
exec 9>&-

# --- The language option and config.ini ----------------------------------------------------------
run lang "$game" --headless --data "$data" -LANG "$work/no-such.lng"
[ "$(status lang)" = 0 ] || fail "a -lang file that is not there does not fall back ($(status lang))"
printf '[Video]\nWindow=640,480\nVSync=0\n[Path]\nLanguage=language.dat\n' >"$work/bin/config.ini"
run ini "$game" --headless --data "$data" -lang
[ "$(status ini)" = 0 ] || fail "a run with config.ini exits $(status ini)"
rm -f "$work/bin/config.ini"

tm_cli_finish
