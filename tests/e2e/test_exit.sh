#!/usr/bin/env bash
# A player starts the game, skips the intro with a key and chooses Exit:
# the game ends with status 0 having written both high-score tables.
. "$(dirname "$0")/lib.sh"

start_x
prepare_game
echo "an old run" >"$WORK/game/tr_debug.txt"
start_game
wait_window >/dev/null
sleep 0.5
press space
wait_menu
screenshot "$WORK/menu.png"
[ -n "${TILERIOT_SCREENSHOT:-}" ] && cp "$WORK/menu.png" "$TILERIOT_SCREENSHOT"
# The key that ended the intro did nothing: New Game is still the selection,
# so Up moves to Exit.
press Up
press Return
expect_game_end 20 0
expect_size "$WORK/game/IntHiScores.dat" 360
expect_size "$WORK/game/ExtHiScores.dat" 360
expect_size "$WORK/game/tr_debug.txt" 0
head -c 13 "$WORK/game/IntHiScores.dat" | grep -q "Sample Player" || fail "no default rows"
echo "PASS"
