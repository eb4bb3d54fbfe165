// Saved games: one 48-byte record per player name in "plyrsettings.dat",
// stored after a cleared level and resumed from the main menu.
#pragma once

#include <cstdint>
#include <cstdio>

#include "game/game_state.h"

constexpr std::size_t SAVED_GAME_BYTES = 48;
constexpr const char *SAVED_GAMES_FILE = "plyrsettings.dat";

// Reads records from the start until one saved under name (letter case
// ignored) is found, into found; false when none is. A trailing partial
// record is never read, and a name with no zero is cut to 31 letters.
bool FindSavedGame(FILE *file, const char *name, GameSettingsRecord &found);

// Stores the record under its name: in place over that name's record, else
// at the end of the file, which is created if need be. The whole new file is
// written aside and renamed over the old one while other copies of the game
// wait, so a save is all or nothing. False, the file as it was, when it fails.
bool StoreSavedGame(const GameSettingsRecord &record);

// Saves the current game under the player's name, ends it and shows the main
// menu. A save that fails is reported on screen and returns, the game still
// in progress.
void SaveGame();

// Asks for a name and loads that player's saved game into GameSettings. A
// name that is not found, or no saved games at all, is reported on screen
// and leads back to the main menu instead.
void LoadGame();
