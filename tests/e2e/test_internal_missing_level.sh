#!/usr/bin/env bash
# An internal game whose fourth level file is missing: the game says which
# file in a message box and ends with status 1 once it is closed, having
# saved the tables and written no load dump.
. "$(dirname "$0")/lib.sh"

start_x
prepare_game
rm "$WORK/game/IntLvl04.trl"
start_game
skip_intro
new_game ann e i
text=$(wait_message)
[ "$text" = 'Unable to open Internal level file "IntLvl04.trl" for reading!' ] ||
  fail "unexpected message: $text"
expect_game_end 20 1
[ ! -e "$WORK/game/ldlvldbg.txt" ] || fail "a load dump was written"
printf 'InitVars module reached.\n' >"$WORK/log.txt"
expect_bytes "$WORK/game/tr_debug.txt" "$WORK/log.txt"
score_table >"$WORK/defaults.dat"
expect_bytes "$WORK/game/IntHiScores.dat" "$WORK/defaults.dat"
expect_bytes "$WORK/game/ExtHiScores.dat" "$WORK/defaults.dat"
echo "PASS"
