#!/usr/bin/env bash
# The map's later lessons followed as a player does, through the X server
# (the X robot), in an 800 x 600 window on a 1,024 x 768 screen without a
# window manager, on the sample data set with the hints on: each click goes
# where the lesson's arrow is drawn (the log tells, under "Places"), or on
# its text when it has none.
#
# The game's own replay, headless and with the developer keys, makes two
# profiles: level 2 won (the bees with it) and left on the map before any
# level window showed them; and the same with levels 3 to 18 finished by
# the map's Shift-click (rain, speed and instant harvest owned too, the
# first three chosen), the regime lesson that the eighth level brings read
# there (it comes only with that level's result). Then, through the X
# server, from the main screen's "Easy Days":
# - the first profile: level 3's window, the new-bonus lesson's arrow on the
#   slot that shows the bees (the slot after it empty); its click there
#   ends it, its text goes;
# - the second: level 19's window, its first slot showing the bees as
#   level 3's did; the new-bonus lesson (the instant harvest fills no slot:
#   its arrow is on "select bonuses", its click ends it) and the one on
#   choosing bonuses, whose arrow's "select bonuses" opens the choice of
#   the four owned: the
#   instant harvest's panel clicked, its icon takes the third slot there
#   and, after "ok", in the level window, in place of the speed, the other
#   two kept;
# - the regime button to "Hard Days": the hard lesson's text stands in the
#   map's middle, its click ends it; the map shows the hard regime (level 1
#   open, level 5's farm gone) and level 1's window there has no bonus
#   slots (none is owned in that regime).
# Usage: GameMapLessons.sh TALLOWMERE WORK_FOLDER DATA_FOLDER XROBOT XWINDOWWATCH
set -uo pipefail
here="$(dirname "${BASH_SOURCE[0]}")"
. "$here/xwatch/Robot.sh"
tm_robot_setup "$@"
run_timeout=300

# --- The profiles -------------------------------------------------------------------
tm_replay_bees_won map >"$work/prepare.txt"
tm_robot_prepare 1
bees="$work/bees"
rm -rf "$bees"
mv "$prepared" "$bees"
{
  tm_replay_bees_won
  echo "click 400 300               # the new bonus's hint read
wait 600
click 307 495               # the window's \"cancel\"
wait 600"
  # The nodes of levels 3 to 18 at 800 x 600; the eighth brings the regime lesson.
  for level in '115 340' '115 265' '115 191' '212 154' '212 229' '210 305' '210 380' '210 455' '210 528' \
    '305 455' '305 380' '305 305' '305 230' '305 155' '305 88' '400 55'; do
    echo "move $level
wait 100
click $level shift
wait 3000"
    [ "$level" = '210 305' ] && echo "expect window TutL
click 400 300               # the regime lesson read
wait 1000"
  done
} >"$work/prepare.txt"
tm_robot_prepare 1
grep -aq "^Tutorial *0x40050000 ends" "$user/log.txt" || fail "the preparing replay saw no regime lesson"
grep -aq "level 18 finished, level 19 now 2" "$user/log.txt" || fail "the preparing replay did not open level 19"
echo "the regime lesson: read by the preparing replay (only the eighth level's result brings it)"

# open_level X Y: the map's level at (X, Y) clicked, its window shown; `mark`
# the log's length before.
open_level() {
  mark="$(wc -l <"$log")"
  x move "$1" "$2"
  sleep 0.2
  after "Placed window LvIf" 10000 click "$1" "$2"
  sleep 0.5
}
# since WHAT: the rectangles "X Y W H" of the log's lines "Placed WHAT"
# since `mark`, left to right.
since() {
  tail -n "+$mark" "$log" | tr -d '\r' | grep -a "^Placed $1 " | awk '{ print $(NF - 3), $(NF - 2), $(NF - 1), $NF }' |
    sort -n | uniq
}
# rest: the pointer off the map's nodes and buttons.
rest() {
  x move 790 300
  sleep 0.3
}
# inner RECT: the middle 40 x 40 of a bonus slot "X Y W H" (its icon).
inner() { awk '{ print $1 + int($3 / 2) - 20, $2 + int($4 / 2) - 20, 40, 40 }' <<<"$1"; }

# --- The bees, new: level 3's window ---------------------------------------------------
saved="$prepared"
prepared="$bees"
tm_game_start_easy 0x5
open_level 115 340
x await-log "$log" "step 0x40030001" 20000 >/dev/null
sleep 1
shot bees-new
read -r ax ay <<<"$(tail -n "+$mark" "$log" | tr -d '\r' | tm_arrow_point)"
read -r sx sy sw sh <<<"$(since "button LvIf 35000010" | head -1)"
[ -n "$sh" ] && [ "${ay:-0}" -ge "$sy" ] && [ "$ay" -lt $((sy + sh)) ] && [ "$ax" -ge "$sx" ] && [ "$ax" -lt $((sx + sw)) ] ||
  fail "the new-bonus lesson points at ${ax:-?},${ay:-?}, not at the bonus slot ${sx:-?},${sy:-?}"
# The slot it points at shows an icon; the next one, empty, none.
[ "$(same bees-new bees-new $(inner "$sx $sy $sw $sh") $((sw + 1)) 0)" -le 60 ] ||
  fail "the slot the new-bonus lesson points at looks as the empty one beside it"
# Its click where the arrow points ends it: its text goes.
after "0x40030000 ends" 10000 click $ax $ay
sleep 0.5
shot bees-read
# (the foot of its frame, over the window's brown times row).
[ "$(same bees-new bees-read 125 236 415 22)" -le 40 ] || fail "the new-bonus lesson's text did not show, or stayed"
cp "$log" "$work/bees.log"
tm_x_stop
bees_slot="$sx $sy $sw $sh"

# --- Four bonuses owned: level 19's window, the choice -----------------------------------
prepared="$saved"
tm_game_start_easy 0x5
open_level 400 125
shot level19
# The instant harvest fills no slot: the news points at "select bonuses".
x await-log "$log" "step 0x40030001" 20000 >/dev/null
sleep 1
read -r ax ay <<<"$(tail -n "+$mark" "$log" | tr -d '\r' | tm_arrow_point)"
read -r sx sy sw sh <<<"$(since "button LvIf 35000020" | head -1)"
[ -n "$sh" ] && [ "${ay:-0}" -ge "$sy" ] && [ "$ay" -lt $((sy + sh)) ] && [ "$ax" -ge "$sx" ] && [ "$ax" -lt $((sx + sw)) ] ||
  fail "the fourth helper's news points at ${ax:-?},${ay:-?}, not at \"select bonuses\" ${sx:-?},${sy:-?}"
tm_follow_lessons "0x40030000 ends" 30 "$mark"
[ "$lesson_steps" = "0x40030001 0x40030002 " ] || fail "the bonus lessons went through $lesson_steps"
x await-log "$log" "Placed window Bonu" 10000 >/dev/null
sleep 0.5
shot choice
mapfile -t lv <<<"$(since "button LvIf 35000010")"
# The bees chosen in level 19 show as the new bees did in level 3.
read -r x1 y1 _ <<<"${lv[0]}"
[ "$(same bees-new level19 $(inner "$bees_slot") $((x1 - ${bees_slot%% *})) 0)" -ge 90 ] ||
  fail "level 19's first slot does not show the bees as level 3's new one"
mapfile -t panels <<<"$(since "button Bonu B3D00001")"
mapfile -t picked <<<"$(since "button Bonu B3D00002")"
[ "${#panels[@]}" = 4 ] || fail "the choice shows ${#panels[@]} bonuses, not the four owned"
# The fourth panel, the instant harvest, clicked: its icon takes the third slot.
read -r px py pw ph <<<"${panels[3]}"
x click $((px + pw / 2)) $((py + ph / 2))
sleep 0.5
shot chosen
read -r cx cy _ <<<"${picked[2]}"
[ "$(same choice chosen $(inner "${picked[2]}"))" -le 60 ] || fail "the instant harvest clicked, the choice's third slot looks as before"
# "ok": the level window shows the choice, the harvest in place of the speed.
after "Gone window Bonu" 10000 click $(centre "button Bonu B3D00000")
sleep 0.5
shot level19-chosen
read -r lx ly _ <<<"${lv[2]}"
[ "$(same level19 level19-chosen $(inner "${lv[2]}"))" -le 60 ] || fail "level 19's third slot looks as before the choice"
[ "$(same level19-chosen chosen $(inner "${lv[2]}") $((cx - lx)) $((cy - ly)))" -ge 85 ] ||
  fail "level 19's third slot does not show the icon the choice's third slot showed"
for i in 0 1; do
  [ "$(same level19 level19-chosen $(inner "${lv[$i]}"))" -ge 95 ] || fail "level 19's slot $((i + 1)) changed with the choice"
done
after "Gone window LvIf" 10000 click $(centre "button LvIf 35000000")  # "cancel"
sleep 0.5

# --- Hard Days ------------------------------------------------------------------------
rest
shot easy
mark="$(wc -l <"$log")"
x click $(centre "button MapI 24FE0202")  # the regime button
x await-log "$log" "step 0x40060001" 10000 >/dev/null
sleep 1
shot hard-lesson
# Its text, over the map's middle, clicked: it goes.
tm_follow_lessons "0x40060000 ends" 20
rest
sleep 1
shot hard
[ "$(same hard-lesson hard 200 180 400 80)" -le 60 ] || fail "the hard lesson's text did not show over the map's middle, or stayed"
# The hard regime: its lamp lit on the switch, level 1 open again, level 5's farm gone.
for area in "637 543 14 42 switch" "60 470 60 40 level-1" "60 180 60 40 level-5"; do
  read -r ax ay aw ah name <<<"$area"
  [ "$(same easy hard $ax $ay $aw $ah)" -le 50 ] || fail "the map's $name area looks as in the easy regime"
done
# Level 1's window there: no bonus owned, no slots.
open_level 115 490
shot hard-level1
[ -n "$(since "button LvIf 35000001")" ] || fail "level 1's window in the hard regime shows no \"play\""
[ -z "$(since "button LvIf 35000010")" ] || fail "level 1's window in the hard regime shows bonus slots"
echo "the run took $SECONDS s"
tm_x_stop
tm_cli_finish
