#!/usr/bin/env bash
# A whole internal game, won: five level files, each with one brick where the
# ball starts (row 8, column 4) and each laid out differently. On Easy the
# ball touches that brick in the first frame of every level, so the game is
# five "Level Complete" messages, 250 points, a high score saved at once,
# the high-score screen and the main menu again. Checked: what the screen
# shows at each stop, the load dump, the debug log and both tables, byte for
# byte, and the exit status.
. "$(dirname "$0")/lib.sh"

start_x
prepare_game
game=$WORK/game

# Level 1: one number a line.
for ((cell = 0; cell < 90; cell++)); do
  echo $((cell == 84 ? 1 : 0))
done >"$game/IntLvl01.trl"
# Level 2: one row a line, single spaces.
write_level "$game/IntLvl02.trl" 8 4
# Level 3: tabs, the brick numbered 7.
for ((cell = 0; cell < 90; cell++)); do
  printf '%s\t' $((cell == 84 ? 7 : 0))
  if ((cell % 10 == 9)); then printf '\n'; fi
done >"$game/IntLvl03.trl"
# Level 4: CR LF line ends, signed and padded numbers, the brick numbered -1,
# and a tenth row of bricks after the ninetieth number, which is never read.
for ((cell = 0; cell < 100; cell++)); do
  if ((cell >= 90)); then printf '5 '
  elif ((cell == 84)); then printf -- '-1 '
  elif ((cell % 3 == 0)); then printf '+0 '
  else printf '00 '; fi
  if ((cell % 10 == 9)); then printf '\r\n'; fi
done >"$game/IntLvl04.trl"
# Level 5: all on one line, ending at the brick (the 85th number) with no
# line break; the last five cells keep the empty value they started with.
{
  for ((cell = 0; cell < 84; cell++)); do printf '0  '; done
  printf '1'
} >"$game/IntLvl05.trl"

start_game
skip_intro
new_game ann e i

declare -a first_lines second_lines status_lines
# Five level messages, then the high-score message on a cleared screen.
for stop in 1 2 3 4 5 6; do
  wait_still 20 "$STILL" message_shown
  shot=$WORK/stop$stop.png
  cp "$WORK/still.png" "$shot"
  first_lines[stop]=$(colour_hash "$shot" "$MESSAGE_BAND" "$MESSAGE_RED")
  second_lines[stop]=$(colour_hash "$shot" "$MESSAGE_BAND" "$MESSAGE_DARK_RED")
  status_lines[stop]=$(colour_hash "$shot" "$STATUS_LINE" "$MESSAGE_RED")
  box=$(box_of_colour "$shot" "$MESSAGE_BAND" "$MESSAGE_RED")
  [[ $box =~ ^([0-9]+)x([0-9]+)\+([0-9]+)\+([0-9]+)$ ]] || fail "stop $stop: no first line"
  centre=$((BASH_REMATCH[3] + BASH_REMATCH[1] / 2))
  ((centre >= 318 && centre <= 322)) || fail "stop $stop: first line $box is not centred"
  has_colour "$MESSAGE_DARK_RED" "$MESSAGE_BAND" "$shot" || fail "stop $stop: no second line"
  if ((stop == 1)); then
    # The load dump is written as the levels are read, before play.
    for level in 0 1 2 3 4; do
      for row in 0 1 2 3 4 5 6 7 8; do
        for col in 0 1 2 3 4 5 6 7 8 9; do
          used=NO
          [ "$row$col" = 84 ] && used=YES
          printf '=========================================\nCurrent Level : %d\nCurrent Row : %d\nCurrent Column : %d\n-----------------------------\nBrick Used? %s\n' \
            "$level" "$row" "$col" "$used"
        done
      done
    done >"$WORK/dump.txt"
    expect_bytes "$game/ldlvldbg.txt" "$WORK/dump.txt"
    [ "$(grep -c '^=\{41\}$' "$game/ldlvldbg.txt")" -eq 450 ] || fail "the dump does not hold 450 blocks"
    [ "$(grep -c '^Brick Used? YES$' "$game/ldlvldbg.txt")" -eq 5 ] || fail "the dump shows other bricks"
    # The first message stands over the last prompt: no frame of play came before it.
    has_colour "$PROMPT_COLOUR" 640x480+0+0 "$shot" || fail "the first message hides the prompt"
    ! has_colour "$MESSAGE_RED" "$STATUS_LINE" "$shot" || fail "a status line before play"
  fi
  if ((stop >= 2 && stop <= 5)); then
    # Over the frame that cleared the level before: the status line at the
    # foot, starting 20 pixels in, and no brick left above the ball.
    box=$(box_of_colour "$shot" "$STATUS_LINE" "$MESSAGE_RED")
    [[ $box =~ \+20\+[0-9]+$ ]] || fail "stop $stop: the status line is at $box"
    [ "$(colours_in "$shot" 634x198+3+3)" = 000000 ] || fail "stop $stop: bricks are still drawn"
    [ "${status_lines[stop]}" != "${status_lines[stop - 1]}" ] ||
      fail "stop $stop: the status line did not change"
  fi
  if ((stop <= 5)); then
    # Nothing is saved before the game has ended.
    [ ! -e "$game/IntHiScores.dat" ] || fail "a table was saved during play"
  fi
  press space
  if ((stop <= 4)); then
    # The level-complete menu after each of the first four levels: Continue.
    wait_menu
    press Down
    press Return
  fi
done

# The five level messages are one text; the high-score message is another,
# wider one, on a screen cleared of the playfield.
for stop in 2 3 4 5; do
  [ "${first_lines[stop]}" = "${first_lines[1]}" ] || fail "message $stop differs from message 1"
done
[ "${first_lines[6]}" != "${first_lines[1]}" ] || fail "the high-score message is the level message"
for stop in 2 3 4 5 6; do
  [ "${second_lines[stop]}" = "${second_lines[1]}" ] || fail "second line $stop differs"
done
level_width=$(box_of_colour "$WORK/stop1.png" "$MESSAGE_BAND" "$MESSAGE_RED" | cut -dx -f1)
score_width=$(box_of_colour "$WORK/stop6.png" "$MESSAGE_BAND" "$MESSAGE_RED" | cut -dx -f1)
((score_width > level_width)) || fail "the high-score message is not the longer text"
[ "$(colours_in "$WORK/stop6.png" 640x480+0+0 | tr '\n' ' ')" = "000000 $MESSAGE_DARK_RED $MESSAGE_RED " ] ||
  fail "the high-score message does not stand on a cleared screen"

# The score was saved when it entered the table, with the message.
score_table ANN 250 >"$WORK/internal.dat"
score_table >"$WORK/external.dat"
expect_bytes "$game/IntHiScores.dat" "$WORK/internal.dat"
expect_bytes "$game/ExtHiScores.dat" "$WORK/external.dat"

# The high-score screen: both headings; the internal scores' column is wider
# (250 over nine 1s) than the external one (ten 1s), ten rows each.
wait_still 20 "$STILL" has_colour 00FFFF 640x480+0+0
shot=$WORK/scores.png
cp "$WORK/still.png" "$shot"
has_colour 00FFFF 300x40+0+40 "$shot" || fail "no Internal heading"
has_colour 00FFFF 300x40+320+40 "$shot" || fail "no External heading"
internal=$(box_of_colour "$shot" 90x180+225+60 5A85CE)
external=$(box_of_colour "$shot" 90x180+545+60 5A85CE)
[ "${internal%%x*}" -gt "${external%%x*}" ] || fail "scores $internal and $external"
internal_rows=${internal#*x} external_rows=${external#*x}
[ "${internal_rows%%+*}" = "${external_rows%%+*}" ] || fail "the tables differ in height"
expect_bytes "$game/IntHiScores.dat" "$WORK/internal.dat"
press space

wait_menu
press Up
press Return
expect_game_end 20 0

{
  printf 'InitVars module reached.\n'
  for level in 0 1 2 3 4; do
    log_brick_hit "$level" 8 4
    printf 'Level %d reached!' $((level + 1))
  done
  printf 'Calling IsHighScore() now...\n'
  printf 'IsHighScore() returned TRUE. Calling UpdateHighScores()...\n'
  printf 'Now ShowHighScores() is called...\n'
  printf 'END OF PLAY FUNCTION...\n'
} >"$WORK/log.txt"
expect_bytes "$game/tr_debug.txt" "$WORK/log.txt"
expect_bytes "$game/IntHiScores.dat" "$WORK/internal.dat"
expect_bytes "$game/ExtHiScores.dat" "$WORK/external.dat"
echo "PASS"
