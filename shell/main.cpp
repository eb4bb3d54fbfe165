// The game's entry point: the command line, then the fixed start-up order,
// then the main menu, which ends the game through ExitGame.

#include <allegro.h>

#include <cstdio>

#include "editor/editor.h"
#include "game/game_state.h"
#include "records/high_scores.h"
#include "shell/console.h"
#include "shell/debug_log.h"
#include "shell/files.h"
#include "shell/options.h"
#include "shell/intro.h"
#include "shell/startup.h"
#include "ui/menus.h"

int main(int argc, char *argv[]) {
    CommandLine = ParseCommandLine(argc, argv);
    if (CommandLine.What == Launch::Edit) {
        // The editor reads no table, so it leaves their files alone.
        EnterGameFolder();
        LeaveHighScoresAlone();
        InitSystem();
        SetDefaultControls();
        RunEditor(CommandLine.EditName);
        ExitGame(0);
    }
    if (CommandLine.What != Launch::Play) {
        UseStartingConsole();
        return ReportCommandLine(CommandLine, stdout, stderr);
    }
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
