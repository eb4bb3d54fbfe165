// Times one frame of play with no display: the game's own paddle, collision,
// ball and drawing code on a level of all 90 bricks, presented to a screen
// that is a memory bitmap and whose retrace does not wait. Prints figures;
// it judges nothing. Usage: play_frame_bench RUN_DIR [FRAMES]

#include <allegro.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "game/ball.h"
#include "game/game_state.h"
#include "game/level_grid.h"
#include "game/paddle.h"
#include "game/playfield.h"
#include "shell/debug_log.h"
#include "display/modes.h"
#include "shell/game_data.h"
#include "shell/screen.h"
#include "shell/startup.h"

namespace {

using Clock = std::chrono::steady_clock;

constexpr int BENCH_ID = AL_ID('B', 'N', 'C', 'H');
constexpr int DEFAULT_FRAMES = 5000;
constexpr int WARM_UP_FRAMES = 200;
constexpr int LIVES = 3;
constexpr double FRAME_BUDGET_US = 1e6 / 70;  // one frame at the game's 70 Hz retrace

// The moment the frame reached the retrace: its drawing is done, the blit follows.
Clock::time_point RetraceReached;

// Display: the screen is a memory bitmap; the retrace only notes the time.
BITMAP *DisplayInit(int w, int h, int, int, int depth) {
    BITMAP *bmp = create_bitmap_ex(depth, w, h);
    gfx_driver->w = w;
    gfx_driver->h = h;
    return bmp;
}
void DisplayExit(BITMAP *) {}
void DisplayVsync() {
    RetraceReached = Clock::now();
}

GFX_DRIVER MakeDisplay() {
    GFX_DRIVER driver = {};
    driver.id = BENCH_ID;
    driver.name = driver.desc = driver.ascii_name = "Bench display";
    driver.init = DisplayInit;
    driver.exit = DisplayExit;
    driver.vsync = DisplayVsync;
    driver.linear = TRUE;
    return driver;
}
GFX_DRIVER display = MakeDisplay();
_DRIVER_INFO display_list[] = {{BENCH_ID, &display, TRUE}, {0, nullptr, 0}};

// System: only the display above; no keyboard, mouse or timer, so no key is
// held, the mouse never moves and nothing runs on another thread.
int SystemInit() {
    return 0;
}
void SystemExit() {}
_DRIVER_INFO *Displays() {
    return display_list;
}

SYSTEM_DRIVER MakeSystem() {
    SYSTEM_DRIVER driver = {};
    driver.id = BENCH_ID;
    driver.name = driver.desc = driver.ascii_name = "Bench system";
    driver.init = SystemInit;
    driver.exit = SystemExit;
    driver.gfx_drivers = Displays;
    return driver;
}
SYSTEM_DRIVER bench_system = MakeSystem();

// A private working directory for the files the game writes: its log and level dump.
char WorkDirectory[] = "/tmp/tileriot-frame-bench-XXXXXX";
bool WorkDirectoryMade = false;

void RemoveWorkDirectory() {
    if (!WorkDirectoryMade) {
        return;
    }
    for (const char *name : {"tr_debug.txt", "ldlvldbg.txt", "IntLvl01.trl", "IntLvl02.trl",
                             "IntLvl03.trl", "IntLvl04.trl", "IntLvl05.trl"}) {
        std::remove(name);
    }
    rmdir(WorkDirectory);
}

[[noreturn]] void Fail(const char *text) {
    std::fprintf(stderr, "play_frame_bench: %s\n", text);
    RemoveWorkDirectory();
    std::exit(1);
}

// Five internal levels with a brick in every cell, for the game's own loader.
void WriteFullLevels() {
    for (int level = 1; level <= LEVEL_COUNT; ++level) {
        char name[32];
        std::snprintf(name, sizeof name, "IntLvl0%d.trl", level);
        FILE *file = std::fopen(name, "w");
        if (!file) {
            Fail("cannot write the level files");
        }
        for (int row = 0; row < LEVEL_ROWS; ++row) {
            std::fputs("1 1 1 1 1 1 1 1 1 1\n", file);
        }
        std::fclose(file);
    }
}

// Starts the library on the display above, loads the data file and sets up
// an Easy internal game as the game does.
void StartGame(const std::string &run_dir) {
    if (install_allegro(BENCH_ID, &errno, std::atexit) != 0 || !SetDisplay()) {
        Fail("cannot start the library on the bench display");
    }
    BackBuffer = create_bitmap(PICTURE_W, PICTURE_H);
    GameData = load_datafile((run_dir + "/tr_data2.dat").c_str());
    if (!BackBuffer || !GameData) {
        Fail("cannot load tr_data2.dat from the run directory");
    }
    OpenDebugLog();
    SetDefaultControls();
    std::snprintf(GameSettings.PlayerName, sizeof GameSettings.PlayerName, "BENCH");
    GameSettings.Difficulty = DIFFICULTY_EASY;
    GameSettings.GameType = GAME_INTERNAL;
    WriteFullLevels();
    InitVars();
}

// Where the ball touches nothing: centred across, halfway between the
// bricks' foot and the paddle's top.
void PlaceBallInTheClear() {
    const Brick &last = Level[0][LEVEL_ROWS - 1][0];
    Ball.X = static_cast<float>(PICTURE_W / 2);
    Ball.Y = static_cast<float>((last.Y + last.Height + Paddle.Y) / 2);
}

double Microseconds(Clock::time_point from, Clock::time_point to) {
    return std::chrono::duration<double, std::micro>(to - from).count();
}

// The value below which this share of the sorted times lie.
double Percentile(const std::vector<double> &sorted, double share) {
    const size_t rank = static_cast<size_t>(share * static_cast<double>(sorted.size()) + 0.5);
    return sorted[std::min(sorted.size() - 1, rank > 0 ? rank - 1 : 0)];
}

double Median(std::vector<double> times) {
    std::sort(times.begin(), times.end());
    return Percentile(times, 0.5);
}

}  // namespace

// Replaces the library's list of system drivers, so allegro's start-up finds
// the bench display.
_DRIVER_INFO _system_driver_list[] = {{BENCH_ID, &bench_system, TRUE}, {0, nullptr, 0}};

int main(int argc, char **argv) {
    if (argc < 2) {
        Fail("usage: play_frame_bench RUN_DIR [FRAMES]");
    }
    const int frames = argc > 2 ? std::max(1, std::atoi(argv[2])) : DEFAULT_FRAMES;
    char *run_dir = realpath(argv[1], nullptr);
    if (!run_dir) {
        Fail("no such run directory");
    }
    WorkDirectoryMade = mkdtemp(WorkDirectory) != nullptr && chdir(WorkDirectory) == 0;
    if (!WorkDirectoryMade) {
        Fail("cannot make a working directory");
    }
    StartGame(run_dir);
    std::free(run_dir);

    std::vector<double> total, logic, drawing, presenting;
    const int level = 0;
    for (int frame = -WARM_UP_FRAMES; frame < frames; ++frame) {
        PlaceBallInTheClear();
        // One pass of the play loop, as it runs while the ball is in play.
        const Clock::time_point start = Clock::now();
        MovePaddle();
        const int collided = CollisionDetection(level);
        if (!collided) {
            MoveBall();
        }
        const int cleared = LevelCleared(level);
        const Clock::time_point moved = Clock::now();
        DrawPlayfield(level, LIVES);
        const Clock::time_point end = Clock::now();
        if (collided || cleared) {
            Fail("the ball touched something, so this is not the frame meant");
        }
        if (frame >= 0) {
            total.push_back(Microseconds(start, end));
            logic.push_back(Microseconds(start, moved));
            drawing.push_back(Microseconds(moved, RetraceReached));
            presenting.push_back(Microseconds(RetraceReached, end));
        }
    }

    ShutDownSystem();
    CloseDebugLog();
    RemoveWorkDirectory();

    std::sort(total.begin(), total.end());
    const double median = Percentile(total, 0.5);
    const double p95 = Percentile(total, 0.95);
    std::printf(
        "play frame, headless, full level (%d frames): median %.1f us, 95th percentile %.1f us; "
        "%.2f%% and %.2f%% of a %.1f ms frame at 70 Hz\n",
        frames, median, p95, 100 * median / FRAME_BUDGET_US, 100 * p95 / FRAME_BUDGET_US,
        FRAME_BUDGET_US / 1000);
    std::printf(
        "  medians by stage: paddle, collisions, ball and cleared test %.1f us, drawing %.1f us, "
        "blit to the (memory) screen %.1f us\n",
        Median(logic), Median(drawing), Median(presenting));
    return 0;
}
