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
# the median start met it. Then the memory: the peak resident memory
# (VmHWM) of a start in the window held on the main screen for 2 s, beside
# that of the same start headless (a replay that waits 2 s on the main
# screen), their ratio, and the graphics driver libraries the windowed
# process has mapped (OpenGL, LLVM, Mesa's drivers: none where there is no
# graphics hardware). With MEMORY_GOAL (a ratio) the exit status says
# whether the windowed peak stayed at or under that many times the
# headless one.
#   tools/startup_time.sh [PROGRAM [DATA_FOLDER]]
# By default the release build of tools/run.sh (build/src/tallowmere,
# build/Data); build it first with tools/run.sh or its target run_tallowmere.
set -euo pipefail
here="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
. "$here/tools/deps.sh"
tm_report_exit tools/startup_time.sh
tm_install_packages xvfb xauth util-linux
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

# peak ARGS...: one run held 2 s on the main screen (a headless run holds
# there by its replay and ends by itself); prints its peak resident memory
# in kB, then (windowed) the graphics libraries it has mapped.
peak() {
  local pid log hwm=0 v libs=""
  rm -rf "$work/xdg"
  log="$work/xdg/Morvalen/Tallowmere/log.txt"
  DISPLAY="$display" XDG_DATA_HOME="$work/xdg" XDG_RUNTIME_DIR="$work/run" \
    taskset -c "${CORE:-0}" "$work/bin/tallowmere" --data "$work/data" "$@" >/dev/null 2>&1 &
  pid=$!
  while kill -0 "$pid" 2>/dev/null; do
    v=$(awk '/^VmHWM:/ { print $2 }' "/proc/$pid/status" 2>/dev/null || true)
    [ -n "$v" ] && hwm=$v
    if [ "${1:-}" != --headless ] && [ -f "$log" ] && grep -q -- "-> 0x6" "$log"; then
      sleep 2
      hwm=$(awk '/^VmHWM:/ { print $2 }' "/proc/$pid/status")
      libs=$(grep -oE '[^/ ]*(libGL|libEGL|libLLVM|_dri|swrast|libgallium|libvulkan)[^/ ]*\.so[^ ]*' \
        "/proc/$pid/maps" | sort -u | tr '\n' ' ' || true)
      break
    fi
    sleep 0.02
  done
  kill "$pid" 2>/dev/null || true
  wait "$pid" 2>/dev/null || true
  echo "$hwm ${libs:-none}"
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
status=0
if [ -n "${GOAL_MS:-}" ]; then
  if [ "$start_median" -lt "$GOAL_MS" ]; then
    echo "goal: main screen in under $GOAL_MS ms: met"
  else
    echo "goal: main screen in under $GOAL_MS ms: NOT met"
    status=1
  fi
fi

printf 'await 6 60000\nwait 2000\n' >"$work/hold.txt"
read -r windowed libs <<<"$(peak)"
read -r headless _ <<<"$(peak --headless --replay "$work/hold.txt")"
ratio=$(awk -v w="$windowed" -v h="$headless" 'BEGIN { printf "%.2f", (h > 0 ? w / h : 0) }')
echo "memory: peak resident on the main screen: window $((windowed / 1024)) MB, headless $((headless / 1024)) MB," \
  "ratio $ratio; graphics libraries mapped in the window: $libs"
if [ -n "${MEMORY_GOAL:-}" ]; then
  if awk -v r="$ratio" -v g="$MEMORY_GOAL" 'BEGIN { exit !(r <= g) }'; then
    echo "goal: window at most $MEMORY_GOAL times headless: met"
  else
    echo "goal: window at most $MEMORY_GOAL times headless: NOT met"
    status=1
  fi
fi
exit $status
