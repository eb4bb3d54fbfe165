// The game's entry point: the fixed start-up order, then the main menu,
// which ends the game through ExitGame.

#include <allegro.h>

#include "game/game_state.h"
#include "records/high_scores.h"
#include "shell/debug_log.h"
#include "shell/files.h"
#include "shell/startup.h"
#include "ui/menus.h"

int main() {
    EnterGameFolder();
    OpenDebugLog();
    LoadHighScores();
    InitSystem();
    SetDefaultControls();
    if (PlayIntro() != 0) {
        RestoreGraphicsMode();
    }
    MainMenu();
    return 0;
}
END_OF_MAIN()
