#!/usr/bin/env bash
# The keyboard step that the controls screen sets, as the difficulty scales
# it: Options, Configure your controls, K, the arrow keys captured as left
# and right, the step raised from 20 to 23, Enter.
# 1. Medium (a 200-pixel paddle from x 218) halves the step to 11.5, which
#    moves the whole-pixel paddle 11 a frame: a tap of Right leaves it a
#    multiple of 11 further right; Right held stops it at the right wall
#    (left edge 437, right edge 637), Left held at the left (x 3).
# 2. The next Medium game halves the step the player set again, not the
#    halved one: 11 a frame again.
# (On Hard the ball is lost every half second with the paddle away from it,
# too often to watch the paddle.)
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
press k
controls_page 1
press Left
controls_page 1
press Right
controls_page 2
# Each key redraws the page at once, before the next comes.
press Up
press Up
press Up
controls_page 2
store_controls "$main_menu"

# 1. Medium. A tap of Right: a few frames, fewer than the twenty that
#    reach the wall.
new_game amy m i
wait_play 20
paddle_at 200 218
rest=$(tap_paddle 200 218 Right)
(((rest - 218) % 11 == 0)) || fail "on Medium a tap of Right moved the paddle from 218 to $rest"
push_paddle 200 437 Right
push_paddle 200 3 Left
hold Escape 0.3
wait_picture 20 "$main_menu" "the main menu after the Medium game"

# 2. The next Medium game starts again from the step the player set: 11
#    a frame again, not a quarter of 23 (5 a frame).
new_game amy m i
wait_play 20
paddle_at 200 218
rest=$(tap_paddle 200 218 Right)
(((rest - 218) % 11 == 0)) || fail "in the second game a tap of Right moved the paddle from 218 to $rest"
hold Escape 0.3
wait_picture 20 "$main_menu" "the main menu after the second game"

press Up
press Return
expect_game_end 20 0
echo "PASS"
