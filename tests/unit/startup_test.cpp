// Start-up and shutdown: the graphics mode and its fallback, the fatal starts, the intro, the debug
// log, the window's close button, and the screen and keyboard helpers every screen is built from.

#include <allegro.h>
#include <allegro/internal/aintern.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <functional>
#include <string>
#include <tuple>
#include <vector>

#include "game/level_grid.h"
#include "records/high_scores.h"
#include "shell/debug_log.h"
#include "shell/game_data.h"
#include "shell/retrace.h"
#include "shell/screen.h"
#include "shell/intro.h"
#include "shell/startup.h"
#include "tests/harness/harness.h"
#include "ui/menus.h"

namespace {

using namespace harness;

class StartupTest : public TempDirTest {
protected:
    void SetUp() override {
        TempDirTest::SetUp();
        Reset();
        LoadHighScores();
    }
    void TearDown() override {
        ShutDownSystem();
        TempDirTest::TearDown();
    }
};

void LinkRunFile(const char *name) {
    std::filesystem::create_symlink(RunDirectory() + "/" + name, name);
}

// B a bitmap, F a font, D other data: the first seven objects must be these.
TEST_F(StartupTest, OnlySevenObjectsOfTheRightKindsMakeTheGameData) {
    const std::pair<const char *, bool> cases[] = {
        {"BBFFBFF", true},  {"BBFFBFFB", true}, {"", false},       {"BBFFBF", false},
        {"FBFFBFF", false}, {"BBFFBFB", false}, {"BBFDBFF", false}};
    for (const auto &[kinds, complete] : cases) {
        std::vector<DATAFILE> data;
        for (const char *kind = kinds; *kind; ++kind) {
            data.push_back(
                {nullptr, *kind == 'B' ? DAT_BITMAP : (*kind == 'F' ? DAT_FONT : DAT_DATA)});
        }
        data.push_back({nullptr, DAT_END, 0, nullptr});
        EXPECT_EQ(IsCompleteGameData(data.data()), complete) << kinds;
    }
}

// The modes and their fallbacks are the display tests'; here, no display at
// all (the library's whole error, not a crash), the window's title, and the
// intro, played to its end or to a key that the main menu does not take.
TEST_F(StartupTest, StartsTitledOrSaysWhyNotThenPlaysTheIntro) {
    LinkRunFile("tr_data2.dat");
    EXPECT_EXIT((SystemFails = true, dup2(2, 1), InitSystem()), testing::ExitedWithCode(1),
                "library: 0{255}");
    EXPECT_EQ(Contents("tileriot.cfg"), "(missing)");  // no display was chosen to keep
    InitSystem();
    EXPECT_EQ(WindowTitle, "TileRiot");
    EXPECT_EQ(PlayIntro(), 1);  // no movie: a message box over the text screen
    EXPECT_EQ(Messages(), std::vector<std::string>{"Error playing FLI file\n"});
    EXPECT_EQ(gfx_driver, nullptr);
    RestoreGraphicsMode();
    LinkRunFile("intro.flc");
    EXPECT_EQ(PlayIntro(), 0);
    EXPECT_TRUE(MatchesGolden("intro_last_picture", std::to_string(ScreenHash()) + "\n"));
    Reset();
    // Down, held across the intro's end, stops it; had the menu taken it, Up
    // would lead to New Game rather than Exit.
    const uint64_t last_picture = ScreenHash();
    HoldKey(KEY_DOWN, -1, 3);
    _handle_key_press(scancode_to_ascii(KEY_DOWN), KEY_DOWN);
    TypeKeys("<up><enter>");
    EXPECT_EQ(PlayIntro(), 0);
    EXPECT_NE(ScreenHash(), last_picture);  // stopped after its first picture
    EXPECT_EXIT(MainMenu(), testing::ExitedWithCode(0), "");
    EXPECT_EXIT((FullScreenFails = WindowFails = true, RestoreGraphicsMode()),
                testing::ExitedWithCode(1), "Unable to set graphics mode!");
}

// Every end of the game, at start-up or later, closes the log with what was
// written to it and writes both tables, ten sample rows each.
TEST_F(StartupTest, EveryEndClosesTheLogAndWritesTheTables) {
    WriteFile("tr_debug.txt", "an old run\n");
    OpenDebugLog();
    LogLine("before the end %d\n", 1);
    const char *no_data = "MESSAGE: Unable to load the game data file tr_data2.dat!";
    const std::tuple<std::function<void()>, int, const char *> ends[] = {
        {[] { std::remove("tr_data2.dat"), InitSystem(); }, 1, no_data},
        {[] {  // a real data file with its last font taken out
             std::remove("tr_data2.dat");
             std::filesystem::copy_file(RunDirectory() + "/tr_data2.dat", "tr_data2.dat");
             if (std::system("dat tr_data2.dat -d PANEL_FONT >/dev/null") == 0) {
                 InitSystem();
             }
         },
         1, no_data},
        {[] { FullScreenFails = WindowFails = true, InitSystem(); }, 1,
         "MESSAGE: Unable to set graphics mode!"},
        {[] { InitSystem(), ExitGame(3); }, 3, ""},
        {[] { InitSystem(), CloseButton(), WaitForKey(); }, 0, ""},
        {[] { InitSystem(), CloseButton(), PresentBuffer(); }, 0, ""},
        // a display file that cannot be written changes nothing else
        {[] { mkdir("tileriot.cfg", 0755), InitSystem(), ExitGame(0); }, 0, ""},
    };
    for (const auto &[end, status, message] : ends) {
        std::remove("tr_data2.dat");
        LinkRunFile("tr_data2.dat");
        std::remove("IntHiScores.dat");
        std::remove("tileriot.cfg");
        EXPECT_EXIT(end(), testing::ExitedWithCode(status), message);
        EXPECT_EQ(ReadFile("tr_debug.txt"), "before the end 1\n");
        EXPECT_EQ(ReadFile("IntHiScores.dat").size(), 360u);  // ten sample rows
        EXPECT_EQ(ReadFile("ExtHiScores.dat"), ReadFile("IntHiScores.dat"));
        // the display in use, kept
        EXPECT_TRUE(Contents("tileriot.cfg") == "[display]\nmode = fullscreen\n" ||
                    Contents("tileriot.cfg") == "(directory)");
    }
    CloseDebugLog();
}

// A log that cannot be made, or a FIFO in its place (read by another program
// or not), is never written, and never holds the game up: the alarm would
// end it. The game goes on, and the FIFO stays as it was.
TEST_F(StartupTest, ALogThatIsNoFileIsNeverWritten) {
    const auto debug_log = [] {
        OpenDebugLog();
        LogLine("nowhere %d\n", 1);
        return DebugLog == nullptr;
    };
    const auto load_dump = [] {
        for (int n = 1; n <= 5; ++n) {
            WriteFile("IntLvl0" + std::to_string(n) + ".trl", "1");
        }
        LoadInternalLevels();
        return Level[4][0][0].Used == 1;
    };
    const std::tuple<const char *, bool (*)(), bool> cases[] = {
        // what stands there, the log, a reader at a FIFO
        {"tr_debug.txt/", debug_log, false}, {"tr_debug.txt|", debug_log, false},
        {"tr_debug.txt|", debug_log, true},  {"ldlvldbg.txt|", load_dump, false},
        {"ldlvldbg.txt|", load_dump, true},
    };
    for (const auto &[made, write, reader] : cases) {
        SCOPED_TRACE(std::string(made) + (reader ? " read" : ""));
        LayOut({made});
        const std::string path(made, std::strlen(made) - 1), before = Contents(path);
        // A reader's pipe holds less than the dump, which would fill it.
        const auto read_little = [&] {
            const int fd = open(path.c_str(), O_RDONLY | O_NONBLOCK);
            return fd >= 0 && fcntl(fd, F_SETPIPE_SZ, 4096) == 4096;
        };
        EXPECT_EXIT(
            (alarm(5), reader && !read_little() ? std::_Exit(2) : std::_Exit(write() ? 0 : 3)),
            testing::ExitedWithCode(0), "");
        EXPECT_EQ(Contents(path), before);
    }
}

// The 70 Hz clock a frame waits for under X: its ticks run on whether or not anyone waits.
TEST(RetraceClockTest, TheNextTickIsTheFirstOneStillToCome) {
    constexpr int64_t TICK = 1000000000 / 70;
    const std::tuple<int64_t, int64_t, int64_t> cases[] = {
        // the tick due, now, the next tick
        {0, 1000, 1000 + TICK},  // none due before: the clock starts now
        {5000, 1000, 5000},
        {5000, 5000, 5000 + TICK},
        {5000, 5000 + 3 * TICK + 1, 5000 + 4 * TICK},  // three ticks passed unwaited
    };
    for (const auto &[due, now, next] : cases) {
        EXPECT_EQ(NextRetraceTick(due, now), next) << due << " " << now;
    }
}

}  // namespace
