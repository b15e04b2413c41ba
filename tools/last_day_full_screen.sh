#!/usr/bin/env bash
# The last day won in full screen at 1024 x 768 through an X server, once,
# by hand (not part of the test run). The campaign player records it
# (tests/campaign, CampaignRecord: a first profile, the days before finished
# by the map's Shift-click, day 41 played by its solution on a 1024 x 768
# screen, the input recorded by the game as a replay, with a screenshot of
# the loom's panel once the loom stands); the release game plays that replay
# headless, then on a virtual X display of 1024 x 768 without a window
# manager, full screen, and must win the day both times (exit status 0).
# The screenshot the X run takes is left as FOLDER/loom_panel.png.
#   bash tools/last_day_full_screen.sh [BUILD] [FOLDER]
# BUILD: the release build with TM_CAMPAIGN (build-release); FOLDER: where
# the replay, the screenshots and the logs go (a new temporary folder).
set -euo pipefail
here="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
build="$(cd "${1:-$here/build-release}" && pwd)"
folder="${2:-$(mktemp -d)}"
mkdir -p "$folder"
folder="$(cd "$folder" && pwd)"
data="$build/tests/sample-data"
[ -x "$build/tests/campaign_tests" ] && [ -d "$data" ] ||
  { echo "no campaign tests or sample data in $build (configure with -DTM_CAMPAIGN=ON, run ctest -L campaign)" >&2; exit 2; }

(cd "$folder" && TM_CAMPAIGN_RECORD="$folder/last_day.txt" "$build/tests/campaign_tests" \
  --gtest_filter='CampaignRecord.*' >record.out 2>&1) || { tail -20 "$folder/record.out" >&2; exit 1; }

# The game reads its settings beside the program: a copy of it with its own.
mkdir -p "$folder/game"
cp "$build/src/tallowmere" "$folder/game/"
printf '[Video]\nFullscreen=1\nScreen=1024,768\n[Game]\nCheats=1\n' >"$folder/game/config.ini"
play() {
  local name="$1"
  shift
  mkdir -p "$folder/$name"
  cp "$folder/last_day.txt" "$folder/$name/"
  local status=0
  (cd "$folder/$name" && XDG_DATA_HOME="$folder/$name/user" "$folder/game/tallowmere" --data "$data" \
    --replay last_day.txt "$@" >out.txt 2>err.txt) || status=$?
  [ "$status" = 0 ] || { echo "the $name replay exits $status: $(tail -3 "$folder/$name/err.txt")" >&2; exit 1; }
  echo "the $name replay won the last day"
}
play headless --headless

Xvfb -displayfd 3 -nolisten tcp -screen 0 1024x768x24 3>"$folder/display" 2>"$folder/xvfb.err" &
x_pid=$!
trap 'kill "$x_pid" 2>/dev/null || true' EXIT
for ((i = 0; i < 200; ++i)); do
  grep -q '^[0-9][0-9]*$' "$folder/display" && break
  sleep 0.05
done
DISPLAY=":$(head -1 "$folder/display")" play x
grep -q 'Fullscreen: *Yes' "$folder/x/user/"*/*/log.txt || { echo "the X run was not in full screen" >&2; exit 1; }
cp "$folder/x/loom_panel.png" "$folder/loom_panel.png"
echo "won in full screen at 1024 x 768; the loom's panel: $folder/loom_panel.png"
