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


# --- Playing a game -------------------------------------------------------

# Holds a key down for $2 seconds, as a player leaning on it. X repeats a key
# held for about 0.6 s, so keep it shorter.
hold() {
  xdotool keydown "$1"
  sleep "$2"
  xdotool keyup "$1"
  sleep 0.05
}

# Skips the intro with a key and waits for the main menu to fade in.
skip_intro() {
  wait_window >/dev/null
  sleep 0.5
  press space
  wait_menu
}

# The colours of the new-game dialog's prompts and of the typed name, as the
# 16-bit screen shows them.
PROMPT_COLOUR=7BE600
ECHO_COLOUR=FFFF18

# Types a word into a text entry, each letter once the echo of the one
# before it is on the screen.
type_word() {
  local word=${1,,} i
  for ((i = 0; i < ${#word}; i++)); do
    press "${word:i:1}"
    wait_still 10 "$STILL" has_colour "$ECHO_COLOUR" 640x60+0+380
  done
}

# From the main menu with New Game selected, starts a game: the name $1, the
# difficulty key $2 (e, m or h) and the game type key $3 (i or e), each
# pressed once its prompt has faded in.
new_game() {
  press Return
  wait_still 20 "" has_colour "$PROMPT_COLOUR" 640x480+0+0
  type_word "$1"
  press Return
  wait_still 20 "$STILL" has_colour "$PROMPT_COLOUR" 640x480+0+0
  press "$2"
  wait_still 20 "$STILL" has_colour "$PROMPT_COLOUR" 640x480+0+0
  press "$3"
}

# From the main menu, a new external game on Easy as KIM, the level's name
# typed once its prompt is at rest.
external_game() {
  new_game kim e e
  wait_still 20 "$STILL" has_colour "$PROMPT_COLOUR" 640x480+0+0
  type_text 640x40+0+395 "$1"
  press Return
}

# --- Reading the screen ---------------------------------------------------

# A digest of a screenshot's pixels (the PNG file itself carries a date).
pixel_hash() {
  convert "$1" -depth 8 rgb:- | md5sum | cut -d' ' -f1
}

# Prints the bounding box WxH+X+Y, within a region of a screenshot, of the
# pixels of one colour: box_of_colour FILE REGION COLOUR. 0x0 when there are none.
box_of_colour() {
  convert "$1" -crop "$2" +repage -fill black +opaque "#$3" -format '%@' info: 2>/dev/null |
    sed 's/^0x0.*/0x0/'
}

# Prints the bounding box WxH+X+Y of whatever is not black in a region of a
# screenshot whose corners are black.
box_of_picture() {
  convert "$1" -crop "$2" +repage -format '%@' info: 2>/dev/null | sed 's/^0x0.*/0x0/'
}

# Whether a region of a screenshot holds a colour: has_colour COLOUR REGION FILE
# (the file last, so it can serve as wait_still's test).
has_colour() {
  [ "$(box_of_colour "$3" "$2" "$1")" != 0x0 ]
}

# A digest of the pixels of one colour in a region: the shape of a text
# drawn in that colour, whatever lies around it: colour_hash FILE REGION COLOUR.
colour_hash() {
  convert "$1" -crop "$2" +repage -fill black +opaque "#$3" -depth 8 rgb:- | md5sum | cut -d' ' -f1
}

# Prints the colours in a region of a screenshot, one RRGGBB a line, sorted.
colours_in() {
  convert "$1" -crop "$2" +repage -depth 8 txt:- | awk 'NR > 1 { print substr($3, 2) }' | sort -u
}

# Where a message during play stands: its two lines across the middle of the
# screen, the first in red, the second in a darker red. The status line of
# play is red too, at the foot of the screen.
MESSAGE_BAND=640x60+0+220
MESSAGE_RED=FF0000
MESSAGE_DARK_RED=CE1D18
STATUS_LINE=640x30+0+435

# Whether a screenshot shows a message of the play loop.
message_shown() {
  has_colour "$MESSAGE_RED" "$MESSAGE_BAND" "$1"
}

# Waits up to $1 seconds for the screen to come to rest on a new picture:
# two screenshots in a row alike, unlike the picture whose digest is $2, and
# passing the test in the remaining arguments (called with the screenshot's
# path added). The game draws every frame of play anew, so a screen at rest
# is one that waits for a key. Leaves the picture in $WORK/still.png and its
# digest in STILL.
STILL=""
wait_still() {
  local end=$((SECONDS + $1)) previous=$2 last="" hash
  shift 2
  while [ "$SECONDS" -lt "$end" ]; do
    screenshot "$WORK/poll.png"
    hash=$(pixel_hash "$WORK/poll.png")
    if [ "$hash" = "$last" ] && [ "$hash" != "$previous" ] && "$@" "$WORK/poll.png"; then
      cp "$WORK/poll.png" "$WORK/still.png"
      STILL=$hash
      return 0
    fi
    last=$hash
    sleep 0.05
  done
  fail "the screen did not come to rest on a new picture with: $*"
}

# Waits up to $1 seconds for the ball to be in play: the status line shown,
# no message, and the picture unlike the one before. Leaves it in $WORK/play.png.
wait_play() {
  local end=$((SECONDS + $1)) last="" hash
  while [ "$SECONDS" -lt "$end" ]; do
    screenshot "$WORK/poll.png"
    hash=""
    if has_colour "$MESSAGE_RED" "$STATUS_LINE" "$WORK/poll.png" &&
      ! message_shown "$WORK/poll.png"; then
      hash=$(pixel_hash "$WORK/poll.png")
      if [ -n "$last" ] && [ "$hash" != "$last" ]; then
        cp "$WORK/poll.png" "$WORK/play.png"
        return 0
      fi
    fi
    last=$hash
    sleep 0.05
  done
  fail "the ball did not come into play"
}

# --- The game's files -----------------------------------------------------

# Checks that a file holds exactly the bytes of another; shows where they part.
expect_bytes() {
  [ -f "$1" ] || fail "$1 was not written"
  if ! cmp -s "$1" "$2"; then
    cmp "$1" "$2" >&2 || true
    diff <(cat -v "$2") <(cat -v "$1") | head -n 20 >&2 || true
    fail "$1 does not hold the expected bytes"
  fi
}

# Writes a level file in the usual layout, one row a line, with a single
# brick at row $2, column $3: write_level FILE ROW COLUMN.
write_level() {
  local row col
  for ((row = 0; row < 9; row++)); do
    for ((col = 0; col < 10; col++)); do
      if ((col > 0)); then printf ' '; fi
      if [ "$row" = "$2" ] && [ "$col" = "$3" ]; then printf 1; else printf 0; fi
    done
    printf '\n'
  done >"$1"
}

# Writes all five built-in levels of the game's working copy with one brick
# each, at row $1, column $2.
write_levels() {
  local level
  for level in 1 2 3 4 5; do
    write_level "$WORK/game/IntLvl0$level.trl" "$1" "$2"
  done
}

# Prints a high-score record: the name in 32 zero-padded bytes, then the
# score as a 32-bit little-endian number.
score_record() {
  local name=$1 score=$2 i
  printf '%s' "$name"
  head -c $((32 - ${#name})) /dev/zero
  for i in 0 8 16 24; do
    printf "\\x$(printf %02x $(((score >> i) & 255)))"
  done
}

# Prints a high-score table of ten default rows, after the rows given as
# NAME SCORE pairs, which take the place of as many defaults.
score_table() {
  local rows=0
  while [ $# -gt 0 ]; do
    score_record "$1" "$2"
    shift 2
    rows=$((rows + 1))
  done
  for ((; rows < 10; rows++)); do
    score_record "Sample Player" 1
  done
}

# Prints the debug log's picture of a level: nine lines of ten cells, a 0x95
# byte where a brick stands (at row $1, column $2 if given), a space elsewhere.
log_grid() {
  local row col
  for ((row = 0; row < 9; row++)); do
    for ((col = 0; col < 10; col++)); do
      if [ "$row" = "${1:-}" ] && [ "$col" = "${2:-}" ]; then
        printf '\x95'
      else
        printf ' '
      fi
    done
    printf '\n'
  done
}

# Prints the debug log's lines for the ball taking the only brick of level $1
# at row $2, column $3.
log_brick_hit() {
  printf 'Now checking for BrickCollision()...\n'
  printf "Collision result was a collision, with value 1 at [Row,Col] [%d,%d], Currently this brick's Used status is 1...\n" "$2" "$3"
  log_grid "$2" "$3"
  printf 'Now Level[%d][%d][%d].Used = FALSE...\n' "$1" "$2" "$3"
  log_grid
  printf 'Return TRUE from CollisionDetection...\n'
}

# --- Menus, notices and the paddle ----------------------------------------

# Waits up to $1 seconds for the screen to show exactly the picture whose
# digest is $2 (a menu at rest is drawn the same every time); $3 names it.
wait_picture() {
  local end=$((SECONDS + $1))
  while [ "$SECONDS" -lt "$end" ]; do
    screenshot "$WORK/poll.png"
    [ "$(pixel_hash "$WORK/poll.png")" = "$2" ] && return 0
    sleep 0.1
  done
  fail "the screen did not show ${3:-the expected picture}"
}

# Types a word into a text entry whose echo lies in a region WxH+X+Y, each
# letter once the echo of the one before it is on the screen: type_text REGION WORD.
type_text() {
  local region=$1 word=${2,,} i
  for ((i = 0; i < ${#word}; i++)); do
    press "${word:i:1}"
    wait_still 10 "$STILL" has_colour "$ECHO_COLOUR" "$region"
  done
}

# From a menu at rest with its first item selected, chooses item $1 (from 0).
choose_item() {
  local i
  for ((i = 0; i < $1; i++)); do press Down; done
  press Return
}

# Prints the rows of text of one colour in a region of a screenshot, one
# line of text a line: its top and bottom y on the screen. text_rows FILE REGION COLOUR
text_rows() {
  local top=${2##*+} height=${2#*x}
  height=${height%%+*}
  convert "$1" -crop "$2" +repage -depth 8 txt:- |
    awk -v colour="#$3" -v top="$top" -v height="$height" 'NR > 1 && toupper($3) == colour {
        split($1, at, /[,:]/); rows[at[2] + top] = 1 }
      END {
        start = -1
        for (y = top; y <= top + height; y++) {
          if ((y in rows) && start < 0) start = y
          if (!(y in rows) && start >= 0) { print start, y - 1; start = -1 }
        }
      }'
}

# Prints a saved-game record: the name in 32 zero-padded bytes, then the
# difficulty, score, game type and start level as 32-bit little-endian numbers.
saved_game() {
  local name=$1 value i
  printf '%s' "$name"
  head -c $((32 - ${#name})) /dev/zero
  shift
  for value in "$@"; do
    for i in 0 8 16 24; do
      printf "\\x$(printf %02x $(((value >> i) & 255)))"
    done
  done
}

# Where the paddle is drawn: the band of the screen it moves along.
PADDLE_BAND=634x25+3+378

# Prints the left edge of a paddle $2 pixels wide in a screenshot, or nothing
# while the ball passes beside it in its band (the picture is then wider).
paddle_left() {
  local box
  box=$(box_of_picture "$1" "$PADDLE_BAND")
  [[ $box =~ ^([0-9]+)x[0-9]+\+([0-9]+)\+[0-9]+$ ]] || return 0
  if [ "${BASH_REMATCH[1]}" = "$2" ]; then echo $((BASH_REMATCH[2] + 3)); fi
}

# Waits up to 20 seconds for a paddle $1 pixels wide to stand with its left
# edge at x $2, dismissing the message of a lost ball with Space if one comes.
paddle_at() {
  local end=$((SECONDS + 20)) left seen=""
  while [ "$SECONDS" -lt "$end" ]; do
    screenshot "$WORK/poll.png"
    if message_shown "$WORK/poll.png"; then
      press space
      continue
    fi
    left=$(paddle_left "$WORK/poll.png" "$1")
    [ "$left" = "$2" ] && return 0
    seen=${left:-$seen}
    sleep 0.05
  done
  fail "the paddle stands at x ${seen:-?}, not at $2"
}

# Prints where a paddle $1 pixels wide comes to rest: the same left edge in
# two pictures in a row, neither of them a message (which Space dismisses).
paddle_rest() {
  local end=$((SECONDS + 20)) left last=""
  while [ "$SECONDS" -lt "$end" ]; do
    screenshot "$WORK/poll.png"
    if message_shown "$WORK/poll.png"; then
      press space
      last=""
      continue
    fi
    left=$(paddle_left "$WORK/poll.png" "$1")
    if [ -n "$left" ] && [ "$left" = "$last" ]; then
      echo "$left"
      return 0
    fi
    last=$left
    sleep 0.05
  done
  fail "the paddle did not come to rest"
}

# The blue of the controls screen's lines.
CONTROLS_COLOUR=0000FF

# Waits for a new page of the controls screen at rest; checks that it shows
# $1 lines of blue text centred on black, and nothing else.
controls_page() {
  local box centre
  wait_still 20 "$STILL" has_colour "$CONTROLS_COLOUR" 640x480+0+0
  [ "$(colours_in "$WORK/still.png" 640x480+0+0 | tr '\n' ' ')" = "000000 $CONTROLS_COLOUR " ] ||
    fail "a controls page is not blue on black"
  [ "$(text_rows "$WORK/still.png" 640x480+0+0 "$CONTROLS_COLOUR" | wc -l)" = "$1" ] ||
    fail "a controls page does not show $1 lines"
  box=$(box_of_colour "$WORK/still.png" 640x480+0+0 "$CONTROLS_COLOUR")
  [[ $box =~ ^([0-9]+)x[0-9]+\+([0-9]+)\+ ]] || fail "no controls page"
  centre=$((BASH_REMATCH[2] + BASH_REMATCH[1] / 2))
  ((centre >= 318 && centre <= 322)) || fail "a controls page's text $box is not centred"
}

# Prints the width and a digest of a line of text of one colour whose rows on
# the screen are $2 to $3 (as text_rows prints them): text_line FILE TOP
# BOTTOM COLOUR [WIDTH]. With a width, only that many columns at the line's
# right end count, so a line can be matched with the end of a longer one.
text_line() {
  local file=$1 top=$2 bottom=$3 colour=$4 box width left
  box=$(box_of_colour "$file" "640x$((bottom - top + 1))+0+$top" "$colour")
  [[ $box =~ ^([0-9]+)x[0-9]+\+([0-9]+)\+ ]] || { echo "0 none"; return 0; }
  width=${BASH_REMATCH[1]} left=${BASH_REMATCH[2]}
  if [ -n "${5:-}" ]; then
    left=$((left + width - $5))
    width=$5
  fi
  echo "$width $(colour_hash "$file" "${width}x$((bottom - top + 1))+$left+$top" "$colour")"
}

# From the main menu at rest, opens Options, Configure your controls and
# waits for its first page. Leaves the options menu's digest in OPTIONS_MENU.
OPTIONS_MENU=""
configure_controls() {
  choose_item 3
  wait_menu
  OPTIONS_MENU=$(pixel_hash "$WORK/poll.png")
  STILL=""
  choose_item 0
  controls_page 1
}

# On the last page of the controls screen, Enter stores the value; then
# Return to Main Menu, and the main menu, whose digest is $1, at rest.
store_controls() {
  press Return
  wait_picture 20 "$OPTIONS_MENU" "the options menu after the controls"
  choose_item 2
  wait_picture 20 "$1" "the main menu after the options"
}

# Holds keys down together for half a second at a time, as often as needed
# (ten times at most), until a paddle $1 pixels wide stands at x $2. Keys go
# down and up in the order given. A lost ball's message, which swallows the
# keys held when it comes, is dismissed with Space: push_paddle WIDTH X KEY...
push_paddle() {
  local width=$1 x=$2 key left="" seen=""
  shift 2
  for _ in 1 2 3 4 5 6 7 8 9 10; do
    screenshot "$WORK/poll.png"
    if message_shown "$WORK/poll.png"; then
      press space
      continue
    fi
    left=$(paddle_left "$WORK/poll.png" "$width")
    [ "$left" = "$x" ] && return 0
    seen=${left:-$seen}
    for key in "$@"; do xdotool keydown "$key"; done
    sleep 0.5
    for key in "$@"; do xdotool keyup "$key"; done
    sleep 0.05
  done
  fail "the paddle stands at x ${seen:-?}, not at $x, with $* held"
}

# Taps a key, held 0.05 s within one xdotool (a few frames), until a paddle
# $1 pixels wide has moved from x $2 (five taps at most: a lost ball's
# message may swallow one); prints where it comes to rest: tap_paddle WIDTH X KEY.
tap_paddle() {
  local width=$1 from=$2 key=$3 rest=""
  for _ in 1 2 3 4 5; do
    xdotool keydown "$key" sleep 0.05 keyup "$key"
    rest=$(paddle_rest "$width")
    if [ "$rest" != "$from" ]; then
      echo "$rest"
      return 0
    fi
  done
  fail "$key did not move the paddle from x $from"
}
