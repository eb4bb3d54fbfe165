// The play loop: frames, lives, messages, levels, Escape, the high-score
// step and the debug log of whole scripted games.

#include <allegro.h>

#include <cstring>
#include <string>
#include <utility>
#include <vector>

#include "game/game_state.h"
#include "game/level_grid.h"
#include "game/play.h"
#include "game/playfield.h"
#include "records/high_scores.h"
#include "shell/debug_log.h"
#include "shell/game_data.h"
#include "shell/screen.h"
#include "tests/harness/harness.h"
#include "tests/unit/record_bytes.h"
#include "ui/level_complete_menu.h"
#include "ui/menu_engine.h"
#include "ui/menus.h"

namespace {

using harness::Frames;
using harness::TapKey;
using Cells = std::vector<std::pair<int, int>>;

const std::string BULLET = "\x95";
const std::string EMPTY_ROW = "          \n";

// A level file with bricks in these cells, one row per line.
std::string LevelText(const Cells &cells) {
    std::string text;
    for (int row = 0; row < LEVEL_ROWS; ++row) {
        for (int col = 0; col < LEVEL_COLUMNS; ++col) {
            bool brick = false;
            for (const auto &cell : cells) {
                brick = brick || (cell.first == row && cell.second == col);
            }
            text += brick ? "3 " : "0 ";
        }
        text += "\n";
    }
    return text;
}

// The log's picture of a level holding at most the brick at (8, 4).
std::string Picture(bool brick_standing) {
    std::string picture;
    for (int row = 0; row < 8; ++row) {
        picture += EMPTY_ROW;
    }
    return picture + (brick_standing ? "    " + BULLET + "     \n" : EMPTY_ROW);
}

// The trace of the ball taking the brick at (8, 4) of a level.
std::string BrickAtStartTrace(int level) {
    return "Now checking for BrickCollision()...\n"
           "Collision result was a collision, with value 1 at [Row,Col] [8,4], Currently this "
           "brick's Used status is 1...\n" +
           Picture(true) + "Now Level[" + std::to_string(level) + "][8][4].Used = FALSE...\n" +
           Picture(false) + "Return TRUE from CollisionDetection...\n";
}

std::string Repeat(const std::string &text, int times) {
    std::string all;
    for (int i = 0; i < times; ++i) {
        all += text;
    }
    return all;
}

std::string Record(const char *name, int32_t score) {
    return record_bytes::HighScore(name, score);
}

class PlayTest : public harness::GameTest {
protected:
    void SetUp() override {
        GameTest::SetUp();
        SetDefaultControls();
        LoadHighScores();  // no files: "Sample Player" with 1 in every row
        OpenDebugLog();
        GameSettings = {};
        std::strcpy(GameSettings.PlayerName, "ANN");
    }
    void TearDown() override {
        CloseDebugLog();
        GameTest::TearDown();
    }
    static void WriteLevels(const Cells &first, const Cells &others = {{8, 4}}) {
        WriteFile("IntLvl01.trl", LevelText(first));
        for (int n = 2; n <= 5; ++n) {
            WriteFile("IntLvl0" + std::to_string(n) + ".trl", LevelText(others));
        }
    }
    static void StartGame(int32_t type, int32_t difficulty, int32_t start_level = 0) {
        GameSettings.GameType = type;
        GameSettings.Difficulty = difficulty;
        GameSettings.StartLevel = start_level;
        InitVars();
    }
    // An external game on a level the test lays out (the prompt is not needed).
    static void StartExternalGame(int32_t difficulty, const Cells &cells) {
        StartGame(99, difficulty);
        const std::string text = LevelText(cells);
        FILE *file = fmemopen(const_cast<char *>(text.data()), text.size(), "r");
        ReadLevelFile(file, 0, ExternalGeometry());
        std::fclose(file);
        GameSettings.GameType = GAME_EXTERNAL;
    }
    static std::string Log() {
        std::fflush(DebugLog);
        return ReadFile("tr_debug.txt");
    }
    static bool StatusShows(int frame, const std::string &text) {
        return harness::ShowsText(Frames()[frame], GameFont(SECOND_FONT), text.c_str(), 20, 440,
                                  makecol(255, 0, 0));
    }
    static bool MessageShows(int frame, const char *first) {
        FONT *f = GameFont(TEXT_FONT);
        const int half = text_height(f) / 2;
        return harness::ShowsText(Frames()[frame], f, first, 320, 240 - half, makecol(255, 0, 0),
                                  true) &&
               harness::ShowsText(Frames()[frame], f, "Press any key to continue...", 320,
                                  240 + half, makecol(200, 30, 30), true);
    }
};

// The level-complete menu fades in and is left with Esc.
constexpr int LEVEL_MENU_FRAMES = 51 + 1;

// On Hard the ball runs past the 75-pixel paddle: 33 frames for the first
// ball (from 318, 214), 29 for each ball served from the centre.
constexpr int FIRST_BALL_FRAMES = 33;
constexpr int SERVED_BALL_FRAMES = 29;

TEST_F(PlayTest, FourBallsPerLevelThenTheGameIsOver) {
    WriteLevels({{0, 0}});
    StartGame(GAME_INTERNAL, DIFFICULTY_HARD);
    for (int i = 0; i < 4; ++i) {
        TapKey(KEY_SPACE);
    }
    Play();
    EXPECT_EQ(harness::KeysLeft(), 0);
    const int lost[] = {FIRST_BALL_FRAMES, FIRST_BALL_FRAMES + 2 + SERVED_BALL_FRAMES,
                        FIRST_BALL_FRAMES + 2 * (2 + SERVED_BALL_FRAMES),
                        FIRST_BALL_FRAMES + 3 * (2 + SERVED_BALL_FRAMES)};
    ASSERT_EQ(Frames().size(), static_cast<size_t>(lost[3] + 1));
    EXPECT_TRUE(StatusShows(0, "ANN - Score: 0 - Level 1/5 - Lives Left: 3"));
    for (int ball = 0; ball < 4; ++ball) {
        EXPECT_TRUE(MessageShows(lost[ball], "Uh Oh! You lost a ball!")) << ball;
    }
    // The frame after a lost ball: one life fewer, the ball at the centre.
    EXPECT_TRUE(StatusShows(lost[0] + 1, "ANN - Score: 0 - Level 1/5 - Lives Left: 2"));
    EXPECT_TRUE(StatusShows(lost[1] + 1, "ANN - Score: 0 - Level 1/5 - Lives Left: 1"));
    EXPECT_TRUE(StatusShows(lost[2] + 1, "ANN - Score: 0 - Level 1/5 - Lives Left: 0"));
    EXPECT_EQ(Ball.X, 320.0f + 4.5f * SERVED_BALL_FRAMES);
    // No level line: the game ended inside the level; score 0 enters no table.
    EXPECT_EQ(Log(), "InitVars module reached.\n" +
                         Repeat("Now checking for BrickCollision()...\n",
                                FIRST_BALL_FRAMES + 3 * SERVED_BALL_FRAMES) +
                         "Calling IsHighScore() now...\nEND OF PLAY FUNCTION...\n");
    EXPECT_FALSE(FileExists("IntHiScores.dat"));
}

TEST_F(PlayTest, AWholeGameOfFiveLevelsEntersTheHighScoreTableAtOnce) {
    WriteLevels({{8, 4}});
    StartGame(GAME_INTERNAL, DIFFICULTY_EASY);
    for (int level = 0; level < 5; ++level) {
        TapKey(KEY_SPACE);  // level complete
        if (level < 4) {
            TapKey(KEY_ESC);  // the level-complete menu: play on
        }
    }
    TapKey(KEY_SPACE);  // the high-score message
    TapKey(KEY_SPACE);  // the table
    Play();
    EXPECT_EQ(harness::KeysLeft(), 0);
    // Each level: its message over the frame, the level-complete menu (not
    // after the fifth), then the frame showing -1 lives.
    ASSERT_EQ(Frames().size(), 4u * (2u + LEVEL_MENU_FRAMES) + 4u);
    for (int level = 0; level < 5; ++level) {
        const int message = level * (2 + LEVEL_MENU_FRAMES);
        EXPECT_TRUE(MessageShows(message, "Well done! Level Complete!")) << level;
        const std::string status = "ANN - Score: " + std::to_string(50 * (level + 1)) +
                                   " - Level " + std::to_string(level + 1) + "/5 - Lives Left: -1";
        const int after = level < 4 ? message + LEVEL_MENU_FRAMES + 1 : message + 1;
        EXPECT_TRUE(StatusShows(after, status)) << level;
    }
    const int high_score = 4 * (2 + LEVEL_MENU_FRAMES) + 2;
    EXPECT_TRUE(MessageShows(high_score, "Well done! You made a high score!"));
    EXPECT_EQ(GameSettings.Score, 250);

    std::string log = "InitVars module reached.\n";
    for (int level = 0; level < 5; ++level) {
        log += BrickAtStartTrace(level) + "Level " + std::to_string(level + 1) + " reached!";
    }
    log +=
        "Calling IsHighScore() now...\n"
        "IsHighScore() returned TRUE. Calling UpdateHighScores()...\n"
        "Now ShowHighScores() is called...\n"
        "END OF PLAY FUNCTION...\n";
    EXPECT_EQ(Log(), log);
    // Both tables are on disk before the game even ends.
    EXPECT_EQ(ReadFile("IntHiScores.dat"),
              Record("ANN", 250) + Repeat(Record("Sample Player", 1), 9));
    EXPECT_EQ(ReadFile("ExtHiScores.dat"), Repeat(Record("Sample Player", 1), 10));
}

TEST_F(PlayTest, ANewLevelStartsWithThreeLives) {
    WriteLevels({{8, 4}}, {{0, 0}});
    StartGame(GAME_INTERNAL, DIFFICULTY_EASY);
    TapKey(KEY_SPACE);
    TapKey(KEY_ESC);
    const int cleared = 1 + LEVEL_MENU_FRAMES;
    harness::HoldKey(KEY_ESC, cleared + 2, cleared + 3);
    Play();
    ASSERT_EQ(Frames().size(), static_cast<size_t>(cleared + 3));
    EXPECT_TRUE(StatusShows(cleared, "ANN - Score: 50 - Level 1/5 - Lives Left: -1"));
    EXPECT_TRUE(StatusShows(cleared + 1, "ANN - Score: 50 - Level 2/5 - Lives Left: 3"));
}

TEST_F(PlayTest, EscapeAbandonsTheGameWithoutTheHighScoreStep) {
    WriteLevels({{0, 0}});
    StartGame(GAME_INTERNAL, DIFFICULTY_EASY);
    GameSettings.Score = 5000;
    harness::HoldKey(KEY_ESC, 5, 6);
    Play();
    EXPECT_EQ(Frames().size(), 6u);
    EXPECT_EQ(Log(),
              "InitVars module reached.\n" + Repeat("Now checking for BrickCollision()...\n", 6));
    EXPECT_EQ(InternalHighScores[0].Score, 1);
    EXPECT_FALSE(FileExists("IntHiScores.dat"));
}

TEST_F(PlayTest, TheFifthLevelAloneFromStartLevelFour) {
    WriteLevels({{0, 0}});
    StartGame(GAME_INTERNAL, DIFFICULTY_EASY, 4);
    TapKey(KEY_SPACE);  // level complete
    TapKey(KEY_SPACE);  // high score
    TapKey(KEY_SPACE);  // the table
    Play();
    ASSERT_EQ(Frames().size(), 4u);
    EXPECT_TRUE(StatusShows(1, "ANN - Score: 50 - Level 5/5 - Lives Left: -1"));
    EXPECT_EQ(Log(), "InitVars module reached.\n" + BrickAtStartTrace(4) +
                         "Level 5 reached!Calling IsHighScore() now...\n"
                         "IsHighScore() returned TRUE. Calling UpdateHighScores()...\n"
                         "Now ShowHighScores() is called...\nEND OF PLAY FUNCTION...\n");
    // The back buffer was cleared before the high-score message.
    FONT *f = GameFont(TEXT_FONT);
    int left, top, right, bottom;
    ASSERT_TRUE(Frames()[2].Find(makecol(255, 0, 0), left, top, right, bottom));
    EXPECT_GE(top, 240 - text_height(f) / 2);
    EXPECT_LT(bottom, 240 + text_height(f) / 2);
}

TEST_F(PlayTest, StartLevelFiveOrMorePlaysNothingAndBelowZeroPlaysFromTheFirst) {
    WriteLevels({{8, 4}}, {{0, 0}});
    StartGame(GAME_INTERNAL, DIFFICULTY_EASY, 5);
    Play();
    EXPECT_TRUE(Frames().empty());
    EXPECT_EQ(Log(),
              "InitVars module reached.\nCalling IsHighScore() now...\nEND OF PLAY FUNCTION...\n");

    StartGame(GAME_INTERNAL, DIFFICULTY_EASY, -3);
    TapKey(KEY_SPACE);
    TapKey(KEY_ESC);
    harness::HoldKey(KEY_ESC, LEVEL_MENU_FRAMES + 2, LEVEL_MENU_FRAMES + 3);
    Play();
    EXPECT_TRUE(StatusShows(LEVEL_MENU_FRAMES + 1, "ANN - Score: 50 - Level 1/5 - Lives Left: -1"));
}

TEST_F(PlayTest, AnExternalGameEndsWithGameOverAndNoLevelLines) {
    StartExternalGame(DIFFICULTY_HARD, {{0, 0}});
    for (int i = 0; i < 4; ++i) {
        TapKey(KEY_SPACE);
    }
    Play();
    const int last = FIRST_BALL_FRAMES + 3 * (2 + SERVED_BALL_FRAMES);
    ASSERT_EQ(Frames().size(), static_cast<size_t>(last + 1));
    EXPECT_TRUE(StatusShows(0, "ANN - Score: 0 - External Level - Lives Left: 3"));
    EXPECT_TRUE(
        StatusShows(FIRST_BALL_FRAMES + 1, "ANN - Score: 0 - External Level - Lives Left: 2"));
    EXPECT_TRUE(MessageShows(FIRST_BALL_FRAMES, "Uh Oh! You lost a ball!"));
    EXPECT_TRUE(MessageShows(last, "You have no more lives! Game Over!"));
    EXPECT_EQ(Log().find("reached!"), std::string::npos);
}

TEST_F(PlayTest, AnExternalWinGoesToTheExternalTable) {
    // The external brick at (8, 4) spans x 258..318, y 209..233: the ball's
    // start touches it.
    StartExternalGame(DIFFICULTY_EASY, {{8, 4}});
    for (int i = 0; i < 3; ++i) {
        TapKey(KEY_SPACE);
    }
    Play();
    ASSERT_EQ(Frames().size(), 4u);
    EXPECT_TRUE(MessageShows(0, "Well done! Level Complete!"));
    EXPECT_TRUE(StatusShows(1, "ANN - Score: 50 - External Level - Lives Left: -1"));
    EXPECT_EQ(ExternalHighScores[0].Score, 50);
    EXPECT_EQ(ReadFile("ExtHiScores.dat").substr(0, 36), Record("ANN", 50));
    EXPECT_EQ(Log().find("reached!"), std::string::npos);
}

TEST_F(PlayTest, SaveGameStoresTheClearedLevelAndLeavesTheGame) {
    WriteLevels({{8, 4}});
    StartGame(GAME_INTERNAL, DIFFICULTY_MEDIUM);
    for (int level = 0; level < 3; ++level) {
        TapKey(KEY_SPACE);
        TapKey(level < 2 ? KEY_ESC : KEY_ENTER);  // play on twice, then Save Game
    }
    EXPECT_ANY_THROW(Play());  // back to the main menu, by unwinding
    EXPECT_EQ(harness::KeysLeft(), 0);
    EXPECT_EQ(ReadFile("plyrsettings.dat"),
              record_bytes::SavedGame("ANN", DIFFICULTY_MEDIUM, 150, GAME_INTERNAL, 2));
    // The abandoned game's score goes to no table.
    EXPECT_EQ(Log().find("IsHighScore"), std::string::npos);
    EXPECT_FALSE(FileExists("IntHiScores.dat"));
}

TEST_F(PlayTest, TheLevelCompleteMenuLooksLikeEveryMenuOfTheGame) {
    TapKey(KEY_ESC);
    LevelCompleteMenu(1);
    const std::vector<harness::Frame> shown(Frames().begin(), Frames().end());
    harness::Reset();
    const char *const texts[] = {"LEVEL COMPLETE", "Save Game", "Continue"};
    const char *const help[] = {
        "Saves your game under the name you entered, and returns to Main Menu.",
        "Does not save the game, but allows you to keep playing with the next level.",
    };
    TapKey(KEY_ESC);
    EXPECT_EQ(RunMenu(0xEB, BackBuffer, GameFont(TEXT_FONT), makecol(0, 255, 0), makecol(0, 128, 0),
                      250, 25, 20, 3, texts, help),
              -1);
    ASSERT_EQ(shown.size(), Frames().size());
    for (size_t i = 0; i < shown.size(); ++i) {
        ASSERT_EQ(shown[i].pixels, Frames()[i].pixels) << i;
    }
    EXPECT_FALSE(FileExists("plyrsettings.dat"));
}

TEST_F(PlayTest, TheMenuChoicesThatPlayOnLeaveTheSettingsAlone) {
    WriteLevels({{8, 4}});
    StartGame(GAME_INTERNAL, DIFFICULTY_EASY);
    TapKey(KEY_SPACE);
    TapKey(KEY_DOWN);
    TapKey(KEY_ENTER);  // Continue
    TapKey(KEY_SPACE);
    TapKey(KEY_ESC);  // Esc plays on too
    const GameSettingsRecord before = GameSettings;
    EXPECT_THROW(Play(), harness::ScriptEnded);  // at the third level's message
    EXPECT_EQ(GameSettings.StartLevel, before.StartLevel);
    EXPECT_EQ(GameSettings.Score, 150);
    EXPECT_FALSE(FileExists("plyrsettings.dat"));
}

TEST_F(PlayTest, ASavedGameLoadsFromTheMainMenuAndReplaysTheClearedLevel) {
    WriteLevels({{8, 4}});
    TapKey(KEY_ENTER);  // New Game
    for (int letter : {KEY_A, KEY_N, KEY_N, KEY_ENTER, KEY_E, KEY_I}) {
        TapKey(letter);
    }
    TapKey(KEY_SPACE);  // level 1 complete
    TapKey(KEY_ENTER);  // Save Game
    TapKey(KEY_DOWN);
    TapKey(KEY_ENTER);  // Load Game
    for (int letter : {KEY_A, KEY_N, KEY_N, KEY_ENTER}) {
        TapKey(letter);
    }
    TapKey(KEY_SPACE);  // level 1 complete again
    TapKey(KEY_ESC);    // play on: level 2 falls at once, its message ends the script
    EXPECT_THROW(MainMenu(), harness::ScriptEnded);
    EXPECT_STREQ(GameSettings.PlayerName, "ANN");
    EXPECT_EQ(GameSettings.Score, 150);  // 50 saved, 50 again for level 1, 50 for level 2
    EXPECT_EQ(Log().find("Level 1 reached!Now checking"), Log().rfind("Level 1 reached!"));
}

TEST_F(PlayTest, TheStatusLineHoldsTheLongestNameAndNumbers) {
    std::memset(GameSettings.PlayerName, 'W', 31);
    GameSettings.PlayerName[31] = '\0';
    GameSettings.Score = INT32_MIN;
    GameSettings.GameType = GAME_INTERNAL;
    char text[STATUS_LINE_SIZE];
    FormatStatusLine(text, INT32_MAX - 1, INT32_MIN);
    EXPECT_EQ(std::string(text), std::string(31, 'W') +
                                     " - Score: -2147483648 - Level 2147483647/5 - Lives Left: "
                                     "-2147483648");
    GameSettings.GameType = 7;  // anything but internal reads as external
    FormatStatusLine(text, 0, 3);
    EXPECT_EQ(std::string(text),
              std::string(31, 'W') + " - Score: -2147483648 - External Level - Lives Left: 3");
}

}  // namespace
