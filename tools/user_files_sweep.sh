#!/usr/bin/env bash
# A sweep over the game's per-user files, run by hand (not by the tests):
# the whole first session (a profile typed in, level 1 won with its
# tutorial, the options changed) is played once headless; then each of the
# files it left ("config.dat", "profiles.dat", "profile0.dat", "log.txt" and
# the records "records.txt" and "level_01.txt") is, in a copy of the
# folder, cut at every 64th byte, given 500 single-bit flips drawn by the
# seed, and put out of place by a folder, a named pipe and a link to a
# device, each followed by a start that goes from the main screen to the
# map with the profile.
#
# Each start must end by itself (no crash, no hang) and hide no file
# without a word: a profile file or "profiles.dat" that did not read must
# be said in the log and kept, byte for byte, as "<name>.damaged"; a
# profile that did not load without that is a failure; "profiles.dat"
# replaced without that too; a "config.dat" the game could not read must be
# said in the log. What stands in the place of "profile0.dat" or
# "profiles.dat" must be said in the log as not read and left where it is;
# a "log.txt" that cannot be written must be said on stderr. The findings
# are counted per file and verdict, and each failure is listed with the
# command that replays it.
#
# Usage: bash tools/user_files_sweep.sh TALLOWMERE DATA_FOLDER WORK_FOLDER [JOBS] [SEED]
# (TALLOWMERE the built program; the sample data set; JOBS starts at once,
# 3 unless given; SEED 4711 unless given).
set -uo pipefail
here="$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)"

if [ "${1:-}" = --one ]; then
  # --one WORK CASE: one case of the list, its verdict on stdout.
  work="$2"
  read -r id file kind arg < <(sed -n "$3p" "$work/cases.txt")
  game="$work/bin/tallowmere"
  data="$(cat "$work/data.txt")"
  dir="$work/case-$id"
  rm -rf "$dir"
  mkdir -p "$dir/run" "$dir/xdg/Morvalen"
  chmod 700 "$dir/run"
  cp -a "$work/base" "$dir/xdg/Morvalen/Tallowmere"
  user="$dir/xdg/Morvalen/Tallowmere"
  target="$user/$file"
  if [ "$kind" = cut ]; then
    head -c "$arg" "$work/base/$file" >"$target"
  elif [ "$kind" = swap ]; then
    rm -f "$target"
    case "$arg" in
    folder) mkdir "$target" ;;
    pipe) mkfifo "$target" ;;
    device) ln -s /dev/zero "$target" ;;
    esac
  else
    offset=${arg%:*} bit=${arg#*:}
    byte=$(od -An -tu1 -j "$offset" -N1 "$target" | tr -d ' ')
    printf "\\$(printf %03o $((byte ^ (1 << bit))))" | dd of="$target" bs=1 seek="$offset" conv=notrunc 2>/dev/null
  fi
  [ "$kind" = swap ] || cp "$target" "$dir/mutated"
  (cd "$dir" && XDG_DATA_HOME="$dir/xdg" XDG_RUNTIME_DIR="$dir/run" ASAN_OPTIONS="${ASAN_OPTIONS:-}:detect_leaks=0" \
    timeout 120 "$game" --headless --data "$data" --replay "$work/next.txt" >"$dir/out" 2>"$dir/err")
  status=$?
  log="$dir/log.txt"
  # Never read what is no plain file (a named pipe would wait for a writer).
  if [ -f "$user/log.txt" ]; then tr -d '\r' <"$user/log.txt" >"$log"; else : >"$log"; fi
  verdict=ok
  said() { grep -q -- "$1" "$log"; }
  case "$status" in
  0 | 5) ;;
  124) verdict="hang" ;;
  *) verdict="ended-$status" ;;
  esac
  if [ "$verdict" = ok ]; then
    case "$file" in
    profile0.dat | profiles.dat)
      if [ "$kind" = swap ]; then
        if said "$file does not read (.*): left where it is"; then
          { [ -e "$target" ] || [ -L "$target" ]; } && verdict="told" || verdict="swapped-not-left"
        else
          verdict="HIDDEN-not-a-file"
        fi
      elif said "$file does not read"; then
        if said "kept as $file.damaged"; then
          cmp -s "$user/$file.damaged" "$dir/mutated" || verdict="put-aside-not-kept"
          [ "$verdict" = ok ] && verdict="told"
        else
          verdict="told-left-in-place"
        fi
      elif [ "$file" = profile0.dat ] && [ "$status" = 5 ]; then
        verdict="HIDDEN-profile-not-loaded"
      elif [ "$file" = profiles.dat ] && ! cmp -s "$user/profiles.dat" "$dir/mutated"; then
        verdict="HIDDEN-index-replaced"
      fi
      ;;
    config.dat)
      if said "config.dat does not read"; then verdict="told"; fi
      ;;
    log.txt)
      if [ "$kind" = swap ] && [ "$arg" != device ]; then
        grep -q "log.txt cannot be written" "$dir/err" && verdict="told" || verdict="HIDDEN-no-log"
      fi
      ;;
    esac
    [ "$status" = 5 ] && [ "$verdict" = ok ] && verdict="no-map-$status"
  fi
  echo "$id $file $kind $arg $status $verdict"
  [ "$verdict" = ok ] || [ "$verdict" = told ] || cp "$dir/err" "$work/err-$id.txt"
  rm -rf "$dir"
  exit 0
fi

[ $# -ge 3 ] || {
  echo "usage: bash tools/user_files_sweep.sh TALLOWMERE DATA_FOLDER WORK_FOLDER [JOBS] [SEED]" >&2
  exit 2
}
. "$here/../tests/support/CommandLine.sh"
tm_game_setup "$(realpath "$1")" "$(realpath -m "$3")" "$(realpath "$2")"
jobs="${4:-3}"
seed="${5:-4711}"
run_timeout=300
tm_game_config 0
began=$(date +%s)

tm_replay_whole_game "$here/../tests/app/scripts/tutorial_level1.txt" >"$work/whole.txt"
{
  tm_replay_header
  echo 'click 589 356               # "easy": the map, level 1 being finished
await 5 3000'
} >"$work/next.txt"
echo "$data" >"$work/data.txt"
tm_play_replay whole whole.txt "$game" --headless
[ "$(status whole)" = 0 ] || {
  echo "the session to sweep did not play: $(tail -3 "$work/whole.err")" >&2
  exit 1
}
rm -rf "$work/base"
cp -a "$user" "$work/base"
rm -f "$work/base/log.txt"
cp "$work/whole.log" "$work/base/log.txt"
files=(config.dat profiles.dat profile0.dat log.txt Tester/records.txt Tester/level_01.txt)
: >"$work/cases.txt"
RANDOM=$seed
n=0
for f in "${files[@]}"; do
  [ -f "$work/base/$f" ] || {
    echo "the session left no $f" >&2
    exit 1
  }
  size=$(stat -c %s "$work/base/$f")
  for ((at = 0; at < size; at += 64)); do
    echo "$((n += 1)) $f cut $at" >>"$work/cases.txt"
  done
  for ((i = 0; i < 500; ++i)); do
    echo "$((n += 1)) $f flip $(((RANDOM << 15 | RANDOM) % size)):$((RANDOM % 8))" >>"$work/cases.txt"
  done
  for what in folder pipe device; do
    echo "$((n += 1)) $f swap $what" >>"$work/cases.txt"
  done
done
echo "$n starts over ${#files[@]} files, $jobs at a time"
seq 1 "$n" | xargs -P "$jobs" -I{} bash "$here/user_files_sweep.sh" --one "$work" {} >"$work/results.txt"
sort -n -o "$work/results.txt" "$work/results.txt"
echo "--- verdicts per file (ok: loaded as it was or as it reads; told: said and kept)"
awk '{ print $2, $6 }' "$work/results.txt" | sort | uniq -c
bad=$(awk '$6 != "ok" && $6 != "told"' "$work/results.txt")
if [ -n "$bad" ]; then
  echo "--- failures (replay one: bash tools/user_files_sweep.sh --one $work CASE)"
  echo "$bad"
fi
echo "the sweep took $(($(date +%s) - began)) s"
[ -z "$bad" ]
