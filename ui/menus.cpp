// The main and options menus: fixed texts handed to the menu engine, and a
// dispatch on the item chosen.

#include "ui/menus.h"

#include <allegro.h>

#include "game/game_state.h"
#include "game/play.h"
#include "records/high_score_display.h"
#include "records/saved_games.h"
#include "shell/game_data.h"
#include "shell/screen.h"
#include "shell/startup.h"
#include "ui/controls_screen.h"
#include "ui/credits.h"
#include "ui/game_menu.h"
#include "ui/instructions.h"
#include "ui/new_game_dialog.h"

namespace {

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
        case LOAD_GAME:
            LoadGame();
            InitVars();
            Play();
            break;
        case INSTRUCTIONS:
            ShowInstructions();
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
            break;  // Esc: the menu shows itself again
    }
}

}  // namespace

void MainMenu() {
    for (;;) {
        try {
            RunMainMenuItem(ShowGameMenu(MAIN_MENU_X, MAIN_MENU_TEXTS, MAIN_MENU_HELP));
        } catch (const BackToMainMenu &) {
            // The screen that threw has finished; the menu shows itself again.
        }
    }
}

void ReturnToMainMenu() {
    throw BackToMainMenu{};
}

void OptionsMenu() {
    for (;;) {
        switch (ShowGameMenu(OPTIONS_MENU_X, OPTIONS_MENU_TEXTS, OPTIONS_MENU_HELP)) {
            case CONFIGURE_CONTROLS:
                ConfigureControls();
                break;
            case VIEW_CREDITS:
                ShowCredits();
                break;
            case RETURN_TO_MAIN_MENU:
                return;
            default:
                break;  // Esc: the menu shows itself again
        }
    }
}
