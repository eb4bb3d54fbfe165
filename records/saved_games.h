// Saved games: one 48-byte record per player name in "plyrsettings.dat",
// stored after a cleared level and resumed from the main menu.
#pragma once

#include <cstdint>
#include <cstdio>

#include "game/game_state.h"
#include "shell/files.h"

constexpr std::size_t SAVED_GAME_BYTES = 48;
constexpr const char *SAVED_GAMES_FILE = "plyrsettings.dat";

// The lock every copy of the game takes before it reads and replaces a record
// file, saved games and high-score tables alike, so that copies take turns:
// the saved games' lock, on the folder their file (links followed) lies in.
struct RecordsLock {
    char Target[PATH_MAX];  // the saved games' file, links followed
    bool Resolved = ResolveLinks(SAVED_GAMES_FILE, Target);
    ReplaceLock Lock{Resolved ? Target : SAVED_GAMES_FILE};
    bool Held() const { return Lock.Handle != -1; }
};

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
