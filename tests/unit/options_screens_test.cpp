// The controls screen, the instructions and the scrolling credits.

#include <allegro.h>
#include <sys/stat.h>

#include <string>

#include "game/game_state.h"
#include "shell/game_data.h"
#include "tests/harness/harness.h"
#include "ui/controls_screen.h"
#include "ui/credits.h"
#include "ui/instructions.h"

namespace {

using harness::Frames;
using harness::ShowsText;
using harness::TapKey;

constexpr const char *PLACEHOLDER =
    "Credits file not found - please replace this interim file with a real one!";

class OptionsScreensTest : public harness::GameTest {
protected:
    void SetUp() override {
        GameTest::SetUp();
        SetDefaultControls();
    }
    static FONT *Text() { return GameFont(TEXT_FONT); }
    static int Blue() { return makecol(0, 0, 255); }
    // The upper line of a value page.
    static bool ValueShows(const harness::Frame &frame, const std::string &text) {
        return ShowsText(frame, Text(), text.c_str(), 320, 240 - text_height(Text()), Blue(),
                         true) &&
               ShowsText(frame, Text(), "[UP]/[DOWN] to alter, [ENTER] to store", 320,
                         240 + text_height(Text()), Blue(), true);
    }
};

TEST_F(OptionsScreensTest, MouseSensitivityGoesUpByOnePerPress) {
    Controls.UseKeyboard = 1;
    Controls.UseMouse = 0;
    for (int key :
         {KEY_ESC, KEY_ENTER, KEY_A, KEY_M, KEY_LEFT, KEY_UP, KEY_UP, KEY_UP, KEY_ENTER}) {
        TapKey(key);
    }
    ConfigureControls();
    EXPECT_EQ(Controls.UseMouse, 1);
    EXPECT_EQ(Controls.UseKeyboard, 0);
    EXPECT_EQ(Controls.MouseSensitivity, 103.0f);
    ASSERT_EQ(Frames().size(), 5u);  // the choice, then the value four times
    EXPECT_TRUE(ShowsText(Frames()[0], Text(), "Press M for Mouse or K for Keyboard", 320, 240,
                          Blue(), true));
    EXPECT_TRUE(ValueShows(Frames()[1], "Mouse Sensitivity: 100%."));
    EXPECT_TRUE(ValueShows(Frames()[4], "Mouse Sensitivity: 103%."));
}

TEST_F(OptionsScreensTest, KeyboardTakesAnyTwoKeysAndTheStepHasNoLimit) {
    TapKey(KEY_K);
    TapKey(KEY_A);
    TapKey(KEY_D);
    for (int i = 0; i < 21; ++i) {
        TapKey(KEY_DOWN);
    }
    TapKey(KEY_ENTER);
    ConfigureControls();
    EXPECT_EQ(Controls.UseKeyboard, 1);
    EXPECT_EQ(Controls.UseMouse, 0);
    EXPECT_EQ(Controls.LeftKey, 1);
    EXPECT_EQ(Controls.RightKey, 4);
    EXPECT_EQ(Controls.ConfiguredKeyStep, -1.0f);
    EXPECT_EQ(Controls.KeyStep, -1.0f);
    ASSERT_EQ(Frames().size(), 3u + 22u);
    EXPECT_TRUE(ShowsText(Frames()[1], Text(), "Press the new LEFT key you wish to use.", 320, 240,
                          Blue(), true));
    EXPECT_TRUE(ShowsText(Frames()[2], Text(), "Press the new RIGHT key you wish to use.", 320, 240,
                          Blue(), true));
    EXPECT_TRUE(ValueShows(Frames()[3], "Move by 20 pixels each keypress."));
    EXPECT_TRUE(ValueShows(Frames()[24], "Move by -1 pixels each keypress."));
}

TEST_F(OptionsScreensTest, TheStepShownIsThePlayersNotAHardGamesQuarter) {
    GameSettings = {};
    GameSettings.GameType = 99;
    GameSettings.Difficulty = DIFFICULTY_HARD;
    InitVars();
    EXPECT_EQ(Controls.KeyStep, 5.0f);
    for (int key : {KEY_K, KEY_ESC, KEY_ESC, KEY_ENTER}) {
        TapKey(key);
    }
    ConfigureControls();
    EXPECT_EQ(Controls.LeftKey, KEY_ESC);
    EXPECT_EQ(Controls.RightKey, KEY_ESC);
    EXPECT_TRUE(ValueShows(Frames()[3], "Move by 20 pixels each keypress."));
}

TEST_F(OptionsScreensTest, InstructionsFadeInSectionBySectionOverTwoPages) {
    TapKey(KEY_SPACE);
    TapKey(KEY_ESC);
    ShowInstructions();
    EXPECT_EQ(harness::KeysLeft(), 0);
    // Green fades take 37 frames; each page ends with one more frame.
    ASSERT_EQ(Frames().size(), 3u * 37u + 1u + 37u + 1u);
    FONT *heading = GameFont(SECOND_FONT);
    FONT *body = GameFont(PANEL_FONT);
    const int yellow = makecol(122, 122, 0);
    const harness::Frame &first = Frames()[111];
    EXPECT_TRUE(
        ShowsText(first, GameFont(TITLE_FONT), "INSTRUCTIONS", 320, 10, makecol(255, 0, 0), true));
    EXPECT_TRUE(ShowsText(first, heading, "Navigating Menus", 320, 70, yellow, true));
    EXPECT_TRUE(ShowsText(first, heading, "HOW TO PLAY", 320, 270, yellow, true));
    EXPECT_TRUE(ShowsText(first, heading, "Press any key for more...", 320, 453, yellow, true));
    EXPECT_TRUE(ShowsText(first, body, "option does.", 5, 200 + 2 * (text_height(body) + 5),
                          makecol(0, 252, 0)));
    // While the first section fades, the later headings are not there yet.
    EXPECT_FALSE(ShowsText(Frames()[10], heading, "HOW TO PLAY", 320, 270, yellow, true));
    const harness::Frame &second = Frames().back();
    EXPECT_TRUE(ShowsText(second, body, "Thank you and good luck! But most importantly, have fun!",
                          5, 5 + 13 * (text_height(body) + 5), makecol(0, 252, 0)));
    EXPECT_TRUE(ShowsText(second, heading, "Press any key to return to main menu...", 320, 453,
                          yellow, true));
}

TEST_F(OptionsScreensTest, MissingCreditsGetThePlaceholderWhichScrollsUp) {
    ShowCredits();
    EXPECT_EQ(ReadFile("credits.txt"), PLACEHOLDER);
    const int height = text_height(Text());
    EXPECT_EQ(Frames().size(), static_cast<size_t>(490 + height));
    const int green = makecol(100, 255, 100);
    EXPECT_TRUE(Frames()[0].IsBlack());  // still below the screen
    EXPECT_TRUE(ShowsText(Frames()[200], Text(), PLACEHOLDER, 320, 289, green, true));
    EXPECT_LE(text_length(Text(), PLACEHOLDER), 640);  // the whole line is seen
}

TEST_F(OptionsScreensTest, CreditsRunForTheirLinesAndEndsOfLinesDoNotMatter) {
    const int height = text_height(Text());
    WriteFile("credits.txt", "one\ntwo\n\nfour\n");
    ShowCredits();
    EXPECT_EQ(Frames().size(), static_cast<size_t>(490 + 4 * height));
    const harness::Frame with_end = Frames()[300];
    harness::Reset();
    WriteFile("credits.txt", "one\r\ntwo\r\n\r\nfour");
    ShowCredits();
    EXPECT_EQ(Frames().size(), static_cast<size_t>(490 + 4 * height));
    EXPECT_EQ(Frames()[300].pixels, with_end.pixels);
    EXPECT_TRUE(
        ShowsText(with_end, Text(), "four", 320, 189 + 3 * height, makecol(100, 255, 100), true));
    harness::Reset();
    WriteFile("credits.txt", "");
    ShowCredits();
    EXPECT_EQ(Frames().size(), 490u);
}

TEST_F(OptionsScreensTest, LongCreditLinesWrapAt98Characters) {
    const int height = text_height(Text());
    WriteFile("credits.txt", std::string(98, 'a') + "\n" + std::string(100, 'b') + "\n");
    ShowCredits();
    // 98 letters, then the blank line of their line end, then 98 and 2 letters.
    EXPECT_EQ(Frames().size(), static_cast<size_t>(490 + 4 * height));
}

TEST_F(OptionsScreensTest, SpaceHeldAsTheCreditsStartEndsThemAfterOneFrame) {
    harness::HoldKey(KEY_SPACE, 0, 10);
    ShowCredits();
    EXPECT_EQ(Frames().size(), 1u);
}

TEST_F(OptionsScreensTest, EscapeHeldEndsTheCreditsAtTheEndOfTheFrame) {
    harness::HoldKey(KEY_ESC, 99, 120);
    ShowCredits();
    EXPECT_EQ(Frames().size(), 100u);
}

TEST_F(OptionsScreensTest, CreditsThatCanNeitherBeReadNorMadeEndAtOnce) {
    mkdir("credits.txt", 0755);  // in the way of the file: fopen for writing fails
    ShowCredits();
    EXPECT_TRUE(Frames().empty());
}

}  // namespace
