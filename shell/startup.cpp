// Start-up and shutdown of the game: the library, the graphics mode, the
// back buffer, the data file and the single exit path.

#include "shell/startup.h"

#include <allegro.h>
#include <cstdio>
#include <cstdlib>
#include <iterator>
#include <utility>

#include "display/display_file.h"
#include "display/events.h"
#include "display/modes.h"
#include "display/picture.h"
#include "display/presenter.h"
#include "display/window.h"
#include "records/high_scores.h"
#include "shell/debug_log.h"
#include "shell/game_data.h"
#include "shell/idle_input.h"
#include "shell/options.h"
#include "shell/retrace.h"

DATAFILE *GameData = nullptr;
BITMAP *BackBuffer = nullptr;

namespace {

bool DisplayChosen = false;  // the player's display choice is known, to keep at the end

// Ends the game with a message when start-up cannot go on.
[[noreturn]] void FailStartup(const char *text) {
    ShowMessage(text);
    ExitGame(1);
}

// Set for a run whose tables were never read: writing them would replace
// the player's scores with defaults.
bool TablesLeftAlone = false;

}  // namespace

void ChooseDisplay() {
    ChosenDisplay = {};
    ReadDisplayFile(ChosenDisplay);
    if (CommandLine.FullScreen >= 0) {
        ChosenDisplay.FullScreen = CommandLine.FullScreen == 1;
    }
    if (CommandLine.Scale != 0) {
        ChosenDisplay.Scale = CommandLine.Scale;
        ChosenDisplay.ScaleAsked = true;
    }
    DisplayChosen = true;
}

void InitSystem() {
    // Without a system (no X display, say) the input devices would crash.
    if (allegro_init() != 0) {
        char text[ALLEGRO_ERROR_SIZE + 64];
        std::snprintf(text, sizeof text, "Unable to start the game library%s%s",
                      allegro_error[0] ? ": " : "!", allegro_error);
        FailStartup(text);
    }
    CallWithWindowThreadAwake([] {
        install_keyboard();
        install_timer();
        install_mouse();
    });
    WatchAltEnter();
    StartRetracePacer();
    set_window_title("TileRiot");
    NameWindow();
    ChooseDisplay();
    if (!SetDisplay()) {
        FailGraphicsMode();
    }
    BackBuffer = create_bitmap(PICTURE_W, PICTURE_H);
    if (!BackBuffer) {
        FailStartup("Not enough memory for the screen buffer!");
    }
    GameData = load_datafile("tr_data2.dat");
    if (GameData && !IsCompleteGameData(GameData)) {
        unload_datafile(GameData);
        GameData = nullptr;
    }
    if (!GameData) {
        FailStartup("Unable to load the game data file tr_data2.dat!");
    }
}

bool IsCompleteGameData(const DATAFILE *data) {
    constexpr int KINDS[] = {DAT_BITMAP, DAT_BITMAP, DAT_FONT, DAT_FONT,
                             DAT_BITMAP, DAT_FONT,   DAT_FONT};
    for (int index = 0; index < static_cast<int>(std::size(KINDS)); ++index) {
        // The list ends with a DAT_END entry, which no kind above matches.
        if (data[index].type != KINDS[index]) {
            return false;
        }
    }
    return true;
}

void RestoreGraphicsMode() {
    if (!SetDisplay()) {
        FailGraphicsMode();
    }
}

void FailGraphicsMode() {
    FailStartup("Unable to set graphics mode!");
}

void ShutDownSystem() {
    DisplayChosen = false;
    ShutDownPresenter();
    if (BackBuffer) {
        destroy_bitmap(BackBuffer);
        BackBuffer = nullptr;
    }
    if (GameData) {
        unload_datafile(GameData);
        GameData = nullptr;
    }
    ReleaseInput();  // the library waits for its input thread as it shuts down
    CallWithWindowThreadAwake(allegro_exit);
}

void ShowMessage(const char *text) {
    // A full-screen window would cover the message box, so leave graphics first.
    if (gfx_driver) {
        set_gfx_mode(GFX_TEXT, 0, 0, 0, 0);
    }
    allegro_message("%s", text);
}

void LeaveHighScoresAlone() {
    TablesLeftAlone = true;
}

void ExitGame(int code) {
    // A failed save re-enters here with code 1; the tables are saved only once.
    static bool saving = false;
    if (!saving && !TablesLeftAlone) {
        saving = true;
        SaveHighScores();
    }
    if (std::exchange(DisplayChosen, false)) {
        NoteWindowMonitor();              // the player may have moved the window
        WriteDisplayFile(ChosenDisplay);  // one that cannot be written is simply not kept
    }
    ShutDownSystem();
    CloseDebugLog();
    std::exit(code);
}
