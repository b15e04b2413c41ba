# Sourced by the tools' command-line checks (tests/*/*CommandLine.sh): the
# scratch folder made afresh with a copy of the program of its own (the log
# is written beside the program, the single-instance lock of the tools in
# XDG_RUNTIME_DIR and the game's in its per-user folder, all in the scratch
# folder, so nothing there meets another run), a failure count, and the
# helpers that run the program and read what it left.
# tm_cli_setup BUILT_PROGRAM WORK_FOLDER: sets `work` and `program`.
tm_cli_setup() {
  work="$2"
  rm -rf "$work"
  mkdir -p "$work/bin" "$work/run"
  chmod 700 "$work/run"
  program="$work/bin/$(basename "$1")"
  cp "$1" "$program"
  export XDG_RUNTIME_DIR="$work/run"
  failures=0
}
# tm_game_setup BUILT_PROGRAM WORK_FOLDER DATA_FOLDER: tm_cli_setup for the
# game, which keeps its files in a per-user folder of the work folder: sets
# `game`, `data`, XDG_DATA_HOME and `user` (the game's folder in it).
tm_game_setup() {
  tm_cli_setup "$1" "$2"
  game="$program"
  data="$3"
  export XDG_DATA_HOME="$work/xdg"
  user="$XDG_DATA_HOME/Morvalen/Tallowmere"
}
fail() {
  echo "FAILED: $*"
  failures=$((failures + 1))
}
# run NAME ARGS...: runs a command (at most run_timeout seconds, 20 unless
# set), keeps its stdout, stderr and status under NAME.
run() {
  local name="$1"
  shift
  timeout "${run_timeout:-20}" "$@" >"$work/$name.out" 2>"$work/$name.err"
  echo $? >"$work/$name.status"
}
status() { cat "$work/$1.status"; }
has() { grep -q -- "$2" "$work/$1"; }
# Ends the script: on a failure the start of every stderr kept, status 1.
tm_cli_finish() {
  if [ "$failures" -ne 0 ]; then
    for f in "$work"/*.err; do echo "--- $f"; head -n 20 "$f"; done
    exit 1
  fi
  echo "all command-line checks passed"
}
# tm_game_config CHEATS: "config.ini" beside the program: full screen at
# 800 x 600, the developer keys on (1) or off (0).
tm_game_config() {
  printf '[Video]\nFullscreen=1\nScreen=800,600\n[Game]\nCheats=%s\n' "$1" >"$(dirname "$game")/config.ini"
}
# Replay lines for the game at 800 x 600: tm_replay_header: the clock, the
# seed, the main screen come; tm_replay_new_profile [hints-off]: that and
# the first run's new-profile window, named "Tester", its "Show Hints" left
# on or switched off; tm_replay_comic: the main screen's "easy" with no
# level finished, the opening comic closed by Enter, the map come;
# tm_replay_easy_to_map: that and the villains' attack that follows the
# comic skipped by a click; tm_replay_open_level X Y: the map's level at
# (X, Y) hovered, then clicked: its window; tm_replay_map_to_level1: level
# 1's window and its "play", the level loaded and shown.
tm_replay_header() {
  echo 'clock 1767225600
seed 7
await 6 120000
wait 800'
}
tm_replay_new_profile() {
  tm_replay_header
  echo 'text "Tester"               # the name of the first profile'
  [ "${1:-}" = hints-off ] && echo 'click 197 322               # "Show Hints" off'
  echo 'key enter                   # the new-profile window: OK
wait 600'
}
tm_replay_comic() {
  echo 'click 589 356               # "easy": the opening comic, which Enter closes
await 7 2000
wait 1500
key enter
await 5 3000'
}
tm_replay_easy_to_map() {
  tm_replay_comic
  echo 'wait 1500
click 780 150               # the attack of the villains skipped: its tutorial takes the click
wait 1000'
}
tm_replay_open_level() {
  echo "move $1 $2                # over the level first: the map hovers on moves
wait 100
click $1 $2
wait 600"
}
tm_replay_map_to_level1() {
  tm_replay_open_level 115 490
  echo "click 489 438               # its window's \"play\"
await $((0x80000003)) 2000
await 4 60000"
}
# tm_replay_bees_won: with the developer keys on, a new profile to the map,
# the first map tutorial ended by level 1's window, closed, level 1
# finished by the map's Shift-click, level 2 played and won by C (the bees
# with it), its result window's OK, back on the map level 3's window opened:
# the new-bonus hint shows over it; with "map", the replay ends on the map
# before that window (the bees still new); with "level1", once level 1 is
# finished, on the map.
tm_replay_bees_won() {
  tm_replay_new_profile
  tm_replay_easy_to_map
  tm_replay_open_level 115 490
  echo "key escape                  # the first tutorial ended by level 1's window, closed
wait 600
click 115 490 shift          # level 1 finished by the developers' click
wait 2500"
  [ "${1:-}" != level1 ] || return 0
  tm_replay_open_level 115 415
  echo "click 489 438               # \"play\"
await $((0x80000003)) 2000
await 4 60000
wait 1000
click 400 300               # the day starts
wait 1000
key 46                      # C: won, the bees with it
wait 3000
expect window LvRt
key enter                   # the result window's OK: to the map
await 5 5000
wait 2000"
  [ "${1:-}" != map ] || return 0
  tm_replay_open_level 115 340
  echo "wait 900"
}
# tm_play_replay NAME REPLAY ARGS...: the game's replay $work/REPLAY played
# in a folder of its own ($work/NAME, where its screenshots land) on a fresh
# per-user folder (a copy of the folder `from` names, when set), by the
# command ARGS (the program, or a wrapper and the program); its time in ms
# kept as NAME.ms, its log as NAME.log.
tm_play_replay() {
  local name="$1" replay="$2"
  shift 2
  rm -rf "$XDG_DATA_HOME" "${work:?}/$name"
  mkdir -p "$work/$name" "$(dirname "$user")"
  [ -z "${from:-}" ] || cp -a "$from" "$user"
  cp "$work/$replay" "$work/$name/"
  local began
  began=$(date +%s%N)
  (cd "$work/$name" && run "$name" "$@" --data "$data" --replay "$replay")
  echo $((($(date +%s%N) - began) / 1000000)) >"$work/$name.ms"
  cp "$user/log.txt" "$work/$name.log" 2>/dev/null || : >"$work/$name.log"
}
# tm_play_headless NAME [STATUS]: the replay NAME.txt by tm_play_replay,
# headless; a failure unless it exits with STATUS (0 unless given); its time printed.
tm_play_headless() {
  tm_play_replay "$1" "$1.txt" "$game" --headless
  [ "$(status "$1")" = "${2:-0}" ] || fail "the $1 replay exits $(status "$1"), not ${2:-0}: $(tail -3 "$work/$1.err")"
  echo "the $1 replay took $(cat "$work/$1.ms") ms"
}
# tm_replay_whole_game LEVEL1_SCRIPT: the whole first session on the sample
# data set at 800 x 600 with the hints on, a screenshot at each mark: the
# studio's mark and the game's logo, the new-profile window with "Tester"
# typed (new-profile.png), the opening comic, the map (map-before.png), level 1 played with its tutorial by LEVEL1_SCRIPT (its
# own shots) to a won day (won.png: the result window), its OK back to the
# map and the result animation (map-after.png), the map's options window
# with the sound's volume changed (options.png) and closed (saved to
# "config.dat"), Escape to the main screen (main-end.png) and its "quit":
# the run ends with the game's own quit.
tm_replay_whole_game() {
  echo 'clock 1767225600
seed 7
wait 1500
screenshot studio.png       # the studio mark
wait 2000
screenshot logo.png         # the game logo
await 6 120000
wait 800
text "Tester"               # the name of the first profile
wait 200                    # (the letters shown)
screenshot new-profile.png
key enter                   # the new-profile window: OK
wait 600'
  tm_replay_easy_to_map
  echo "screenshot map-before.png"
  tm_replay_map_to_level1
  echo "wait 500"
  grep -v '^ *#' "$1"
  echo 'expect won
wait 8000                   # the last harvest walks in; the result shows
expect window LvRt
screenshot won.png          # the result window over the won day
key enter                   # its OK: to the map
await 5 5000
wait 1600                   # the result animation (200 + 900 ms after the fade)
move 790 595                # the pointer off the nodes
wait 100
screenshot map-after.png
click 710 34                # the map'"'"'s "options"
wait 800
click 600 203               # the sound'"'"'s volume bar
wait 300
screenshot options.png
click 399 418               # "close": the change saved to config.dat
wait 600
key escape                  # the map: back to the main screen
await 6 3000
wait 500
screenshot main-end.png
click 589 561               # "quit"
await 4294967295 3000       # the game ends itself'
}
# tm_replay_bees_kept "X Y"...: tm_replay_bees_won, the new bonus's hint
# read and its window cancelled (the bees left chosen), then the map's
# levels at those points finished one after the other by the developers'
# Shift-click.
tm_replay_bees_kept() {
  tm_replay_bees_won
  echo "click 400 300               # the new bonus's hint read
wait 600
click 307 495               # the window's \"cancel\"
wait 600"
  local level
  for level in "$@"; do
    echo "move $level
wait 100
click $level shift
wait 3000"
  done
}
