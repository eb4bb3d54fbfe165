// The menu engine on the headless harness: fades, frame counts, layout,
// the wrapping selection and the keys that leave a menu.

#include <allegro.h>

#include "shell/game_data.h"
#include "shell/screen.h"
#include "tests/harness/harness.h"
#include "ui/menu_engine.h"

namespace {

using harness::Frames;
using harness::TapKey;

constexpr int FADE_FRAMES = 51;

const char *const TEXTS[] = {"M A I N  M E N U", "New Game",    "Load Game", "Instructions",
                             "Options",          "High Scores", "Exit"};
const char *const HELP[] = {"help new",    "help load", "help instructions", "help options",
                            "help scores", "help exit", "help title as item"};

class MenuEngineTest : public harness::GameTest {
protected:
    int RunMainMenuLayout() {
        return RunMenu(0xEB, BackBuffer, GameFont(TEXT_FONT), makecol(0, 255, 0),
                       makecol(0, 128, 0), 250, 25, 20, 7, TEXTS, HELP);
    }
    // Top of the item with strings index i, where the engine puts it.
    int ItemTop(int i) {
        return 25 + text_height(GameFont(TITLE_FONT)) - 20 +
               (text_height(GameFont(TEXT_FONT)) + 20) * i;
    }
    // The strings index of the item drawn in the highlight colour in a frame.
    int HighlightedItem(const harness::Frame &frame) {
        int left, top, right, bottom;
        if (!frame.Find(makecol(0, 255, 0), left, top, right, bottom)) {
            return -1;
        }
        for (int i = 1; i < 7; ++i) {
            if (top >= ItemTop(i) && bottom < ItemTop(i) + text_height(GameFont(TEXT_FONT))) {
                return i;
            }
        }
        return 0;
    }
};

TEST_F(MenuEngineTest, EnterFadesInAndOutOverFiftyOneFramesEach) {
    TapKey(KEY_ENTER);
    EXPECT_EQ(RunMainMenuLayout(), 0);
    // Fade-in, one full-colour frame while choosing, fade-out.
    ASSERT_EQ(Frames().size(), 2u * FADE_FRAMES + 1);
    EXPECT_TRUE(Frames()[0].IsBlack());
    EXPECT_FALSE(Frames()[1].IsBlack());
    // The white help line is the last to arrive: 250 in the last fade-in frame.
    EXPECT_GT(Frames()[FADE_FRAMES - 1].Count(makecol(250, 250, 250)), 0);
    EXPECT_EQ(Frames()[FADE_FRAMES - 1].Count(makecol(255, 255, 255)), 0);
    const harness::Frame &full = Frames()[FADE_FRAMES];
    EXPECT_GT(full.Count(makecol(255, 255, 255)), 0);
    EXPECT_GT(full.Count(makecol(255, 0, 0)), 0);  // the red title
    EXPECT_GT(full.Count(makecol(0, 128, 0)), 0);  // the other items
    EXPECT_EQ(HighlightedItem(full), 1);
    // The fade-out starts at full colour and ends with the help line at 5, 5, 5.
    EXPECT_EQ(Frames()[FADE_FRAMES + 1].pixels, full.pixels);
    const harness::Frame &last = Frames().back();
    EXPECT_GT(last.Count(makecol(5, 5, 5)), 0);
    EXPECT_EQ(last.Count(makecol(10, 10, 10)), 0);
}

TEST_F(MenuEngineTest, LaysOutTitleItemsAndHelpLine) {
    TapKey(KEY_ESC);
    RunMainMenuLayout();
    const harness::Frame &full = Frames().back();
    int left, top, right, bottom;
    ASSERT_TRUE(full.Find(makecol(255, 0, 0), left, top, right, bottom));
    EXPECT_GE(top, 25);
    EXPECT_LT(bottom, 25 + text_height(GameFont(TITLE_FONT)));
    int widest = 0;
    for (int i = 1; i < 7; ++i) {
        widest = std::max(widest, text_length(GameFont(TEXT_FONT), TEXTS[i]));
    }
    int title_centre = 250 + widest / 2;
    EXPECT_NEAR((left + right) / 2, title_centre, 2);
    ASSERT_TRUE(full.Find(makecol(0, 128, 0), left, top, right, bottom));
    EXPECT_GE(left, 250);
    EXPECT_GE(top, ItemTop(2));
    EXPECT_LT(bottom, ItemTop(6) + text_height(GameFont(TEXT_FONT)));
    ASSERT_TRUE(full.Find(makecol(255, 255, 255), left, top, right, bottom));
    EXPECT_GE(top, 470);
    EXPECT_NEAR((left + right) / 2, 320, 2);
    EXPECT_LE(right - left + 1, text_length(font, HELP[0]));
}

TEST_F(MenuEngineTest, EscLeavesAtOnceWithoutFadingOut) {
    TapKey(KEY_DOWN);
    TapKey(KEY_ESC);
    EXPECT_EQ(RunMainMenuLayout(), -1);
    ASSERT_EQ(Frames().size(), FADE_FRAMES + 2u);
    EXPECT_EQ(HighlightedItem(Frames().back()), 2);
}

TEST_F(MenuEngineTest, UpOnTheFirstItemChoosesTheLast) {
    TapKey(KEY_UP);
    TapKey(KEY_ENTER);
    EXPECT_EQ(RunMainMenuLayout(), 5);
    EXPECT_EQ(HighlightedItem(Frames()[FADE_FRAMES + 1]), 6);
}

TEST_F(MenuEngineTest, DownWrapsFromTheLastItemToTheFirst) {
    for (int i = 0; i < 5; ++i) {
        TapKey(KEY_DOWN);
    }
    TapKey(KEY_DOWN);
    TapKey(KEY_ENTER);
    EXPECT_EQ(RunMainMenuLayout(), 0);
    EXPECT_EQ(HighlightedItem(Frames()[FADE_FRAMES + 5]), 6);
    EXPECT_EQ(HighlightedItem(Frames()[FADE_FRAMES + 6]), 1);
}

TEST_F(MenuEngineTest, OtherKeysAndModifiedArrowsChangeNothing) {
    TapKey(KEY_A);
    TapKey(KEY_SPACE);
    harness::TapKeyWith(KEY_LSHIFT, KEY_DOWN);
    harness::TapKeyWith(KEY_LCONTROL, KEY_UP);
    TapKey(KEY_ENTER);
    EXPECT_EQ(RunMainMenuLayout(), 0);
    // Each ignored key redraws the same frame.
    ASSERT_EQ(Frames().size(), 2u * FADE_FRAMES + 5);
    for (int i = 1; i <= 4; ++i) {
        EXPECT_EQ(Frames()[FADE_FRAMES + i].pixels, Frames()[FADE_FRAMES].pixels);
    }
}

TEST_F(MenuEngineTest, WithoutPresentNothingReachesTheScreen) {
    TapKey(KEY_ENTER);
    EXPECT_EQ(RunMenu(0xEA, BackBuffer, GameFont(TEXT_FONT), makecol(0, 255, 0), makecol(0, 128, 0),
                      250, 25, 20, 7, TEXTS, HELP),
              0);
    EXPECT_TRUE(Frames().empty());
}

TEST_F(MenuEngineTest, WithoutATitleEveryEntryIsAnItem) {
    TapKey(KEY_UP);
    TapKey(KEY_ENTER);
    EXPECT_EQ(RunMenu(MENU_PRESENT | MENU_HIGHLIGHT | MENU_ITEMS, BackBuffer, GameFont(TEXT_FONT),
                      makecol(0, 255, 0), makecol(0, 128, 0), 250, 25, 20, 7, TEXTS, HELP),
              6);
    EXPECT_EQ(Frames()[FADE_FRAMES].Count(makecol(255, 0, 0)), 0);
}

TEST_F(MenuEngineTest, AMenuWithNothingToChooseReturnsAtOnce) {
    EXPECT_EQ(RunMenu(0xEB, BackBuffer, GameFont(TEXT_FONT), makecol(0, 255, 0), makecol(0, 128, 0),
                      250, 25, 20, 1, TEXTS, HELP),
              -1);
    EXPECT_TRUE(Frames().empty());
}

}  // namespace
