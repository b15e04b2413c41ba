#!/usr/bin/env bash
# Runs a command in a window under a virtual X server (Xvfb) for a while
# (10 s by default, IDLE_SECONDS to change) with nobody touching it, then
# stops it and reports the processor time it took, user and system, as a
# share of one core. With IDLE_SETTLE (seconds) the time is counted only
# after the command has run that long (its start-up left out), over the
# IDLE_SECONDS that follow. With IDLE_GOAL (a percentage) the exit status
# says whether it stayed at or under it.
#   tools/idle_cpu.sh build-release/tools/levelplayer/levelplayer
#
# Beside a floor: with IDLE_FLOOR=PROGRAM (the floor program, build/tools/
# idlefloor/idlefloor: one unchanging frame shown at the display's rate the
# way the game shows its frames) the floor and the command run in turn,
# IDLE_ROUNDS rounds (5 by default), each measured alike; every round prints
# both shares and the command's share over the floor's, and the end the
# median ratio with its spread. Each share is given alone and with the
# window system's (the X server's time over the same seconds: copying every
# frame shown to the screen is part of what resting costs), and so is each
# ratio. IDLE_RATIO_GOAL (a ratio) makes the exit status say whether the
# median ratio with the window system's time stayed at or under it.
#   IDLE_FLOOR=build/tools/idlefloor/idlefloor IDLE_SETTLE=3 CORE=2 \
#     tools/idle_cpu.sh build/src/tallowmere --data build/Data
#
# Every run has a per-user folder of its own (XDG_DATA_HOME, and a private
# XDG_RUNTIME_DIR), empty (the game's first start: the new-profile window over
# the menu), or a copy of IDLE_USER (a folder the game has made a profile in:
# the main screen at rest), so no run meets the user's own files or another
# run's. CORE=N runs everything measured on core N (taskset). The machine's
# load (/proc/loadavg) is printed before and after.
set -euo pipefail
if [ $# -eq 0 ]; then
  echo "usage: [IDLE_FLOOR=PROGRAM [IDLE_ROUNDS=N]] $0 COMMAND [ARGS...]" >&2
  exit 2
fi
. "$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)/deps.sh"
tm_report_exit tools/idle_cpu.sh
tm_install_packages xvfb xauth util-linux
seconds="${IDLE_SECONDS:-10}"
settle="${IDLE_SETTLE:-0}"
floor="${IDLE_FLOOR:-}"
rounds="${IDLE_ROUNDS:-$([ -n "$floor" ] && echo 5 || echo 1)}"
user="${IDLE_USER:-}"
[ -z "$floor" ] || [ -x "$floor" ] || { echo "idle: no floor program at $floor" >&2; exit 2; }
[ -z "$user" ] || [ -d "$user" ] || { echo "idle: no per-user folder at $user" >&2; exit 2; }
pin=()
[ -z "${CORE:-}" ] || pin=(taskset -c "$CORE")

work="$(mktemp -d)"
display=":$(( (RANDOM % 400) + 600 ))"
Xvfb "$display" -screen 0 1024x768x24 -nolisten tcp >/dev/null 2>&1 &
xvfb=$!
trap 'kill "$xvfb" 2>/dev/null || true; rm -rf "$work"' EXIT
for _ in $(seq 50); do
  [ -e "/tmp/.X11-unix/X${display#:}" ] && break
  sleep 0.1
done
echo "idle: load before: $(cut -d' ' -f1-3 /proc/loadavg)"

# xticks: the X server's user and system time so far, in clock ticks.
xticks() { sed 's/.*) //' "/proc/$xvfb/stat" | awk '{print $12 + $13}'; }

# measure COMMAND...: one run; prints its share of one core and the X
# server's over the same time (percentages).
measure() {
  local pid utime stime utime0 stime0 ticks x0 x1
  rm -rf "$work/user" "$work/run"
  mkdir -p "$work/user" "$work/run"
  chmod 700 "$work/run"
  [ -z "$user" ] || cp -a "$user/." "$work/user/"
  DISPLAY="$display" XDG_DATA_HOME="$work/user" XDG_RUNTIME_DIR="$work/run" ${pin[@]+"${pin[@]}"} "$@" \
    >/dev/null 2>&1 &
  pid=$!
  # ticks: the command's user and system time so far, in clock ticks (fields
  # 14 and 15 of /proc/PID/stat; the command name, field 2, may hold spaces,
  # so count after its ")"); the script ends when the command has ended.
  ticks() {
    if ! kill -0 "$pid" 2>/dev/null; then
      echo "idle: $1 ended before it was measured" >&2
      wait "$pid" || true
      exit 1
    fi
    read -r utime stime <<<"$(sed 's/.*) //' "/proc/$pid/stat" | awk '{print $12, $13}')"
  }
  sleep "$settle"
  ticks "$1"
  x0=$(xticks)
  utime0=$utime
  stime0=$stime
  sleep "$seconds"
  ticks "$1"
  x1=$(xticks)
  kill "$pid" 2>/dev/null || true
  wait "$pid" 2>/dev/null || true
  ticks=$(getconf CLK_TCK)
  awk -v u="$((utime - utime0))" -v s="$((stime - stime0))" -v x="$((x1 - x0))" -v t="$ticks" -v d="$seconds" \
    'BEGIN { printf "%.1f %.1f", (u + s) / t / d * 100, x / t / d * 100 }'
}

# spread: "median (min-max)" of the numbers on standard input.
spread() {
  sort -g | awk '{ v[NR] = $1 } END { m = (NR % 2) ? v[(NR + 1) / 2] : (v[NR / 2] + v[NR / 2 + 1]) / 2
                                      printf "%.2f (%.2f-%.2f)", m, v[1], v[NR] }'
}

if [ -z "$floor" ]; then
  read -r percent xpercent <<<"$(measure "$@")"
  echo "idle: ${percent}% of one core over ${seconds} s after ${settle} s (the window system ${xpercent}% besides)"
  echo "idle: load after: $(cut -d' ' -f1-3 /proc/loadavg)"
  if [ -n "${IDLE_GOAL:-}" ]; then
    awk -v p="$percent" -v g="$IDLE_GOAL" 'BEGIN { exit !(p <= g) }' && echo "goal: idle at most ${IDLE_GOAL}%: met" && exit 0
    echo "goal: idle at most ${IDLE_GOAL}%: NOT met"
    exit 1
  fi
  exit 0
fi

floors=()
commands=()
ratios=()
wholes=()
for i in $(seq "$rounds"); do
  read -r f fx <<<"$(measure "$floor")"
  read -r c cx <<<"$(measure "$@")"
  r=$(awk -v c="$c" -v f="$f" 'BEGIN { printf "%.2f", (f > 0 ? c / f : 0) }')
  w=$(awk -v c="$c" -v f="$f" -v cx="$cx" -v fx="$fx" 'BEGIN { printf "%.2f", (f + fx > 0 ? (c + cx) / (f + fx) : 0) }')
  echo "round $i: floor ${f}% (+${fx}% window system), command ${c}% (+${cx}%), ratio $r, with the window system $w"
  floors+=("$f")
  commands+=("$c")
  ratios+=("$r")
  wholes+=("$w")
done
echo "idle: load after: $(cut -d' ' -f1-3 /proc/loadavg)"
echo "floor:   median $(printf '%s\n' "${floors[@]}" | spread) % of one core"
echo "command: median $(printf '%s\n' "${commands[@]}" | spread) % of one core"
echo "ratio:   median $(printf '%s\n' "${ratios[@]}" | spread) over $rounds rounds of ${seconds} s after ${settle} s"
median_whole=$(printf '%s\n' "${wholes[@]}" | spread)
echo "ratio with the window system's time: median $median_whole"
if [ -n "${IDLE_RATIO_GOAL:-}" ]; then
  awk -v r="${median_whole%% *}" -v g="$IDLE_RATIO_GOAL" 'BEGIN { exit !(r <= g) }' &&
    echo "goal: at most ${IDLE_RATIO_GOAL} times the floor: met" && exit 0
  echo "goal: at most ${IDLE_RATIO_GOAL} times the floor: NOT met"
  exit 1
fi
