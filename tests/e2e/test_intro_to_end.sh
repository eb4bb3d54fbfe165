#!/usr/bin/env bash
# Without a key the intro plays to its end, then the main menu fades in; a
# high-score table left by an earlier run is kept.
. "$(dirname "$0")/lib.sh"

start_x
prepare_game
printf 'KEEPME%26s\x2a\x00\x00\x00' '' | tr ' ' '\0' >"$WORK/game/IntHiScores.dat"
start_game
wait_window >/dev/null
sleep 1.5
screenshot "$WORK/intro.png"
[ "$(count_colour "$WORK/intro.png" 640x480+0+0 000000)" -lt 307200 ] ||
  fail "the intro shows nothing"
wait_menu 30
press Up
press Return
expect_game_end 20 0
expect_size "$WORK/game/IntHiScores.dat" 360
head -c 6 "$WORK/game/IntHiScores.dat" | grep -q "KEEPME" || fail "the saved row was lost"
echo "PASS"
