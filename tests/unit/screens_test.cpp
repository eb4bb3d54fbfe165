// Every screen around play, driven by scripted keys: the menus and their
// dispatch, the dialogs, the controls screen, the instructions, the credits,
// the high-score screen and the saved-game screens. Each run's frames, the
// records it changed and the files it left are pinned by a golden transcript.

#include <allegro.h>

#include <functional>
#include <string>
#include <vector>

#include "game/game_state.h"
#include "game/level_grid.h"
#include "records/high_scores.h"
#include "records/saved_games.h"
#include "shell/game_data.h"
#include "shell/screen.h"
#include "tests/harness/harness.h"
#include "tests/unit/record_bytes.h"
#include "ui/controls_screen.h"
#include "ui/credits.h"
#include "ui/menu_engine.h"
#include "ui/menus.h"
#include "ui/message_panel.h"
#include "ui/new_game_dialog.h"
#include "ui/text_entry.h"

namespace {

using namespace harness;
using record_bytes::HighScore;
using record_bytes::SavedGame;

class ScreensTest : public GameTest {
protected:
    // The records a screen may change, and the files it may write.
    static std::string State() {
        char text[512];
        const Brick &first = Level[0][0][0];
        std::snprintf(text, sizeof text,
                      "controls mouse %d keys %d sensitivity %g left %d right %d step %g\n"
                      "settings %s difficulty %d score %d type %d level %d\n"
                      "level 0: cell (0, 0) used %d value %d at %d %d size %d %d\n",
                      Controls.UseMouse, Controls.UseKeyboard, Controls.MouseSensitivity,
                      Controls.LeftKey, Controls.RightKey, Controls.KeyStep,
                      GameSettings.PlayerName, GameSettings.Difficulty, GameSettings.Score,
                      GameSettings.GameType, GameSettings.StartLevel, first.Used, first.Value,
                      first.X, first.Y, first.Width, first.Height);
        return ScreenTranscript() + text + "credits.txt: " + Contents("credits.txt") + "\n";
    }
};

struct Screen {
    const char *name;
    std::vector<std::string> files;  // laid out before the screen starts
    std::function<void()> run;
    const char *keys;
};

const std::string LONG_LINE(120, 'L');

// clang-format off
const std::vector<Screen> SCREENS = {
    // Up and Down wrap; modified and other keys do nothing; Esc shows the
    // menu afresh; Options, Esc there, and Return to Main Menu.
    {"main_and_options_menus", {}, MainMenu,
     "<down><up><up><down><shift><down>x<esc><down*3><enter><esc><up><enter>"},
    {"high_scores_then_instructions",
     {"IntHiScores.dat=" + HighScore("A NAME SO LONG IT RUNS ON INTO", -7) + HighScore("BEA", 90)},
     MainMenu, "<down*4><enter><esc><down*2><enter>ab"},
    {"controls_by_keys_then_mouse", {}, MainMenu,
     "<down*3><enter><enter><esc>kad<enter><enter>m<up*3>x<down><enter><up><enter>"},
    {"controls_by_keys", {}, ConfigureControls, "kad<down*21><enter>"},
    {"credits_placeholder", {}, MainMenu, "<down*3><enter><down><enter>"},
    {"credits_of_a_file", {"credits.txt=One\r\n\n" + LONG_LINE + "\nLast"}, ShowCredits, ""},
    {"credits_left_with_space", {"credits.txt=One\n"},
     [] { HoldKey(KEY_SPACE, 0, 5), ShowCredits(); }, ""},
    {"credits_that_cannot_be_read", {"credits.txt|"}, ShowCredits, ""},
    {"new_game_dialog", {}, NewGameDialog,
     "ab<shift>c1e<bksp>d<bksp*4>bcdefghijklmnopqrstuvwxyzabcdefghij<enter><esc><enter>5xh<esc>me"},
    {"load_game_found", {"plyrsettings.dat=" + SavedGame("BOB", 1, 70, 0, 2) + SavedGame("ann", 2, 150, 0, 3)},
     LoadGame, "ann<enter>"},
    {"load_game_not_found", {"plyrsettings.dat=" + SavedGame("BOB", 1, 70, 0, 2)}, LoadGame,
     "zedabcdefghijklmnopqrstuvwxyzabcd<enter><space>"},  // one letter too many
    {"load_game_without_saved_games", {}, LoadGame, "<space>"},
    // Another copy of the game saves ANN while the player types: its save is what is found.
    {"load_game_saved_meanwhile", {"plyrsettings.dat=" + SavedGame("ann", 2, 150, 0, 3)},
     [] { WatchFrames([](int frame) {
              if (frame == 0) StoreSavedGame(record_bytes::Settings("ANN", 1, 70000, 2)); });
          LoadGame(); }, "ann<enter>"},
    {"external_level_in_any_case", {"Mixed.trl=5 0\n-3", "MIXEDX.trl=1", "mixed.TRL=7"},
     LoadExternalLevel, "mixed<enter>"},
    {"external_level_missing", {}, LoadExternalLevel, "nope<enter><space>"},
    {"external_level_a_fifo", {"PIPE.trl|"}, LoadExternalLevel, "pipe<enter><space>"},
    {"external_level_a_directory", {"DIRS.trl/"}, LoadExternalLevel, "dirs<enter><space>"},
};
// clang-format on

TEST_F(ScreensTest, EveryScreenShowsWhatItsTranscriptSays) {
    for (const Screen &screen : SCREENS) {
        SCOPED_TRACE(screen.name);
        LayOut(screen.files);
        LoadHighScores();
        Reset();
        TypeKeys(screen.keys);
        try {
            screen.run();
        } catch (...) {  // the script's end, or back to the main menu by unwinding
        }
        EXPECT_EQ(KeysLeft(), 0);
        EXPECT_TRUE(MatchesGolden(std::string("screen_") + screen.name, State()));
        StartAfresh();
    }
}

// At their limits: a fade whose target is not a multiple of its step ends exactly on it, a menu's,
// then a panel's; without a title every entry of a menu is an item, and Down wraps from the last; a
// menu with no item returns -1; a field with room for more letters than text entry takes keeps 99.
TEST_F(ScreensTest, MenusFadesAndTextEntryAtTheirLimits) {
    const char *const texts[] = {"T", "Only"};
    const char *const help[] = {"H"};
    TypeKeys("<enter>");
    EXPECT_EQ(RunMenu(0x2B, BackBuffer, GameFont(TEXT_FONT), makecol(3, 254, 133),
                      makecol(17, 9, 201), 100, 25, 20, 2, texts, help),
              0);
    FadeInMessage(BackBuffer, GameFont(TEXT_FONT), texts, 10, 10, makecol(3, 254, 133));
    EXPECT_TRUE(MatchesGolden("screen_fades_to_odd_colours", ScreenTranscript()));
    TypeKeys("<down><down><down><enter>" + std::string(120, 'a') + "<enter>");
    EXPECT_EQ(RunMenu(0x0B, BackBuffer, font, 1, 2, 0, 0, 0, 2, texts, texts), 1);
    EXPECT_EQ(RunMenu(MENU_TITLE, BackBuffer, font, 1, 2, 0, 0, 0, 1, texts, texts), -1);
    char name[200];
    EnterText(name, 100, BackBuffer, font, 0, 0, 1);
    EXPECT_EQ(std::string(name), std::string(99, 'A'));
}

}  // namespace
