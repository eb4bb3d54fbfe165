// The main and options menus: fixed texts handed to the menu engine, and a
// dispatch on the item chosen.

#include "ui/menus.h"

#include <allegro.h>

#include "game/game_state.h"
#include "game/play.h"
#include "records/high_score_display.h"
#include "shell/game_data.h"
#include "shell/screen.h"
#include "shell/startup.h"
#include "ui/menu_engine.h"
#include "ui/new_game_dialog.h"

namespace {

constexpr int MENU_FLAGS =
    MENU_PRESENT | MENU_HIGHLIGHT | MENU_ITEMS | MENU_TITLE | MENU_RED_TITLE | MENU_TITLE_FONT;
constexpr int MENU_TOP = 25;
constexpr int MENU_SPACING = 20;
constexpr int MAIN_MENU_X = 250;
constexpr int OPTIONS_MENU_X = 130;

const char *const MAIN_MENU_TEXTS[] = {
    "M A I N  M E N U", "New Game", "Load Game", "Instructions", "Options", "High Scores", "Exit",
};
const char *const MAIN_MENU_HELP[] = {
    "Starts a completely new game of any sort.",
    "Loads a previously saved game.",
    "Displays detailed instructions on how to play the game.",
    "Allows you to configure your controls, and view the credits for the game.",
    "Shows both the Internal and External high scores tables for TileRiot!",
    "Quits the game, returning you back to Windows.",
};

const char *const OPTIONS_MENU_TEXTS[] = {
    "O P T I O N S",
    "Configure your controls",
    "View Credits",
    "Return to Main Menu",
};
const char *const OPTIONS_MENU_HELP[] = {
    "Allows you to change settings for the keyboard and mouse.",
    "Displays scrolling credits for the game.",
    "Returns to the Main Menu.",
};

enum MainMenuItem { NEW_GAME, LOAD_GAME, INSTRUCTIONS, OPTIONS, HIGH_SCORES, EXIT };
enum OptionsMenuItem { CONFIGURE_CONTROLS, VIEW_CREDITS, RETURN_TO_MAIN_MENU };

// Runs one of the game's menus, all drawn alike.
template <int Count>
int ShowMenu(int x, const char *const (&texts)[Count], const char *const (&help)[Count - 1]) {
    return RunMenu(MENU_FLAGS, BackBuffer, GameFont(TEXT_FONT), makecol(0, 255, 0),
                   makecol(0, 128, 0), x, MENU_TOP, MENU_SPACING, Count, texts, help);
}

// Thrown by ReturnToMainMenu and caught by the one main-menu loop, so going
// back to the menu never piles a new menu on top of the old ones.
struct BackToMainMenu {};

void RunMainMenuItem(int chosen) {
    switch (chosen) {
        case NEW_GAME:
            NewGameDialog();
            InitVars();
            Play();
            break;
        case OPTIONS:
            OptionsMenu();
            break;
        case HIGH_SCORES:
            ShowHighScores();
            break;
        case EXIT:
            ExitGame(0);
        default:
            // Load Game and Instructions open their screens here as those
            // screens join the game; Esc shows the menu again.
            break;
    }
}

}  // namespace

void MainMenu() {
    for (;;) {
        try {
            RunMainMenuItem(ShowMenu(MAIN_MENU_X, MAIN_MENU_TEXTS, MAIN_MENU_HELP));
        } catch (const BackToMainMenu &) {
            // The screen that threw has finished; the menu shows itself again.
        }
    }
}

void ReturnToMainMenu() {
    throw BackToMainMenu{};
}

void OptionsMenu() {
    int chosen;
    do {
        chosen = ShowMenu(OPTIONS_MENU_X, OPTIONS_MENU_TEXTS, OPTIONS_MENU_HELP);
    } while (chosen != RETURN_TO_MAIN_MENU);
}
