#!/usr/bin/env bash
# Without its intro movie the game says so in a message box, then brings the
# display back and goes on to the main menu, from which Exit works as usual.
. "$(dirname "$0")/lib.sh"

start_x
prepare_game
rm "$WORK/game/intro.flc"
start_game
text=$(wait_message)
[ "$text" = "Error playing FLI file" ] || fail "unexpected message: $text"
wait_window >/dev/null
wait_menu
press Up
press Return
expect_game_end 20 0
expect_size "$WORK/game/ExtHiScores.dat" 360
echo "PASS"
