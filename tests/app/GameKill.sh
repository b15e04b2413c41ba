#!/usr/bin/env bash
# Saves that survive a kill. The whole first session (tm_replay_whole_game:
# a profile typed in, level 1 won with its tutorial, the options changed,
# quit) is played headless once untouched, its steps traced by the kill
# switch (a library preloaded into the program: killswitch/KillSwitch.cpp),
# then 20 times killed with SIGKILL at a moment counted in those steps, so
# each moment is the same run after run: nine chosen (right after the first
# settings saved; mid-save of the new profile; right after level 1's win is
# saved, at its rename, mid-way through writing it, at the result window;
# right after the options' change is saved, at its rename, mid-way through
# writing it) and eleven drawn from the trace by the seed (log entries and
# saves' renames). After each kill the folder it left must hold "config.dat"
# whole (byte for byte the version its saves had reached), and the next
# start (a short replay) must not be refused by the lock the killed run
# held, must find the profile (when its index was saved) and go to the map
# with level 1 finished when the win was saved, to the opening comic when
# not, and must save the same "config.dat" it read.
# Usage: GameKill.sh TALLOWMERE WORK_FOLDER DATA_FOLDER KILL_SWITCH [SEED]
set -uo pipefail
. "$(dirname "${BASH_SOURCE[0]}")/../support/CommandLine.sh"
tm_game_setup "$1" "$2" "$3"
switch="$4"
seed="${5:-4711}"
run_timeout=120
tm_game_config 0
export ASAN_OPTIONS="${ASAN_OPTIONS:+$ASAN_OPTIONS:}verify_asan_link_order=0"

tm_replay_whole_game "$(dirname "${BASH_SOURCE[0]}")/scripts/tutorial_level1.txt" >"$work/whole.txt"
# The next start: the main screen; with a profile also its "easy" (the map
# when a level is finished, else the opening comic).
tm_replay_header >"$work/next-new.txt"
{
  tm_replay_header
  echo 'click 589 356
wait 1500'
} >"$work/next.txt"

trace="$work/trace.txt"
rm -f "$trace"
LD_PRELOAD="$switch" TM_KILL_TRACE="$trace" tm_play_replay traced whole.txt "$game" --headless
[ "$(status traced)" = 0 ] || fail "the untouched run exits $(status traced): $(tail -3 "$work/traced.err")"
cp "$user/config.dat" "$work/config-2.dat"
echo "the untouched run took $(cat "$work/traced.ms") ms"

# line KIND TEXT [N]: the trace's line number of the N-th (1: the first)
# step of KIND whose text holds TEXT.
line() {
  grep -nF -- "$2" "$trace" | grep -E "^[0-9]+:$1 " | sed -n "${3:-1}p" | cut -d: -f1
}
# moment KIND LINE: the kill switch's moment for the step on LINE (KIND
# before, after or write for a rename or a write; log for a log entry).
moment() {
  local text
  text="$(sed -n "$2p" "$trace" | sed -E 's/^[a-z]+ +//; s/ +$//')"
  local step="${1/before/rename}"
  step="${step/after/rename}"
  local n
  n=$(head -n "$2" "$trace" | grep -F -- "$text" | grep -c "^$step ")
  echo "$1:$text:$n"
}

config1=$(line rename config.dat 1)
config2=$(line rename config.dat 2)
# The profile's index saved after the profile's own first save (the first
# start writes an empty index before).
index=$(awk '/^rename profile0.dat$/ { own = 1 } own && /^rename profiles.dat$/ { print NR; exit }' "$trace")
# The win: the profile's save just before the level's own records.
won=$(awk '/^rename profile0.dat$/ { last = NR } /^rename level_01.txt$/ { print last; exit }' "$trace")
moments=(
  "$(moment after "$config1")"
  "$(moment before "$index")"
  "$(moment after "$won")"
  "$(moment before "$won")"
  "$(moment write $((won - 3)))"
  "$(moment log "$(line log won.png)")"
  "$(moment after "$config2")"
  "$(moment before "$config2")"
  "$(moment write $((config2 - 3)))"
)
lines=("$config1" "$index" "$won" "$won" $((won - 3)) "$(line log won.png)" "$config2" "$config2" $((config2 - 3)))
# Eleven more drawn by the seed among the log entries with a text and the renames.
mapfile -t candidates < <(grep -nE '^(log +[^ ]|rename )' "$trace" | cut -d: -f1)
RANDOM=$seed
while [ "${#lines[@]}" -lt 20 ]; do
  pick=${candidates[$((RANDOM % ${#candidates[@]}))]}
  case " ${lines[*]} " in *" $pick "*) continue ;; esac
  lines+=("$pick")
  case "$(sed -n "${pick}p" "$trace")" in
  rename*) moments+=("$(moment $([ $((RANDOM % 2)) = 0 ] && echo before || echo after) "$pick")") ;;
  *) moments+=("$(moment log "$pick")") ;;
  esac
done

# in_effect LINE MOMENT KILL_LINE: whether the save renamed on LINE was in
# place when the run was killed at the moment.
in_effect() {
  [ "$3" -gt "$1" ] || { [ "$3" = "$1" ] && [ "${2%%:*}" = after ]; }
}
states() { sed -n 's/^Game state *\(.*\)$/\1/p' "$work/$1.log" | tr -d '\r' | tr '\n' ' '; }

for i in "${!moments[@]}"; do
  at="${moments[$i]}"
  k="${lines[$i]}"
  # (bash's notice of the killed job left out)
  LD_PRELOAD="$switch" TM_KILL_AT="$at" tm_play_replay killed whole.txt "$game" --headless 2>/dev/null
  [ "$(status killed)" = 137 ] || { fail "moment $at (line $k): the run was not killed: $(status killed)"; continue; }
  rm -rf "$work/left"
  cp -a "$user" "$work/left"
  # "config.dat" as its last save left it.
  if in_effect "$config2" "$at" "$k"; then
    cmp -s "$work/left/config.dat" "$work/config-2.dat" || fail "moment $at: config.dat is not the options' save"
  elif [ "$i" = 0 ]; then
    cp "$work/left/config.dat" "$work/config-1.dat"
    cmp -s "$work/config-1.dat" "$work/config-2.dat" && fail "the options' change did not change config.dat"
  elif in_effect "$config1" "$at" "$k"; then
    cmp -s "$work/left/config.dat" "$work/config-1.dat" || fail "moment $at: config.dat is not the first save"
  else
    [ -e "$work/left/config.dat" ] && fail "moment $at: config.dat before its first save"
  fi

  next=next-new
  in_effect "$index" "$at" "$k" && next=next
  from="$work/left" tm_play_replay next "$next.txt" "$game" --headless
  from=
  [ "$(status next)" = 0 ] || { fail "moment $at: the next start exits $(status next): $(head -3 "$work/next.err")"; continue; }
  case "$next:$(states next)" in
  next-new:*"0x80000002 -> 0x6 0x6 -> 0xFFFFFFFF ") ;;
  next:*"0x6 -> 0x5 "*) in_effect "$won" "$at" "$k" || fail "moment $at: level 1 finished before its win was saved" ;;
  next:*"0x6 -> 0x7 "*) in_effect "$won" "$at" "$k" && fail "moment $at: the next start lost level 1's medal" ;;
  *) fail "moment $at: the next start went through $(states next)" ;;
  esac
  grep -q "look-up missed:" "$work/next.log" && fail "moment $at: the next start missed a look-up"
  [ -e "$work/left/config.dat" ] && ! cmp -s "$user/config.dat" "$work/left/config.dat" &&
    fail "moment $at: the next start did not keep config.dat"
  echo "killed at $at (trace line $k): the next start took $(cat "$work/next.ms") ms"
done
tm_cli_finish
