#!/usr/bin/env bash
# On a screen too small for full screen the game opens a window; closing the
# window ends the game with status 0, tables written.
. "$(dirname "$0")/lib.sh"

start_x 600x400
prepare_game
start_game
window=$(wait_window)
sleep 0.5
press space
sleep 1.5
"$TOOLS_DIR/xclose" "$window"
expect_game_end 20 0
expect_size "$WORK/game/IntHiScores.dat" 360
expect_size "$WORK/game/ExtHiScores.dat" 360
echo "PASS"
