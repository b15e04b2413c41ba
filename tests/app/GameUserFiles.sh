#!/usr/bin/env bash
# The per-user files as a player (and another user on the machine) meets
# them, with the real files headless: a damaged profile file put aside and
# told on the main screen; a profile whose first save was cut off before its
# rename read from its ".bak"; a named pipe or a device in the place of the
# files, and a folder in the log's, each said as what it is (never waited
# on); a per-user folder the game may not write (as a user who is not root)
# told at every save and in the log, its lock still taken; the
# single-instance lock the per-user folder's own (the shared temporary
# folder and another user's runtime folder left alone, the socket 0600 and
# unreachable, a second start refused however it reaches the folder and its
# files left as they were, another per-user folder, a long one, free to run
# beside with its forward channel), and no start without it; the log never
# written through a link; a recording never over its replay; a screenshot
# that names a folder, a language that is a device: one clear line.
# The cases that need a second user run as "nobody" through setpriv; they
# are skipped, said so, where that cannot be had.
# Usage: GameUserFiles.sh TALLOWMERE WORK_FOLDER DATA_FOLDER
set -uo pipefail
. "$(dirname "${BASH_SOURCE[0]}")/../support/CommandLine.sh"
tm_game_setup "$1" "$2" "$3"
tm_game_config 0
run_timeout=120

# Another user: root runs the commands as "nobody"; anyone else cannot.
other_user=
if [ "$(id -u)" = 0 ] && command -v setpriv >/dev/null && id nobody >/dev/null 2>&1; then
  other_user=nobody
fi
other=(setpriv --reuid=nobody --regid=65534 --clear-groups)
# The other user's cases run where that user can enter: the build folder may
# lie where only root can (a clone in /root), so then they get a folder of
# their own with their own copy of the program, its config.ini and the data.
reach="$work" other_game="$game" other_data="$data"
if [ -n "$other_user" ] && ! "${other[@]}" test -x "$work" -a -x "$game" -a -r "$data"; then
  reach="$(mktemp -d "/tmp/tm-user-files.XXXXXX")"
  trap 'rm -rf "$reach"' EXIT
  chmod 755 "$reach"
  mkdir "$reach/bin"
  cp "$game" "$(dirname "$game")/config.ini" "$reach/bin/"
  cp -r "$data" "$reach/data"
  other_game="$reach/bin/$(basename "$game")" other_data="$reach/data"
fi
log_line() { tr -d '\r' <"$work/$1.log" | grep -c -- "$2"; }

tm_replay_new_profile >"$work/first.txt"
# The main screen with a notice up (the one file told of).
{
  tm_replay_header
  echo 'expect window Mesg'
} >"$work/notice.txt"
# The main screen's "easy": the opening comic comes only for a profile.
{
  tm_replay_header
  echo 'click 589 356
await 7 3000'
} >"$work/easy.txt"

tm_play_headless first
[ -s "$user/profile0.dat" ] || fail "the first run made no profile0.dat"
cp -a "$user" "$work/made"

# --- A damaged profile file: put aside, told, never overwritten -----------------------------------
cp -a "$work/made" "$work/damaged"
head -c $(($(stat -c %s "$work/made/profile0.dat") / 2)) "$work/made/profile0.dat" >"$work/damaged/profile0.dat"
cp "$work/damaged/profile0.dat" "$work/cut.dat"
from="$work/damaged" tm_play_headless notice
from=
cmp -s "$user/profile0.dat.damaged" "$work/cut.dat" || fail "the damaged profile0.dat is not kept as profile0.dat.damaged"
[ "$(log_line notice 'profile0.dat does not read (.*): kept as profile0.dat.damaged')" = 1 ] ||
  fail "the log does not say which file did not read, why and where it is kept"

# --- A first save cut off before its rename: its whole ".bak" stands in ---------------------------
cp -a "$work/made" "$work/halfsaved"
mv "$work/halfsaved/profile0.dat" "$work/halfsaved/profile0.dat.bak"
from="$work/halfsaved" tm_play_headless easy
from=
[ "$(log_line easy 'profile0.dat read from profile0.dat.bak, which takes its place')" = 1 ] ||
  fail "the log does not say the profile was read from its .bak"
[ -s "$user/profile0.dat" ] && [ ! -e "$user/profile0.dat.bak" ] || fail "the .bak did not take the file's place"

# --- No file in a file's place: said as what it is, never opened ---------------------------------
cp -a "$work/made" "$work/nofile"
for f in profile0.dat config.dat; do
  rm "$work/nofile/$f"
  mkfifo "$work/nofile/$f"
done
rm "$work/nofile/profiles.dat"
ln -s /dev/zero "$work/nofile/profiles.dat"
from="$work/nofile" tm_play_headless notice
from=
[ "$(status notice)" = 0 ] || fail "a named pipe or a device in a file's place: exits $(status notice)"
for line in 'profile0.dat does not read (a named pipe, not a file): left where it is' \
  'config.dat does not read (a named pipe, not a file): the defaults are used' \
  'config.dat not saved: a named pipe is in its place' 'profiles.dat not saved: a device is in its place'; do
  [ "$(log_line notice "$line")" -ge 1 ] || fail "the log does not say: $line"
done
[ -p "$user/profile0.dat" ] && [ -L "$user/profiles.dat" ] || fail "what stood in a file's place did not stay"
# A folder where the log goes: the game runs without it, and says so once.
rm -rf "$user"
mkdir -p "$user/log.txt"
tm_replay_header >"$work/main.txt"
(cd "$work" && run nolog "$game" --headless --data "$data" --replay main.txt)
[ "$(status nolog)" = 0 ] || fail "a folder in the log's place: exits $(status nolog)"
[ "$(grep -c 'log.txt cannot be written (a folder, not a file); the game runs without its log' "$work/nolog.err")" = 1 ] ||
  fail "a folder in the log's place is not said once: $(head -3 "$work/nolog.err")"
rm -rf "$user"

# --- A per-user folder the game may not write, as a user who is not root --------------------------
if [ -n "$other_user" ]; then
  mkdir -p "$reach/ro"
  chown nobody "$reach/ro"
  cp "$work/first.txt" "$work/notice.txt" "$reach/ro/"
  (
    export XDG_DATA_HOME="$reach/ro/xdg" HOME="$reach/ro"
    unset XDG_RUNTIME_DIR  # (the lock is in the per-user folder whatever it says)
    cd "$reach/ro" && run ro-first "${other[@]}" "$other_game" --headless --data "$other_data" --replay first.txt
    chmod 500 "$reach/ro/xdg/Morvalen/Tallowmere"
    cd "$reach/ro" && run ro "${other[@]}" "$other_game" --headless --data "$other_data" --replay notice.txt
  )
  cp "$reach/ro/xdg/Morvalen/Tallowmere/log.txt" "$work/ro.log" 2>/dev/null || : >"$work/ro.log"
  [ "$(status ro-first)" = 0 ] || fail "the other user's first run exits $(status ro-first): $(tail -3 "$work/ro-first.err")"
  [ "$(status ro)" = 0 ] || fail "the read-only run exits $(status ro): $(tail -3 "$work/ro.err")"
  # Chosen at the start, and again at the quit: each failure told.
  [ "$(log_line ro 'profile0.dat not saved: not allowed to write there')" -ge 2 ] ||
    fail "the profile's failed saves are not each in the log with their reason"
  # The lock its first run made, taken in the read-only folder; no channel there.
  [ "$(log_line ro "^Single instance *$reach/ro/xdg/Morvalen/Tallowmere/TallowmereGame.lock")" = 1 ] &&
    [ "$(log_line ro "no forward channel: .*TallowmereGame.sock")" = 1 ] ||
    fail "the read-only run does not name its lock, or not its missing forward channel"
  chmod 700 "$reach/ro/xdg/Morvalen/Tallowmere"
else
  echo "SKIPPED: the read-only per-user folder (needs root and setpriv to run as another user)"
fi

# --- The single-instance lock: the per-user folder's own, out of another user's reach ------------
# Nothing of it goes where the lock used to fall back to (the shared
# temporary folder, where another user makes its names first: a lock file,
# held; a link in the socket's place), nor into another user's runtime
# folder: the lock is "TallowmereGame.lock" in the per-user folder, 0600.
shared="$reach/shared"
mkdir -p "$shared"
chmod 1777 "$shared"
if [ -n "$other_user" ]; then
  "${other[@]}" touch "$shared/TallowmereGame-0.lock"
  "${other[@]}" ln -s "$shared/planted" "$shared/TallowmereGame-0.sock"
  exec 8<"$shared/TallowmereGame-0.lock"
  flock -n 8 || fail "cannot hold the other user's lock file for the test"
  mkdir -p "$work/theirs"
  chown nobody "$work/theirs"
  chmod 700 "$work/theirs"
else
  echo "SKIPPED: another user's lock, link and runtime folder (needs root and setpriv)"
fi
rm -rf "$XDG_DATA_HOME"
(
  unset XDG_RUNTIME_DIR
  export TMPDIR="$shared"
  umask 000
  run nortime "$game" --headless --data "$data"
)
[ "$(status nortime)" = 0 ] || fail "a start without XDG_RUNTIME_DIR exits $(status nortime): $(tail -3 "$work/nortime.err")"
[ ! -e "$shared/planted" ] || fail "the game made the file a link in the shared folder points to"
[ -z "$(find "$shared" -mindepth 1 -user "$(id -u)" -print -quit)" ] || fail "the game wrote into the shared temporary folder"
[ "$(stat -c %a "$user/TallowmereGame.lock")" = 600 ] ||
  fail "the lock in the per-user folder is not 0600 under umask 000"
grep -q "^Single instance *$user/TallowmereGame.lock" "$user/log.txt" ||
  fail "the log does not name the lock in the per-user folder"
if [ -n "$other_user" ]; then
  exec 8<&-
  (
    export XDG_RUNTIME_DIR="$work/theirs"
    run theirs "$game" --headless --data "$data"
  )
  [ "$(status theirs)" = 0 ] || fail "a start with another user's runtime folder exits $(status theirs)"
  [ -z "$(ls -A "$work/theirs")" ] || fail "the game put something in another user's runtime folder"
fi

# A running copy, stopped once it is on the main screen so that it stays
# (a stopped process keeps its lock, and its socket takes connections): the
# socket beside the lock, 0600 under umask 000 and out of other users'
# reach. A second start on its per-user folder is refused however it comes
# to the folder: as it did, without XDG_RUNTIME_DIR, with another private
# runtime folder, by XDG_DATA_HOME written with "//", with "/./" or through
# a link; each leaves the recording and the screenshot it was given as they
# were. A copy on another per-user folder, as deep as a long home folder's
# path makes it, runs beside with its forward channel.
{
  tm_replay_header
  echo 'wait 3600000'
} >"$work/long.txt"
mkdir -p "$work/longrun" "$work/refused" "$work/run-other"
chmod 700 "$work/run-other"
cp "$work/long.txt" "$work/longrun/"
rm -f "$user/log.txt"  # the one to wait for is the running copy's
(cd "$work/longrun" && umask 000 && exec "$game" --headless --data "$data" --replay long.txt) \
  >"$work/longrun.out" 2>"$work/longrun.err" &
running=$!
sock="$user/TallowmereGame.sock"
for _ in $(seq 1 600); do
  grep -q "Game state.*-> 0x6" "$user/log.txt" 2>/dev/null && break  # (the socket comes before the log)
  kill -0 "$running" 2>/dev/null || break
  sleep 0.2
done
kill -STOP "$running" 2>/dev/null
if [ ! -S "$sock" ]; then
  fail "the running copy made no socket: $(grep "forward channel" "$user/log.txt")"
else
  [ "$(stat -c %a "$sock")" = 600 ] || fail "the socket is $(stat -c %a "$sock") under umask 000, not 600"
  if [ -n "$other_user" ]; then
    "${other[@]}" test -e "$sock" 2>/dev/null && fail "another user reaches the socket"
  fi
fi
{ tm_replay_header; echo 'screenshot kept.png'; } >"$work/refused/kept.txt"
echo "an earlier recording" >"$work/record.txt"
echo "an earlier picture" >"$work/kept.png"
ln -sfn "$XDG_DATA_HOME" "$work/xdg-link"
for way in "second" "noruntime -u XDG_RUNTIME_DIR" "otherruntime XDG_RUNTIME_DIR=$work/run-other" \
  "slashes XDG_DATA_HOME=${XDG_DATA_HOME%/*}//${XDG_DATA_HOME##*/}" \
  "dot XDG_DATA_HOME=${XDG_DATA_HOME%/*}/./${XDG_DATA_HOME##*/}" "link XDG_DATA_HOME=$work/xdg-link"; do
  read -r name how <<<"$way"
  cp "$work/record.txt" "$work/kept.png" "$work/refused/"
  # shellcheck disable=SC2086  # `how` is the environment's words
  (cd "$work/refused" && run "$name" env $how "$game" --headless --data "$data" --replay kept.txt --record record.txt)
  [ "$(status "$name")" = 1 ] || fail "a second start ($name) on the same per-user folder exits $(status "$name")"
  has "$name.err" "already running" || fail "the second start ($name) does not say why it stopped"
  cmp -s "$work/refused/record.txt" "$work/record.txt" || fail "the refused start ($name) emptied its recording"
  cmp -s "$work/refused/kept.png" "$work/kept.png" || fail "the refused start ($name) wrote its screenshot"
done
# (its per-user folder 200 characters long, or longer when the work folder
# is, short of the 248 where the game would give it up)
long_home="$work/home-"
while [ $((${#long_home} + 34)) -lt 200 ]; do long_home+=x; done
(
  unset XDG_DATA_HOME
  export HOME="$long_home"
  run beside "$game" --headless --data "$data"
)
[ "$(status beside)" = 0 ] ||
  fail "a copy on another per-user folder exits $(status beside): $(tail -3 "$work/beside.err")"
beside_log="$long_home/.local/share/Morvalen/Tallowmere/log.txt"
grep -q "^Single instance *$long_home/.local/share/Morvalen/Tallowmere/TallowmereGame.lock" "$beside_log" ||
  fail "the copy beside did not lock its own per-user folder"
grep -q "forward channel" "$beside_log" &&
  fail "the copy on a per-user folder of $((${#long_home} + 34)) characters: $(grep "forward channel" "$beside_log")"
kill -KILL "$running" 2>/dev/null
wait "$running" 2>/dev/null

# A lock that cannot be had (a link in its place): the start refused, with
# the reason, and the link's target never made.
rm -f "$user/TallowmereGame.lock"
ln -s "$work/lock-target" "$user/TallowmereGame.lock"
run nolock "$game" --headless --data "$data"
[ "$(status nolock)" = 4 ] || fail "a start whose lock cannot be had exits $(status nolock), not 4"
has nolock.err "cannot take the single-instance lock: $user/TallowmereGame.lock: " ||
  fail "the start without its lock does not say why"
[ ! -e "$work/lock-target" ] || fail "the lock was made through a link"
rm -f "$user/TallowmereGame.lock"

# --- The log never through a link; a recording never over its replay -----------------------------
echo "not the game's" >"$work/victim.txt"
rm -f "$user/log.txt"
ln -s "$work/victim.txt" "$user/log.txt"
run linked "$game" --headless --data "$data"
[ "$(cat "$work/victim.txt")" = "not the game's" ] || fail "the log wrote through a link"
[ -f "$user/log.txt" ] && [ ! -L "$user/log.txt" ] || fail "the log is not a file of its own"
cp "$work/first.txt" "$work/same.txt"
ln -sf same.txt "$work/same-link.txt"
for record in same.txt same-link.txt; do
  (cd "$work" && run record "$game" --headless --data "$data" --replay same.txt --record "$record")
  [ "$(status record)" = 2 ] || fail "--record $record over its replay exits $(status record), not 2"
  has record.err "is the replay being played" || fail "--record $record over its replay is not said"
  cmp -s "$work/same.txt" "$work/first.txt" || fail "--record $record overwrote the replay"
done

# --- One clear line: a screenshot that names a folder, a language that is a device ---------------
mkdir -p "$work/shots"
printf 'wait 100\nscreenshot shots\n' >"$work/shot.txt"
(cd "$work" && run shot "$game" --headless --data "$data" --replay shot.txt)
[ "$(status shot)" = 2 ] || fail "a screenshot naming a folder exits $(status shot), not 2"
has shot.err 'line 2: "screenshot shots" names a folder' || fail "a screenshot naming a folder is not said"
run device "$game" --headless --data "$data" -lang /dev/zero
[ "$(status device)" = 0 ] || fail "a language that is a device exits $(status device)"
[ "$(wc -l <"$work/device.err")" = 1 ] && has device.err "/dev/zero is not a language file" ||
  fail "a language that is a device is not one clear line: $(head -3 "$work/device.err")"
has device.err "?NF?" && fail "an unresolved text is printed"

tm_cli_finish
