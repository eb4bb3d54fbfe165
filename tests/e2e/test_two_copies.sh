#!/usr/bin/env bash
# Two copies of the game in one directory, each on an X server of its own,
# play at the same time. Every level holds one brick where the ball starts,
# which it takes in the first frame: 50 points a level on Medium.
# 1. Each copy saves a game after level 1, ANN in copy A and BOB in copy B:
#    both records are in the saved-game file.
# 2. Each copy wins a whole game (250 points, a high score) under its name.
# 3. A exits, then B: the tables hold what B held, whole (B had read the
#    defaults at start: BOB's 250 above nine default rows), and no
#    temporary file is left.
. "$(dirname "$0")/lib.sh"

prepare_game
game=$WORK/game
write_levels 8 4

# Each copy's X server, display and process; use COPY makes it the current one.
declare -A X_PIDS DISPLAYS GAME_PIDS
use() {
  export DISPLAY=${DISPLAYS[$1]}
  GAME_PID=${GAME_PIDS[$1]}
}
end_copies() {
  local copy
  for copy in "${!GAME_PIDS[@]}"; do kill -9 "${GAME_PIDS[$copy]}" 2>/dev/null || true; done
  for copy in "${!X_PIDS[@]}"; do kill "${X_PIDS[$copy]}" 2>/dev/null || true; done
  cleanup
}
trap end_copies EXIT

for copy in A B; do
  start_x
  X_PIDS[$copy]=$XVFB_PID DISPLAYS[$copy]=$DISPLAY XVFB_PID=""
  start_game
  GAME_PIDS[$copy]=$GAME_PID
  skip_intro
done
main_menu=$(pixel_hash "$WORK/poll.png")

# A cleared level's message, then the level-complete menu at rest.
clear_level() {
  wait_still 20 "$STILL" message_shown
  press space
  wait_menu
}

# 1. A saved game from each copy.
for copy in A B; do
  use $copy
  name=$([ $copy = A ] && echo ann || echo bob)
  new_game "$name" m i
  clear_level
  press Return
  wait_picture 20 "$main_menu" "the main menu after Save Game"
done
{
  saved_game ANN 1 50 0 0
  saved_game BOB 1 50 0 0
} >"$WORK/saved.dat"
expect_bytes "$game/plyrsettings.dat" "$WORK/saved.dat"

# 2. A whole game won in each copy: four level-complete menus (Continue),
#    the won game's message, the high score's message and the tables.
for copy in A B; do
  use $copy
  name=$([ $copy = A ] && echo ann || echo bob)
  new_game "$name" m i
  for level in 1 2 3 4; do
    clear_level
    press Down
    press Return
  done
  wait_still 20 "$STILL" message_shown
  press space
  wait_still 20 "$STILL" message_shown
  press space
  wait_still 20 "$STILL" has_colour 00FFFF 640x480+0+0
  press space
  wait_picture 20 "$main_menu" "the main menu after the high scores"
done

# 3. A exits first, B last.
for copy in A B; do
  use $copy
  press Up
  press Return
  expect_game_end 20 0
  unset "GAME_PIDS[$copy]"
done
score_table BOB 250 >"$WORK/internal.dat"
score_table >"$WORK/defaults.dat"
expect_bytes "$game/IntHiScores.dat" "$WORK/internal.dat"
expect_bytes "$game/ExtHiScores.dat" "$WORK/defaults.dat"
expect_bytes "$game/plyrsettings.dat" "$WORK/saved.dat"
leftovers=$(find "$game" -name '*.tmp')
[ -z "$leftovers" ] || fail "temporary files left: $leftovers"
echo "PASS"
