// The high-score tables and the saved games: their files byte for byte,
// damaged files, the qualifying rule, the exchange sort's tie rule, and
// saving a game over its old record or after the others.

#include <cstring>
#include <string>
#include <vector>

#include "game/game_state.h"
#include "records/high_scores.h"
#include "records/saved_games.h"
#include "tests/harness/harness.h"
#include "tests/unit/record_bytes.h"

namespace {

using record_bytes::HighScore;
using record_bytes::SavedGame;

struct Row {
    const char *name;
    int32_t score;
};

void SetTable(HighScoreTable &table, const std::vector<Row> &rows) {
    table = {};
    for (size_t i = 0; i < rows.size(); ++i) {
        std::strcpy(table[i].Name, rows[i].name);
        table[i].Score = rows[i].score;
    }
}

std::string Describe(const HighScoreTable &table) {
    std::string text;
    for (const HighScoreEntry &row : table) {
        text += std::string(row.Name) + ":" + std::to_string(row.Score) + " ";
    }
    return text;
}

std::string Repeat(const std::string &bytes, int times) {
    std::string all;
    while (times-- > 0) {
        all += bytes;
    }
    return all;
}

class RecordsTest : public harness::TempDirTest {
protected:
    void SetUp() override {
        TempDirTest::SetUp();
        InternalHighScores = {};
        ExternalHighScores = {};
        GameSettings = {};
    }
};

const std::vector<Row> TIE = {{"T", 100}, {"A", 90}, {"B", 90}, {"C", 80}, {"D", 70},
                              {"E", 60},  {"F", 50}, {"G", 40}, {"H", 30}, {"I", 20}};
const std::vector<Row> FLOOR = {{"A", -40000}, {"B", -32768}, {"C", 3}, {"D", -40000},
                                {"E", -32768}, {"F", -32768}, {"G", 7}, {"H", -32768},
                                {"I", -50000}, {"J", -32768}};
const std::vector<Row> SAMPLES(10, Row{"Sample Player", 1});

TEST_F(RecordsTest, AFinishedGameEntersItsTableByTheExchangeRule) {
    struct Case {
        std::vector<Row> table;
        int32_t type, score;
        int entered;
        const char *after;  // the game's table, then the other one's first row
    };
    const Case cases[] = {
        {SAMPLES, GAME_INTERNAL, 1, 0, "Sample Player:1 Sample Player:1 Sample Player:1 "},
        {SAMPLES, GAME_INTERNAL, 0, 0, "Sample Player:1 Sample Player:1 Sample Player:1 "},
        {SAMPLES, GAME_INTERNAL, 5, 1, "N:5 Sample Player:1 Sample Player:1 "},
        {SAMPLES, GAME_EXTERNAL, 2, 1, "N:2 Sample Player:1 Sample Player:1 "},
        {SAMPLES, 7, 2, 1, "N:2 Sample Player:1 Sample Player:1 "},  // any other type: external
        {TIE, GAME_INTERNAL, 20, 0, "T:100 A:90 B:90 C:80 D:70 E:60 F:50 G:40 H:30 I:20 "},
        {TIE, GAME_INTERNAL, 21, 1, "T:100 A:90 B:90 C:80 D:70 E:60 F:50 G:40 H:30 N:21 "},
        {TIE, GAME_INTERNAL, 95, 1, "T:100 N:95 B:90 A:90 C:80 D:70 E:60 F:50 G:40 H:30 "},
        {TIE, GAME_INTERNAL, 90, 1, "T:100 A:90 B:90 N:90 C:80 D:70 E:60 F:50 G:40 H:30 "},
        {FLOOR, GAME_INTERNAL, -32767, 1,
         "G:7 C:3 N:-32767 D:-40000 E:-32768 F:-32768 A:-40000 H:-32768 I:-50000 B:-32768 "},
    };
    for (const Case &c : cases) {
        const bool internal = c.type == GAME_INTERNAL;
        SetTable(internal ? InternalHighScores : ExternalHighScores, c.table);
        SetTable(internal ? ExternalHighScores : InternalHighScores, {{"OTHER", 1}});
        std::strcpy(GameSettings.PlayerName, "N");
        GameSettings.GameType = c.type;
        GameSettings.Score = c.score;
        EXPECT_EQ(IsHighScore(), c.entered) << c.score;
        if (c.entered) {
            UpdateHighScores();
        }
        const std::string table = Describe(internal ? InternalHighScores : ExternalHighScores);
        EXPECT_EQ(table.substr(0, std::strlen(c.after)), c.after) << c.score;
        EXPECT_STREQ((internal ? ExternalHighScores : InternalHighScores)[0].Name, "OTHER");
    }
}

TEST_F(RecordsTest, TablesLoadFromWhateverTheFilesHold) {
    struct Case {
        const char *name;
        std::string file;  // empty: no file at all
        const char *loaded;
    };
    std::string eleven;
    for (int i = 0; i < 11; ++i) {
        eleven += HighScore("R" + std::to_string(i), i);
    }
    const Case cases[] = {
        {"missing", "", "Sample Player:1 Sample Player:1 Sample Player:1 "},
        {"eleven records, ten read", eleven, "R0:0 R1:1 R2:2 R3:3 R4:4 R5:5 R6:6 R7:7 R8:8 R9:9 "},
        {"two and a half records",
         HighScore("A", 5) + HighScore("B", -3) + HighScore("C", 9).substr(0, 20),
         "A:5 B:-3 KEPT:42 :0 "},
        {"a name with no zero", std::string(32, 'N') + std::string("\x07\0\0\0", 4),
         "NNNNNNNNNNNNNNNNNNNNNNNNNNNNNNN:7 KEPT:99 KEPT:42 "},
    };
    for (const Case &c : cases) {
        std::remove("IntHiScores.dat");
        if (!c.file.empty()) {
            WriteFile("IntHiScores.dat", c.file);
        }
        SetTable(InternalHighScores, {{"KEPT", 99}, {"KEPT", 99}, {"KEPT", 42}});
        LoadHighScores();
        const std::string table = Describe(InternalHighScores);
        EXPECT_EQ(table.substr(0, std::strlen(c.loaded)), c.loaded) << c.name;
    }
}

TEST_F(RecordsTest, SavingAfterLoadingWritesTheFilesByteForByte) {
    const std::string internal =
        HighScore("ANN", 250) + HighScore("", INT32_MIN) + Repeat(HighScore("Sample Player", 1), 8);
    WriteFile("IntHiScores.dat", internal + "extra bytes");
    LoadHighScores();  // the external file is missing
    SaveHighScores();
    EXPECT_EQ(ReadFile("IntHiScores.dat"), internal);
    EXPECT_EQ(ReadFile("ExtHiScores.dat"), Repeat(HighScore("Sample Player", 1), 10));
}

TEST_F(RecordsTest, AGameIsSavedOverItsNameOrAfterTheOthers) {
    struct Case {
        const char *name;
        std::string before, after;  // the file's bytes; empty before: no file
    };
    const GameSettingsRecord ann = record_bytes::Settings("ANN", 2, 900, 3);
    const std::string bob = SavedGame("BOB", 1, 70, 0, 2), new_ann = SavedGame("ANN", 2, 900, 0, 3);
    const Case cases[] = {
        {"the first save makes the file", "", new_ann},
        {"a new name goes last", bob, bob + new_ann},
        {"a known name is replaced whatever its case", bob + SavedGame("ann", 0, 5, 1, 0) + bob,
         bob + new_ann + bob},
        {"only the first match is replaced",
         SavedGame("Ann", 0, 5, 1, 0, 'x') + SavedGame("ANN", 0, 6, 1, 0),
         new_ann + SavedGame("ANN", 0, 6, 1, 0)},
        {"a damaged tail is replaced by the new record", bob + "half a record", bob + new_ann},
    };
    for (const Case &c : cases) {
        std::remove("plyrsettings.dat");
        if (!c.before.empty()) {
            WriteFile("plyrsettings.dat", c.before);
        }
        EXPECT_TRUE(StoreSavedGame(ann)) << c.name;
        EXPECT_EQ(harness::Hex(ReadFile("plyrsettings.dat")), harness::Hex(c.after)) << c.name;
    }
}

TEST_F(RecordsTest, ASavedGameIsFoundByNameWhateverItsCase) {
    WriteFile("plyrsettings.dat", SavedGame("BOB", 1, 70, 0, 2) + SavedGame("ann", 2, 150, 1, 3) +
                                      std::string(32, 'Z') + std::string(16, '\1'));
    struct Case {
        const char *typed;
        long index;
        const char *stored;
    };
    const Case cases[] = {
        {"ANN", 1, "ann"},
        {"bob", 0, "BOB"},
        {"ZED", -1, ""},
        {"ZZZZZZZZZZZZZZZZZZZZZZZZZZZZZZZ", 2, "ZZZZZZZZZZZZZZZZZZZZZZZZZZZZZZZ"}};
    for (const Case &c : cases) {
        FILE *file = std::fopen("plyrsettings.dat", "rb");
        GameSettingsRecord found = {};
        long whole = 0;
        EXPECT_EQ(FindSavedGame(file, c.typed, found, whole), c.index) << c.typed;
        EXPECT_STREQ(found.PlayerName, c.stored);
        std::fclose(file);
    }
    FILE *file = std::fopen("plyrsettings.dat", "rb");
    GameSettingsRecord found = {};
    long whole = 0;
    FindSavedGame(file, "ANN", found, whole);
    std::fclose(file);
    EXPECT_EQ(whole, 2);
    EXPECT_EQ(found.Difficulty, 2);
    EXPECT_EQ(found.Score, 150);
    EXPECT_EQ(found.GameType, 1);
    EXPECT_EQ(found.StartLevel, 3);
}

}  // namespace
