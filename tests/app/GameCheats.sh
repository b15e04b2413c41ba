#!/usr/bin/env bash
# The developer keys in the game (headless, 800 x 600, "Cheats=1" in
# "config.ini"): level 1 entered from the map, the day started, C wins it at
# once at the bronze limit; the result window shows it (cheats_won.png). With the switch off
# the same C does nothing and the level goes on.
# Usage: GameCheats.sh TALLOWMERE WORK_FOLDER DATA_FOLDER
set -uo pipefail
. "$(dirname "${BASH_SOURCE[0]}")/../support/CommandLine.sh"
tm_game_setup "$1" "$2" "$3"
run_timeout=300

replay() {
  tm_replay_new_profile hints-off
  tm_replay_easy_to_map
  tm_replay_map_to_level1
  echo 'wait 500
click 400 300   # the day starts
wait 1000
key 46          # C'
  echo "$1"
}

tm_game_config 1
replay 'wait 3000
expect window LvRt
screenshot cheats_won.png' >"$work/won.txt"
tm_play_headless won
[ -s "$work/won/cheats_won.png" ] || fail "no screenshot of the result window"
iconv -f UTF-16 -t UTF-8 "$user/Tester/records.txt" 2>/dev/null | grep -q "level_01" ||
  grep -aq "level_01" "$user/Tester/records.txt" 2>/dev/null || fail "the records do not hold level 1 won"

tm_game_config 0
replay 'wait 3000
expect window LvRt' >"$work/off.txt"
tm_play_headless off 5  # C with the switch off: the level goes on, the result window never comes
tm_cli_finish
