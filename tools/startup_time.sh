#!/usr/bin/env bash
# Measures how long the game takes from its process start to its main
# screen, in a window of a virtual X server (Xvfb) on one processor core
# (taskset), with the logos skipped (the data set's "Logos/Logos.txt" left
# empty in a mirror of the data folder) and a fresh per-user folder each run.
# Two figures a run, read from the game's log as its lines appear (polled
# every 2 ms):
#   start:  the real start on the real clock, to the switch into the main
#           screen's state; its first frame is drawn on the same turn of the
#           loop;
#   frame:  the same start played by a replay that ends once the main
#           screen's state has come (frames as fast as they are made, no
#           waiting on the clock), to the program leaving that state, which
#           is after the main screen's first frame was drawn.
# Runs RUNS times (5 by default) on core CORE (0 by default) and prints each
# run and the median; with GOAL_MS (a number) the exit status says whether
# the median start met it.
#   tools/startup_time.sh [PROGRAM [DATA_FOLDER]]
# By default the release build of tools/run.sh (build/src/tallowmere,
# build/Data); build it first with tools/run.sh or its target run_tallowmere.
set -euo pipefail
here="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
. "$here/tools/deps.sh"
tm_report_exit tools/startup_time.sh
tm_install_packages xvfb xauth
program="$(realpath "${1:-$here/build/src/tallowmere}")"
data="$(realpath "${2:-$here/build/Data}")"
runs="${RUNS:-5}"
[ -x "$program" ] || { echo "no program at $program: build it first (tools/run.sh)" >&2; exit 2; }
[ -d "$data" ] || { echo "no data set at $data" >&2; exit 2; }

work="$(mktemp -d)"
xvfb=""
cleanup() {
  [ -n "$xvfb" ] && kill "$xvfb" 2>/dev/null
  rm -rf "$work"
}
trap cleanup EXIT
# The program beside a window's "config.ini"; the data set mirrored by links,
# its logo list empty.
mkdir -p "$work/bin" "$work/run"
chmod 700 "$work/run"
cp "$program" "$work/bin/tallowmere"
printf '[Video]\nFullscreen=0\n\n[Game]\nCheats=0\n' >"$work/bin/config.ini"
cp -as "$data" "$work/data"
rm -f "$work/data/Logos/Logos.txt"
: >"$work/data/Logos/Logos.txt"
printf 'await 6 60000\n' >"$work/to-main.txt"

display=":$(((RANDOM % 400) + 600))"
Xvfb "$display" -screen 0 1024x768x24 -nolisten tcp >/dev/null 2>&1 &
xvfb=$!
for _ in $(seq 100); do
  [ -e "/tmp/.X11-unix/X${display#:}" ] && break
  sleep 0.05
done

now_ms() { echo $(($(date +%s%N) / 1000000)); }
# measure PATTERN ARGS...: one run on a fresh per-user folder; prints the
# milliseconds from its start to PATTERN in its log, then ends it.
measure() {
  local pattern="$1" began pid log found=""
  shift
  rm -rf "$work/xdg"
  log="$work/xdg/Morvalen/Tallowmere/log.txt"
  began=$(now_ms)
  DISPLAY="$display" XDG_DATA_HOME="$work/xdg" XDG_RUNTIME_DIR="$work/run" \
    taskset -c "${CORE:-0}" "$work/bin/tallowmere" --data "$work/data" "$@" >/dev/null 2>&1 &
  pid=$!
  while kill -0 "$pid" 2>/dev/null; do
    if [ -f "$log" ] && grep -q -- "$pattern" "$log"; then
      found=$(($(now_ms) - began))
      break
    fi
    sleep 0.002
  done
  [ -z "$found" ] && grep -q -- "$pattern" "$log" 2>/dev/null && found=$(($(now_ms) - began))
  kill "$pid" 2>/dev/null || true
  wait "$pid" 2>/dev/null || true
  echo "${found:-fail}"
}

median() { sort -n | awk '{ v[NR] = $1 } END { print (NR % 2) ? v[(NR + 1) / 2] : int((v[NR / 2] + v[NR / 2 + 1]) / 2) }'; }
starts=()
frames=()
for i in $(seq "$runs"); do
  s=$(measure "-> 0x6")
  f=$(measure "0x6 -> 0x" --replay "$work/to-main.txt")
  echo "run $i: start $s ms, frame $f ms"
  [ "$s" = fail ] || starts+=("$s")
  [ "$f" = fail ] || frames+=("$f")
done
[ ${#starts[@]} -gt 0 ] || { echo "the main screen never came" >&2; exit 1; }
start_median=$(printf '%s\n' "${starts[@]}" | median)
frame_median=$(printf '%s\n' "${frames[@]:-0}" | median)
echo "median over $runs runs on one core: start $start_median ms, frame $frame_median ms"
if [ -n "${GOAL_MS:-}" ]; then
  [ "$start_median" -lt "$GOAL_MS" ] && echo "goal: main screen in under $GOAL_MS ms: met" && exit 0
  echo "goal: main screen in under $GOAL_MS ms: NOT met"
  exit 1
fi
