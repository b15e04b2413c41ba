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
printf '[Video]\nFullscreen=1\nScreen=800,600\n' >"$(dirname "$game")/config.ini"
start=$((0x80000002))
loading=$((0x80000003))

cat >"$work/attack.txt" <<REPLAY
clock 1767225600
seed 7
wait 3100
click 400 300               # the game's logo skipped
await $start 1000
await 6 120000
wait 1200
text "Tester"               # the first profile's name
key enter
wait 600
click 589 356               # "easy": the opening comic, which Enter closes
await 7 2000
wait 1500
key enter
await 5 3000
wait 1000
screenshot walking.png      # the villains coming in
wait 1500
screenshot flying.png       # the first gas shots in the air
wait 1600
screenshot gas.png          # gas bursting over its nodes
wait 10000
screenshot after.png        # the villains gone, the map back
click 780 150               # off the nodes: what the attack's tutorial waits for, if one runs
wait 1000
click 115 490               # the map's level 1, open again
wait 600
click 489 438               # its window's "play"
await $loading 2000
REPLAY
began=$(date +%s%N)
(cd "$work" && run attack "$game" --headless --data "$data" --replay attack.txt)
echo "the attack's replay took $((($(date +%s%N) - began) / 1000000)) ms"
[ "$(status attack)" = 0 ] || fail "the attack's replay exits $(status attack): $(tail -3 "$work/attack.err")"
for shot in walking flying gas after; do
  [ -s "$work/$shot.png" ] || fail "no $shot.png"
done
! cmp -s "$work/flying.png" "$work/after.png" || fail "the shots' frame is the same as the map's after the attack"
! cmp -s "$work/gas.png" "$work/flying.png" || fail "nothing moved between the shots' two frames"
[ "$failures" = 0 ] && echo "passed"
exit "$failures"
