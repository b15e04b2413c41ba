# Sourced by the scripts that play the game through the X robot (entries of
# label "robot"): tm_robot_setup GAME WORK DATA ROBOT WATCH sets up the
# scratch folder as tm_game_setup does (tests/support/CommandLine.sh), with
# `robot` and `watch`, and "config.ini" beside the program: a window, the
# developer keys off, the developer switch "Places" on (the log tells where
# windows, their buttons and tutorial arrows are drawn).
#
# tm_x_start W H [WM]: a virtual X server of its own at W x H (Xvfb picks a
# free display number itself and tells it, so servers started side by side
# never take the same one), DISPLAY set, and the window manager WM on it
# (openbox) unless none is named; tm_x_stop ends what tm_x_start started.
# tm_game_start [ARGS...]: the game on the data set in the background, its
# log's path in `log`; tm_game_wait: waits for it to end (status in
# `game_status`); tm_game_stop: ends it if it still runs.
# x CMD...: one robot command (as XRobot takes it); one that fails ends the
# run (a failure). xq CMD...: the same, its answer printed without the
# command's word.
. "$(dirname "${BASH_SOURCE[0]}")/../../support/CommandLine.sh"

tm_robot_setup() {
  tm_game_setup "$1" "$2" "$3"
  robot="$4"
  watch="$5"
  log="$user/log.txt"
  printf '[Video]\nFullscreen=0\n[Game]\nCheats=0\nPlaces=1\n' >"$(dirname "$game")/config.ini"
  x_pid="" wm_pid="" game_pid=""
  trap tm_x_stop EXIT
  trap 'exit 1' TERM
}

tm_x_start() {
  local shown="$work/display.$$"
  : >"$shown"
  Xvfb -displayfd 3 -nolisten tcp -screen 0 "${1}x${2}x24" 3>"$shown" 2>"$work/xvfb.err" &
  x_pid=$!
  local i
  for ((i = 0; i < 200; ++i)); do
    grep -q '^[0-9][0-9]*$' "$shown" && break
    kill -0 "$x_pid" 2>/dev/null || break
    sleep 0.05
  done
  grep -q '^[0-9][0-9]*$' "$shown" || { fail "Xvfb did not start: $(tail -2 "$work/xvfb.err")"; return 1; }
  export DISPLAY=":$(head -1 "$shown")"
  if [ "${3:-none}" != none ]; then
    "$3" >/dev/null 2>&1 &
    wm_pid=$!
    x await-manager 10000  # it owns the screen before the game's window comes
  fi
}

tm_game_start() {
  rm -f "$log"
  mkdir -p "$(dirname "$log")"
  # SDL2's system libraries keep a few allocations to the end: no leak report for a window's run.
  ASAN_OPTIONS="${ASAN_OPTIONS:+$ASAN_OPTIONS:}detect_leaks=0" "$game" --data "$data" "$@" \
    >>"$work/game.out" 2>>"$work/game.err" &
  game_pid=$!
}

tm_game_wait() {
  game_status=""
  local i
  for ((i = 0; i < "${1:-200}"; ++i)); do
    kill -0 "$game_pid" 2>/dev/null || break
    sleep 0.05
  done
  if kill -0 "$game_pid" 2>/dev/null; then
    fail "the game did not end"
    tm_game_stop
    return 1
  fi
  wait "$game_pid"
  game_status=$?
  game_pid=""
}

tm_game_stop() {
  [ -z "$game_pid" ] || { kill "$game_pid" 2>/dev/null; wait "$game_pid" 2>/dev/null; }
  game_pid=""
}

# tm_robot_prepare CHEATS: the game's replay $work/prepare.txt played
# headless on the replays' 800 x 600 screen (the developer keys on when
# CHEATS is 1), the per-user folder it leaves kept as $work/prepared;
# tm_game_start_prepared: an X server of 1,024 x 768 without a window
# manager, a copy of that folder as the per-user one, the game started
# there and its main screen's menu shown.
tm_robot_prepare() {
  local config
  config="$(dirname "$game")/config.ini"
  cp "$config" "$work/config.ini"
  tm_game_config "$1"
  tm_play_replay prepare prepare.txt "$game" --headless
  cp "$work/config.ini" "$config"
  [ "$(status prepare)" = 0 ] || fail "the preparing replay exits $(status prepare): $(tail -3 "$work/prepare.err")"
  prepared="$work/prepared"
  rm -rf "$prepared"
  cp -a "$user" "$prepared"
}
tm_game_start_prepared() {
  tm_x_start 1024 768 none
  rm -rf "$XDG_DATA_HOME"
  mkdir -p "$(dirname "$user")"
  cp -a "$prepared" "$user"
  tm_game_start
  x await-window 60000 >/dev/null
  x await-log "$log" "Placed button MSMn 12340001" 60000 >/dev/null
}

# tm_game_start_easy STATE: `began` (ns) set, the game started on the
# prepared folder as tm_game_start_prepared does, the main screen's "Easy
# Days" clicked, and the game come to STATE (0x5 the map, 0x7 the opening
# comic) and a moment more.
tm_game_start_easy() {
  began=$(date +%s%N)
  tm_game_start_prepared
  after "-> $1" 10000 click $(centre "button MSMn 12340001")
  sleep 1.5
}

tm_x_stop() {
  tm_game_stop
  [ -z "$wm_pid" ] || { kill "$wm_pid" 2>/dev/null; wait "$wm_pid" 2>/dev/null; }
  [ -z "$x_pid" ] || { kill "$x_pid" 2>/dev/null; wait "$x_pid" 2>/dev/null; }
  wm_pid="" x_pid=""
}

x() {
  "$robot" "$@" || tm_robot_stuck "$*"
}
xq() {
  local said
  said="$("$robot" "$@")" || tm_robot_stuck "$*"
  echo "${said#* }"
}
# A robot command that failed leaves the run nowhere to go on from: it ends
# (the game, the window manager and the X server with it), saying where,
# also from inside a command substitution.
tm_robot_stuck() {
  {
    echo "FAILED: robot: $1"
    echo "the log's last lines:"
    tail -n 8 "$log" 2>/dev/null | tr -d '\r'
    echo
  } >&2
  [ "$BASHPID" = "$$" ] || kill -TERM "$$"
  exit 1
}
# shot NAME: a picture of the window, $work/NAME.png; same A B X Y W H [DX
# DY]: the per cent of the pixels of the pictures A and B alike there
# (XRobot compare).
shot() { x shot "$work/$1.png"; }
same() { xq compare "$work/$1.png" "$work/$2.png" "${@:3}"; }
# placed WHAT: "X Y W H" of the last log line "Placed WHAT ..." (empty when
# none); centre WHAT: its middle, "X Y".
placed() {
  grep -a "^Placed $1 " "$log" | tail -1 | tr -d '\r' | awk '{ print $(NF - 3), $(NF - 2), $(NF - 1), $NF }'
}
centre() {
  placed "$1" | awk '{ print $1 + int($3 / 2), $2 + int($4 / 2) }'
}
# after TEXT MS CMD...: the robot command CMD, then a wait of up to MS ms
# for one more log line holding TEXT than there was before it (as "Placed
# window Opts" when the window is placed anew and settled, "Gone window
# Opts" when it has gone, "-> 0x5" when the game has come to the map).
after() {
  local text="$1" ms="$2" seen
  shift 2
  seen="$(grep -aFc -- "$text" "$log")"
  x "$@" && x await-log "$log" "$text" "$ms" "$((seen + 1))" >/dev/null
}
# tm_on_pointer WHEN: the game's drawn cursor (one of its arrow and hand
# pictures, found in the window as the X server shows it) comes to have its
# hot spot within 1 px of the X pointer within 2 s (the frames that show it
# drawn anew), and keeps it there in every sample for a second while the
# pointer rests; a failure names WHEN.
tm_on_pointer() {
  local said
  said="$("$robot" on-pointer 2000 1000 "$data/Cursors/arrow.cur" "$data/Cursors/hand.cur" 2>&1)" ||
    fail "$1: ${said#XRobot: on-pointer: }"
}
# tm_arrow_point: of the log lines on standard input, the first arrow's
# point (the lowest tag, where it was placed last), "X Y": what it points
# at, and 8 px further (inside a button's edge), and SLANT px more when
# the arrow slants (it aims at the corner of a round button's square);
# without an arrow, the point the last hint's text stands by.
tm_arrow_point() {
  local places first
  places="$(grep -a "^Placed \(arrow\|hint\) ")"
  first="$(grep -a "^Placed arrow " <<<"$places" | awk '{ print $3 }' | sort -n | head -1)"
  { grep -a "^Placed arrow $first " <<<"$places" || grep -a "^Placed hint " <<<"$places"; } | tail -1 |
    awk -v slant="${1:-0}" '{ a = $4 * atan2(0, -1) / 180; d = $5 + 8 + ($4 % 90 ? slant : 0); print int($6 - d * cos(a) + 0.5), int($7 - d * sin(a) + 0.5) }'
}
# tm_follow_lessons UNTIL SECONDS [FROM] [SLANT]: follows the running lessons
# as a player does until the log has one more line holding UNTIL than when
# it began (within SECONDS, else a failure): once a step has shown for a
# moment, a click where its arrow points (as the log last placed it), or
# where its text points when it has none, or on the hint itself, again
# every few seconds while the step stays (it may wait for a crop or a
# building).
# Each step and click is printed; `lesson_steps` gathers the steps seen.
# With FROM, the log is read from its line after FROM (a step or lesson end
# line): a step shown since is followed too. SLANT: as tm_arrow_point takes
# it. Each turn reads the log in one pass (what the robot spends its time
# on beside the game is the processes it starts: few per turn keep it light
# on a machine of two cores).
tm_follow_lessons() {
  local until="$1" limit="$2" slant="${4:-0}" before mark step="" since=0 clicked=0 now seen num current ended lines arrow
  before="$(grep -aFc -- "$until" "$log")"
  mark="${3:-$(wc -l <"$log")}"
  lesson_steps=""
  local began=$SECONDS pause
  exec {pause}<> <(:)  # a pipe no one writes to: a read on it waits out its time
  while :; do
    # The lines holding UNTIL; of the lines since the mark, the last step's
    # (its number there and its id) and whether that step's lesson has ended.
    read -r seen num current ended < <(awk -v until="$until" -v mark="$mark" '
      { sub(/\r$/, "") }
      index($0, until) { ++seen }
      NR > mark && /^Tutorial *step 0x/ { num = NR - mark; current = $NF }
      NR > mark && /^Tutorial *0x[0-9A-Fa-f]* ends/ { sub(/^Tutorial */, ""); ends[toupper($1)] = 1 }
      END { print seen + 0, num + 0, (current == "" ? "-" : current), ((toupper(substr(current, 1, 6)) "0000") in ends) }' "$log")
    [ "$seen" -le "$before" ] || break
    if [ $((SECONDS - began)) -ge "$limit" ]; then
      fail "the lessons did not come to \"$until\" within $limit s (at step ${step:-none})"
      exec {pause}<&-
      return 1
    fi
    if [ "$current" != - ] && [ "$current" != "$step" ]; then
      step="$current"
      since=$SECONDS clicked=0
      lesson_steps+="$step "
      echo "lesson step $step"
    fi
    now=$SECONDS
    if [ -n "$step" ] && [ "$ended" = 0 ] &&
      [ $((now - since)) -ge 2 ] && { [ "$clicked" = 0 ] || [ $((now - clicked)) -ge 5 ]; }; then
      # The arrow placed last since the step or lesson before it ended (a
      # step's arrows are placed as it shows, before it is told).
      lines="$(tail -n "+$((mark + 1))" "$log" | tr -d '\r')"
      arrow="$(head -n "$((num - 1))" <<<"$lines" | grep -an "^Tutorial *\(step 0x\|0x.* ends\)" | tail -1)"
      arrow="${arrow:-1:}"
      arrow="$(tail -n "+${arrow%%:*}" <<<"$lines" | tm_arrow_point "$slant")"
      # Not when the step has just given way to the next.
      [ "$(grep -a "^Tutorial *step 0x" <<<"$lines" | tail -1 | awk '{ print $NF }')" = "$step" ] || continue
      if [ -n "$arrow" ]; then
        echo "  click at its arrow: $arrow"
        x click $arrow
      else
        echo "  click on the hint"
        x click 400 200
      fi
      clicked=$SECONDS
    fi
    read -rt 0.25 -u "$pause" || true  # a quarter of a second, without a process of its own
  done
  exec {pause}<&-
}
# tm_step_before: the log's line number of the step (or lesson end) before
# the step showing: as FROM, tm_follow_lessons follows on from that step.
tm_step_before() {
  grep -an "^Tutorial *\(step 0x\|0x.* ends\)" "$log" | tail -2 | head -1 | cut -d: -f1
}
# tm_open_level X Y: the map's level at (X, Y) opened, its "Play" clicked,
# the level shown.
tm_open_level() {
  local panels
  x move "$1" "$2"
  sleep 0.2
  after "Placed window LvIf" 10000 click "$1" "$2"
  panels="$(grep -ac "Placed window Lvlp" "$log")"
  after "-> 0x4" 60000 click $(centre "button LvIf 35000001")  # "Play"
  x await-log "$log" "Placed window Lvlp" 20000 $((panels + 1)) >/dev/null
  sleep 1
}
# tm_robot_prepare_kept "X Y"...: tm_robot_prepare with the developer keys
# on, of tm_replay_bees_kept's replay (CommandLine.sh) finishing the map's
# levels at those points.
tm_robot_prepare_kept() {
  tm_replay_bees_kept "$@" >"$work/prepare.txt"
  tm_robot_prepare 1
}
