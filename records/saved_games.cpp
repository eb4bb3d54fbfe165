// Saving and loading games: the prompts and notices around the saved-game file.

#include <allegro.h>

#include "records/saved_games.h"
#include "shell/files.h"
#include "shell/game_data.h"
#include "shell/screen.h"
#include "ui/menus.h"
#include "ui/message_panel.h"
#include "ui/text_entry.h"

namespace {

const char *const LOAD_PROMPT[] = {
    "Please enter the name you used",
    "when you last saved the game.",
    "The game will resume at the last",
    "level you completed.",
};

const char *const NOT_FOUND[] = {
    "Unfortunately, your details could",
    "not be found. Please press any key",
    "to return to the main menu.",
};

const char *const NO_SAVED_GAMES[] = {
    "Unable to locate plyrsettings.dat!",
    "Please press any key to",
    "return to the main menu.",
};

const char *const NOT_SAVED[] = {
    "Unfortunately, your game could",
    "not be saved. Please press any key",
    "to return to the menu.",
};

// A notice on a cleared screen, a key, and back to the main menu.
template <int Count>
[[noreturn]] void NoticeThenMainMenu(const char *const (&lines)[Count]) {
    ShowPrompt(lines, 10, 150);
    WaitForKey();
    ReturnToMainMenu();
}

}  // namespace

void SaveGame() {
    if (StoreSavedGame(GameSettings)) {
        ReturnToMainMenu();
    }
    ShowPrompt(NOT_SAVED, 10, 150);
    WaitForKey();
}

// The file is open only to look whether there are saved games, and again to
// find the name once it is typed: while the player types, another copy of
// the game may save (on Windows no file that is open can be replaced), and
// its save is then found too.
void LoadGame() {
    if (!OpenRegularFile(SAVED_GAMES_FILE, "rb")) {
        NoticeThenMainMenu(NO_SAVED_GAMES);
    }
    ShowPrompt(LOAD_PROMPT, 10, 80);
    char name[sizeof GameSettings.PlayerName];
    EnterText(name, sizeof name - 1, BackBuffer, GameFont(TEXT_FONT), 200, 320,
              makecol(255, 255, 30));
    FileHandle file = OpenRegularFile(SAVED_GAMES_FILE, "rb");
    if (!file) {
        NoticeThenMainMenu(NO_SAVED_GAMES);
    }
    GameSettingsRecord found;
    const bool loaded = FindSavedGame(file.get(), name, found);
    file.reset();
    if (!loaded) {
        NoticeThenMainMenu(NOT_FOUND);
    }
    GameSettings = found;
}
