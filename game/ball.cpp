// Ball physics. The ball never bounces off bricks: it takes one brick per
// frame, standing still, and goes on its way once nothing is left to touch.

#include "game/ball.h"

#include <allegro.h>

#include <cmath>
#include <cstdlib>

#include "game/game_state.h"
#include "game/level_grid.h"
#include "shell/debug_log.h"
#include "shell/screen.h"

namespace {

constexpr int POINTS_WALL = 5;
constexpr int POINTS_PADDLE = 10;
constexpr int POINTS_BRICK = 50;
constexpr float WALL = 2.0f;
constexpr double HALF_PI = 1.5707963267948966;
// The bullet of the Windows-1252 code page, marking a standing brick in the log.
constexpr char BRICK_MARK = static_cast<char>(0x95);

// The score wraps rather than overflowing, after some weeks at a wall.
void AddScore(int points) {
    GameSettings.Score = static_cast<int32_t>(static_cast<uint32_t>(GameSettings.Score) +
                                              static_cast<uint32_t>(points));
}

// The level as a picture in the log: a mark for each standing brick.
void LogGrid(int level) {
    for (int row = 0; row < LEVEL_ROWS; ++row) {
        char line[LEVEL_COLUMNS + 1];
        for (int col = 0; col < LEVEL_COLUMNS; ++col) {
            line[col] = Level[level][row][col].Used == 1 ? BRICK_MARK : ' ';
        }
        line[LEVEL_COLUMNS] = '\0';
        LogLine("%s\n", line);
    }
}

bool CornerInBrick(float cx, float cy, const Brick &brick) {
    return static_cast<float>(brick.X) <= cx && cx <= static_cast<float>(brick.X + brick.Width) &&
           static_cast<float>(brick.Y) <= cy && cy <= static_cast<float>(brick.Y + brick.Height);
}

void HitBrick(int level, int32_t row, int32_t col) {
    Brick &brick = Level[level][row][col];
    LogLine(
        "Collision result was a collision, with value %d at [Row,Col] [%d,%d], Currently this "
        "brick's Used status is %d...\n",
        1, row, col, brick.Used);
    LogGrid(level);
    brick.Used = 0;
    LogLine("Now Level[%d][%d][%d].Used = FALSE...\n", level, row, col);
    LogGrid(level);
    AddScore(POINTS_BRICK);
    LogLine("Return TRUE from CollisionDetection...\n");
}

}  // namespace

double Distance(float x1, float y1, float x2, float y2) {
    const float dx = x2 - x1;
    const float dy = y2 - y1;
    return std::sqrt(std::pow(static_cast<double>(dx), 2) + std::pow(static_cast<double>(dy), 2));
}

void MoveBall() {
    Ball.X = Ball.X + Ball.DX * Ball.Speed;
    Ball.Y = Ball.Y + Ball.DY * Ball.Speed;
}

int PaddleContact() {
    return Ball.X >= static_cast<float>(Paddle.X) &&
                   Ball.X <= static_cast<float>(Paddle.X + Paddle.Width) &&
                   Ball.Y + static_cast<float>(Ball.Radius) >= static_cast<float>(Paddle.Y)
               ? 1
               : 0;
}

void PaddleBounce() {
    const int32_t mid = Paddle.X + Paddle.Width / 2;
    // The old direction's length divides the new unit direction: a fast ball
    // leaves slow, a slow one fast.
    const double length = std::sqrt(std::pow(static_cast<double>(Ball.DX), 2) +
                                    std::pow(static_cast<double>(Ball.DY), 2));
    if (static_cast<float>(mid) > Ball.X) {
        const double off_centre = Distance(static_cast<float>(mid), 0, Ball.X, 0) / Paddle.Width;
        const double angle = (1.0 - off_centre) * HALF_PI;
        Ball.DX = static_cast<float>(-std::cos(angle) / length);
        Ball.DY = static_cast<float>(-std::sin(angle) / length);
    } else {
        const float off_centre =
            (Ball.X - static_cast<float>(mid)) / static_cast<float>(Paddle.Width);
        const double angle = (1.0 - off_centre) * HALF_PI;
        Ball.DX = static_cast<float>(std::cos(angle) / length);
        Ball.DY = static_cast<float>(-std::sin(angle) / length);
    }
    AddScore(POINTS_PADDLE);
    MoveBall();
}

int BrickCollision(int level, int32_t *row, int32_t *col) {
    const float radius = static_cast<float>(Ball.Radius);
    const float left = Ball.X - radius;
    const float right = Ball.X + radius;
    const float top = Ball.Y - radius;
    const float bottom = Ball.Y + radius;
    for (int r = 0; r < LEVEL_ROWS; ++r) {
        for (int c = 0; c < LEVEL_COLUMNS; ++c) {
            const Brick &brick = Level[level][r][c];
            if (brick.Used != 1) {
                continue;
            }
            if (CornerInBrick(left, top, brick) || CornerInBrick(left, bottom, brick) ||
                CornerInBrick(right, top, brick) || CornerInBrick(right, bottom, brick)) {
                *row = r;
                *col = c;
                return 1;
            }
        }
    }
    return 0;
}

int CollisionDetection(int level) {
    if (PaddleContact()) {
        PaddleBounce();
        return 1;
    }
    LogLine("Now checking for BrickCollision()...\n");
    int32_t row, col;
    if (BrickCollision(level, &row, &col)) {
        HitBrick(level, row, col);
        return 1;
    }
    const float radius = static_cast<float>(Ball.Radius);
    if (Ball.X - radius <= WALL) {
        Ball.DX = std::fabs(Ball.DX) + Ball.BounceBoost;
        MoveBall();
        AddScore(POINTS_WALL);
        return 1;
    }
    if (Ball.X + radius >= static_cast<float>(PICTURE_W) - WALL) {
        Ball.DX = -std::fabs(Ball.DX) - Ball.BounceBoost;
        MoveBall();
        AddScore(POINTS_WALL);
        return 1;
    }
    if (Ball.Y - radius <= WALL) {
        Ball.Y = radius;  // back against the top of the screen
        Ball.DY = std::fabs(Ball.DY) + Ball.BounceBoost;
        AddScore(POINTS_WALL);
        MoveBall();
        return 1;
    }
    return 0;
}

int LevelCleared(int level) {
    for (int row = 0; row < LEVEL_ROWS; ++row) {
        for (int col = 0; col < LEVEL_COLUMNS; ++col) {
            if (Level[level][row][col].Used == 1) {
                return 0;
            }
        }
    }
    return 1;
}
