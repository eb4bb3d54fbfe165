#!/usr/bin/env bash
# Closing the game's window as a window manager's close button does (a
# WM_DELETE_WINDOW message) ends the game with status 0, tables written.
. "$(dirname "$0")/lib.sh"

start_x
prepare_game
start_game
window=$(wait_window)
sleep 0.5
press space
wait_menu
"$TOOLS_DIR/xclose" "$window"
expect_game_end 20 0
expect_size "$WORK/game/IntHiScores.dat" 360
expect_size "$WORK/game/ExtHiScores.dat" 360
echo "PASS"
