#!/usr/bin/env bash
# Runs a command in a window under a virtual X server (Xvfb) for a while
# (10 s by default, IDLE_SECONDS to change) with nobody touching it, then
# stops it and reports the processor time it took, user and system, as a
# share of one core. With IDLE_SETTLE (seconds) the time is counted only
# after the command has run that long (its start-up left out), over the
# IDLE_SECONDS that follow. With IDLE_GOAL (a percentage) the exit status
# says whether it stayed at or under it.
#   tools/idle_cpu.sh build-release/tools/levelplayer/levelplayer
set -euo pipefail
if [ $# -eq 0 ]; then
  echo "usage: $0 COMMAND [ARGS...]" >&2
  exit 2
fi
. "$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)/deps.sh"
tm_report_exit tools/idle_cpu.sh
tm_install_packages xvfb xauth
seconds="${IDLE_SECONDS:-10}"
display=":$(( (RANDOM % 400) + 600 ))"
Xvfb "$display" -screen 0 1024x768x24 -nolisten tcp >/dev/null 2>&1 &
xvfb=$!
trap 'kill "$xvfb" 2>/dev/null || true' EXIT
for _ in $(seq 50); do
  [ -e "/tmp/.X11-unix/X${display#:}" ] && break
  sleep 0.1
done
DISPLAY="$display" "$@" >/dev/null 2>&1 &
pid=$!
# ticks: the command's user and system time so far, in clock ticks (fields
# 14 and 15 of /proc/PID/stat; the command name, field 2, may hold spaces,
# so count after its ")"); the script ends when the command has ended.
ticks() {
  if ! kill -0 "$pid" 2>/dev/null; then
    echo "idle: the command ended before it was measured" >&2
    wait "$pid" || true
    exit 1
  fi
  read -r utime stime <<<"$(sed 's/.*) //' "/proc/$pid/stat" | awk '{print $12, $13}')"
}
settle="${IDLE_SETTLE:-0}"
sleep "$settle"
ticks
utime0=$utime
stime0=$stime
sleep "$seconds"
ticks
utime=$((utime - utime0))
stime=$((stime - stime0))
ticks=$(getconf CLK_TCK)
kill "$pid" 2>/dev/null || true
wait "$pid" 2>/dev/null || true
percent=$(awk -v u="$utime" -v s="$stime" -v t="$ticks" -v d="$seconds" 'BEGIN { printf "%.1f", (u + s) / t / d * 100 }')
echo "idle: ${percent}% of one core over ${seconds} s after ${settle} s (user $utime, system $stime ticks of 1/$ticks s)"
if [ -n "${IDLE_GOAL:-}" ]; then
  awk -v p="$percent" -v g="$IDLE_GOAL" 'BEGIN { exit !(p <= g) }' && echo "goal: idle at most ${IDLE_GOAL}%: met" && exit 0
  echo "goal: idle at most ${IDLE_GOAL}%: NOT met"
  exit 1
fi
