#!/usr/bin/env bash
# The Debian package, unpacked into a scratch root, started by its launcher
# with a fresh HOME: the player's directory is made, an external game is won
# on a one-brick level put there, Exit. The scores and the log are in the
# player's directory, the read-only files there are links into the package,
# and the package's own directories are untouched. A second run renews a link
# to an older version's file, keeps a file the player put in place of a link,
# and keeps the first run's table.
. "$(dirname "$0")/lib.sh"

root=$WORK/root data=$WORK/root/usr/share/games/tileriot
dpkg-deb -x "${TILERIOT_DEB:?set TILERIOT_DEB to the built package}" "$root"
find "$root" -printf '%p %s %T@\n' | sort >"$WORK/before.txt"
export HOME=$WORK/home
unset XDG_DATA_HOME
mkdir "$HOME"
player=$HOME/.local/share/tileriot

# Starts the game as a player does, through the package's launcher.
start_launcher() {
  (exec "$root/usr/games/tileriot" >"$WORK/game.out" 2>&1) &
  GAME_PID=$!
}

# Chooses Exit in the main menu; the game ends with status 0.
exit_game() {
  press Up
  press Return
  expect_game_end 20 0
}

# Every read-only file of the package is linked from the player's directory,
# but the one the player has put there in its place ($1).
expect_links() {
  local file own
  [ "$(ls "$data" | wc -l)" = 11 ] || fail "the package does not hold the 11 read-only files"
  for file in "$data"/*; do
    own=$player/${file##*/}
    if [ "${file##*/}" = "${1:-}" ]; then
      [ -f "$own" ] && [ ! -L "$own" ] || fail "the player's own $own was replaced"
    else
      [ "$(readlink "$own")" = "$(readlink -f "$file")" ] || fail "$own is not a link to $file"
    fi
  done
}

start_x
start_launcher
skip_intro
main_menu=$(pixel_hash "$WORK/poll.png")
write_level "$player/Mine.trl" 8 4
external_game mine
wait_still 20 "$STILL" message_shown
press space
wait_still 20 "$STILL" message_shown
press space
wait_still 20 "$STILL" has_colour 00FFFF 640x480+0+0
press space
wait_picture 20 "$main_menu" "the main menu after the high scores"
exit_game
score_table KIM 50 >"$WORK/external.dat"
expect_bytes "$player/ExtHiScores.dat" "$WORK/external.dat"
[ -f "$player/IntHiScores.dat" ] || fail "no built-in table in $player"
grep -q 'InitVars module reached' "$player/tr_debug.txt" || fail "no log in $player"
expect_links

cp "$data/intro.flc" "$WORK/old-intro.flc"
ln -sfn "$WORK/old-intro.flc" "$player/intro.flc"
rm "$player/CASTLE.trl"
write_level "$player/CASTLE.trl" 0 0
start_launcher
skip_intro
exit_game
expect_bytes "$player/ExtHiScores.dat" "$WORK/external.dat"
expect_links CASTLE.trl
find "$root" -printf '%p %s %T@\n' | sort | diff "$WORK/before.txt" - >&2 ||
  fail "the game wrote into the package's directories"
echo "PASS"
