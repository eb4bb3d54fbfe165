// Per-game set-up: the levels, the difficulty table and the start positions
// of ball and paddle.

#include <allegro.h>

#include <algorithm>
#include <array>

#include "game/game_state.h"
#include "game/level_grid.h"
#include "shell/debug_log.h"
#include "shell/screen.h"

namespace {

// What a difficulty sets. Harder games have a faster ball that gains more
// at each wall bounce, a smaller ball on Hard, a narrower paddle and a finer
// keyboard step.
struct DifficultyRow {
    float Speed;
    float BounceBoost;
    int32_t Radius;
    int32_t PaddleWidth;
    int32_t PaddleHeight;
    float KeyStepDivisor;
};

constexpr std::array<DifficultyRow, 3> DIFFICULTY_TABLE = {{
    {1.5f, 0.2f, 10, 300, 25, 1.0f},  // Easy
    {2.5f, 0.4f, 10, 200, 25, 2.0f},  // Medium
    {4.5f, 0.6f, 5, 75, 25, 4.0f},    // Hard
}};

// The playfield frame leaves these margins: 4 pixels across, 52 at the bottom.
constexpr int FIELD_SIDE_MARGIN = 4;
constexpr int FIELD_BOTTOM_MARGIN = 52;

// Applies one row of the table. Only a damaged saved game holds another
// difficulty: below Easy it is played as Easy, above Hard as Hard.
void ApplyDifficulty(int32_t difficulty) {
    const DifficultyRow &row =
        DIFFICULTY_TABLE[std::clamp(difficulty, DIFFICULTY_EASY, DIFFICULTY_HARD)];
    Ball.Speed = row.Speed;
    Ball.BounceBoost = row.BounceBoost;
    Ball.Radius = row.Radius;
    Paddle.Width = row.PaddleWidth;
    Paddle.Height = row.PaddleHeight;
    // Each game starts from the player's chosen step, so it is never halved twice.
    Controls.KeyStep = Controls.ConfiguredKeyStep / row.KeyStepDivisor;
}

}  // namespace

void InitVars() {
    LogLine("InitVars module reached.\n");
    if (InternalGame()) {
        LoadInternalLevels();
    } else {
        LoadExternalLevel();
    }
    PrepareGame();
}

void PrepareGame() {
    ApplyDifficulty(GameSettings.Difficulty);
    Ball.X = static_cast<float>((PICTURE_W - FIELD_SIDE_MARGIN) / 2);
    Ball.Y = static_cast<float>((PICTURE_H - FIELD_BOTTOM_MARGIN) / 2);
    Ball.DX = 1.0f;
    Ball.DY = 1.5f;
    Paddle.X = (PICTURE_W - FIELD_SIDE_MARGIN) / 2 - Paddle.Width / 2;
    Paddle.Y = PICTURE_H - FIELD_BOTTOM_MARGIN - 2 * Paddle.Height;
}
