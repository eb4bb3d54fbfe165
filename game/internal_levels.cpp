// The internal game's five levels, "IntLvl01.trl" to "IntLvl05.trl", and the
// load dump "ldlvldbg.txt" that shows which cells hold a brick.

#include <cstdio>

#include "game/level_grid.h"
#include "shell/files.h"
#include "shell/startup.h"

namespace {

constexpr const char *LOAD_DUMP = "ldlvldbg.txt";

// One block of the dump per cell, level by level, row by row.
void WriteLoadDump() {
    // The dump only helps to check the levels: play goes on without it, as
    // when a FIFO or a device stands in its place.
    FileHandle dump = CreateRegularFile(LOAD_DUMP, "w");
    if (!dump) {
        return;
    }
    for (int level = 0; level < LEVEL_COUNT; ++level) {
        for (int row = 0; row < LEVEL_ROWS; ++row) {
            for (int col = 0; col < LEVEL_COLUMNS; ++col) {
                std::fprintf(dump.get(),
                             "=========================================\n"
                             "Current Level : %d\nCurrent Row : %d\nCurrent Column : %d\n"
                             "-----------------------------\nBrick Used? %s\n",
                             level, row, col, Level[level][row][col].Used == 1 ? "YES" : "NO");
            }
        }
    }
}

}  // namespace

void LoadInternalLevels() {
    const BrickGeometry geometry = InternalGeometry();
    for (int level = 0; level < LEVEL_COUNT; ++level) {
        char name[32];
        std::snprintf(name, sizeof name, "IntLvl0%d.trl", level + 1);
        // Only a regular file is a level: a FIFO would stall the game, and a
        // directory would read as no numbers at all.
        FileHandle file = OpenRegularFile(name, "r");
        if (!file) {
            char text[96];
            std::snprintf(text, sizeof text,
                          "Unable to open Internal level file \"%s\" for reading!", name);
            ShowMessage(text);
            ExitGame(1);
        }
        ReadLevelFile(file.get(), level, geometry);
    }
    WriteLoadDump();
}
