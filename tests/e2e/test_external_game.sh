#!/usr/bin/env bash
# External games: one level file named by the player.
# 1. "Keep.trl" holds one brick at row 8, column 4 (60x24 at x 258, y 209),
#    which the Easy ball (centre 318, 214, radius 10) touches in the first
#    frame. Typed as KEEP it is found whatever the letter case, among names
#    that only start or nearly end like it (those levels are empty, and
#    would end the game with no points). "Well done! Level Complete!", no
#    level-complete menu, the high-score message, the High Scores screen
#    and the main menu; 50 points in the external table only.
# 2. A name with no file: the six-line notice, a key, the main menu.
# 3. The sample levels are shipped; CASTLE starts a game on its bricks.
# Then Exit, status 0. Checked: the screens, both tables and the debug log.
. "$(dirname "$0")/lib.sh"

start_x
prepare_game
game=$WORK/game
for sample in CASTLE INVADER SPIRAL; do
  [ -f "$RUN_DIR/$sample.trl" ] || fail "the sample level $sample.trl is not shipped"
  [ "$(tr -s ' \t\r\n' '\n' <"$RUN_DIR/$sample.trl" | grep -c .)" = 90 ] ||
    fail "$sample.trl does not hold 90 numbers"
done
write_level "$game/Keep.trl" 8 4
for decoy in KEEPS.trl KEE.trl Keep.trl.txt; do
  write_level "$game/$decoy" none none
done

# Prints the bricks an external level shows in a screenshot: nine lines of
# ten cells, 1 for a brick, 0 for none. Bricks are red and the ball grey, so
# a cell (64x26 from x 2, y 1) counts as a brick when it is mostly colourful.
external_bricks() {
  convert "$1" -crop 640x234+2+1 +repage -colorspace HCL -channel G -separate +channel \
    -scale '10x9!' -threshold 20% -depth 8 txt:- |
    awk 'NR > 1 { printf "%d", ($3 == "#FFFFFF"); if (++cells % 10 == 0) printf "\n" }'
}

# Prints the cells of a level file the same way.
file_bricks() {
  tr -s ' \t\r\n' '\n' <"$1" | grep . | head -n 90 |
    awk '{ printf "%d", ($1 != 0); if (NR % 10 == 0) printf "\n" }'
}

start_game
skip_intro
main_menu=$(pixel_hash "$WORK/poll.png")

# 1. The level is cleared in the first frame: the message stands over the
#    prompt, before any frame of play.
external_game keep
wait_still 20 "$STILL" message_shown
cp "$WORK/still.png" "$WORK/cleared.png"
has_colour "$PROMPT_COLOUR" 640x480+0+0 "$WORK/cleared.png" || fail "the message hides the prompt"
! has_colour "$MESSAGE_RED" "$STATUS_LINE" "$WORK/cleared.png" || fail "a status line before play"
cleared_line=$(colour_hash "$WORK/cleared.png" "$MESSAGE_BAND" "$MESSAGE_RED")
[ ! -e "$game/ExtHiScores.dat" ] || fail "a table was saved during play"
press space
# No level-complete menu: the high-score message comes next, over the frame
# that cleared the level, and the tables are saved with it.
wait_still 20 "$STILL" message_shown
cp "$WORK/still.png" "$WORK/high.png"
! has_colour FFFFFF 640x10+0+470 "$WORK/high.png" || fail "a menu came after the level"
[ "$(colour_hash "$WORK/high.png" "$MESSAGE_BAND" "$MESSAGE_RED")" != "$cleared_line" ] ||
  fail "the level message came twice"
has_colour "$MESSAGE_RED" "$STATUS_LINE" "$WORK/high.png" || fail "no status line under the message"
[ "$(external_bricks "$WORK/high.png")" = "$(log_grid | tr ' ' 0)" ] || fail "a brick is still drawn"
score_table KIM 50 >"$WORK/external.dat"
score_table >"$WORK/internal.dat"
expect_bytes "$game/ExtHiScores.dat" "$WORK/external.dat"
expect_bytes "$game/IntHiScores.dat" "$WORK/internal.dat"
press space
wait_still 20 "$STILL" has_colour 00FFFF 640x480+0+0
has_colour 00FFFF 300x40+320+40 "$WORK/still.png" || fail "no External heading"
press space
wait_picture 20 "$main_menu" "the main menu after the high scores"

# 2. No such level: six lines 27 pixels apart from y 60, the fourth empty,
#    and a key. Each line's first pixels lie 3 below its top, the round
#    capitals of the third 4.
external_game nowhere
wait_still 20 "$STILL" has_colour "$PROMPT_COLOUR" 640x480+0+0
cp "$WORK/still.png" "$WORK/refused.png"
[ "$(colours_in "$WORK/refused.png" 640x480+0+0 | tr '\n' ' ')" = "000000 $PROMPT_COLOUR " ] ||
  fail "more than the notice on the screen"
tops=$(text_rows "$WORK/refused.png" 640x480+0+0 "$PROMPT_COLOUR" | cut -d' ' -f1 | tr '\n' ' ')
[ "$tops" = "63 90 118 171 198 " ] || fail "the notice's lines start at $tops"
kill -0 "$GAME_PID" 2>/dev/null || fail "the game ended"
press space
wait_picture 20 "$main_menu" "the main menu after the notice"

# 3. A shipped level: its bricks as the file lays them out, then Escape.
external_game castle
wait_play 20
[ "$(external_bricks "$WORK/play.png")" = "$(file_bricks "$game/CASTLE.trl")" ] ||
  fail "CASTLE's bricks are not drawn as its file lays them out"
hold Escape 0.3
wait_picture 20 "$main_menu" "the main menu after Escape"

press Up
press Return
expect_game_end 20 0
{
  printf 'InitVars module reached.\n'
  log_brick_hit 0 8 4
  printf 'Calling IsHighScore() now...\n'
  printf 'IsHighScore() returned TRUE. Calling UpdateHighScores()...\n'
  printf 'Now ShowHighScores() is called...\n'
  printf 'END OF PLAY FUNCTION...\n'
  printf 'InitVars module reached.\n'
  printf 'InitVars module reached.\n'
} >"$WORK/log.txt"
# The last game's frames follow until Escape, and nothing after them.
log_size=$(stat -c %s "$WORK/log.txt")
head -c "$log_size" "$game/tr_debug.txt" >"$WORK/log_start.txt"
expect_bytes "$WORK/log_start.txt" "$WORK/log.txt"
tail -c +$((log_size + 1)) "$game/tr_debug.txt" >"$WORK/log_rest.txt"
grep -q '^Now checking for BrickCollision()\.\.\.$' "$WORK/log_rest.txt" ||
  fail "no frame of CASTLE was played"
! grep -e InitVars -e IsHighScore -e 'END OF PLAY' "$WORK/log_rest.txt" >/dev/null ||
  fail "the abandoned CASTLE game went on to the high scores"
expect_bytes "$game/ExtHiScores.dat" "$WORK/external.dat"
expect_bytes "$game/IntHiScores.dat" "$WORK/internal.dat"
echo "PASS"
