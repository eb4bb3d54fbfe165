#!/usr/bin/env bash
# Internal games that end early, one after another in one run.
# 1. Lost balls: on Hard the paddle (75 pixels at x 281, left alone with the
#    mouse still) misses the ball every time, so the four balls of level 1
#    are lost, each with a message, and the game is over with no points:
#    no high score, straight back to the main menu.
# 2. Escape while the ball is in play abandons the game.
# 3. Escape that dismisses "Level Complete" and is still held abandons the
#    game at the first frame of the next level.
# Checked: the screen at each message, the debug log byte for byte (nothing
# in the game is random: one frame is one step), the tables and the exit.
. "$(dirname "$0")/lib.sh"

start_x
prepare_game
game=$WORK/game
write_levels 0 0

start_game
skip_intro

# 1. Four lost balls on Hard.
new_game bob h i
declare -a first_lines status_lines
for ball in 1 2 3 4; do
  wait_still 20 "$STILL" message_shown
  shot=$WORK/lost$ball.png
  cp "$WORK/still.png" "$shot"
  first_lines[ball]=$(colour_hash "$shot" "$MESSAGE_BAND" "$MESSAGE_RED")
  status_lines[ball]=$(colour_hash "$shot" "$STATUS_LINE" "$MESSAGE_RED")
  has_colour "$MESSAGE_DARK_RED" "$MESSAGE_BAND" "$shot" || fail "ball $ball: no second line"
  # The last frame before the ball was lost: the brick in the top left
  # corner, nothing else above the ball's start, the paddle where it began.
  brick=$(box_of_picture "$shot" 634x198+3+3)
  [ "$brick" = 59x21+1+0 ] || fail "ball $ball: bricks drawn at $brick"
  paddle=$(box_of_picture "$shot" 634x30+3+375)
  [ "$paddle" = 75x25+278+3 ] || fail "ball $ball: the paddle is drawn at $paddle"
  if ((ball > 1)); then
    [ "${first_lines[ball]}" = "${first_lines[1]}" ] || fail "message $ball differs from message 1"
    [ "${status_lines[ball]}" != "${status_lines[ball - 1]}" ] ||
      fail "ball $ball: the status line did not change"
  fi
  press space
done
# No high score: no message, no table saved, the main menu at once.
wait_menu
[ ! -e "$game/IntHiScores.dat" ] || fail "a score of 0 was saved"

# 2. Escape while the ball is in play.
new_game cat e i
wait_play 20
hold Escape 0.3
wait_menu
[ ! -e "$game/IntHiScores.dat" ] || fail "an abandoned game saved a table"

# 3. Escape to dismiss the first level's message, then Escape held to leave
#    the level-complete menu: still held at the next frame, it abandons the
#    game. Each game reads its levels afresh: the new first level has its
#    brick where the ball starts.
write_level "$game/IntLvl01.trl" 8 4
new_game dan e i
wait_still 20 "$STILL" message_shown
hold Escape 0.3
wait_menu
hold Escape 0.3
wait_menu
[ ! -e "$game/plyrsettings.dat" ] || fail "playing on saved the game"

press Up
press Return
expect_game_end 20 0

checks=$(grep -c '^Now checking for BrickCollision()\.\.\.$' "$game/tr_debug.txt" || true)
in_play=$((checks - 121))
((in_play >= 1)) || fail "game 2 played $in_play frames"
{
  # Game 1: 33 frames until the first ball is lost, 29 for each of the
  # three served from the centre; the pass that finds a ball lost checks nothing.
  printf 'InitVars module reached.\n'
  for ((frame = 0; frame < 33 + 3 * 29; frame++)); do
    printf 'Now checking for BrickCollision()...\n'
  done
  printf 'Calling IsHighScore() now...\n'
  printf 'END OF PLAY FUNCTION...\n'
  # Game 2: one line a frame until Escape, and nothing after it.
  printf 'InitVars module reached.\n'
  for ((frame = 0; frame < in_play; frame++)); do
    printf 'Now checking for BrickCollision()...\n'
  done
  # Game 3: the brick in the first frame, the level's end, then nothing.
  printf 'InitVars module reached.\n'
  log_brick_hit 0 8 4
  printf 'Level 1 reached!'
} >"$WORK/log.txt"
expect_bytes "$game/tr_debug.txt" "$WORK/log.txt"
score_table >"$WORK/defaults.dat"
expect_bytes "$game/IntHiScores.dat" "$WORK/defaults.dat"
expect_bytes "$game/ExtHiScores.dat" "$WORK/defaults.dat"
echo "PASS"
