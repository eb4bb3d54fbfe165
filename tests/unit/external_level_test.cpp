// The external game's level: the prompt, how a typed name finds its file,
// the wall-to-wall geometry and the way back to the menu for a bad name.

#include <allegro.h>

#include <string>

#include "game/game_state.h"
#include "game/level_grid.h"
#include "shell/game_data.h"
#include "tests/harness/harness.h"
#include "ui/menus.h"

namespace {

using harness::Frames;
using harness::TapKey;

constexpr size_t FADE_FRAMES = 51;  // a menu's fade-in

class ExternalLevelTest : public harness::GameTest {
protected:
    void SetUp() override {
        GameTest::SetUp();
        for (auto &level : Level) {
            for (auto &row : level) {
                for (Brick &brick : row) {
                    brick = {};
                }
            }
        }
    }
    static void Type(const std::string &letters) {
        for (char c : letters) {
            TapKey(KEY_A + (c - 'A'));
        }
        TapKey(KEY_ENTER);
    }
    static std::string OneBrickAt(int index) {
        std::string text;
        for (int i = 0; i < 90; ++i) {
            text += i == index ? "1\n" : "0\n";
        }
        return text;
    }
};

TEST_F(ExternalLevelTest, ATypedNameLoadsItsFileIntoTheFirstSlot) {
    WriteFile("MYLEVEL.trl", OneBrickAt(0));
    Level[1][0][0] = {1, 0, 9, 4, 3, 59, 21};  // an internal level stays as it was
    Type("MYLEVEL");
    LoadExternalLevel();
    const Brick &brick = Level[0][0][0];
    EXPECT_EQ(brick.Used, 1);
    EXPECT_EQ(brick.X, 2);
    EXPECT_EQ(brick.Y, 1);
    EXPECT_EQ(brick.X + brick.Width, 62);
    EXPECT_EQ(brick.Y + brick.Height, 25);
    EXPECT_EQ(Level[0][0][1].Used, 0);
    EXPECT_EQ(Level[1][0][0].Value, 9);
    // The prompt fades in, is presented once more, then each key is echoed.
    EXPECT_EQ(Frames().size(), 34u + 1u + 8u);
    EXPECT_TRUE(
        harness::ShowsText(Frames()[34], GameFont(TEXT_FONT), "\".trl\" extension, as this is", 10,
                           60 + 5 * (text_height(GameFont(TEXT_FONT)) + 5), makecol(123, 231, 0)));
}

TEST_F(ExternalLevelTest, AFileNamedInAnyCaseIsFoundTheExactNameFirst) {
    WriteFile("mylevel.trl", OneBrickAt(1));
    WriteFile("MyLevel.TRL", OneBrickAt(2));
    Type("MYLEVEL");
    LoadExternalLevel();
    EXPECT_EQ(Level[0][0][2].Used, 1);  // "MyLevel.TRL" sorts first, byte by byte
    EXPECT_EQ(Level[0][0][1].Used, 0);

    WriteFile("MYLEVEL.trl", OneBrickAt(3));
    Type("MYLEVEL");
    LoadExternalLevel();
    EXPECT_EQ(Level[0][0][3].Used, 1);
}

TEST_F(ExternalLevelTest, AnEmptyNameLooksForDotTrl) {
    WriteFile(".trl", OneBrickAt(4));
    Type("");
    LoadExternalLevel();
    EXPECT_EQ(Level[0][0][4].Used, 1);
}

TEST_F(ExternalLevelTest, AMissingFileShowsTheNoticeAndGoesBackToTheMainMenu) {
    TapKey(KEY_ENTER);  // New Game
    Type("ANN");
    TapKey(KEY_E);  // easy
    TapKey(KEY_E);  // external
    Type("NOPE");
    TapKey(KEY_SPACE);  // leaves the notice
    // Twice more, to see the menu keeps coming back the same way.
    TapKey(KEY_ENTER);
    Type("ANN");
    TapKey(KEY_E);
    TapKey(KEY_E);
    Type("NOPE");
    TapKey(KEY_SPACE);
    EXPECT_THROW(MainMenu(), harness::ScriptEnded);
    EXPECT_EQ(harness::KeysLeft(), 0);
    // Menu in and out, the dialog, the prompt, the notice, and the menu again.
    const size_t menu = 2 * FADE_FRAMES + 1;
    const size_t dialog = 3 * 35 + 4;
    const size_t prompt = 35 + 5;
    const size_t notice = 34 + 1;
    const size_t round = menu + dialog + prompt + notice;
    ASSERT_EQ(Frames().size(), 2 * round + FADE_FRAMES + 1);
    const harness::Frame &shown = Frames()[menu + dialog + prompt + notice - 1];
    FONT *f = GameFont(TEXT_FONT);
    const int pitch = text_height(f) + 5;
    EXPECT_TRUE(harness::ShowsText(shown, f, "CAN'T YOU DO ANYTHING RIGHT?", 10, 60 + 2 * pitch,
                                   makecol(123, 231, 0)));
    EXPECT_TRUE(harness::ShowsText(shown, f, "return to the main menu.", 10, 60 + 5 * pitch,
                                   makecol(123, 231, 0)));
    EXPECT_TRUE(Frames()[round].IsBlack());  // the main menu fades in afresh
    EXPECT_EQ(Frames()[round + FADE_FRAMES].pixels, Frames()[FADE_FRAMES].pixels);
}

}  // namespace
