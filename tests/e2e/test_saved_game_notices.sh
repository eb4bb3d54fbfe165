#!/usr/bin/env bash
# The notices around saved games, each on a cleared screen, each ended by a
# key that leads back to the main menu with the game still running:
# 1. Load Game with no saved-game file: "Unable to locate plyrsettings.dat!"
#    at once, no name asked, no message box, and no file made.
# 2. Save Game when the saved-game file cannot be written (a directory of
#    that name): "Unfortunately, your game could not be saved."
# 3. Load Game with a name that is not in the file: "Unfortunately, your
#    details could not be found."
# 4. Save Game under a name the file holds in other letter case: that record
#    is replaced where it stands, the others and a damaged tail kept.
# The texts are told apart by their shapes: three lines from (10, 150), the
# last line of 2 and 3 alike and ending in the last line of 1.
. "$(dirname "$0")/lib.sh"

start_x
prepare_game
game=$WORK/game
write_levels 8 4
settings=$game/plyrsettings.dat

start_game
skip_intro
main_menu=$(pixel_hash "$WORK/poll.png")

# Waits for a notice at rest; checks that it alone is on the screen, in
# three lines, and keeps it in $WORK/$1.png.
notice() {
  wait_still 20 "$STILL" has_colour "$PROMPT_COLOUR" 640x480+0+0
  cp "$WORK/still.png" "$WORK/$1.png"
  [ "$(colours_in "$WORK/$1.png" 640x480+0+0 | tr '\n' ' ')" = "000000 $PROMPT_COLOUR " ] ||
    fail "$1: more than the notice on the screen"
  [ "$(text_rows "$WORK/$1.png" 640x480+0+0 "$PROMPT_COLOUR" | wc -l)" = 3 ] ||
    fail "$1: not three lines of text"
  # Drawn from x 10: each starts with a U, whose first pixels are at x 12.
  [ "$(box_of_colour "$WORK/$1.png" 640x18+0+153 "$PROMPT_COLOUR" | cut -d+ -f2)" = 12 ] ||
    fail "$1: the text does not start at x 10"
  kill -0 "$GAME_PID" 2>/dev/null || fail "$1: the game ended"
  [ -z "$(pgrep -P "$GAME_PID" xmessage || true)" ] || fail "$1: a message box came up"
}

# Line $2 (from 1) of a notice kept by notice: its width and digest, or with
# $3 only its last $3 columns. The rows are those of the longest line 3.
notice_line() {
  local top=$((153 + 27 * ($2 - 1)))
  text_line "$WORK/$1.png" "$top" $((top + 17)) "$PROMPT_COLOUR" "${3:-}"
}

# 1. No saved-game file.
choose_item 1
notice no_file
[ "$(text_rows "$WORK/no_file.png" 640x480+0+0 "$PROMPT_COLOUR" | head -n1)" = "153 170" ] ||
  fail "the notice does not stand at y 150"
press space
wait_picture 20 "$main_menu" "the main menu after the missing file"
[ ! -e "$settings" ] || fail "looking for a saved game made the file"

# 2. A game cleared at level 1 that cannot be saved.
mkdir "$settings"
new_game zoe e i
wait_still 20 "$STILL" message_shown
press space
wait_menu
press Return
notice not_saved
press space
wait_picture 20 "$main_menu" "the main menu after the failed save"
if [ ! -d "$settings" ] || [ -n "$(ls -A "$settings")" ]; then
  fail "the failed save touched the directory"
fi
rmdir "$settings"

# 3. A name that is not there: Alice and zoe are, and a damaged tail.
{
  saved_game Alice 2 999 0 3
  saved_game zoe 1 7 0 2
  printf 'twenty damaged bytes'
} >"$WORK/settings.dat"
cp "$WORK/settings.dat" "$settings"
choose_item 1
wait_still 20 "" has_colour "$PROMPT_COLOUR" 640x480+0+0
type_text 640x40+0+310 al
press Return
notice not_found
press space
wait_picture 20 "$main_menu" "the main menu after the unknown name"
expect_bytes "$settings" "$WORK/settings.dat"

# Three different texts, whose last lines end alike.
read -r no_file_width no_file_last <<<"$(notice_line no_file 3)"
[ "$(notice_line not_found 3)" = "$(notice_line not_saved 3)" ] ||
  fail "the two notices that start \"Unfortunately\" end differently"
[ "$(notice_line not_found 3 "$no_file_width")" = "$no_file_width $no_file_last" ] ||
  fail "the last line of the missing-file notice is not the end of the others"
read -r not_found_width not_found_first <<<"$(notice_line not_found 1)"
read -r not_saved_width _ <<<"$(notice_line not_saved 1)"
((not_saved_width < not_found_width)) || fail "\"your game could\" is not narrower than \"your details could\""
[ "$(notice_line no_file 1)" != "$not_found_width $not_found_first" ] ||
  fail "the missing-file notice starts as the unknown-name one"

# 4. ZOE's new game replaces zoe's record.
new_game zoe e i
wait_still 20 "$STILL" message_shown
press space
wait_menu
press Return
wait_picture 20 "$main_menu" "the main menu after the save"
{
  saved_game Alice 2 999 0 3
  saved_game ZOE 0 50 0 0
  printf 'twenty damaged bytes'
} >"$WORK/replaced.dat"
expect_bytes "$settings" "$WORK/replaced.dat"

press Up
press Return
expect_game_end 20 0
{
  printf 'InitVars module reached.\n'
  log_brick_hit 0 8 4
  printf 'InitVars module reached.\n'
  log_brick_hit 0 8 4
} >"$WORK/log.txt"
expect_bytes "$game/tr_debug.txt" "$WORK/log.txt"
echo "PASS"
