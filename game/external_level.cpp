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

// Only a regular file is a level: a directory or a FIFO (which would stall
// the game) is not.
FileHandle OpenLevelFile(const char *typed) {
    FileHandle file = OpenRegularFile(typed, "r");
    if (file) {
        return file;
    }
    char found[LEVEL_NAME_BUFFER];
    return FindLevelFile(typed, found) ? OpenRegularFile(found, "r") : nullptr;
}

[[noreturn]] void RefuseLevel() {
    ShowPrompt(NOT_A_LEVEL, 10, 60);
    WaitForKey();
    ReturnToMainMenu();
}

}  // namespace

bool FindLevelFile(const char *typed, char (&found)[LEVEL_NAME_BUFFER]) {
    DIR *directory = opendir(".");
    if (!directory || std::strlen(typed) >= sizeof found) {
        if (directory) {
            closedir(directory);
        }
        return false;
    }
    found[0] = '\0';
    while (const dirent *entry = readdir(directory)) {
        if (strcasecmp(entry->d_name, typed) == 0 &&
            (found[0] == '\0' || std::strcmp(entry->d_name, found) < 0)) {
            // A match is as long as the typed name, so it fits.
            std::memcpy(found, entry->d_name, std::strlen(typed) + 1);
        }
    }
    closedir(directory);
    return found[0] != '\0';
}

void LoadExternalLevel() {
    ShowPrompt(PROMPT, 10, 60);
    char name[LEVEL_NAME_BUFFER];
    EnterText(name, LEVEL_NAME_ROOM, BackBuffer, GameFont(TEXT_FONT), 250, 400,
              makecol(255, 255, 30));
    std::strcat(name, EXTENSION);
    FileHandle file = OpenLevelFile(name);
    if (!file) {
        RefuseLevel();
    }
    ReadLevelFile(file.get(), 0, ExternalGeometry());
}
