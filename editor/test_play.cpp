// Test play: the edited level, unsaved changes included, played at once as an
// external game through the game's own play loop. Nothing is written: no
// table, no saved game, no level file; the editor comes back as it was.

#include <cstdio>

#include "editor/editor_actions.h"
#include "editor/editor_input.h"
#include "game/game_state.h"
#include "game/play.h"

namespace {

constexpr const char *PLAYER = "TEST PLAY";  // the name on the status line

}  // namespace

void TestPlayLevel() {
    const GameSettingsRecord settings = GameSettings;
    const BallState ball = Ball;
    const PaddleState paddle = Paddle;
    GameSettings = {};
    std::snprintf(GameSettings.PlayerName, sizeof GameSettings.PlayerName, "%s", PLAYER);
    GameSettings.Difficulty = Edited.Difficulty;
    GameSettings.GameType = GAME_EXTERNAL;
    const BrickGeometry geometry = ExternalGeometry();
    for (int row = 0; row < LEVEL_ROWS; ++row) {
        for (int col = 0; col < LEVEL_COLUMNS; ++col) {
            PlaceLevelCell(0, row, col, Edited.Numbers[row][col], geometry);
        }
    }
    PrepareGame();
    ForgetInput();
    TestPlay();
    // The key that ended the game, and Esc still held, are not the editor's.
    ForgetInput();
    GameSettings = settings;
    Ball = ball;
    Paddle = paddle;
}
