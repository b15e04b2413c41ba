#!/usr/bin/env bash
# A windowed tool whose X display goes away while it runs (the X server
# stopped once the tool's log shows it under way) ends by itself and
# cleanly: exit status 1, the lost connection said on stderr and at the end
# of its log, no crash and no sanitizer report.
# Usage: LoseDisplay.sh PROGRAM WORK_FOLDER LOG_MARK ARGS...
#   LOG_MARK: the start of a log line the program writes once its world is up
set -uo pipefail
. "$(dirname "${BASH_SOURCE[0]}")/CommandLine.sh"
tm_cli_setup "$1" "$2"
mark="$3"
shift 3
tool=$(basename "$program")
log="$work/bin/log.txt"

# A server of its own on the first free display, which it names on fd 3.
Xvfb -displayfd 3 -nolisten tcp -screen 0 1024x768x24 3>"$work/display" >"$work/xvfb.log" 2>&1 &
server=$!
for _ in $(seq 1 300); do [ -s "$work/display" ] && break; sleep 0.1; done
[ -s "$work/display" ] || { echo "FAILED: Xvfb did not start: $(cat "$work/xvfb.log")"; kill "$server"; exit 1; }
display=":$(head -n 1 "$work/display")"

DISPLAY="$display" ASAN_OPTIONS=detect_leaks=0 "$program" "$@" >"$work/run.out" 2>"$work/run.err" &
pid=$!
# Guards, not timings: a world up under the sanitizers on a busy machine
# takes a while, and a program that does not end by itself is a failure.
for _ in $(seq 1 3000); do
  grep -q "^$mark" "$log" 2>/dev/null && break
  kill -0 "$pid" 2>/dev/null || break
  sleep 0.1
done
grep -q "^$mark" "$log" 2>/dev/null || fail "$tool did not get under way: $(head -c 300 "$work/run.err")"
kill "$server"
wait "$server"
for _ in $(seq 1 600); do
  kill -0 "$pid" 2>/dev/null || break
  sleep 0.1
done
if kill -0 "$pid" 2>/dev/null; then
  fail "$tool still runs a minute after its display went away"
  kill -9 "$pid"
fi
wait "$pid"
code=$?
[ "$code" = 1 ] || fail "$tool exits $code without its display, not 1"
grep -q "^$tool: the connection to the X display $display was lost" "$work/run.err" || fail "$tool does not say why it ended"
! grep -q -i -E "sanitizer|runtime error|segmentation|core dumped" "$work/run.err" || fail "$tool did not end cleanly"
tr -d '\r' <"$log" | grep -q "^ERROR! the connection to the X display $display was lost" ||
  fail "the log does not say why $tool ended"
cp "$work/run.err" "$work/lost.err"
tm_cli_finish
