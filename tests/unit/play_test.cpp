// Whole games through the play loop: golden runs that pin every frame's ball
// and score on each difficulty, and transcripts of shorter games (frames,
// debug log, the files left behind) for lives, levels, messages and menus.

#include <allegro.h>
#include <allegro/internal/aintern.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cstring>
#include <string>
#include <vector>

#include "game/game_state.h"
#include "game/level_grid.h"
#include "game/paddle.h"
#include "game/play.h"
#include "shell/game_data.h"
#include "game/playfield.h"
#include "records/high_scores.h"
#include "shell/debug_log.h"
#include "tests/harness/harness.h"
#include "ui/menus.h"

namespace {

using namespace harness;
using Cells = std::vector<std::pair<int, int>>;  // cells (row * 10 + column) and numbers

// Bytes as hexadecimal, 36 to a line: a file in a transcript.
std::string Hex(const std::string &bytes) {
    std::string text;
    char pair[4];
    for (size_t i = 0; i < bytes.size(); ++i) {
        std::snprintf(pair, sizeof pair, i % 36 == 35 ? "%02x\n" : "%02x",
                      static_cast<unsigned char>(bytes[i]));
        text += pair;
    }
    return text + "\n";
}

constexpr const char *RECORD_FILES[] = {"IntHiScores.dat", "ExtHiScores.dat", "plyrsettings.dat"};

class PlayTest : public GameTest {
protected:
    void TearDown() override {
        CloseDebugLog();
        GameTest::TearDown();
    }
    // A new run of the game in a folder of its level files and no record files (the first level's
    // bricks, also the external level "EXT.trl", and the other four's): an empty log, the default
    // tables and controls, no script (nor a key wait cut short).
    static void NextGame(const Cells &first, const Cells &others) {
        Reset();
        const std::string one = "=" + LevelText(first), rest = "=" + LevelText(others);
        LayOut({"IntLvl01.trl" + one, "EXT.trl" + one, "IntLvl02.trl" + rest, "IntLvl03.trl" + rest,
                "IntLvl04.trl" + rest, "IntLvl05.trl" + rest});
        LoadHighScores();  // no files: "Sample Player" with 1 in every row
        OpenDebugLog();
        StartAfresh();
    }
    static void StartGame(int32_t type, int32_t difficulty, int32_t start_level) {
        GameSettings = {"ANN", difficulty, 0, type, start_level};
        if (type == GAME_EXTERNAL) {
            TypeKeys("ext<enter>");  // the level file's name
        }
        InitVars();
        Reset();  // the transcript starts with play
    }
    // Everything a game leaves: the frames, the log and the record files.
    static std::string Transcript() {
        std::fflush(DebugLog);
        std::string text = ScreenTranscript() + "log:\n" + ReadFile("tr_debug.txt");
        for (const char *file : RECORD_FILES) {
            text += std::string("\n") + file + ":\n" + Hex(ReadFile(file));
        }
        return text + "score " + std::to_string(GameSettings.Score) + "\n";
    }
};

// Runs a game to its end, or until the script or the frame limit stops it.
void RunToEnd(void (*game)()) {
    try {
        game();
    } catch (...) {  // the script's end, the frame limit, or a saved game leaving for the menu
    }
}

struct GameCase {
    const char *name;
    int32_t type, difficulty, start_level;
    Cells first, others;  // the bricks of level 1 and of the others
    const char *keys;     // every message and menu, in order
    int escape_at;        // the frame at which Escape is held, or -1
    void (*run)() = Play;
};

// The Easy ball takes a brick in cell 84 in its first frame; one in cell 0
// is never reached before the ball is lost.
// clang-format off
const GameCase GAMES[] = {
    {"four_balls_then_game_over", GAME_INTERNAL, DIFFICULTY_HARD, 0, {{0, 3}}, {{0, 3}},
     "<space><space><space><space>", -1},
    {"five_levels_and_a_high_score", GAME_INTERNAL, DIFFICULTY_EASY, 0, {{84, 3}}, {{84, 3}},
     "<space><esc><space><down><enter><space><esc><space><esc><space><space><space>", -1},
    {"a_new_level_starts_with_three_lives", GAME_INTERNAL, DIFFICULTY_EASY, 0, {{84, 3}}, {{0, 3}},
     "<space><esc>", 56},
    {"escape_abandons_the_game", GAME_INTERNAL, DIFFICULTY_EASY, 0, {{0, 3}}, {{0, 3}}, "", 5},
    {"the_fifth_level_alone", GAME_INTERNAL, DIFFICULTY_EASY, 4, {{0, 3}}, {{84, 3}},
     "<space><space><space>", -1},
    // Damaged saved games: type 5 with 7 as the first row, -1 as escape_abandons_the_game, 3 Hard.
    {"damaged_type_5_difficulty_7", 5, 7, 0, {{0, 3}}, {{0, 3}}, "<space><space><space><space>", -1},
    {"damaged_difficulty_minus_1", GAME_INTERNAL, -1, 0, {{0, 3}}, {{0, 3}}, "", 5},
    {"damaged_external_difficulty_3", GAME_EXTERNAL, 3, 0, {{0, 3}}, {}, "", 5},
    {"start_level_five_plays_nothing", GAME_INTERNAL, DIFFICULTY_EASY, 5, {{84, 3}}, {{84, 3}}, "", -1},
    {"start_level_below_zero_plays_the_first", GAME_INTERNAL, DIFFICULTY_MEDIUM, -3, {{84, 3}},
     {{0, 3}}, "<space><esc>", 55},
    {"save_game_after_the_third_level", GAME_INTERNAL, DIFFICULTY_MEDIUM, 0, {{84, 3}}, {{84, 3}},
     "<space><esc><space><esc><space><enter>", -1},
    // A save that fails (a link into a folder gone), Continue: level 2, score kept.
    {"a_save_that_fails_then_continue", GAME_INTERNAL, DIFFICULTY_MEDIUM, 0, {{84, 3}}, {{84, 3}},
     "<space><enter><space><down><enter><space>", -1,
     [] { symlink("gone/games.dat", "plyrsettings.dat"), Play(); }},
    {"external_game_over", GAME_EXTERNAL, DIFFICULTY_HARD, 0, {{0, 3}}, {}, "<space><space><space><space>", -1},
    // The same game with the window's focus lost at frame 10 and the mouse moved meanwhile: it
    // stands still until the focus is back, and nothing of it shows.
    {"external_game_over", GAME_EXTERNAL, DIFFICULTY_HARD, 0, {{0, 3}}, {},
     "<focus><space><space><space><space>", -1, [] { LoseFocusAt(10, 200), Play(); }},
    {"external_win", GAME_EXTERNAL, DIFFICULTY_EASY, 0, {{84, 3}}, {}, "<space><space><space>", -1},
    // The same win with a folder where its table's file should be: a notice names the file.
    {"a_high_score_that_cannot_be_saved", GAME_EXTERNAL, DIFFICULTY_EASY, 0, {{84, 3}}, {},
     "<space><space><space><space>", -1, [] { mkdir("ExtHiScores.dat", 0755), Play(), rmdir("ExtHiScores.dat"); }},
    // New Game as ANN, Easy, internal; save after level 1; Load Game as ann;
    // level 1 again, then level 2, whose message ends the script.
    {"save_and_load", GAME_INTERNAL, DIFFICULTY_EASY, 0, {{84, 3}}, {{84, 3}},
     "<enter>ann<enter>ei<space><enter><down><enter>ann<enter><space><esc>", -1, MainMenu},
    // A lost ball's message stands on black over the last row's bricks (down to y 233); the
    // frame that found the ball lost moves no paddle, with Right held from the start.
    {"a_lost_balls_message_over_bricks", GAME_EXTERNAL, DIFFICULTY_EASY, 0,
     {{80, 3}, {81, 3}, {82, 3}, {83, 3}, {84, 3}, {85, 3}, {86, 3}, {87, 3}, {88, 3}, {89, 3}}, {}, "<space>", -1,
     [] { Controls.UseKeyboard = 1; Ball.Y = 441.0f; DrawPlayfield(0, 3); _handle_key_press(0, KEY_RIGHT);
          SetFrameLimit(4); Play(); }},
};
// clang-format on

TEST_F(PlayTest, GamesEndAsTheirTranscriptsSay) {
    for (const GameCase &game : GAMES) {
        SCOPED_TRACE(game.name);
        NextGame(game.first, game.others);
        StartGame(game.type, game.difficulty, game.start_level);
        TypeKeys(game.keys);
        if (game.escape_at >= 0) {
            HoldKey(KEY_ESC, game.escape_at, game.escape_at + 1);
        }
        RunToEnd(game.run);
        EXPECT_EQ(KeysLeft(), 0);
        EXPECT_TRUE(MatchesGolden(std::string("play_") + game.name, Transcript()));
    }
}

// Every frame's ball, direction and score, exact to the bit, on each difficulty. A player steers
// the paddle under the ball, aiming at different parts of it: by mouse for the first half, by two
// keys after that, and now and then lets a ball go.
TEST_F(PlayTest, GoldenRunsPinEveryFrameOfTheBall) {
    for (int32_t difficulty : {DIFFICULTY_EASY, DIFFICULTY_MEDIUM, DIFFICULTY_HARD}) {
        NextGame({{85, 3}}, {{11, 3}, {55, 3}});  // the first is cleared at once
        WriteFile("IntLvl02.trl", LevelText({{61, 3}, {48, 3}, {22, 3}, {6, 3}, {77, 3}, {33, 3}}));
        StartGame(GAME_INTERNAL, difficulty, 0);
        constexpr int FRAMES = 3000, SWITCH = 1500;
        TypeKeys("<esc*40>");  // every message, and play on at every menu
        // Every 700 frames the player moves the paddle out of the ball's way: until the ball is
        // lost, or, every other time, until it has sunk beside the paddle.
        bool resting = false;
        std::string trail;
        uint64_t digest = 0;
        WatchFrames([&](int frame) {
            const bool let_go = (frame / 700) % 2 == 0;
            resting = (resting || frame % 700 == 350) &&
                      !(let_go ? Ball.Y - Ball.Radius > 430 : Ball.Y + Ball.Radius > Paddle.Y + 8);
            const int ball = TruncateToInt(Ball.X);
            const int aim =
                resting ? (ball < 320 ? 640 : -Paddle.Width)  // out of its way
                        : ball - Paddle.Width / 2 + ((frame / 150) % 5 - 2) * Paddle.Width / 6;
            const int error = aim - Paddle.X;
            Controls.UseMouse = frame < SWITCH;
            Controls.UseKeyboard = frame >= SWITCH;
            if (frame < SWITCH) {
                MoveMouse(frame, std::clamp(error, -12, 12), 1);
            } else if (frame % 97 == 0) {
                HoldKey(KEY_LEFT, frame, frame + 1);  // both held: right wins
                HoldKey(KEY_RIGHT, frame, frame + 1);
            } else if (std::abs(error) > Controls.KeyStep / 2) {
                HoldKey(error < 0 ? KEY_LEFT : KEY_RIGHT, frame, frame + 1);
            }
            char line[160];
            std::snprintf(line, sizeof line, "%d %a %a %a %a %d %d\n", frame, Ball.X, Ball.Y,
                          Ball.DX, Ball.DY, GameSettings.Score, Paddle.X);
            digest = Hash(line, std::strlen(line), digest);
            trail += frame % 250 == 0 ? line : "";
        });
        SetFrameLimit(FRAMES);
        RunToEnd(Play);
        std::fflush(DebugLog);
        const std::string log = ReadFile("tr_debug.txt");
        char sums[128];
        std::snprintf(sums, sizeof sums, "ball %016llx\nlog %016llx\n",
                      static_cast<unsigned long long>(digest),
                      static_cast<unsigned long long>(Hash(log.data(), log.size())));
        EXPECT_TRUE(
            MatchesGolden("golden_run_" + std::to_string(difficulty),
                          sums + std::string("frame ball-x ball-y dx dy score paddle\n") + trail));
    }
}

// The frames of the games above show every kind of status line; this is the
// longest there can be, whole.
TEST_F(PlayTest, TheStatusLineHoldsTheLongestNameAndNumbers) {
    GameSettings = {"WWWWWWWWWWWWWWWWWWWWWWWWWWWWWWW", 0, INT32_MIN, GAME_INTERNAL, 0};
    char text[STATUS_LINE_SIZE];
    FormatStatusLine(text, INT32_MAX - 1, INT32_MIN);
    EXPECT_STREQ(text,
                 "WWWWWWWWWWWWWWWWWWWWWWWWWWWWWWW - Score: -2147483648 - Level 2147483647/5 - "
                 "Lives Left: -2147483648");
}

}  // namespace
