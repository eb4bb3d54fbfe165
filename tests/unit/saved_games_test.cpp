// Saved games: the 48-byte records of "plyrsettings.dat", saving in place or
// at the end, loading by name, damaged files, and the notices on screen.

#include <allegro.h>
#include <sys/stat.h>

#include <cstring>
#include <string>

#include "game/game_state.h"
#include "records/saved_games.h"
#include "shell/game_data.h"
#include "tests/harness/harness.h"
#include "tests/unit/record_bytes.h"
#include "ui/menus.h"

namespace {

using harness::Frames;
using harness::TapKey;

constexpr const char *SAVED = "plyrsettings.dat";

using record_bytes::Int;
using record_bytes::Settings;

std::string Record(const std::string &name, int32_t difficulty, int32_t score, int32_t type,
                   int32_t level, char filler = '\0') {
    return record_bytes::SavedGame(name, difficulty, score, type, level, filler);
}

class SavedGamesTest : public harness::TempDirTest {};

TEST_F(SavedGamesTest, TheFirstSaveMakesAFileOfOneRecord) {
    ASSERT_TRUE(StoreSavedGame(Settings("ANN", 1, 1234, 2)));
    EXPECT_EQ(ReadFile(SAVED), Record("ANN", 1, 1234, 0, 2));
}

TEST_F(SavedGamesTest, ANewNameIsAppended) {
    const std::string bob = Record("BOB", 0, 10, 0, 0, 'x');
    WriteFile(SAVED, bob);
    ASSERT_TRUE(StoreSavedGame(Settings("ANN", 2, 99, 3)));
    EXPECT_EQ(ReadFile(SAVED), bob + Record("ANN", 2, 99, 0, 3));
}

TEST_F(SavedGamesTest, AKnownNameIsReplacedInPlaceWhateverItsCase) {
    const std::string bob = Record("BOB", 0, 10, 0, 0, 'x');
    const std::string carl = Record("CARL", 2, 30, 0, 1, 'y');
    WriteFile(SAVED, bob + Record("ann", 0, 5, 0, 0, 'z') + carl + Record("ANN", 1, 1, 0, 1));
    ASSERT_TRUE(StoreSavedGame(Settings("ANN", 1, 777, 2)));
    // Only the first match changes; the file keeps its length.
    EXPECT_EQ(ReadFile(SAVED),
              bob + Record("ANN", 1, 777, 0, 2) + carl + Record("ANN", 1, 1, 0, 1));
}

TEST_F(SavedGamesTest, ADamagedTailIsIgnoredAndANewRecordNeverStraddlesIt) {
    const std::string bob = Record("BOB", 0, 10, 0, 0);
    WriteFile(SAVED, bob + std::string(20, 'q'));
    FILE *file = std::fopen(SAVED, "rb");
    GameSettingsRecord found;
    long whole = -1;
    EXPECT_EQ(FindSavedGame(file, "QQQ", found, whole), -1);
    EXPECT_EQ(whole, 1);
    std::fclose(file);
    ASSERT_TRUE(StoreSavedGame(Settings("ANN", 0, 50, 0)));
    EXPECT_EQ(ReadFile(SAVED), bob + Record("ANN", 0, 50, 0, 0));
}

TEST_F(SavedGamesTest, ANameWithNoZeroIsCutToThirtyOneLetters) {
    std::string bytes = std::string(32, 'L') + Int(2) + Int(8) + Int(0) + Int(1);
    FILE *file = fmemopen(bytes.data(), bytes.size(), "rb");
    GameSettingsRecord record;
    ASSERT_TRUE(ReadSavedGame(file, record));
    EXPECT_EQ(std::string(record.PlayerName), std::string(31, 'L'));
    EXPECT_EQ(record.Score, 8);
    EXPECT_FALSE(ReadSavedGame(file, record));
    std::fclose(file);
}

TEST_F(SavedGamesTest, AFileThatCannotBeWrittenIsLeftAsItWas) {
    const std::string bob = Record("BOB", 0, 10, 0, 0);
    WriteFile(SAVED, bob);
    chmod(SAVED, 0444);
    if (access(SAVED, W_OK) == 0) {
        GTEST_SKIP() << "running as root: permissions do not stop writes";
    }
    EXPECT_FALSE(StoreSavedGame(Settings("ANN", 0, 50, 0)));
    EXPECT_FALSE(StoreSavedGame(Settings("BOB", 0, 50, 0)));
    EXPECT_EQ(ReadFile(SAVED), bob);
    // A file that cannot even be read is not taken for a missing one.
    chmod(SAVED, 0200);
    EXPECT_FALSE(StoreSavedGame(Settings("ANN", 0, 50, 0)));
    chmod(SAVED, 0644);
    EXPECT_EQ(ReadFile(SAVED), bob);
}

class SavedGameScreensTest : public harness::GameTest {
protected:
    void SetUp() override {
        GameTest::SetUp();
        GameSettings = Settings("ZED", 0, 0, 0);
    }
    static void Type(const std::string &letters) {
        for (char c : letters) {
            TapKey(KEY_A + (c - 'A'));
        }
        TapKey(KEY_ENTER);
    }
    // Runs the main menu's Load Game item; the script ends in the next menu.
    static void ChooseLoadGame() {
        TapKey(KEY_DOWN);
        TapKey(KEY_ENTER);
    }
    static bool PanelShows(const harness::Frame &frame, const char *line, int row, int top) {
        FONT *f = GameFont(TEXT_FONT);
        return harness::ShowsText(frame, f, line, 10, top + row * (text_height(f) + 5),
                                  makecol(123, 231, 0));
    }
};

TEST_F(SavedGameScreensTest, LoadingRestoresTheStoredRecordNameCaseIncluded) {
    WriteFile(SAVED, Record("ann", 0, 5, 0, 0) + Record("bob", 2, 4321, 0, 3, 'x'));
    Type("BOB");
    LoadGame();
    EXPECT_STREQ(GameSettings.PlayerName, "bob");
    EXPECT_EQ(GameSettings.Difficulty, 2);
    EXPECT_EQ(GameSettings.Score, 4321);
    EXPECT_EQ(GameSettings.GameType, GAME_INTERNAL);
    EXPECT_EQ(GameSettings.StartLevel, 3);
    EXPECT_EQ(Frames().size(), 34u + 1u + 4u);
    EXPECT_TRUE(PanelShows(Frames()[34], "when you last saved the game.", 1, 80));
}

TEST_F(SavedGameScreensTest, AnUnknownNameShowsTheNoticeAndTheMainMenuAgain) {
    WriteFile(SAVED, Record("ANN", 0, 5, 0, 0));
    ChooseLoadGame();
    Type("NOBODY");
    TapKey(KEY_SPACE);
    EXPECT_THROW(MainMenu(), harness::ScriptEnded);
    EXPECT_STREQ(GameSettings.PlayerName, "ZED");  // nothing loaded
    const size_t menu = 51 + 2 + 51, prompt = 35 + 7, notice = 35;
    ASSERT_EQ(Frames().size(), menu + prompt + notice + 52);
    const harness::Frame &shown = Frames()[menu + prompt + notice - 1];
    EXPECT_TRUE(PanelShows(shown, "Unfortunately, your details could", 0, 150));
    EXPECT_TRUE(PanelShows(shown, "to return to the main menu.", 2, 150));
    EXPECT_TRUE(Frames()[menu + prompt + notice].IsBlack());
}

TEST_F(SavedGameScreensTest, NoSavedGamesAtAllIsANoticeNotTheEnd) {
    ChooseLoadGame();
    TapKey(KEY_SPACE);
    EXPECT_THROW(MainMenu(), harness::ScriptEnded);
    EXPECT_TRUE(harness::Messages().empty());
    const size_t menu = 51 + 2 + 51, notice = 35;
    ASSERT_EQ(Frames().size(), menu + notice + 52);
    const harness::Frame &shown = Frames()[menu + notice - 1];
    EXPECT_TRUE(PanelShows(shown, "Unable to locate plyrsettings.dat!", 0, 150));
    EXPECT_TRUE(PanelShows(shown, "Please press any key to", 1, 150));
    EXPECT_TRUE(PanelShows(shown, "return to the main menu.", 2, 150));
}

TEST_F(SavedGameScreensTest, AFailedSaveIsReportedBeforeTheMainMenu) {
    mkdir(SAVED, 0755);  // a directory where the file should be: no save possible
    TapKey(KEY_SPACE);
    try {
        SaveGame();
    } catch (...) {
        // The way back to the main menu leaves SaveGame by unwinding.
    }
    ASSERT_EQ(Frames().size(), 35u);
    EXPECT_TRUE(PanelShows(Frames()[34], "not be saved. Please press any key", 1, 150));
}

}  // namespace
