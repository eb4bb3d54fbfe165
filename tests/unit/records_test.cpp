// The high-score tables: the qualifying rule, the exchange sort's tie rule,
// and what a damaged file loads as.

#include <cstdio>
#include <sstream>
#include <string>
#include <vector>

#include "game/game_state.h"
#include "records/high_scores.h"
#include "tests/harness/harness.h"
#include "tests/unit/record_bytes.h"

namespace {

using namespace harness;

using record_bytes::HighScore;

// A table as "name:score" rows, from a list of them ("name:score ...").
void SetTable(HighScoreTable &table, const std::string &rows) {
    table = {};
    std::istringstream in(rows);
    std::string name;
    for (HighScoreEntry &row : table) {
        if (std::getline(in, name, ':') && in >> row.Score && in.get()) {
            std::snprintf(row.Name, sizeof row.Name, "%s", name.c_str());
        }
    }
}

std::string Describe(const HighScoreTable &table) {
    std::string text;
    for (const HighScoreEntry &row : table) {
        text += std::string(row.Name) + ":" + std::to_string(row.Score) + " ";
    }
    return text;
}

class RecordsTest : public TempDirTest {};

const std::string SAMPLES = Repeat("Sample Player:1 ", 10), NINE = Repeat("Sample Player:1 ", 9);
const std::string TIE = "T:100 A:90 B:90 C:80 D:70 E:60 F:50 G:40 H:30 I:20 ";
const std::string FLOOR =
    "A:-40000 B:-32768 C:3 D:-40000 E:-32768 F:-32768 G:7 H:-32768 I:-50000 J:-32768 ";

TEST_F(RecordsTest, AFinishedGameEntersItsTableByTheExchangeRule) {
    struct Case {
        std::string table;
        int32_t type, score;
        int entered;
        std::string after;  // the game's table; the other one is never touched
        std::string name = "N";
    };
    // clang-format off
    const Case cases[] = {
        {SAMPLES, GAME_INTERNAL, 1, 0, SAMPLES},
        {SAMPLES, GAME_INTERNAL, 5, 1, "N:5 " + NINE},
        {SAMPLES, GAME_EXTERNAL, 2, 1, "N:2 " + NINE},
        {SAMPLES, GAME_EXTERNAL, 3, 1, std::string(31, 'L') + ":3 " + NINE, std::string(32, 'L')},  // no zero
        {SAMPLES, 7, 2, 1, "N:2 " + NINE},  // any other type: internal
        {TIE, GAME_INTERNAL, 20, 0, TIE},
        {TIE, GAME_INTERNAL, 21, 1, "T:100 A:90 B:90 C:80 D:70 E:60 F:50 G:40 H:30 N:21 "},
        {TIE, GAME_INTERNAL, 95, 1, "T:100 N:95 B:90 A:90 C:80 D:70 E:60 F:50 G:40 H:30 "},
        {TIE, GAME_INTERNAL, 90, 1, "T:100 A:90 B:90 N:90 C:80 D:70 E:60 F:50 G:40 H:30 "},
        {FLOOR, GAME_INTERNAL, -32767, 1,
         "G:7 C:3 N:-32767 D:-40000 E:-32768 F:-32768 A:-40000 H:-32768 I:-50000 B:-32768 "},
    };
    // clang-format on
    for (const Case &c : cases) {
        HighScoreTable &table = c.type == GAME_EXTERNAL ? ExternalHighScores : InternalHighScores;
        HighScoreTable &other = c.type == GAME_EXTERNAL ? InternalHighScores : ExternalHighScores;
        SetTable(table, c.table);
        SetTable(other, "OTHER:1 ");
        GameSettings = {"", 0, c.score, c.type, 0};
        c.name.copy(GameSettings.PlayerName, sizeof GameSettings.PlayerName);
        EXPECT_EQ(IsHighScore(), c.entered) << c.score;
        if (c.entered) {
            UpdateHighScores();
        }
        EXPECT_EQ(Describe(table), c.after) << c.score;
        EXPECT_EQ(Describe(other).substr(0, 9), "OTHER:1 :");
    }
}

TEST_F(RecordsTest, TablesLoadFromWhateverTheFilesHold) {
    std::string eleven;
    for (int i = 0; i < 11; ++i) {
        eleven += HighScore("R" + std::to_string(i), i);
    }
    const std::pair<std::string, std::string> cases[] = {
        // the file, or none; the table
        {"(missing)", SAMPLES},
        {eleven, "R0:0 R1:1 R2:2 R3:3 R4:4 R5:5 R6:6 R7:7 R8:8 R9:9 "},  // only ten read
        {HighScore("A", 5) + HighScore("B", -3) + HighScore("C", 9).substr(0, 20),
         "A:5 B:-3 K:42 :0 :0 :0 :0 :0 :0 :0 "},  // the rows no record reached keep theirs
        {std::string(32, 'N') + std::string("\x07\0\0\0", 4),
         std::string(31, 'N') + ":7 K:99 K:42 :0 :0 :0 :0 :0 :0 :0 "},
    };
    for (const auto &[file, table] : cases) {
        LayOut(file == "(missing)" ? std::vector<std::string>{}
                                   : std::vector<std::string>{"IntHiScores.dat=" + file});
        SetTable(InternalHighScores, "K:99 K:99 K:42 ");
        LoadHighScores();
        EXPECT_EQ(Describe(InternalHighScores), table);
    }
}

}  // namespace
