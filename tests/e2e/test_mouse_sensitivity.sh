#!/usr/bin/env bash
# The mouse sensitivity that the controls screen sets: Options, Configure
# your controls, M, the sensitivity lowered from 100% to 90% with Down, Enter.
# On Easy (a 300-pixel paddle from x 168) the paddle moves 0.9 pixels per
# pixel of pointer movement, cut to whole pixels toward zero: 100 right
# take it to 258, 2 more to 259 (259.8), 2 back to 257 (257.2), 1 back to
# 256 (256.1).
# Each level holds one brick in the top left corner, so no level ends while
# the paddle is watched; a lost ball's message is dismissed with Space.
. "$(dirname "$0")/lib.sh"

start_x
prepare_game
write_levels 0 0

start_game
skip_intro
main_menu=$(pixel_hash "$WORK/poll.png")

configure_controls
press m
controls_page 2
at100=$STILL
# Each key redraws the page at once, before the next comes.
for ((percent = 100; percent > 90; percent--)); do
  press Down
done
controls_page 2
[ "$STILL" != "$at100" ] || fail "the sensitivity did not change"
store_controls "$main_menu"

new_game amy e i
wait_play 20
paddle_at 300 168
xdotool mousemove_relative 100 0
paddle_at 300 258
xdotool mousemove_relative 2 0
paddle_at 300 259
xdotool mousemove_relative -- -2 0
paddle_at 300 257
xdotool mousemove_relative -- -1 0
paddle_at 300 256
hold Escape 0.3
wait_picture 20 "$main_menu" "the main menu after the game"

press Up
press Return
expect_game_end 20 0
echo "PASS"
