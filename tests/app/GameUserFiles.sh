#!/usr/bin/env bash
# The per-user files as a player (and another user on the machine) meets
# them, with the real files headless: a damaged profile file put aside and
# told on the main screen; a profile whose first save was cut off before its
# rename read from its ".bak"; a named pipe or a device in the place of the
# files, a link to nothing in the place of "profiles.dat" and "config.dat",
# and a folder in the log's, each said as what it is (never waited on,
# never written through); a per-user folder the game may not write (as a
# user who is not root) told at every save and in the log, its lock still
# taken, a recording into it refused at the start; every folder of ours 0700 and every file 0600 whatever the umask,
# a per-user folder open to others closed to them, and a link another user
# planted in the records' place never followed; a disk already full at the
# start (a file size limit of 0, `ulimit -f`) said once on the terminal;
# the single-instance lock the per-user folder itself (the shared temporary
# folder and another user's runtime folder left alone, the socket 0600 and
# unreachable, a second start refused however it reaches the folder,
# whatever became of a lock file in it and whoever starts it, its files
# left as they were, another per-user folder, a long one, free to run
# beside with its forward channel; a lock file of root's blocking nothing,
# the folders a start as root made named at the topmost with the command
# that gives them back); a link another user put in the per-user folder's
# place, a folder above open to others without its sticky bit and a
# per-user folder another user made first each stopping the start, nothing
# written through or into them; a
# running copy whose folder is swapped for a copy (a backup put back) saving
# nothing over the new one's win and saying so; the log never written
# through a link; a recording never over its replay; a screenshot that
# names a folder, a language that is a device: one clear line.
# A copy is held at a known step by the kill switch's pause (a library
# preloaded into the program: killswitch/KillSwitch.cpp) while others act.
# The cases that need a second user run as "nobody" through setpriv; they
# are skipped, said so, where that cannot be had.
# Usage: GameUserFiles.sh TALLOWMERE WORK_FOLDER DATA_FOLDER KILL_SWITCH
set -uo pipefail
. "$(dirname "${BASH_SOURCE[0]}")/../support/CommandLine.sh"
tm_game_setup "$1" "$2" "$3"
switch="$4"
tm_game_config 0
run_timeout=120
export ASAN_OPTIONS="${ASAN_OPTIONS:+$ASAN_OPTIONS:}verify_asan_link_order=0"  # (the switch is preloaded)

# Another user: root runs the commands as "nobody"; anyone else cannot.
other_user=
if [ "$(id -u)" = 0 ] && command -v setpriv >/dev/null && id nobody >/dev/null 2>&1; then
  other_user=nobody
fi
other=(setpriv --reuid=nobody --regid=65534 --clear-groups)
# The other user's cases run where that user can enter: the build folder may
# lie where only root can (a clone in /root), so then they get a folder of
# their own with their own copy of the program, its config.ini and the data.
reach="$work" other_game="$game" other_data="$data" other_switch="$switch"
if [ -n "$other_user" ] && ! "${other[@]}" test -x "$work" -a -x "$game" -a -r "$data" -a -r "$switch"; then
  reach="$(mktemp -d "/tmp/tm-user-files.XXXXXX")"
  trap 'rm -rf "$reach"' EXIT
  chmod 755 "$reach"
  mkdir "$reach/bin"
  cp "$game" "$(dirname "$game")/config.ini" "$switch" "$reach/bin/"
  cp -r "$data" "$reach/data"
  other_game="$reach/bin/$(basename "$game")" other_data="$reach/data" other_switch="$reach/bin/$(basename "$switch")"
fi
log_line() { tr -d '\r' <"$work/$1.log" | grep -c -- "$2"; }
# held PID: true once the process has stopped itself at the kill switch's
# pause (false when it ended instead, or did not stop within a minute).
held() {
  for _ in $(seq 1 600); do
    case "$(ps -o stat= -p "$1" 2>/dev/null)" in T*) return 0 ;; "") return 1 ;; esac
    sleep 0.1
  done
  return 1
}

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
  'config.dat not saved: a named pipe is in its place' 'profiles.dat not saved: a link is in its place'; do
  [ "$(log_line notice "$line")" -ge 1 ] || fail "the log does not say: $line"
done
[ -p "$user/profile0.dat" ] && [ -L "$user/profiles.dat" ] || fail "what stood in a file's place did not stay"
# Links to nothing in the place of "profiles.dat" and "config.dat": said in
# the log and on the screen, and no save makes what they point to.
cp -a "$work/made" "$work/to-nothing"
for f in profiles.dat config.dat; do
  rm "$work/to-nothing/$f"
  ln -s "$work/nowhere-$f" "$work/to-nothing/$f"
done
{ cat "$work/notice.txt"; echo 'screenshot dangling.png'; } >"$work/dangling.txt"
from="$work/to-nothing" tm_play_headless dangling
from=
for line in 'profiles.dat does not read (a link to nothing, not a file): left where it is' \
  'config.dat does not read (a link to nothing, not a file): the defaults are used' \
  'profiles.dat not saved: a link to nothing is in its place' 'config.dat not saved: a link to nothing is in its place'; do
  [ "$(log_line dangling "$line")" -ge 1 ] || fail "the log does not say: $line"
done
[ ! -e "$work/nowhere-profiles.dat" ] && [ ! -e "$work/nowhere-config.dat" ] || fail "a save wrote through a link to nothing"
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
    cd "$reach/ro" && run ro-record "${other[@]}" "$other_game" --headless --data "$other_data" \
      --record xdg/Morvalen/Tallowmere/made.txt
  )
  [ "$(status ro-record)" = 2 ] && has ro-record.err "made.txt: cannot be written (Permission denied)" ||
    fail "a recording in the read-only folder: exits $(status ro-record): $(tail -2 "$work/ro-record.err")"
  cp "$reach/ro/xdg/Morvalen/Tallowmere/log.txt" "$work/ro.log" 2>/dev/null || : >"$work/ro.log"
  [ "$(status ro-first)" = 0 ] || fail "the other user's first run exits $(status ro-first): $(tail -3 "$work/ro-first.err")"
  [ "$(status ro)" = 0 ] || fail "the read-only run exits $(status ro): $(tail -3 "$work/ro.err")"
  # Chosen at the start, and again at the quit: each failure told.
  [ "$(log_line ro 'profile0.dat not saved: not allowed to write there')" -ge 2 ] ||
    fail "the profile's failed saves are not each in the log with their reason"
  # The lock, the folder's own, taken in the read-only folder; no channel there.
  [ "$(log_line ro "^Single instance *$reach/ro/xdg/Morvalen/Tallowmere/\$")" = 1 ] &&
    [ "$(log_line ro "no forward channel: .*TallowmereGame.sock")" = 1 ] ||
    fail "the read-only run does not name its lock, or not its missing forward channel"

  # One lock whoever starts and whatever the folder allows: the player's copy
  # held in the read-only folder without any lock file; the folder made
  # writable, the player's second start is refused; root's with the
  # player's folder stops at once (another user's). A lock file root left
  # there (a start under sudo -E) stops nothing; the folders such a start
  # made root's are named at the topmost, with the command that gives them
  # back (a user without a name by its number).
  ro_user="$reach/ro/xdg/Morvalen/Tallowmere"
  rm -f "$ro_user/TallowmereGame.lock"
  chmod 500 "$ro_user"
  { tm_replay_header; echo 'log held here'; } >"$reach/ro/held.txt"
  (
    export XDG_DATA_HOME="$reach/ro/xdg" HOME="$reach/ro"
    cd "$reach/ro" && exec "${other[@]}" env LD_PRELOAD="$other_switch" TM_KILL_AT="pause:held here:1" \
      "$other_game" --headless --data "$other_data" --replay held.txt
  ) >"$work/ro-held.out" 2>"$work/ro-held.err" &
  ro_held=$!
  held "$ro_held" || fail "the player's copy in the read-only folder did not come to its pause: $(tail -3 "$work/ro-held.err")"
  chmod 700 "$ro_user"
  (
    export XDG_DATA_HOME="$reach/ro/xdg" HOME="$reach/ro"
    cd "$reach/ro" && run ro-second "${other[@]}" "$other_game" --headless --data "$other_data"
    cd "$reach/ro" && run ro-root "$other_game" --headless --data "$other_data"
  )
  [ "$(status ro-second)" = 1 ] && has ro-second.err "already running" ||
    fail "a second start beside the player's copy in its folder, read-only when it started: exits $(status ro-second)"
  [ "$(status ro-root)" = 4 ] && has ro-root.err "${ro_user%/*} belongs to nobody, not to root: another user's" ||
    fail "root's start on the player's folder: exits $(status ro-root): $(tail -3 "$work/ro-root.err")"
  kill -CONT "$ro_held"
  wait "$ro_held" || fail "the player's copy let go exits $?: $(tail -3 "$work/ro-held.err")"
  # A lock file of root's, whatever an earlier start may have left there.
  rm -f "$ro_user/TallowmereGame.lock"
  echo "root's" >"$ro_user/TallowmereGame.lock"
  chmod 600 "$ro_user/TallowmereGame.lock"
  (
    export XDG_DATA_HOME="$reach/ro/xdg" HOME="$reach/ro"
    cd "$reach/ro" && run ro-rootfile "${other[@]}" "$other_game" --headless --data "$other_data"
    chown root "${ro_user%/*}" "$ro_user"
    cd "$reach/ro" && run ro-rootfolder "${other[@]}" "$other_game" --headless --data "$other_data"
    chown 54321 "$reach/ro/xdg"
    cd "$reach/ro" && run ro-nameless setpriv --reuid=54321 --regid=54321 --clear-groups "$other_game" --headless \
      --data "$other_data"
    chown nobody "$reach/ro/xdg" "${ro_user%/*}" "$ro_user"
  )
  [ "$(status ro-rootfile)" = 0 ] || fail "a lock file of root's stops the player's start: $(tail -3 "$work/ro-rootfile.err")"
  [ "$(status ro-rootfolder)" = 4 ] && has ro-rootfolder.err \
    "${ro_user%/*} belongs to root, not to nobody .*give it back with: sudo chown -R nobody: '${ro_user%/*}'\$" &&
    [ "$(status ro-nameless)" = 4 ] && has ro-nameless.err "not to user 54321 .*sudo chown -R 54321: '${ro_user%/*}'\$" ||
    fail "folders of root's are not named at the topmost with the command: $(tail -qn1 "$work"/ro-{rootfolder,nameless}.err)"

  # Private whatever the umask: a per-user folder that existed open to others
  # is closed to them, everything made in it is the player's alone. An older
  # start left the folders and the records open, and another user put a link
  # to the player's notes in the records' place and a log of theirs in the
  # log's: no save writes through the link, and the log made is the player's.
  um="$reach/umask" um_user="$reach/umask/xdg/Morvalen/Tallowmere"
  mkdir -p "$um_user"
  chmod 777 "${um_user%/*}" "$um_user"
  cp "$work/first.txt" "$um/"
  echo "the player's notes" >"$um/notes.txt"
  (
    export XDG_DATA_HOME="$um/xdg" HOME="$um"
    umask 000
    cd "$um" && run um-first "$game" --headless --data "$data" --replay first.txt
    { find "$um_user" -type d ! -perm 700 -printf '%m %p; '; find "$um_user" -type f ! -perm 600 -printf '%m %p; '; } \
      >"$work/um-open.txt"
    chmod 777 "${um_user%/*}" "$um_user" "$um_user/Tester"
    "${other[@]}" rm -f "$um_user/Tester/records.txt"
    "${other[@]}" ln -s "$um/notes.txt" "$um_user/Tester/records.txt"
    "${other[@]}" sh -c 'rm -f "$1" && umask 0 && echo theirs >"$1"' _ "$um_user/log.txt"
    cd "$um" && run um-next "$game" --headless --data "$data"
  )
  [ "$(status um-first)" = 0 ] && [ "$(status um-next)" = 0 ] || fail "the runs under umask 000 exit $(status um-first), $(status um-next)"
  [ ! -s "$work/um-open.txt" ] || fail "under umask 000, open to others: $(cat "$work/um-open.txt")"
  [ "$(cat "$um/notes.txt")" = "the player's notes" ] || fail "a save wrote through the link another user planted"
  tr -d '\r' <"$um_user/log.txt" >"$work/um-next.log"
  [ "$(log_line um-next '^Per-user folder *Morvalen was open .*Tallowmere was open to other users (0777): closed')" = 1 ] &&
    [ "$(log_line um-next 'records.txt not saved: a link is in its place')" -ge 1 ] ||
    fail "the log does not say the folder was closed to others, or the link in the records' place"
  [ "$(stat -c %a "$um_user")" = 700 ] && [ "$(stat -c %a "$um_user/Tester")" = 700 ] &&
    [ "$(stat -c %u "$um_user/log.txt")" = "$(id -u)" ] ||
    fail "the folders opened again are not closed to others, or the log went into another user's file"

  # Another user's link in the per-user folder's place (in a Morvalen of the
  # player's left open, under a folder writable by all: refused without its
  # sticky bit), a per-user folder another user made first: the start stops
  # with whose folder it is and what to do, and writes nothing through the
  # link (to a folder of the player's) nor into the other user's folder.
  lk="$reach/planted"
  mkdir -p "$lk/xdg/Morvalen" "$lk/docs"
  mkdir -m 1777 "$lk/shared"
  chmod 777 "$lk/xdg" "$lk/xdg/Morvalen"
  echo "the player's log" >"$lk/docs/log.txt"
  echo "the player's settings" >"$lk/docs/config.dat"
  cp -a "$lk/docs" "$lk/docs-before"
  "${other[@]}" ln -s "$lk/docs" "$lk/xdg/Morvalen/Tallowmere"
  "${other[@]}" sh -c 'umask 0 && mkdir -p "$1" && echo theirs >"$1/log.txt"' _ "$lk/shared/Morvalen/Tallowmere"
  for way in "open $lk/xdg" "link $lk/xdg" "foreign $lk/shared"; do
    read -r name base <<<"$way"
    [ "$name" = link ] && chmod 1777 "$lk/xdg"
    (export XDG_DATA_HOME="$base" && run "$name" "$game" --headless --data "$data")
  done
  [ "$(status open)" = 4 ] && has open.err "$lk/xdg may be written by other users (0777) and has no sticky bit" &&
    [ "$(status link)" = 4 ] && has link.err "$lk/xdg/Morvalen/Tallowmere is a link" && [ "$(status foreign)" = 4 ] &&
    has foreign.err "$lk/shared/Morvalen belongs to nobody, not to root: .*point XDG_DATA_HOME to a folder of your own" ||
    fail "a folder of another user's, or open to them, does not stop the start: $(tail -qn1 "$work"/{open,link,foreign}.err)"
  diff -r "$lk/docs" "$lk/docs-before" >/dev/null && [ "$(stat -c %a "$lk/docs")" = "$(stat -c %a "$lk/docs-before")" ] ||
    fail "the start wrote through the link another user planted: $(ls -l "$lk/docs")"
  [ "$(ls -A "$lk/shared/Morvalen/Tallowmere")" = log.txt ] && [ "$(cat "$lk/shared/Morvalen/Tallowmere/log.txt")" = theirs ] ||
    fail "the start wrote into another user's folder: $(ls -A "$lk/shared/Morvalen/Tallowmere")"
else
  echo "SKIPPED: the read-only per-user folder, root's and another user's (needs root and setpriv to run as another user)"
fi

# --- A disk already full at the start: the log said once on the terminal ---------------------------
# A file size limit of 0 (`ulimit -f`, the signal it sends ignored, as the
# game's writes then fail as on a full disk): "log.txt" is made and its
# first line does not go in; the output reaches the test through a pipe.
rm -rf "$XDG_DATA_HOME"
run full bash -c '(ulimit -f 0 && trap "" XFSZ && exec "$@") 2>&1 | cat' _ "$game" --headless --data "$data"
[ "$(status full)" = 0 ] || fail "a start with no room for a byte exits $(status full): $(tail -3 "$work/full.out")"
[ "$(grep -c 'log.txt cannot be written (File too large); the game runs without its log' "$work/full.out")" = 1 ] ||
  fail "a log that cannot be written at the start is not said once: $(head -3 "$work/full.out")"

# --- The single-instance lock: the per-user folder's own, out of another user's reach ------------
# Nothing of it goes where the lock used to fall back to (the shared
# temporary folder, where another user makes its names first: a lock file,
# held; a link in the socket's place), nor into another user's runtime
# folder: the lock is taken on the per-user folder itself.
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
tr -d '\r' <"$user/log.txt" | grep -q "^Single instance *$user/\$" || fail "the log does not name the per-user folder as the lock"
[ -z "$(find "$user" \( -type d ! -perm 700 \) -o \( -type f ! -perm 600 \))" ] ||
  fail "under umask 000, open to others: $(find "$user" ! -perm 700 ! -perm 600)"
if [ -n "$other_user" ]; then
  exec 8<&-
  (
    export XDG_RUNTIME_DIR="$work/theirs"
    run theirs "$game" --headless --data "$data"
  )
  [ "$(status theirs)" = 0 ] || fail "a start with another user's runtime folder exits $(status theirs)"
  [ -z "$(ls -A "$work/theirs")" ] || fail "the game put something in another user's runtime folder"
fi

# A running copy, held by the kill switch once a profile is made on the
# main screen (a stopped process keeps its lock, and its socket takes
# connections): the socket beside its files, 0600 under umask 000 and out of
# other users' reach. A second start on its per-user folder is refused
# however it comes to the folder: as it did, without XDG_RUNTIME_DIR, with
# another private runtime folder, by XDG_DATA_HOME written with "//", with
# "/./" or through a link, with the lock file an older start made there
# removed or replaced by a plain file (a player's clean-up of "stale"
# locks); each leaves the recording and the screenshot it was given, and
# the running copy's log, as they were. A copy on another per-user folder,
# as deep as a long home folder's path makes it, runs beside with its
# forward channel.
{
  tm_replay_new_profile hints-off
  echo 'log held here
click 589 492               # "Options"
wait 600
click 600 203               # the sound'"'"'s volume
wait 300
click 399 418               # "Close": saved
wait 600
expect window Mesg
screenshot moved.png
click 589 561               # "Quit"
await 4294967295 3000'
} >"$work/held.txt"
mkdir -p "$work/longrun" "$work/refused" "$work/run-other"
chmod 700 "$work/run-other"
cp "$work/held.txt" "$work/longrun/"
rm -rf "$XDG_DATA_HOME"
(cd "$work/longrun" && umask 000 && LD_PRELOAD="$switch" TM_KILL_AT="pause:held here:1" exec "$game" --headless \
  --data "$data" --replay held.txt) >"$work/longrun.out" 2>"$work/longrun.err" &
running=$!
held "$running" || fail "the running copy did not come to its pause: $(tail -3 "$work/longrun.err")"
sock="$user/TallowmereGame.sock"
if [ ! -S "$sock" ]; then
  fail "the running copy made no socket: $(grep "forward channel" "$user/log.txt")"
else
  [ "$(stat -c %a "$sock")" = 600 ] || fail "the socket is $(stat -c %a "$sock") under umask 000, not 600"
  if [ -n "$other_user" ]; then
    "${other[@]}" test -e "$sock" 2>/dev/null && fail "another user reaches the socket"
  fi
fi
cp "$user/log.txt" "$work/running.log"
{ tm_replay_header; echo 'screenshot kept.png'; } >"$work/refused/kept.txt"
echo "an earlier recording" >"$work/record.txt"
echo "an earlier picture" >"$work/kept.png"
ln -sfn "$XDG_DATA_HOME" "$work/xdg-link"
for way in "second" "noruntime -u XDG_RUNTIME_DIR" "otherruntime XDG_RUNTIME_DIR=$work/run-other" \
  "slashes XDG_DATA_HOME=${XDG_DATA_HOME%/*}//${XDG_DATA_HOME##*/}" \
  "dot XDG_DATA_HOME=${XDG_DATA_HOME%/*}/./${XDG_DATA_HOME##*/}" "link XDG_DATA_HOME=$work/xdg-link" \
  "lockremoved" "lockreplaced"; do
  read -r name how <<<"$way"
  [ "$name" = lockremoved ] && rm -f "$user/TallowmereGame.lock"
  [ "$name" = lockreplaced ] && echo "a plain file" >"$user/TallowmereGame.lock"
  cp "$work/record.txt" "$work/kept.png" "$work/refused/"
  # shellcheck disable=SC2086  # `how` is the environment's words
  (cd "$work/refused" && run "$name" env $how "$game" --headless --data "$data" --replay kept.txt --record record.txt)
  [ "$(status "$name")" = 1 ] || fail "a second start ($name) on the same per-user folder exits $(status "$name")"
  has "$name.err" "already running" || fail "the second start ($name) does not say why it stopped"
  cmp -s "$work/refused/record.txt" "$work/record.txt" || fail "the refused start ($name) emptied its recording"
  cmp -s "$work/refused/kept.png" "$work/kept.png" || fail "the refused start ($name) wrote its screenshot"
  cmp -s "$user/log.txt" "$work/running.log" || fail "the refused start ($name) wrote over the running copy's log"
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
tr -d '\r' <"$beside_log" | grep -q "^Single instance *$long_home/.local/share/Morvalen/Tallowmere/\$" ||
  fail "the copy beside did not lock its own per-user folder"
grep -q "forward channel" "$beside_log" &&
  fail "the copy on a per-user folder of $((${#long_home} + 34)) characters: $(grep "forward channel" "$beside_log")"

# The running copy's folder swapped for a copy of itself (a restore from a
# backup): a start on it runs and wins level 1 (the developer key C); the
# running copy, let go, changes the options and quits: it saves nothing over
# the new folder's files (the win stays), and says why on the screen and in
# its log, which stays its own.
mv "$user" "$user.away"
cp -a "$user.away" "$user"
{
  tm_replay_header
  tm_replay_easy_to_map
  tm_replay_map_to_level1
  echo 'wait 500
click 400 300               # the day starts
wait 1000
key 46                      # C
wait 3000
expect window LvRt
expect won'
} >"$work/restored.txt"
tm_game_config 1
(cd "$work" && run restored "$game" --headless --data "$data" --replay restored.txt)
tm_game_config 0
[ "$(status restored)" = 0 ] || fail "a start on the folder put back exits $(status restored): $(tail -3 "$work/restored.err")"
cp "$user/profile0.dat" "$work/won-profile0.dat"
cp "$user/config.dat" "$work/won-config.dat"
kill -CONT "$running"
wait "$running" || fail "the copy whose folder was swapped exits $?: $(tail -3 "$work/longrun.err")"
cmp -s "$user/profile0.dat" "$work/won-profile0.dat" && cmp -s "$user/config.dat" "$work/won-config.dat" ||
  fail "the copy whose folder was swapped saved over the win of the folder put back"
tr -d '\r' <"$user.away/log.txt" >"$work/away.log"
for line in "config.dat not saved: the game's folder was moved or replaced while the game ran" \
  "profile0.dat not saved: the game's folder was moved or replaced while the game ran"; do
  [ "$(log_line away "$line")" -ge 1 ] || fail "the log of the copy whose folder was swapped does not say: $line"
done
rm -rf "$user.away"

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
