// Start-up and shutdown: the fatal starts, the graphics-mode fallback, the
// debug log, and that every end writes the high-score tables.

#include <allegro.h>
#include <sys/stat.h>

#include <filesystem>

#include "records/high_scores.h"
#include "shell/debug_log.h"
#include "shell/game_data.h"
#include "shell/screen.h"
#include "shell/startup.h"
#include "tests/harness/harness.h"

namespace {

class StartupTest : public harness::TempDirTest {
protected:
    void SetUp() override {
        TempDirTest::SetUp();
        harness::Reset();
    }
    void TearDown() override {
        harness::FailDisplays(false, false);
        ShutDownSystem();
        TempDirTest::TearDown();
    }
    static void LinkDataFile() {
        std::filesystem::create_symlink(harness::RunDirectory() + "/tr_data2.dat", "tr_data2.dat");
    }
};

TEST_F(StartupTest, AMissingDataFileEndsTheGameWithCodeOneAfterSavingTheTables) {
    LoadHighScores();
    EXPECT_EXIT(InitSystem(), testing::ExitedWithCode(1),
                "MESSAGE: Unable to load the game data file tr_data2.dat!");
    EXPECT_EQ(ReadFile("IntHiScores.dat").size(), 360u);
    EXPECT_EQ(ReadFile("ExtHiScores.dat").size(), 360u);
}

TEST_F(StartupTest, StartsFullScreenAt640By480In16BitColour) {
    LinkDataFile();
    InitSystem();
    ASSERT_NE(gfx_driver, nullptr);
    EXPECT_FALSE(gfx_driver->windowed);
    EXPECT_EQ(SCREEN_W, 640);
    EXPECT_EQ(SCREEN_H, 480);
    EXPECT_EQ(bitmap_color_depth(screen), 16);
    ASSERT_NE(BackBuffer, nullptr);
    EXPECT_EQ(BackBuffer->w, 640);
    EXPECT_EQ(BackBuffer->h, 480);
    ASSERT_NE(GameData, nullptr);
    EXPECT_EQ(GameData[BALL_SPRITE].type, DAT_BITMAP);
    EXPECT_EQ(GameData[PANEL_FONT].type, DAT_FONT);
    EXPECT_TRUE(harness::Messages().empty());
}

TEST_F(StartupTest, FallsBackToAWindowWhenFullScreenFails) {
    LinkDataFile();
    harness::FailDisplays(true, false);
    InitSystem();
    ASSERT_NE(gfx_driver, nullptr);
    EXPECT_TRUE(gfx_driver->windowed);
    EXPECT_TRUE(harness::Messages().empty());
}

TEST_F(StartupTest, NoGraphicsModeAtAllEndsTheGame) {
    LinkDataFile();
    LoadHighScores();
    harness::FailDisplays(true, true);
    EXPECT_EXIT(InitSystem(), testing::ExitedWithCode(1), "MESSAGE: Unable to set graphics mode!");
    EXPECT_EQ(ReadFile("IntHiScores.dat").size(), 360u);
}

TEST_F(StartupTest, AMissingIntroIsReportedAndTheDisplayComesBack) {
    LinkDataFile();
    InitSystem();
    EXPECT_EQ(PlayIntro(), 1);
    ASSERT_EQ(harness::Messages().size(), 1u);
    EXPECT_EQ(harness::Messages()[0], "Error playing FLI file\n");
    RestoreGraphicsMode();
    ASSERT_NE(gfx_driver, nullptr);
    EXPECT_EQ(SCREEN_W, 640);
}

TEST_F(StartupTest, ExitGameEndsWithItsCodeAndClosesTheLog) {
    LinkDataFile();
    OpenDebugLog();
    LogLine("before the end\n");
    InitSystem();
    LoadHighScores();
    EXPECT_EXIT(ExitGame(3), testing::ExitedWithCode(3), "");
    EXPECT_EQ(ReadFile("tr_debug.txt"), "before the end\n");
    EXPECT_EQ(ReadFile("ExtHiScores.dat").size(), 360u);
    CloseDebugLog();
}

TEST_F(StartupTest, TheDebugLogIsEmptiedAtEveryStart) {
    WriteFile("tr_debug.txt", "an old run\n");
    OpenDebugLog();
    CloseDebugLog();
    EXPECT_EQ(ReadFile("tr_debug.txt"), "");
}

TEST_F(StartupTest, ALogThatCannotBeCreatedIsNeverWritten) {
    mkdir("tr_debug.txt", 0755);
    OpenDebugLog();
    EXPECT_EQ(DebugLog, nullptr);
    LogLine("nowhere %d\n", 1);
    CloseDebugLog();
    LinkDataFile();
    InitSystem();
    LoadHighScores();
    EXPECT_EXIT(ExitGame(0), testing::ExitedWithCode(0), "");
}

}  // namespace
