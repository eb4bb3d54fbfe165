#!/usr/bin/env bash
# Moving the paddle with real input, on Easy (a 300-pixel paddle starting at
# x 168, walls at x 2 and 638). Each level holds one brick in the top left
# corner, so no level ends while the paddle is watched; a lost ball's
# message is dismissed with Space.
# 1. The mouse, as every run starts: relative moves of the pointer move the
#    paddle by as many pixels (100 right, 50 left); a long move stops it at
#    the right wall (left edge 337, right edge 637) or the left (x 3).
# 2. Options, Configure your controls: K, then A and D as the left and right
#    keys, the step raised from 20 to 23 (Up three times, Down, Up), Enter.
#    D held moves the paddle to the right wall, A to the left, a short
#    press of D moves it by whole steps of 23, and with both held it goes
#    right.
. "$(dirname "$0")/lib.sh"

start_x
prepare_game
write_levels 0 0

start_game
skip_intro
main_menu=$(pixel_hash "$WORK/poll.png")

# 1. The mouse.
new_game amy e i
wait_play 20
paddle_at 300 168
xdotool mousemove_relative 100 0
paddle_at 300 268
xdotool mousemove_relative -- -50 0
paddle_at 300 218
xdotool mousemove_relative 400 0
paddle_at 300 337
xdotool mousemove_relative -- -700 0
paddle_at 300 3
hold Escape 0.3
wait_picture 20 "$main_menu" "the main menu after the mouse game"

# 2. The keyboard. Each key on a page redraws it before the next key comes.
configure_controls
press k
controls_page 1
press a
controls_page 1
press d
controls_page 2
step20=$STILL
press Up
press Up
press Up
press Down
controls_page 2
[ "$STILL" != "$step20" ] || fail "the step did not change"
press Up
controls_page 2
store_controls "$main_menu"

new_game amy e i
wait_play 20
paddle_at 300 168
push_paddle 300 337 d
push_paddle 300 3 a
# A tap of D: a few frames, far fewer than the fifteen that reach the wall.
rest=$(tap_paddle 300 3 d)
(((rest - 3) % 23 == 0)) || fail "a tap of D moved the paddle from 3 to $rest"
# Both keys held: right wins. A is let go first, so the last frames see D alone.
push_paddle 300 337 a d
hold Escape 0.3
wait_picture 20 "$main_menu" "the main menu after the keyboard game"

press Up
press Return
expect_game_end 20 0
echo "PASS"
