// The level files and one frame of the rules, case by case with exact values:
// the number format, the internal loader with its dump, and a missing file;
// the paddle under the mouse and the keys, and the ball's collisions with the
// paddle, the bricks and the walls. Where the bricks stand, whole games show.

#include <allegro.h>
#include <allegro/internal/aintern.h>
#include <unistd.h>

#include <cstdio>
#include <string>
#include <tuple>

#include "game/ball.h"
#include "game/game_state.h"
#include "game/level_grid.h"
#include "game/paddle.h"
#include "tests/harness/harness.h"

namespace {

using namespace harness;

class RulesTest : public GameTest {};

const std::vector<std::string> NO_BRICKS = {
    "IntLvl01.trl=", "IntLvl02.trl=", "IntLvl03.trl=", "IntLvl04.trl=", "IntLvl05.trl="};

TEST_F(RulesTest, ThePaddleFollowsTheMouseOrTheKeysBetweenTheWalls) {
    struct Case {
        ControlSettings controls;  // mouse, keys, sensitivity, left key, right key, step
        int32_t x, width, mickeys;
        int held[2];
        int32_t expected;
    };
    // clang-format off
    const Case cases[] = {
        {{1, 0, 100, KEY_LEFT, KEY_RIGHT, 20}, 168, 300, 7, {}, 175},
        {{1, 0, 250, KEY_LEFT, KEY_RIGHT, 20}, 168, 300, 3, {}, 175},
        {{1, 0, 50, KEY_LEFT, KEY_RIGHT, 20}, 168, 300, 1, {}, 168},            // +0.5 truncates to nothing
        {{1, 0, 50, KEY_LEFT, KEY_RIGHT, 20}, 168, 300, -1, {}, 167},           // 167.5 truncates to 167
        {{1, 0, -100, KEY_LEFT, KEY_RIGHT, 20}, 168, 300, 4, {}, 164},
        {{1, 1, 100, KEY_LEFT, KEY_RIGHT, 20}, 168, 300, 9, {KEY_LEFT}, 148},   // a held key wins
        {{0, 1, 100, KEY_A, KEY_RIGHT, 20}, 168, 300, 0, {KEY_A, KEY_RIGHT}, 188},  // both: right
        {{0, 1, 100, KEY_A, KEY_RIGHT, 20}, 10, 300, 0, {KEY_A}, 3},
        {{0, 1, 100, KEY_A, KEY_RIGHT, 20}, 330, 300, 0, {KEY_RIGHT}, 337},
        {{0, 1, 100, KEY_A, KEY_RIGHT, 20}, 600, 75, 0, {KEY_RIGHT}, 562},
        {{0, 1, 100, KEY_A, KEY_RIGHT, -3}, 100, 75, 0, {KEY_A}, 103},
        {{0, 1, 100, KEY_A, KEY_RIGHT, 20}, 2, 300, 0, {KEY_RIGHT}, 3},         // at a wall: no input
        {{0, 0, 100, KEY_A, KEY_RIGHT, 20}, 100, 300, 5, {KEY_A}, 100},
    };
    // clang-format on
    for (const Case &c : cases) {
        Controls = c.controls;
        Paddle = {c.x, 378, c.width, 25};
        MoveMouse(0, c.mickeys, 0);
        vsync();  // the retrace hands the mouse movement out
        for (int scancode : c.held) {
            if (scancode) {
                _handle_key_press(0, scancode);
            }
        }
        MovePaddle();
        EXPECT_EQ(Paddle.X, c.expected) << c.x << " " << c.mickeys << " " << c.controls.KeyStep;
        Reset();  // lets the keys go and forgets unread movement
    }
    // Each game derives its step from the player's own: Medium halves it, once.
    LayOut(NO_BRICKS);
    Controls.ConfiguredKeyStep = 20;
    GameSettings = {"ANN", DIFFICULTY_MEDIUM, 70, GAME_INTERNAL, 3};
    InitVars();
    InitVars();
    EXPECT_EQ(Controls.KeyStep, 10);
}

TEST_F(RulesTest, EachCollisionMovesTheBallAndScoresExactly) {
    struct Case {
        const char *what;
        float x, y, dx, dy;
        int collided;
        float after_x, after_y, after_dx, after_dy;
        int score, bricks_left;
    };
    // The Easy paddle spans x 168 to 468 with its top at 378; the ball's radius is 10 and its speed
    // 1.5. Bricks stand at (2, 6) and (3, 5). A paddle bounce leaves at (1 - off-centre / width) x
    // 90 degrees, its direction's length the reciprocal of the old one's: the values below were
    // worked out apart from the game, in double precision rounded to float as the game stores them.
    // clang-format off
    const Case cases[] = {
        {"nothing met", 100, 300, 1, 1.5f, 0, 101.5f, 302.25f, 1, 1.5f, 0, 2},
        {"the paddle's middle", 318, 370, 1, 1.5f, 1, 318, 0x1.712afep+8f, 0x1.3946fcp-55f, -0x1.1c01aap-1f, 10, 2},
        {"one pixel left of it", 317, 370, 1, 1.5f, 1, 0x1.3cfee2p+8f, 0x1.712bp+8f, -0x1.7caf2ap-9f, -0x1.1c00aap-1f, 10, 2},
        {"the paddle's left end", 168, 370, 1, 1.5f, 1, 0x1.4ed2c4p+7f, 0x1.716962p+8f, -0x1.91a556p-2f, -0x1.91a556p-2f, 10, 2},
        {"its right end, fast", 468, 370, -2, 1, 1, 0x1.d4796ep+8f, 0x1.718692p+8f, 0x1.43d136p-2f, -0x1.43d136p-2f, 10, 2},
        {"sunk deep, slow", 400, 420, 0.25f, 0.5f, 1, 0x1.911df4p+8f, 0x1.a18f6ep+8f, 0x1.7d44d4p-1f, -0x1.a061b6p+0f, 10, 2},
        {"beyond the right end", 469, 420, 0, 1, 0, 469, 421.5f, 0, 1, 0, 2},
        {"the top edge only just", 300, 368, 0, 1, 1, 0x1.2bdbdcp+8f, 0x1.6e81b4p+8f, -0x1.8177b8p-4f, -0x1.fdba4cp-1f, 10, 2},
        {"two bricks: the upper first", 380, 71, 1, 1.5f, 1, 380, 71, 1, 1.5f, 50, 1},
        {"a corner on a brick's right edge", 451, 50, -1, 1.5f, 1, 451, 50, -1, 1.5f, 50, 1},
        {"just past it", 452, 50, -1, 1.5f, 0, 450.5f, 52.25f, -1, 1.5f, 0, 2},
        {"the left wall", 12, 300, -1.5f, 1, 1, 0x1.d1999ap+3f, 301.5f, 0x1.b33334p+0f, 1, 5, 2},
        {"the right wall", 628, 300, 1, 1, 1, 0x1.39199ap+9f, 301.5f, -0x1.333334p+0f, 1, 5, 2},
        {"the top wall", 300, 11, 1, -1.5f, 1, 301.5f, 0x1.91999ap+3f, 1, 0x1.b33334p+0f, 5, 2},
    };
    // clang-format on
    LayOut(NO_BRICKS);
    for (const Case &c : cases) {
        SCOPED_TRACE(c.what);
        GameSettings = {"ANN", DIFFICULTY_EASY, 0, GAME_INTERNAL, 0};
        InitVars();
        for (const auto &[row, col] : {std::pair{2, 6}, std::pair{3, 5}}) {
            Level[0][row][col] = {1, 0, 1, col * 63 + 4, row * 23 + 3, 59, 21};
        }
        Ball.X = c.x, Ball.Y = c.y, Ball.DX = c.dx, Ball.DY = c.dy;
        const int collided = CollisionDetection(0);
        if (!collided) {
            MoveBall();
        }
        EXPECT_EQ(
            std::tuple(collided, GameSettings.Score, Level[0][2][6].Used + Level[0][3][5].Used,
                       Ball.X, Ball.Y, Ball.DX, Ball.DY),
            std::tuple(c.collided, c.score, c.bricks_left, c.after_x, c.after_y, c.after_dx,
                       c.after_dy));
    }
}

// Reads a level from text into slot 1, filled with marker values first, and
// describes the first cells and the last: value, then * for a brick.
std::string Load(const std::string &text, int32_t marker) {
    for (auto &row : Level[1]) {
        for (Brick &brick : row) {
            brick = {9, 99, marker, 0, 0, 0, 0};
        }
    }
    FILE *file = fmemopen(const_cast<char *>(text.data()), text.size(), "r");
    ReadLevelFile(file, 1, InternalGeometry());
    std::fclose(file);
    std::string cells;
    for (int i : {0, 1, 2, 3, 89}) {
        const Brick &brick = Level[1][i / 10][i % 10];
        EXPECT_EQ(brick.Spare, 0);
        cells += std::to_string(brick.Value) + (brick.Used == 1 ? "* " : " ");
    }
    return cells;
}

TEST_F(RulesTest, NumbersReadAsTheGameReadsThem) {
    struct Case {
        std::string text;
        int32_t marker;
        const char *cells;
    };
    const Case cases[] = {
        {Repeat("0\n", 90), 5, "0 0 0 0 0 "},
        {Repeat("7 ", 90), 0, "7* 7* 7* 7* 7* "},
        {Repeat("-1\t", 90), 0, "-1* -1* -1* -1* -1* "},
        {" \t1\n\n 0\r\n+3 \t" + Repeat("2  ", 87), 0, "1* 0 3* 2* 2* "},
        {"1 0 1", 4, "1* 0 1* 4* 4* "},                  // short: the rest keep their values
        {"6 x 6" + Repeat("6 ", 87), 0, "6* 0 0 0 0 "},  // garbage ends the numbers
        {"6 - 6" + Repeat("6 ", 87), 0, "6* 0 0 0 0 "},  // so does a lone sign
        {"99999999999 -99999999999 2147483647 -2147483648" + Repeat(" 1", 86), 0,
         "2147483647* -2147483648* 2147483647* -2147483648* 1* "},
        {Repeat("3 ", 89) + "4 8 8 8", 0, "3* 3* 3* 3* 4* "},  // the 90th is the last read
    };
    for (const Case &c : cases) {
        EXPECT_EQ(Load(c.text, c.marker), c.cells) << c.text.substr(0, 40);
    }
}

// Level n has its one brick in cell 84 + n, so the dump shows each in its slot.
TEST_F(RulesTest, InternalLevelsLoadIntoTheirSlotsAndAreDumped) {
    for (int n = 1; n <= 5; ++n) {
        WriteFile("IntLvl0" + std::to_string(n) + ".trl", Repeat("0 ", 84 + n) + "1");
    }
    WriteFile("ldlvldbg.txt",
              "an older dump that is longer than the new one will be" + std::string(50000, '.'));
    LoadInternalLevels();
    EXPECT_TRUE(MatchesGolden("load_dump", ReadFile("ldlvldbg.txt")));
}

// A level file that is missing, or is a FIFO (which would stall the game:
// the alarm ends it) or a directory, is no level.
TEST_F(RulesTest, AMissingLevelFileEndsTheGameNamingIt) {
    for (const auto &[made, name] : {std::pair{"IntLvl03.trl=1", "IntLvl04.trl"},
                                     {"IntLvl03.trl|", "IntLvl03.trl"},
                                     {"IntLvl03.trl/", "IntLvl03.trl"}}) {
        LayOut({"IntLvl01.trl=1", "IntLvl02.trl=1", made, "IntLvl05.trl=1"});
        EXPECT_EXIT((alarm(5), LoadInternalLevels()), testing::ExitedWithCode(1),
                    "MESSAGE: Unable to open Internal level file \"" + std::string(name) +
                        "\" for reading!");
        EXPECT_EQ(Contents("ldlvldbg.txt"), "(missing)");
    }
}

}  // namespace
