// The list Ctrl+O opens: the level files of the game's folder, each with a
// small picture of its bricks, chosen with the arrows or the mouse.
#pragma once

#include <vector>

#include "game/level_grid.h"

// The list shows at most this many levels, the first by name.
constexpr int MOST_LISTED_LEVELS = 500;

struct ListedLevel {
    char Path[LEVEL_NAME_BUFFER];
    LevelNumbers Numbers;
};

// Reads the level files (".trl" in any case) of the working directory, as
// the game reads them, sorted by name. What is not a regular file that can
// be read (a directory, a FIFO, a link to nothing) is left out.
void ReadLevelList(std::vector<ListedLevel> &list);

// Shows the list and lets the player choose; true with the chosen file's
// path, false when the player went back (or there is no level file).
bool ChooseLevel(char (&path)[LEVEL_NAME_BUFFER]);
