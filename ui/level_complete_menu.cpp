// The level-complete menu: Save Game or Continue.

#include "ui/level_complete_menu.h"

#include "game/game_state.h"
#include "records/saved_games.h"
#include "ui/game_menu.h"

namespace {

constexpr int LEVEL_COMPLETE_MENU_X = 250;
constexpr int SAVE_GAME = 0;

const char *const LEVEL_COMPLETE_TEXTS[] = {"LEVEL COMPLETE", "Save Game", "Continue"};
const char *const LEVEL_COMPLETE_HELP[] = {
    "Saves your game under the name you entered, and returns to Main Menu.",
    "Does not save the game, but allows you to keep playing with the next level.",
};

}  // namespace

void LevelCompleteMenu(int level) {
    // A save that works ends the game; after one that failed the menu comes
    // back, to try again or play on.
    while (ShowGameMenu(LEVEL_COMPLETE_MENU_X, LEVEL_COMPLETE_TEXTS, LEVEL_COMPLETE_HELP) ==
           SAVE_GAME) {
        GameSettings.StartLevel = level;
        SaveGame();
    }
}
