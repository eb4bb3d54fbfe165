// The screen and keyboard helpers: what WaitForKey returns, what
// PresentBuffer copies, and the window's close button.

#include <allegro.h>
#include <allegro/internal/aintern.h>

#include "records/high_scores.h"
#include "shell/screen.h"
#include "tests/harness/harness.h"

namespace {

using harness::TapKey;

class ScreenTest : public harness::GameTest {};

TEST_F(ScreenTest, WaitForKeyReturnsTheKeyPressedAfterTheCall) {
    _handle_key_press('q', KEY_Q);  // waiting before the call: discarded
    _handle_key_release(KEY_Q);
    TapKey(KEY_ENTER);
    EXPECT_EQ(WaitForKey(), KEY_ENTER);
    EXPECT_EQ(harness::KeysLeft(), 0);
}

TEST_F(ScreenTest, WaitForKeyReturnsTheHighestScancodeHeld) {
    _handle_key_press(-1, KEY_Z);  // held, but its press is already gone
    TapKey(KEY_A);
    EXPECT_EQ(WaitForKey(), KEY_Z);
    _handle_key_release(KEY_Z);
}

TEST_F(ScreenTest, AModifierHeldWithAnArrowWins) {
    harness::TapKeyWith(KEY_RSHIFT, KEY_DOWN);
    EXPECT_EQ(WaitForKey(), KEY_RSHIFT);
}

TEST_F(ScreenTest, AKeyLetGoBeforeTheScanMatchesNoKey) {
    harness::TapAndLetGo(KEY_ENTER);
    EXPECT_EQ(WaitForKey(), 0);
}

TEST_F(ScreenTest, PresentBufferCopiesTheWholeBackBuffer) {
    for (int y = 0; y < SCREEN_H; ++y) {
        for (int x = 0; x < SCREEN_W; ++x) {
            putpixel(BackBuffer, x, y, makecol(x & 255, y & 255, (x + y) & 255));
        }
    }
    PresentBuffer();
    ASSERT_EQ(harness::Frames().size(), 1u);
    EXPECT_EQ(screen->w, 640);
    EXPECT_EQ(screen->h, 480);
    for (int y = 0; y < SCREEN_H; ++y) {
        for (int x = 0; x < SCREEN_W; ++x) {
            ASSERT_EQ(getpixel(screen, x, y), getpixel(BackBuffer, x, y)) << x << "," << y;
        }
    }
    ClearBuffer(BackBuffer);
    PresentBuffer();
    EXPECT_TRUE(harness::Frames().back().IsBlack());
}

TEST_F(ScreenTest, TheCloseButtonEndsTheGameAtTheNextKeyWait) {
    LoadHighScores();
    harness::PressCloseButton();
    EXPECT_EXIT(WaitForKey(), testing::ExitedWithCode(0), "");
    EXPECT_EQ(ReadFile("IntHiScores.dat").size(), 360u);
    EXPECT_EQ(ReadFile("ExtHiScores.dat").size(), 360u);
}

TEST_F(ScreenTest, TheCloseButtonEndsTheGameAtTheNextFrame) {
    LoadHighScores();
    harness::PressCloseButton();
    EXPECT_EXIT(PresentBuffer(), testing::ExitedWithCode(0), "");
    EXPECT_EQ(ReadFile("ExtHiScores.dat").size(), 360u);
}

}  // namespace
