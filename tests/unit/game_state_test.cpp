// The game records: start-up controls, the difficulty table and the start
// positions InitVars gives the ball and paddle.

#include <allegro.h>

#include <cstring>

#include "game/game_state.h"
#include "shell/debug_log.h"
#include "tests/harness/harness.h"

namespace {

class GameStateTest : public harness::GameTest {
protected:
    void SetUp() override {
        GameTest::SetUp();
        SetDefaultControls();
        GameSettings = {};
        GameSettings.GameType = 99;  // no levels to load
    }
    void StartGame(int32_t difficulty) {
        GameSettings.Difficulty = difficulty;
        InitVars();
    }
};

TEST_F(GameStateTest, DefaultsSelectTheMouseAndTheArrowKeys) {
    Controls = {};
    GameSettings.StartLevel = 4;
    GameSettings.Score = 77;
    SetDefaultControls();
    EXPECT_EQ(Controls.UseMouse, 1);
    EXPECT_EQ(Controls.UseKeyboard, 0);
    EXPECT_EQ(Controls.LeftKey, KEY_LEFT);
    EXPECT_EQ(Controls.RightKey, KEY_RIGHT);
    EXPECT_EQ(Controls.KeyStep, 20.0f);
    EXPECT_EQ(Controls.ConfiguredKeyStep, 20.0f);
    EXPECT_EQ(Controls.MouseSensitivity, 100.0f);
    EXPECT_EQ(GameSettings.StartLevel, 0);
    EXPECT_EQ(GameSettings.Score, 77);
}

TEST_F(GameStateTest, EasyGameStartPositions) {
    StartGame(DIFFICULTY_EASY);
    EXPECT_EQ(Ball.X, 318.0f);
    EXPECT_EQ(Ball.Y, 214.0f);
    EXPECT_EQ(Ball.DX, 1.0f);
    EXPECT_EQ(Ball.DY, 1.5f);
    EXPECT_EQ(Ball.Speed, 1.5f);
    EXPECT_EQ(Ball.BounceBoost, 0.2f);
    EXPECT_EQ(Ball.Radius, 10);
    EXPECT_EQ(Paddle.Width, 300);
    EXPECT_EQ(Paddle.Height, 25);
    EXPECT_EQ(Paddle.X, 168);
    EXPECT_EQ(Paddle.Y, 378);
    EXPECT_EQ(Controls.KeyStep, 20.0f);
}

TEST_F(GameStateTest, MediumAndHardGames) {
    StartGame(DIFFICULTY_MEDIUM);
    EXPECT_EQ(Ball.Speed, 2.5f);
    EXPECT_EQ(Ball.BounceBoost, 0.4f);
    EXPECT_EQ(Ball.Radius, 10);
    EXPECT_EQ(Paddle.Width, 200);
    EXPECT_EQ(Paddle.X, 218);
    EXPECT_EQ(Controls.KeyStep, 10.0f);
    StartGame(DIFFICULTY_HARD);
    EXPECT_EQ(Ball.Speed, 4.5f);
    EXPECT_EQ(Ball.BounceBoost, 0.6f);
    EXPECT_EQ(Ball.Radius, 5);
    EXPECT_EQ(Paddle.Width, 75);
    EXPECT_EQ(Paddle.X, 281);  // 75 / 2 truncates to 37
    EXPECT_EQ(Paddle.Y, 378);
    EXPECT_EQ(Controls.KeyStep, 5.0f);
}

TEST_F(GameStateTest, EveryGameStartsFromTheConfiguredKeyStep) {
    StartGame(DIFFICULTY_MEDIUM);
    StartGame(DIFFICULTY_MEDIUM);
    EXPECT_EQ(Controls.KeyStep, 10.0f);
    StartGame(DIFFICULTY_HARD);
    StartGame(DIFFICULTY_HARD);
    EXPECT_EQ(Controls.KeyStep, 5.0f);
    Controls.ConfiguredKeyStep = 30.0f;
    StartGame(DIFFICULTY_EASY);
    EXPECT_EQ(Controls.KeyStep, 30.0f);
    EXPECT_EQ(Controls.ConfiguredKeyStep, 30.0f);
}

TEST_F(GameStateTest, AnUnknownDifficultyLeavesSizesAndSpeedsAlone) {
    StartGame(DIFFICULTY_HARD);
    Ball.X = Ball.Y = 1.0f;
    Ball.DX = Ball.DY = -3.0f;
    StartGame(7);
    EXPECT_EQ(Ball.Speed, 4.5f);
    EXPECT_EQ(Ball.Radius, 5);
    EXPECT_EQ(Paddle.Width, 75);
    EXPECT_EQ(Controls.KeyStep, 5.0f);
    // Positions and direction are still set.
    EXPECT_EQ(Ball.X, 318.0f);
    EXPECT_EQ(Ball.DY, 1.5f);
    EXPECT_EQ(Paddle.X, 281);
}

TEST_F(GameStateTest, InitVarsKeepsScoreNameAndStartLevelAndLogs) {
    std::strcpy(GameSettings.PlayerName, "ANN");
    GameSettings.Score = 450;
    GameSettings.StartLevel = 3;
    OpenDebugLog();
    StartGame(DIFFICULTY_MEDIUM);
    CloseDebugLog();
    EXPECT_EQ(GameSettings.Score, 450);
    EXPECT_EQ(GameSettings.StartLevel, 3);
    EXPECT_STREQ(GameSettings.PlayerName, "ANN");
    EXPECT_EQ(ReadFile("tr_debug.txt"), "InitVars module reached.\n");
}

TEST_F(GameStateTest, TheSavedGameRecordIsFortyEightBytesInOrder) {
    EXPECT_EQ(offsetof(GameSettingsRecord, Difficulty), 32u);
    EXPECT_EQ(offsetof(GameSettingsRecord, Score), 36u);
    EXPECT_EQ(offsetof(GameSettingsRecord, GameType), 40u);
    EXPECT_EQ(offsetof(GameSettingsRecord, StartLevel), 44u);
}

}  // namespace
