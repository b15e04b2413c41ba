#!/usr/bin/env bash
# The villains' attack on the level-selection map, headless, on the sample
# data set: a new profile's first visit after the opening comic shows every
# node hidden while two villains walk in, set up their catapults and shoot
# gas at four nodes (screenshots while the shots fly and once they have
# gone); then the map comes back and level 1 opens its window and starts.
# Usage: GameMapAttack.sh TALLOWMERE WORK_FOLDER DATA_FOLDER
set -uo pipefail
. "$(dirname "${BASH_SOURCE[0]}")/../support/CommandLine.sh"
tm_game_setup "$1" "$2" "$3"
run_timeout=300
tm_game_config 0

{
  tm_replay_new_profile
  tm_replay_comic
  echo 'wait 1000
screenshot walking.png      # the villains coming in
wait 1500
screenshot flying.png       # the first gas shots in the air
wait 1600
screenshot gas.png          # gas bursting over its nodes
wait 10000
screenshot after.png        # the villains gone, the map back
click 780 150               # off the nodes: what the attack tutorial waits for, if one runs
wait 1000'
  tm_replay_map_to_level1
} >"$work/attack.txt"
tm_play_headless attack
shots="$work/attack"
for shot in walking flying gas after; do
  [ -s "$shots/$shot.png" ] || fail "no $shot.png"
done
! cmp -s "$shots/flying.png" "$shots/after.png" || fail "the shots' frame is the same as the map's after the attack"
! cmp -s "$shots/gas.png" "$shots/flying.png" || fail "nothing moved between the shots' two frames"
tm_cli_finish
