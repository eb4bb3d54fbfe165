# Shared steps of the end-to-end tests: a private X server, a private copy of
# the game's files, real key events, screenshots and the game's message boxes.
# Each test sources this file; cleanup runs when the test's shell exits.

set -euo pipefail

RUN_DIR=${TILERIOT_RUN_DIR:?set TILERIOT_RUN_DIR to the built build/run}
TOOLS_DIR=${TILERIOT_TOOLS_DIR:-}
WORK=$(mktemp -d /tmp/tileriot-e2e-XXXXXX)
XVFB_PID="" GAME_PID=""

cleanup() {
  # Allegro's own signal handler can hang once X is gone: SIGKILL the game.
  [ -n "$GAME_PID" ] && kill -9 "$GAME_PID" 2>/dev/null || true
  pkill -9 -P "${GAME_PID:-0}" 2>/dev/null || true
  [ -n "$XVFB_PID" ] && kill "$XVFB_PID" 2>/dev/null || true
  rm -rf "$WORK"
}
trap cleanup EXIT

fail() {
  echo "FAIL: $*" >&2
  exit 1
}

# Starts a private Xvfb of the given size (default 640x480) and sets DISPLAY.
start_x() {
  local size=${1:-640x480}
  Xvfb -displayfd 8 -screen 0 "${size}x24" -nolisten tcp 8>"$WORK/display" 2>"$WORK/xvfb.log" &
  XVFB_PID=$!
  for _ in $(seq 100); do
    [ -s "$WORK/display" ] && break
    sleep 0.05
  done
  [ -s "$WORK/display" ] || fail "Xvfb did not start"
  export DISPLAY=":$(head -n1 "$WORK/display")"
}

# Copies the game's files into a fresh working directory.
prepare_game() {
  mkdir -p "$WORK/game"
  cp -r "$RUN_DIR"/. "$WORK/game/"
  rm -f "$WORK/game"/*.dat.tmp "$WORK/game"/IntHiScores.dat "$WORK/game"/ExtHiScores.dat \
    "$WORK/game"/plyrsettings.dat "$WORK/game"/tr_debug.txt
}

# Starts the game in its working directory.
start_game() {
  (cd "$WORK/game" && exec ./tileriot >"$WORK/game.out" 2>&1) &
  GAME_PID=$!
}

# Waits up to $1 seconds (default 20) for the game to end and checks that
# its exit status is $2.
expect_game_end() {
  local limit=$(( ${1:-20} * 20 )) expected=$2
  for _ in $(seq "$limit"); do
    if ! kill -0 "$GAME_PID" 2>/dev/null; then
      local status=0
      wait "$GAME_PID" || status=$?
      GAME_PID=""
      [ "$status" -eq "$expected" ] || fail "exit status $status, not $expected"
      return 0
    fi
    sleep 0.05
  done
  fail "the game did not end in time"
}

# Waits for the game's top-level window; prints its id.
wait_window() {
  for _ in $(seq 200); do
    local id
    id=$(xdotool search --class allegro 2>/dev/null | head -n1 || true)
    if [ -n "$id" ]; then
      echo "$id"
      return 0
    fi
    sleep 0.05
  done
  fail "no game window appeared"
}

# Presses and holds a key for a moment, as a player does.
press() {
  xdotool keydown "$1"
  sleep 0.1
  xdotool keyup "$1"
  sleep 0.05
}

# Saves a screenshot of the whole X screen.
screenshot() {
  import -window root "$1"
}

# Counts pixels of one colour (e.g. FFFFFF) in a region WxH+X+Y of a screenshot.
count_colour() {
  convert "$1" -crop "$2" +repage -depth 8 txt:- | grep -c -i "#$3" || true
}

# Waits until a menu has finished fading in: its help line is pure white.
wait_menu() {
  local limit=$(( ${1:-20} * 4 ))
  for _ in $(seq "$limit"); do
    screenshot "$WORK/poll.png"
    if [ "$(count_colour "$WORK/poll.png" 640x10+0+470 FFFFFF)" -gt 0 ]; then
      return 0
    fi
    sleep 0.25
  done
  fail "the menu did not appear"
}

# Waits for the game's message box; prints its text.
wait_message() {
  for _ in $(seq 200); do
    local pid
    pid=$(pgrep -P "$GAME_PID" xmessage | head -n1 || true)
    if [ -n "$pid" ]; then
      # xmessage's arguments end with the text, after "-center".
      tr '\0' '\n' <"/proc/$pid/cmdline" | sed '1,/^-center$/d' | sed '/^$/d'
      sleep 0.2
      kill "$pid"
      return 0
    fi
    sleep 0.05
  done
  fail "no message box appeared"
}

# Checks a file's size in bytes.
expect_size() {
  [ -f "$1" ] || fail "$1 was not written"
  local size
  size=$(stat -c %s "$1")
  [ "$size" -eq "$2" ] || fail "$1 holds $size bytes, not $2"
}
