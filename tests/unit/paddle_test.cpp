// Paddle control: the mouse, the two keys, and the walls that hold the
// paddle inside the playfield.

#include <allegro.h>

#include "game/game_state.h"
#include "game/paddle.h"
#include "tests/harness/harness.h"

namespace {

using harness::HoldKey;
using harness::MoveMouse;

class PaddleTest : public harness::GameTest {
protected:
    void SetUp() override {
        GameTest::SetUp();
        SetDefaultControls();
        Paddle = {168, 378, 300, 25};
    }
    static void UseKeys(float step) {
        Controls.UseMouse = 0;
        Controls.UseKeyboard = 1;
        Controls.KeyStep = step;
    }
    // Keys and mouse moves scheduled for frame 0 apply at the first retrace.
    static void NextFrame() { vsync(); }
};

TEST_F(PaddleTest, TheMouseMovesThePaddleByItsSensitivity) {
    MoveMouse(0, 25, 7);
    NextFrame();
    MovePaddle();
    EXPECT_EQ(Paddle.X, 193);
    EXPECT_EQ(MickeyX, 25);
    EXPECT_EQ(MickeyY, 7);

    // At half sensitivity half a pixel to the right stays put; to the left
    // it truncates toward zero, one whole pixel.
    Controls.MouseSensitivity = 50.0f;
    MoveMouse(1, 1, 0);
    NextFrame();
    MovePaddle();
    EXPECT_EQ(Paddle.X, 193);
    MoveMouse(2, -1, 0);
    NextFrame();
    MovePaddle();
    EXPECT_EQ(Paddle.X, 192);

    // A negative sensitivity turns the mouse around.
    Controls.MouseSensitivity = -100.0f;
    MoveMouse(3, 10, 0);
    NextFrame();
    MovePaddle();
    EXPECT_EQ(Paddle.X, 182);
}

TEST_F(PaddleTest, KeysMoveByTheStepAndRightWinsWhenBothAreHeld) {
    UseKeys(20.0f);
    HoldKey(KEY_LEFT, 0, 1);
    NextFrame();
    MovePaddle();
    EXPECT_EQ(Paddle.X, 148);
    NextFrame();
    MovePaddle();  // let go
    EXPECT_EQ(Paddle.X, 148);
    HoldKey(KEY_LEFT, 2, 10);
    HoldKey(KEY_RIGHT, 2, 10);
    NextFrame();
    MovePaddle();
    EXPECT_EQ(Paddle.X, 168);
}

TEST_F(PaddleTest, AHeldKeyReplacesTheMouseMovement) {
    Controls.UseKeyboard = 1;  // both on, as only a hand-made setting could be
    MoveMouse(0, 50, 0);
    HoldKey(KEY_LEFT, 0, 5);
    NextFrame();
    MovePaddle();
    EXPECT_EQ(Paddle.X, 148);
}

TEST_F(PaddleTest, TheWallsPutThePaddleBackInsideByOnePixel) {
    UseKeys(20.0f);
    HoldKey(KEY_LEFT, 0, 5);
    Paddle.X = 10;
    NextFrame();
    MovePaddle();
    EXPECT_EQ(Paddle.X, 3);

    HoldKey(KEY_RIGHT, 1, 5);
    HoldKey(KEY_LEFT, 1, 1);  // let go of Left
    Paddle.X = 330;
    NextFrame();
    MovePaddle();
    EXPECT_EQ(Paddle.X, 337);  // right edge at 637
    Paddle = {550, 378, 75, 25};
    MovePaddle();
    EXPECT_EQ(Paddle.X, 562);
}

TEST_F(PaddleTest, AgainstAWallThePaddleIgnoresInputThatFrame) {
    Paddle.X = 2;  // on the wall: no input is read, the wall puts it at 3
    MoveMouse(0, 40, 0);
    NextFrame();
    MovePaddle();
    EXPECT_EQ(Paddle.X, 3);
    MovePaddle();  // the movement is still waiting and is read now
    EXPECT_EQ(Paddle.X, 43);
}

TEST_F(PaddleTest, ZeroOrNegativeStepsAndNoControlAtAll) {
    UseKeys(0.0f);
    HoldKey(KEY_RIGHT, 0, 5);
    NextFrame();
    MovePaddle();
    EXPECT_EQ(Paddle.X, 168);
    Controls.KeyStep = -5.0f;
    MovePaddle();
    EXPECT_EQ(Paddle.X, 163);
    Controls.UseKeyboard = 0;
    MovePaddle();
    EXPECT_EQ(Paddle.X, 163);
}

TEST_F(PaddleTest, AWildStepOrAnUnknownKeyCannotBreakThePaddle) {
    UseKeys(1e30f);
    HoldKey(KEY_RIGHT, 0, 1);
    NextFrame();
    MovePaddle();  // far beyond the wall: brought back, if not to the pixel
    NextFrame();
    MovePaddle();
    EXPECT_EQ(Paddle.X, 337);
    Controls.LeftKey = -4;
    Controls.RightKey = KEY_MAX + 10;
    MovePaddle();
    EXPECT_EQ(Paddle.X, 337);
}

}  // namespace
