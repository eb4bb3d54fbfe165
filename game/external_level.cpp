// The external game's level: a level file the player names, played alone in
// slot 0 with bricks that reach from wall to wall.

#include <allegro.h>
#include <dirent.h>
#include <strings.h>

#include <cstring>

#include "game/level_grid.h"
#include "shell/files.h"
#include "shell/game_data.h"
#include "shell/screen.h"
#include "ui/menus.h"
#include "ui/message_panel.h"
#include "ui/text_entry.h"

namespace {

// Typed names hold this many letters; ".trl" and the terminator follow.
constexpr std::size_t NAME_BUFFER = 100;
constexpr std::size_t NAME_ROOM = 95;
constexpr const char *EXTENSION = ".trl";

const char *const PROMPT[] = {
    "Please enter the name of",       "the level file on the hard",
    "disk within the same directory", "as this program that you wish",
    "to play. DO NOT include the",    "\".trl\" extension, as this is",
    "automatically added.",
};

const char *const NOT_A_LEVEL[] = {
    "Unfortunately, that does not", "appear to be a valid level.",
    "CAN'T YOU DO ANYTHING RIGHT?", "",
    "Please press any key to",      "return to the main menu.",
};

// Names are typed in capitals; on a file system that tells case apart the
// file is "MYLEVEL.trl" if there is one, else the first name in byte order
// that matches it regardless of case. Only a regular file is a level: a
// directory or a FIFO (which would stall the game) is not.
FileHandle OpenLevelFile(const char *typed) {
    FileHandle file = OpenRegularFile(typed, "r");
    if (file) {
        return file;
    }
    DIR *directory = opendir(".");
    if (!directory) {
        return nullptr;
    }
    char best[NAME_BUFFER] = {};
    while (const dirent *entry = readdir(directory)) {
        if (strcasecmp(entry->d_name, typed) == 0 &&
            (best[0] == '\0' || std::strcmp(entry->d_name, best) < 0)) {
            // A match is as long as the typed name, so it fits.
            std::memcpy(best, entry->d_name, std::strlen(typed) + 1);
        }
    }
    closedir(directory);
    return best[0] != '\0' ? OpenRegularFile(best, "r") : nullptr;
}

[[noreturn]] void RefuseLevel() {
    ShowPrompt(NOT_A_LEVEL, 10, 60);
    WaitForKey();
    ReturnToMainMenu();
}

}  // namespace

void LoadExternalLevel() {
    ShowPrompt(PROMPT, 10, 60);
    char name[NAME_BUFFER];
    EnterText(name, NAME_ROOM, BackBuffer, GameFont(TEXT_FONT), 250, 400, makecol(255, 255, 30));
    std::strcat(name, EXTENSION);
    FileHandle file = OpenLevelFile(name);
    if (!file) {
        RefuseLevel();
    }
    ReadLevelFile(file.get(), 0, ExternalGeometry());
}
