#!/usr/bin/env bash
# Without its data file the game shows a message box and ends with status 1,
# still writing the high-score tables.
. "$(dirname "$0")/lib.sh"

start_x
prepare_game
rm "$WORK/game/tr_data2.dat"
start_game
text=$(wait_message)
case $text in
  *tr_data2.dat*) ;;
  *) fail "unexpected message: $text" ;;
esac
expect_game_end 20 1
expect_size "$WORK/game/IntHiScores.dat" 360
expect_size "$WORK/game/ExtHiScores.dat" 360
echo "PASS"
