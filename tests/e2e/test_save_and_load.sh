#!/usr/bin/env bash
# Saving a game after a level and loading it in a later run. Every level file
# holds one brick where the ball starts (row 8, column 4), which the ball
# takes in the first frame: 50 points a level.
# Run 1: ANN on Medium clears level 1 and chooses Save Game: the record is
#   written (ANN, Medium, 50 points, internal, level 0) and the main menu
#   comes back; Exit.
# Run 2, in the same directory, with a record of another player put first
#   and ANN's name turned to lower case:
#   - Load Game, ANN: the level just cleared is played again with the saved
#     score and difficulty; Continue; level 2; Save Game replaces the record
#     in place (150 points, level 1).
#   - Load Game, ANN: play resumes at level 2 with 150 points and wins the
#     game: 350 points enter the table under the saved name; the saved game
#     stays as it was.
# Checked: the saved-game file byte for byte after each save, the debug log
# of each run, the tables, the paddle's width and the exit status.
. "$(dirname "$0")/lib.sh"

start_x
prepare_game
game=$WORK/game
write_levels 8 4

# The message of a cleared level, then the level-complete menu.
clear_level() {
  wait_still 20 "$STILL" message_shown
  cp "$WORK/still.png" "$WORK/cleared.png"
  press space
  wait_picture 20 "$level_menu" "the level-complete menu"
}

start_game
skip_intro
main_menu=$(pixel_hash "$WORK/poll.png")

# Run 1: a new game, saved after level 1.
new_game ann m i
wait_still 20 "$STILL" message_shown
press space
wait_menu
level_menu=$(pixel_hash "$WORK/poll.png")
[ ! -e "$game/plyrsettings.dat" ] || fail "a game was saved before Save Game"
press Return
wait_picture 20 "$main_menu" "the main menu after Save Game"
saved_game ANN 1 50 0 0 >"$WORK/saved1.dat"
expect_bytes "$game/plyrsettings.dat" "$WORK/saved1.dat"
press Up
press Return
expect_game_end 20 0
{
  printf 'InitVars module reached.\n'
  log_brick_hit 0 8 4
} >"$WORK/log1.txt"
expect_bytes "$game/tr_debug.txt" "$WORK/log1.txt"
score_table >"$WORK/defaults.dat"
expect_bytes "$game/IntHiScores.dat" "$WORK/defaults.dat"

# Run 2: another player's record first, and ANN's record as run 1 wrote it
# but for the name in lower case, which loading and saving do not mind.
{
  saved_game bob 2 999 0 3
  printf ann
  tail -c +4 "$WORK/saved1.dat"
} >"$game/plyrsettings.dat"
start_game
skip_intro
[ "$(pixel_hash "$WORK/poll.png")" = "$main_menu" ] || fail "run 2 shows another main menu"

load_game() {
  choose_item 1
  wait_still 20 "" has_colour "$PROMPT_COLOUR" 640x480+0+0
  type_text 640x40+0+310 "$1"
  press Return
}

# Level 1 again, with the saved score: level 2's message stands over the
# last frame of level 1, with the Medium paddle (200 pixels) in the middle.
load_game ann
clear_level
press Down
press Return
clear_level
[ "$(box_of_picture "$WORK/cleared.png" 634x30+3+375)" = 200x25+215+3 ] ||
  fail "the loaded game's paddle is not the Medium one"
press Return
wait_picture 20 "$main_menu" "the main menu after the second save"
{
  saved_game bob 2 999 0 3
  saved_game ann 1 150 0 1
} >"$WORK/saved2.dat"
expect_bytes "$game/plyrsettings.dat" "$WORK/saved2.dat"

# Resumed at level 2: four levels to the end of the game.
load_game ann
for level in 2 3 4; do
  clear_level
  press Down
  press Return
done
wait_still 20 "$STILL" message_shown
press space
wait_still 20 "$STILL" message_shown
score_table ann 350 >"$WORK/internal.dat"
expect_bytes "$game/IntHiScores.dat" "$WORK/internal.dat"
press space
wait_still 20 "$STILL" has_colour 00FFFF 640x480+0+0
press space
wait_picture 20 "$main_menu" "the main menu after the high scores"
expect_bytes "$game/plyrsettings.dat" "$WORK/saved2.dat"

press Up
press Return
expect_game_end 20 0
{
  printf 'InitVars module reached.\n'
  log_brick_hit 0 8 4
  printf 'Level 1 reached!'
  log_brick_hit 1 8 4
  printf 'InitVars module reached.\n'
  log_brick_hit 1 8 4
  for level in 2 3 4 5; do
    printf 'Level %d reached!' "$level"
    [ "$level" = 5 ] || log_brick_hit "$level" 8 4
  done
  printf 'Calling IsHighScore() now...\n'
  printf 'IsHighScore() returned TRUE. Calling UpdateHighScores()...\n'
  printf 'Now ShowHighScores() is called...\n'
  printf 'END OF PLAY FUNCTION...\n'
} >"$WORK/log2.txt"
expect_bytes "$game/tr_debug.txt" "$WORK/log2.txt"
expect_bytes "$game/IntHiScores.dat" "$WORK/internal.dat"
expect_bytes "$game/ExtHiScores.dat" "$WORK/defaults.dat"
echo "PASS"
