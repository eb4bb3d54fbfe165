// Ball physics: steps, paddle bounces with their reciprocal length, bricks
// taken one per frame, wall bounces, scoring and the collision trace.

#include <allegro.h>

#include <cmath>
#include <string>

#include "game/ball.h"
#include "game/game_state.h"
#include "game/level_grid.h"
#include "shell/debug_log.h"
#include "tests/harness/harness.h"

namespace {

constexpr double START_LENGTH = 1.8027756377319946;  // |(1.0, 1.5)|

class BallTest : public harness::GameTest {
protected:
    void SetUp() override {
        GameTest::SetUp();
        SetDefaultControls();
        GameSettings = {};
        GameSettings.GameType = 99;  // no levels to load
        GameSettings.Difficulty = DIFFICULTY_EASY;
        InitVars();  // ball (318, 214) heading (1, 1.5), paddle 300 wide at (168, 378)
        for (auto &level : Level) {
            for (auto &row : level) {
                for (Brick &brick : row) {
                    brick = {};
                }
            }
        }
    }
    void TearDown() override {
        CloseDebugLog();
        GameTest::TearDown();
    }
    // A standing brick where the internal game puts it.
    static void PlaceBrick(int row, int col) {
        const BrickGeometry geometry = InternalGeometry();
        Level[0][row][col] = {1,
                              0,
                              1,
                              col * (geometry.Width + 4) + 4,
                              row * (geometry.Height + 2) + 3,
                              geometry.Width,
                              geometry.Height};
    }
    static void PutBall(float x, float y, float dx, float dy) {
        Ball.X = x;
        Ball.Y = y;
        Ball.DX = dx;
        Ball.DY = dy;
    }
    // One frame's physics, as the play loop runs it.
    static int Frame() {
        int collided = CollisionDetection(0);
        if (!collided) {
            MoveBall();
        }
        return collided;
    }
    static std::string Log() {
        std::fflush(DebugLog);
        return ReadFile("tr_debug.txt");
    }
};

TEST_F(BallTest, AnEasyGameFallsStraightToThePaddleAndBouncesOnFrameSeventy) {
    for (int frame = 1; frame < 70; ++frame) {
        ASSERT_EQ(Frame(), 0) << frame;
    }
    // Every step so far is exact: 1.5 across and 2.25 down.
    EXPECT_EQ(Ball.X, 421.5f);
    EXPECT_EQ(Ball.Y, 369.25f);
    EXPECT_EQ(GameSettings.Score, 0);
    ASSERT_EQ(Frame(), 1);
    // 103.5 pixels right of the middle of a 300-pixel paddle.
    const double angle = (1.0 - 103.5f / 300.0f) * 1.5707963267948966;
    EXPECT_FLOAT_EQ(Ball.DX, static_cast<float>(std::cos(angle) / START_LENGTH));
    EXPECT_FLOAT_EQ(Ball.DY, static_cast<float>(-std::sin(angle) / START_LENGTH));
    EXPECT_NEAR(std::hypot(Ball.DX, Ball.DY), 0.5547, 1e-4);
    EXPECT_FLOAT_EQ(Ball.X, 421.5f + Ball.DX * 1.5f);
    EXPECT_FLOAT_EQ(Ball.Y, 369.25f + Ball.DY * 1.5f);
    EXPECT_EQ(GameSettings.Score, 10);
}

TEST_F(BallTest, WherePaddleIsMetSetsTheAngle) {
    // The exact middle (168 + 150): straight up, by the right-hand rule.
    PutBall(318.0f, 370.0f, 1.0f, 1.5f);
    PaddleBounce();
    EXPECT_GT(Ball.DX, 0.0f);
    EXPECT_LT(Ball.DX, 1e-16f);
    EXPECT_FLOAT_EQ(Ball.DY, static_cast<float>(-1.0 / START_LENGTH));
    // One pixel left of the middle: the left-hand rule.
    PutBall(317.0f, 370.0f, 1.0f, 1.5f);
    PaddleBounce();
    EXPECT_LT(Ball.DX, 0.0f);
    EXPECT_GT(Ball.DX, -0.01f);
    // The ends: 45 degrees, left and right.
    PutBall(168.0f, 370.0f, 1.0f, 1.5f);
    PaddleBounce();
    EXPECT_NEAR(Ball.DX, -0.3922, 1e-4);
    EXPECT_NEAR(Ball.DY, -0.3922, 1e-4);
    PutBall(468.0f, 370.0f, 1.0f, 1.5f);
    PaddleBounce();
    EXPECT_NEAR(Ball.DX, 0.3922, 1e-4);
    EXPECT_NEAR(Ball.DY, -0.3922, 1e-4);
    EXPECT_EQ(GameSettings.Score, 40);
}

TEST_F(BallTest, ASunkenBallBouncesEveryFrameAndItsLengthFlipsEachTime) {
    PutBall(318.0f, 420.0f, 1.0f, 1.5f);  // far below the paddle's top, over its middle
    double length = START_LENGTH;
    for (int frame = 0; frame < 4; ++frame) {
        ASSERT_EQ(Frame(), 1);
        const double new_length = std::hypot(Ball.DX, Ball.DY);
        EXPECT_NEAR(new_length, 1.0 / length, 1e-6) << frame;
        length = new_length;
    }
    EXPECT_EQ(GameSettings.Score, 40);
}

TEST_F(BallTest, ABallJustBeyondThePaddlesEndsFallsPast) {
    OpenDebugLog();
    PutBall(167.0f, 420.0f, 0.0f, 1.0f);
    EXPECT_EQ(PaddleContact(), 0);
    EXPECT_EQ(CollisionDetection(0), 0);
    PutBall(469.0f, 420.0f, 0.0f, 1.0f);
    EXPECT_EQ(PaddleContact(), 0);
    PutBall(468.0f, 368.0f, 0.0f, 1.0f);  // the edges count
    EXPECT_EQ(PaddleContact(), 1);
    PutBall(468.0f, 367.9f, 0.0f, 1.0f);
    EXPECT_EQ(PaddleContact(), 0);
    // Nothing met: exactly one line in the log.
    EXPECT_EQ(Log(), "Now checking for BrickCollision()...\n");
}

TEST_F(BallTest, TwoBricksAtOnceFallInTwoFramesTopRowFirstThenTheBallMovesOn) {
    PlaceBrick(3, 5);  // x 319..378, y 72..93
    PlaceBrick(2, 6);  // x 382..441, y 49..70
    PutBall(380.0f, 71.0f, 1.0f, 1.5f);
    int32_t row = -1, col = -1;
    ASSERT_EQ(BrickCollision(0, &row, &col), 1);
    EXPECT_EQ(row, 2);
    EXPECT_EQ(col, 6);

    ASSERT_EQ(Frame(), 1);
    EXPECT_EQ(Level[0][2][6].Used, 0);
    EXPECT_EQ(Level[0][3][5].Used, 1);
    ASSERT_EQ(Frame(), 1);
    EXPECT_EQ(Level[0][3][5].Used, 0);
    EXPECT_EQ(Ball.X, 380.0f);  // unmoved while it took the bricks
    EXPECT_EQ(Ball.Y, 71.0f);
    EXPECT_EQ(LevelCleared(0), 1);
    ASSERT_EQ(Frame(), 0);
    EXPECT_EQ(Ball.X, 381.5f);
    EXPECT_EQ(Ball.Y, 73.25f);
    EXPECT_EQ(GameSettings.Score, 100);
}

TEST_F(BallTest, BrickEdgesCountAndAMissLeavesTheOutParametersAlone) {
    PlaceBrick(0, 0);  // x 4..63, y 3..24
    int32_t row = 7, col = 7;
    PutBall(73.0f, 14.0f, 0.0f, 0.0f);  // left side exactly on the right edge
    EXPECT_EQ(BrickCollision(0, &row, &col), 1);
    EXPECT_EQ(row, 0);
    EXPECT_EQ(col, 0);
    row = col = 7;
    PutBall(73.01f, 14.0f, 0.0f, 0.0f);
    EXPECT_EQ(BrickCollision(0, &row, &col), 0);
    EXPECT_EQ(row, 7);
    EXPECT_EQ(col, 7);
    Level[0][0][0].Used = 2;  // only exactly 1 stands
    PutBall(30.0f, 14.0f, 0.0f, 0.0f);
    EXPECT_EQ(BrickCollision(0, &row, &col), 0);
    EXPECT_EQ(LevelCleared(0), 1);
}

TEST_F(BallTest, ABrickAtAWallFallsBeforeTheWallBounce) {
    PlaceBrick(0, 0);
    PutBall(12.0f, 30.0f, -1.0f, 0.5f);  // touching the left wall and the brick's bottom
    ASSERT_EQ(Frame(), 1);
    EXPECT_EQ(Level[0][0][0].Used, 0);
    EXPECT_EQ(Ball.DX, -1.0f);
    EXPECT_EQ(GameSettings.Score, 50);
    ASSERT_EQ(Frame(), 1);
    EXPECT_FLOAT_EQ(Ball.DX, 1.2f);  // |dx| + 0.2
    EXPECT_FLOAT_EQ(Ball.X, 13.8f);
    EXPECT_EQ(GameSettings.Score, 55);
}

TEST_F(BallTest, RightWallTurnsTheBallAndSpeedsItUp) {
    PutBall(628.0f, 200.0f, 2.0f, 1.0f);
    ASSERT_EQ(Frame(), 1);
    EXPECT_FLOAT_EQ(Ball.DX, -2.2f);
    EXPECT_FLOAT_EQ(Ball.X, 624.7f);
    EXPECT_EQ(Ball.Y, 201.5f);
    EXPECT_EQ(GameSettings.Score, 5);
}

TEST_F(BallTest, ASlowBallAtTheTopBouncesEveryFrameUntilAStepCarriesItClear) {
    PutBall(300.0f, 11.0f, 0.0f, -0.1f);
    int bounces = 0;
    while (Frame() == 1) {
        EXPECT_GE(Ball.Y, 10.0f);  // put back at y = radius, then one step down
        ASSERT_LT(++bounces, 20);
    }
    // dy goes 0.3, 0.5, ... 1.5: the seventh step, 2.25 pixels, clears the wall.
    EXPECT_EQ(bounces, 7);
    EXPECT_NEAR(Ball.DY, 1.5f, 1e-5);
    EXPECT_EQ(GameSettings.Score, 35);
}

TEST_F(BallTest, ABallOverThePaddleAtASideWallOnlyBouncesOffThePaddle) {
    Paddle.X = 3;
    PutBall(5.0f, 370.0f, -1.0f, 1.5f);
    ASSERT_EQ(Frame(), 1);
    EXPECT_LT(Ball.DX, 0.0f);  // still heading left: no wall bounce this frame
    EXPECT_LT(Ball.DY, 0.0f);
    EXPECT_EQ(GameSettings.Score, 10);
}

TEST_F(BallTest, ABrickHitIsTracedInTheLogWithTwoPicturesOfTheLevel) {
    OpenDebugLog();
    PlaceBrick(0, 0);
    PlaceBrick(0, 9);
    PlaceBrick(8, 4);  // the ball's start touches this one
    ASSERT_EQ(Frame(), 1);
    const std::string bullet = "\x95";
    const std::string empty_row = "          \n";
    const std::string top_row = bullet + "        " + bullet + "\n";
    std::string before = top_row, after = top_row;
    for (int row = 1; row < 8; ++row) {
        before += empty_row;
        after += empty_row;
    }
    before += "    " + bullet + "     \n";
    after += empty_row;
    EXPECT_EQ(Log(),
              "Now checking for BrickCollision()...\n"
              "Collision result was a collision, with value 1 at [Row,Col] [8,4], Currently this "
              "brick's Used status is 1...\n" +
                  before + "Now Level[0][8][4].Used = FALSE...\n" + after +
                  "Return TRUE from CollisionDetection...\n");
}

TEST_F(BallTest, DistanceIsEuclideanInDoublePrecision) {
    EXPECT_EQ(Distance(0.0f, 0.0f, 3.0f, 4.0f), 5.0);
    EXPECT_EQ(Distance(2.0f, 0.0f, -10.0f, 0.0f), 12.0);
    EXPECT_DOUBLE_EQ(Distance(0.0f, 0.0f, 1.0f, 1.0f), std::sqrt(2.0));
}

}  // namespace
