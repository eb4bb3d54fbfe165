// The high-score tables: their files byte for byte, damaged files, the
// qualifying rule, the exchange sort's tie rule and safe saving.

#include <sys/stat.h>

#include <cstring>
#include <string>

#include "game/game_state.h"
#include "records/high_scores.h"
#include "shell/startup.h"
#include "tests/harness/harness.h"

namespace {

// One 36-byte record as the files hold it.
std::string Record(const std::string &name, int32_t score) {
    std::string bytes(36, '\0');
    std::memcpy(&bytes[0], name.data(), std::min<size_t>(name.size(), 32));
    auto value = static_cast<uint32_t>(score);
    for (int i = 0; i < 4; ++i) {
        bytes[32 + i] = static_cast<char>(value >> (8 * i));
    }
    return bytes;
}

void SetRow(HighScoreTable &table, int row, const char *name, int32_t score) {
    std::memset(table[row].Name, 0, sizeof table[row].Name);
    std::strcpy(table[row].Name, name);
    table[row].Score = score;
}

// A table from (name, score) pairs, row 0 first.
void SetTable(HighScoreTable &table, std::initializer_list<std::pair<const char *, int>> rows) {
    int i = 0;
    for (const auto &[name, score] : rows) {
        SetRow(table, i++, name, score);
    }
}

std::string Describe(const HighScoreTable &table) {
    std::string text;
    for (const HighScoreEntry &row : table) {
        text += std::string(row.Name) + ":" + std::to_string(row.Score) + " ";
    }
    return text;
}

class HighScoreFileTest : public harness::TempDirTest {
protected:
    void SetUp() override {
        TempDirTest::SetUp();
        InternalHighScores = {};
        ExternalHighScores = {};
        GameSettings = {};
    }
};

TEST_F(HighScoreFileTest, MissingFilesGiveTenSamplePlayers) {
    LoadHighScores();
    for (const HighScoreTable *table : {&InternalHighScores, &ExternalHighScores}) {
        for (const HighScoreEntry &row : *table) {
            EXPECT_STREQ(row.Name, "Sample Player");
            EXPECT_EQ(row.Score, 1);
        }
    }
}

TEST_F(HighScoreFileTest, OnlyOneFilePresent) {
    WriteFile("ExtHiScores.dat", Record("BOB", 900) + Record("ann", -5));
    LoadHighScores();
    EXPECT_STREQ(InternalHighScores[0].Name, "Sample Player");
    EXPECT_STREQ(ExternalHighScores[0].Name, "BOB");
    EXPECT_EQ(ExternalHighScores[0].Score, 900);
    EXPECT_STREQ(ExternalHighScores[1].Name, "ann");
    EXPECT_EQ(ExternalHighScores[1].Score, -5);
    // Rows no record reached keep what they held: zero at start-up.
    EXPECT_STREQ(ExternalHighScores[2].Name, "");
    EXPECT_EQ(ExternalHighScores[2].Score, 0);
}

TEST_F(HighScoreFileTest, SavingAfterLoadingReproducesTheFilesExactly) {
    std::string internal, external;
    for (int i = 0; i < 10; ++i) {
        internal += Record("PLAYER" + std::to_string(i), 1000 - i * 7);
        external += Record("X", i == 3 ? -2147483647 - 1 : 2147483647 - i);
    }
    WriteFile("IntHiScores.dat", internal);
    WriteFile("ExtHiScores.dat", external);
    LoadHighScores();
    SaveHighScores();
    EXPECT_EQ(ReadFile("IntHiScores.dat"), internal);
    EXPECT_EQ(ReadFile("ExtHiScores.dat"), external);
}

TEST_F(HighScoreFileTest, DefaultTablesAreWrittenAsTenRecordsEach) {
    LoadHighScores();
    SaveHighScores();
    std::string expected;
    for (int i = 0; i < 10; ++i) {
        expected += Record("Sample Player", 1);
    }
    EXPECT_EQ(ReadFile("IntHiScores.dat"), expected);
    EXPECT_EQ(ReadFile("ExtHiScores.dat"), expected);
}

TEST_F(HighScoreFileTest, DamagedFilesAreReadSafely) {
    // Eleven records: only ten are read.
    std::string long_file;
    for (int i = 0; i < 11; ++i) {
        long_file += Record("R" + std::to_string(i), i);
    }
    WriteFile("IntHiScores.dat", long_file);
    // Two whole records, then half of one; and a name with no terminating zero.
    std::string unterminated(32, 'N');
    WriteFile("ExtHiScores.dat", Record("A", 5) + unterminated + std::string("\x07\0\0\0", 4) +
                                     Record("C", 9).substr(0, 20));
    SetRow(ExternalHighScores, 2, "KEPT", 42);
    LoadHighScores();
    EXPECT_STREQ(InternalHighScores[9].Name, "R9");
    EXPECT_EQ(ExternalHighScores[1].Score, 7);
    EXPECT_EQ(std::string(ExternalHighScores[1].Name), std::string(31, 'N'));
    EXPECT_STREQ(ExternalHighScores[2].Name, "KEPT");
    EXPECT_EQ(ExternalHighScores[2].Score, 42);
}

class HighScoreRulesTest : public HighScoreFileTest {
protected:
    void Finish(const char *name, int32_t score, int32_t type = GAME_INTERNAL) {
        std::strcpy(GameSettings.PlayerName, name);
        GameSettings.Score = score;
        GameSettings.GameType = type;
        if (IsHighScore()) {
            UpdateHighScores();
        }
    }
    // The internal table 100, 90 (A), 90 (B), 80 ... 20: two rows tie at 90.
    static void SetTableWithATie() {
        SetTable(InternalHighScores, {{"T", 100},
                                      {"A", 90},
                                      {"B", 90},
                                      {"C", 80},
                                      {"D", 70},
                                      {"E", 60},
                                      {"F", 50},
                                      {"G", 40},
                                      {"H", 30},
                                      {"I", 20}});
    }
};

TEST_F(HighScoreRulesTest, FirstRunScoresAgainstSamplePlayers) {
    LoadHighScores();
    std::strcpy(GameSettings.PlayerName, "ZED");
    GameSettings.Score = 1;
    EXPECT_EQ(IsHighScore(), 0);
    GameSettings.Score = 0;
    EXPECT_EQ(IsHighScore(), 0);
    GameSettings.Score = 5;
    EXPECT_EQ(IsHighScore(), 1);
    EXPECT_STREQ(InternalHighScores[9].Name, "ZED");
    UpdateHighScores();
    EXPECT_STREQ(InternalHighScores[0].Name, "ZED");
    EXPECT_EQ(InternalHighScores[0].Score, 5);
    EXPECT_STREQ(ExternalHighScores[0].Name, "Sample Player");
}

TEST_F(HighScoreRulesTest, AnEqualScoreDoesNotQualifyOneMoreDoes) {
    SetTable(ExternalHighScores, {{"A", 50},
                                  {"B", 40},
                                  {"C", 30},
                                  {"D", 20},
                                  {"E", 10},
                                  {"F", 9},
                                  {"G", 8},
                                  {"H", 7},
                                  {"I", 6},
                                  {"J", 5}});
    std::strcpy(GameSettings.PlayerName, "N");
    GameSettings.GameType = GAME_EXTERNAL;
    GameSettings.Score = 5;
    EXPECT_EQ(IsHighScore(), 0);
    GameSettings.Score = 6;
    EXPECT_EQ(IsHighScore(), 1);
    EXPECT_STREQ(ExternalHighScores[9].Name, "N");
}

TEST_F(HighScoreRulesTest, ANewRowMovingPastEqualScoresSwapsThem) {
    SetTableWithATie();
    Finish("N", 95);
    EXPECT_EQ(Describe(InternalHighScores), "T:100 N:95 B:90 A:90 C:80 D:70 E:60 F:50 G:40 H:30 ");
}

TEST_F(HighScoreRulesTest, ANewScoreEqualToOthersEndsBelowThem) {
    SetTableWithATie();
    Finish("N", 90);
    EXPECT_EQ(Describe(InternalHighScores), "T:100 A:90 B:90 N:90 C:80 D:70 E:60 F:50 G:40 H:30 ");
}

TEST_F(HighScoreRulesTest, AnyOtherGameTypeUsesTheExternalTable) {
    LoadHighScores();
    Finish("X", 10, 7);
    EXPECT_STREQ(ExternalHighScores[0].Name, "X");
    EXPECT_STREQ(InternalHighScores[0].Name, "Sample Player");
}

TEST_F(HighScoreRulesTest, RowsAtOrBelowTheSortFloorStayInsideTheTable) {
    SetTable(InternalHighScores, {{"A", -40000},
                                  {"B", -32768},
                                  {"C", 3},
                                  {"D", -40000},
                                  {"E", -32768},
                                  {"F", -32768},
                                  {"G", 7},
                                  {"H", -32768},
                                  {"I", -50000},
                                  {"J", -32768}});
    Finish("N", -32767);
    EXPECT_EQ(Describe(InternalHighScores),
              "G:7 C:3 N:-32767 D:-40000 E:-32768 F:-32768 A:-40000 H:-32768 I:-50000 B:-32768 ");
}

class HighScoreSaveFailureTest : public harness::GameTest {
protected:
    void SetUp() override {
        GameTest::SetUp();
        WriteFile("IntHiScores.dat", Record("OLD INTERNAL", 77));
        WriteFile("ExtHiScores.dat", Record("OLD EXTERNAL", 88));
        LoadHighScores();
    }
    // A directory in place of a file makes it impossible to write.
    static void Block(const char *name) {
        std::remove(name);
        mkdir(name, 0755);
    }
};

TEST_F(HighScoreSaveFailureTest, NoTableIsEmptiedWhenOneCannotBeWritten) {
    Block("ExtHiScores.dat");
    EXPECT_EXIT(ExitGame(0), testing::ExitedWithCode(1),
                "MESSAGE: Unable to find ExtHiScores.dat to save to!");
    EXPECT_EQ(ReadFile("IntHiScores.dat"), Record("OLD INTERNAL", 77));
}

TEST_F(HighScoreSaveFailureTest, TheMessageNamesTheFileThatFailed) {
    Block("IntHiScores.dat");
    EXPECT_EXIT(ExitGame(0), testing::ExitedWithCode(1),
                "MESSAGE: Unable to find IntHiScores.dat to save to!");
    Block("ExtHiScores.dat");
    EXPECT_EXIT(ExitGame(0), testing::ExitedWithCode(1),
                "MESSAGE: Unable to find IntHiScores.dat or ExtHiScores.dat to save to!");
}

}  // namespace
