#!/usr/bin/env bash
# The menu screens that only show text:
# 1. Instructions: page 1 (the red title, three headed sections of ten lines
#    in all, the prompt at the foot), a key, page 2 (fourteen lines and the
#    prompt, no title), a key, the main menu.
# 2. Options, View Credits with the shipped credits.txt: its lines rise up
#    the screen; Escape held ends them; the file is left as it was.
# 3. With no credits.txt: viewing the credits makes one holding exactly the
#    placeholder line (no line end), which rises up the screen alone and
#    ends by itself; viewed again, Space held ends it.
# Then Return to Main Menu and Exit, status 0.
. "$(dirname "$0")/lib.sh"

start_x
prepare_game
game=$WORK/game
rm -f "$game/credits.txt"
cp "$RUN_DIR/credits.txt" "$WORK/credits.txt"

# The colours of these screens as the 16-bit screen shows them.
HEADING_COLOUR=7B7900
BODY_COLOUR=00FF00
CREDITS_COLOUR=63FF63
FOOT=640x27+0+453

start_game
skip_intro
main_menu=$(pixel_hash "$WORK/poll.png")

# 1. Instructions.
choose_item 2
wait_still 20 "" has_colour "$HEADING_COLOUR" "$FOOT"
cp "$WORK/still.png" "$WORK/page1.png"
[ "$(colours_in "$WORK/page1.png" 640x480+0+0 | tr '\n' ' ')" = "000000 $BODY_COLOUR $HEADING_COLOUR $MESSAGE_RED " ] ||
  fail "page 1 is not drawn in its four colours"
title=$(box_of_colour "$WORK/page1.png" 640x480+0+0 "$MESSAGE_RED")
[[ $title =~ ^([0-9]+)x[0-9]+\+([0-9]+)\+([0-9]+)$ ]] || fail "no title"
centre=$((BASH_REMATCH[2] + BASH_REMATCH[1] / 2))
((centre >= 318 && centre <= 322 && BASH_REMATCH[3] < 40)) || fail "the title stands at $title"
[ "$(text_rows "$WORK/page1.png" 640x480+0+0 "$BODY_COLOUR" | wc -l)" = 10 ] ||
  fail "page 1 does not hold ten lines of text"
[ "$(text_rows "$WORK/page1.png" 640x480+0+0 "$HEADING_COLOUR" | wc -l)" = 4 ] ||
  fail "page 1 does not hold three headings and a prompt"
press space
wait_still 20 "$STILL" has_colour "$HEADING_COLOUR" "$FOOT"
cp "$WORK/still.png" "$WORK/page2.png"
[ "$(colours_in "$WORK/page2.png" 640x480+0+0 | tr '\n' ' ')" = "000000 $BODY_COLOUR $HEADING_COLOUR " ] ||
  fail "page 2 is not drawn in its two colours on black"
[ "$(text_rows "$WORK/page2.png" 640x480+0+0 "$BODY_COLOUR" | wc -l)" = 14 ] ||
  fail "page 2 does not hold fourteen lines of text"
[ "$(text_rows "$WORK/page2.png" 640x480+0+0 "$HEADING_COLOUR")" = "$(text_rows "$WORK/page1.png" "$FOOT" "$HEADING_COLOUR")" ] ||
  fail "page 2 has no prompt at the foot, or more"
[ "$(colour_hash "$WORK/page2.png" "$FOOT" "$HEADING_COLOUR")" != "$(colour_hash "$WORK/page1.png" "$FOOT" "$HEADING_COLOUR")" ] ||
  fail "page 2's prompt is page 1's"
press space
wait_picture 20 "$main_menu" "the main menu after the instructions"

# The top of the first line of credits on the screen now, if any.
credits_top() {
  screenshot "$WORK/credits.png"
  text_rows "$WORK/credits.png" 640x480+0+0 "$CREDITS_COLOUR" | head -n1 | cut -d' ' -f1
}

# Waits for the credits to appear, then to rise by at least 20 pixels, each
# line alone on the screen. Leaves the last screenshot in $WORK/credits.png.
wait_credits_rise() {
  local end=$((SECONDS + 20)) first="" top
  while [ "$SECONDS" -lt "$end" ]; do
    top=$(credits_top)
    if [ -n "$top" ] && [ "$top" -lt 470 ]; then
      [ "$(colours_in "$WORK/credits.png" 640x480+0+0 | tr '\n' ' ')" = "000000 $CREDITS_COLOUR " ] ||
        fail "the credits share the screen with something else"
      if [ -z "$first" ]; then
        first=$top
      elif [ "$top" -le $((first - 20)) ]; then
        return 0
      fi
    fi
    sleep 0.1
  done
  fail "the credits did not rise up the screen (first seen at ${first:-none})"
}

# 2. The shipped credits, ended by Escape.
cp "$WORK/credits.txt" "$game/credits.txt"
choose_item 3
wait_menu
options_menu=$(pixel_hash "$WORK/poll.png")
choose_item 1
wait_credits_rise
hold Escape 0.3
wait_picture 20 "$options_menu" "the options menu after Escape"
expect_bytes "$game/credits.txt" "$WORK/credits.txt"

# 3. No credits file: the placeholder is written before the first frame.
rm "$game/credits.txt"
printf '%s' "Credits file not found - please replace this interim file with a real one!" \
  >"$WORK/placeholder.txt"
choose_item 1
wait_credits_rise
expect_bytes "$game/credits.txt" "$WORK/placeholder.txt"
[ "$(text_rows "$WORK/credits.png" 640x480+0+0 "$CREDITS_COLOUR" | wc -l)" = 1 ] ||
  fail "the placeholder is not one line"
line=$(box_of_colour "$WORK/credits.png" 640x480+0+0 "$CREDITS_COLOUR")
[[ $line =~ ^([0-9]+)x[0-9]+\+([0-9]+)\+ ]] || fail "no placeholder line"
centre=$((BASH_REMATCH[2] + BASH_REMATCH[1] / 2))
((centre >= 318 && centre <= 322)) || fail "the placeholder line $line is not centred"
# One line leaves the screen within eight seconds; then the options menu.
wait_picture 30 "$options_menu" "the options menu after the credits ran out"
expect_bytes "$game/credits.txt" "$WORK/placeholder.txt"

# Again, ended by Space.
choose_item 1
wait_credits_rise
hold space 0.3
wait_picture 20 "$options_menu" "the options menu after Space"
expect_bytes "$game/credits.txt" "$WORK/placeholder.txt"

choose_item 2
wait_picture 20 "$main_menu" "the main menu after the options"
press Up
press Return
expect_game_end 20 0
expect_bytes "$game/credits.txt" "$WORK/placeholder.txt"
echo "PASS"
