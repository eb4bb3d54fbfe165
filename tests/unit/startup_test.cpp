// Start-up and shutdown: the graphics mode and its fallback, the fatal
// starts, the intro, the debug log, the window's close button, and the
// screen and keyboard helpers every screen is built from.

#include <allegro.h>
#include <allegro/internal/aintern.h>
#include <sys/stat.h>

#include <filesystem>
#include <functional>
#include <string>

#include "records/high_scores.h"
#include "shell/debug_log.h"
#include "shell/game_data.h"
#include "shell/screen.h"
#include "shell/startup.h"
#include "tests/harness/harness.h"
#include "ui/menus.h"

namespace {

class StartupTest : public harness::TempDirTest {
protected:
    void SetUp() override {
        TempDirTest::SetUp();
        harness::Reset();
        LoadHighScores();
    }
    void TearDown() override {
        harness::FailDisplays(false, false);
        ShutDownSystem();
        TempDirTest::TearDown();
    }
    static void LinkRunFile(const char *name) {
        std::filesystem::create_symlink(harness::RunDirectory() + "/" + name, name);
    }
    // True when both tables were written as ten sample rows each.
    static bool TablesWritten() {
        return ReadFile("IntHiScores.dat").size() == 360 &&
               ReadFile("ExtHiScores.dat") == ReadFile("IntHiScores.dat");
    }
};

TEST_F(StartupTest, StartsFullScreenElseInAWindowElseEndsTheGame) {
    LinkRunFile("tr_data2.dat");
    for (bool windowed : {false, true}) {
        harness::FailDisplays(windowed, false);
        InitSystem();
        ASSERT_NE(gfx_driver, nullptr);
        EXPECT_EQ(gfx_driver->windowed != 0, windowed);
        EXPECT_EQ(bitmap_color_depth(screen), 16);
        EXPECT_EQ(screen->w * 1000 + screen->h, 640480);
        EXPECT_EQ(BackBuffer->w * 1000 + BackBuffer->h, 640480);
        EXPECT_TRUE(harness::Messages().empty());
        ShutDownSystem();
    }
    EXPECT_EQ(harness::WindowTitle(), "TileRiot");
    harness::FailDisplays(true, true);
    EXPECT_EXIT(InitSystem(), testing::ExitedWithCode(1), "MESSAGE: Unable to set graphics mode!");
    EXPECT_TRUE(TablesWritten());
    harness::FailSystem(true);  // no display at all
    EXPECT_EXIT(InitSystem(), testing::ExitedWithCode(1), "");  // not a crash
    harness::FailSystem(false);
}

TEST_F(StartupTest, AMissingDataFileEndsTheGameAfterSavingTheTables) {
    EXPECT_EXIT(InitSystem(), testing::ExitedWithCode(1),
                "MESSAGE: Unable to load the game data file tr_data2.dat!");
    EXPECT_TRUE(TablesWritten());
}

TEST_F(StartupTest, TheIntroPlaysToItsEndOrToAKeyThatTheMainMenuDoesNotTake) {
    LinkRunFile("tr_data2.dat");
    LinkRunFile("intro.flc");
    InitSystem();
    EXPECT_EQ(PlayIntro(), 0);
    char hash[32];
    std::snprintf(hash, sizeof hash, "%016llx\n",
                  static_cast<unsigned long long>(harness::ScreenHash()));
    EXPECT_TRUE(harness::MatchesGolden("intro_last_picture", hash));
    harness::Reset();
    // Down, held across the intro's end, stops it; had the menu taken it, Up
    // would lead to New Game rather than Exit.
    const uint64_t last_picture = harness::ScreenHash();
    harness::HoldKey(KEY_DOWN, -1, 3);
    _handle_key_press(scancode_to_ascii(KEY_DOWN), KEY_DOWN);
    harness::TypeKeys("<up><enter>");
    EXPECT_EQ(PlayIntro(), 0);
    EXPECT_NE(harness::ScreenHash(), last_picture);  // stopped after its first picture
    EXPECT_EXIT(MainMenu(), testing::ExitedWithCode(0), "");
}

TEST_F(StartupTest, AMissingIntroIsReportedAndTheDisplayComesBack) {
    LinkRunFile("tr_data2.dat");
    InitSystem();
    EXPECT_EQ(PlayIntro(), 1);
    ASSERT_EQ(harness::Messages().size(), 1u);
    EXPECT_EQ(harness::Messages()[0], "Error playing FLI file\n");
    EXPECT_EQ(gfx_driver, nullptr);  // switched to text for the message
    RestoreGraphicsMode();
    ASSERT_NE(gfx_driver, nullptr);
    EXPECT_EQ(SCREEN_W, 640);
    harness::FailDisplays(true, true);
    EXPECT_EXIT(RestoreGraphicsMode(), testing::ExitedWithCode(1), "Unable to set graphics mode!");
}

TEST_F(StartupTest, EveryEndClosesTheLogAndWritesTheTables) {
    WriteFile("tr_debug.txt", "an old run\n");
    OpenDebugLog();
    LogLine("before the end %d\n", 1);
    LinkRunFile("tr_data2.dat");
    InitSystem();
    const std::function<void()> ends[] = {
        [] { ExitGame(3); },
        [] {
            harness::PressCloseButton();
            WaitForKey();
        },
        [] {
            harness::PressCloseButton();
            PresentBuffer();
        },
    };
    for (const auto &end : ends) {
        std::remove("IntHiScores.dat");
        EXPECT_EXIT(end(), testing::ExitedWithCode(&end == &ends[0] ? 3 : 0), "");
        EXPECT_EQ(ReadFile("tr_debug.txt"), "before the end 1\n");
        EXPECT_TRUE(TablesWritten());
    }
    CloseDebugLog();
    std::remove("tr_debug.txt");
    mkdir("tr_debug.txt", 0755);  // a log that cannot be made is never written
    OpenDebugLog();
    EXPECT_EQ(DebugLog, nullptr);
    LogLine("nowhere %d\n", 1);
    EXPECT_EXIT(ExitGame(0), testing::ExitedWithCode(0), "");
}

class ScreenTest : public harness::GameTest {};

TEST_F(ScreenTest, WaitForKeyReturnsTheHighestScancodeHeldAfterANewPress) {
    struct Case {
        const char *why;
        int held_before;  // a key down since before the wait, or 0
        int tap, modifier;
        bool let_go;
        int result;
    };
    const Case cases[] = {
        {"the key pressed", 0, KEY_ENTER, 0, false, KEY_ENTER},
        {"a key held from before is higher", KEY_Z, KEY_A, 0, false, KEY_Z},
        {"a modifier with an arrow", 0, KEY_DOWN, KEY_RSHIFT, false, KEY_RSHIFT},
        {"a key let go before the scan", 0, KEY_ENTER, 0, true, 0},
    };
    for (const Case &c : cases) {
        _handle_key_press('q', KEY_Q);  // waiting in the buffer before the call: discarded
        _handle_key_release(KEY_Q);
        if (c.held_before) {
            _handle_key_press(-1, c.held_before);
        }
        if (c.let_go) {
            harness::TapAndLetGo(c.tap);
        } else {
            harness::TapKey(c.tap, c.modifier);
        }
        EXPECT_EQ(WaitForKey(), c.result) << c.why;
        EXPECT_EQ(harness::KeysLeft(), 0);
        if (c.held_before) {
            _handle_key_release(c.held_before);
        }
    }
}

}  // namespace
