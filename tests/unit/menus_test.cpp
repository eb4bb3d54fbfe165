// The main and options menus: which item leads where, and that Exit ends
// the game with both high-score files written.

#include <allegro.h>

#include <string>

#include "records/high_scores.h"
#include "tests/harness/harness.h"
#include "ui/menus.h"

namespace {

using harness::Frames;
using harness::TapKey;

constexpr size_t FADE_FRAMES = 51;
constexpr size_t MENU_FRAMES_TO_ENTER = 2 * FADE_FRAMES + 1;  // fade in, choose, fade out

class MenusTest : public harness::GameTest {};

TEST_F(MenusTest, ExitEndsTheGameWithCodeZeroAndWritesBothTables) {
    LoadHighScores();
    TapKey(KEY_UP);
    TapKey(KEY_ENTER);
    EXPECT_EXIT(MainMenu(), testing::ExitedWithCode(0), "");
    EXPECT_EQ(ReadFile("IntHiScores.dat").size(), 360u);
    EXPECT_EQ(ReadFile("ExtHiScores.dat").size(), 360u);
}

TEST_F(MenusTest, EscShowsTheMainMenuAgainFromBlack) {
    TapKey(KEY_ESC);
    EXPECT_THROW(MainMenu(), harness::ScriptEnded);
    // The first menu: fade-in and one frame; then a fresh fade-in from black.
    ASSERT_EQ(Frames().size(), 2 * (FADE_FRAMES + 1));
    EXPECT_TRUE(Frames()[FADE_FRAMES + 1].IsBlack());
}

TEST_F(MenusTest, OptionsReturnsToTheMainMenuWithNewGameSelected) {
    for (int i = 0; i < 3; ++i) {
        TapKey(KEY_DOWN);
    }
    TapKey(KEY_ENTER);  // Options
    TapKey(KEY_ESC);    // the options menu shows itself again
    TapKey(KEY_UP);
    TapKey(KEY_ENTER);  // Return to Main Menu
    EXPECT_THROW(MainMenu(), harness::ScriptEnded);
    size_t main_menu = FADE_FRAMES + 4 + FADE_FRAMES;
    size_t options = FADE_FRAMES + 1;
    ASSERT_EQ(Frames().size(), main_menu + options + (options + 1 + FADE_FRAMES) + options);
    // The options menu's title is not the main menu's: the frames differ.
    const harness::Frame &options_frame = Frames()[main_menu + FADE_FRAMES];
    const harness::Frame &again = Frames().back();
    EXPECT_NE(options_frame.pixels, again.pixels);
    EXPECT_EQ(again.pixels, Frames()[FADE_FRAMES].pixels);  // New Game highlighted again
}

TEST_F(MenusTest, HighScoresShowsTheTablesThenTheMenuAgain) {
    LoadHighScores();
    for (int i = 0; i < 4; ++i) {
        TapKey(KEY_DOWN);
    }
    TapKey(KEY_ENTER);  // High Scores
    TapKey(KEY_ESC);    // any key leaves the tables
    EXPECT_THROW(MainMenu(), harness::ScriptEnded);
    const size_t tables = FADE_FRAMES + 5 + FADE_FRAMES;
    ASSERT_EQ(Frames().size(), tables + 1 + FADE_FRAMES + 1);
    EXPECT_FALSE(Frames()[tables].IsBlack());
    EXPECT_EQ(Frames().back().pixels, Frames()[FADE_FRAMES].pixels);  // New Game selected
}

TEST_F(MenusTest, NewGameRunsTheDialogAndTheGameThenShowsTheMenuAgain) {
    std::string empty_level;
    for (int i = 0; i < 90; ++i) {
        empty_level += "0\n";
    }
    for (int n = 1; n <= 5; ++n) {
        WriteFile("IntLvl0" + std::to_string(n) + ".trl", empty_level);
    }
    TapKey(KEY_ENTER);  // New Game
    TapKey(KEY_ENTER);  // no name
    TapKey(KEY_E);
    TapKey(KEY_I);
    for (int n = 0; n < 5; ++n) {
        TapKey(KEY_SPACE);  // every level is empty: cleared at once
        if (n < 4) {
            TapKey(KEY_ESC);  // the level-complete menu: play on
        }
    }
    EXPECT_THROW(MainMenu(), harness::ScriptEnded);
    const size_t level_menus = 4 * (FADE_FRAMES + 1);
    const size_t game = MENU_FRAMES_TO_ENTER + 3 * 35 + 1 + 10 + level_menus;
    ASSERT_EQ(Frames().size(), game + FADE_FRAMES + 1);
    EXPECT_TRUE(Frames()[game].IsBlack());
    EXPECT_TRUE(FileExists("ldlvldbg.txt"));
}

}  // namespace
