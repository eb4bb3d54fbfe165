// The display: the picture scaled to fill screens of every size, only its
// changes sent, full screen and window chosen by the command line and
// tileriot.cfg and switched by Alt+Enter, and the mouse at any scale.

#include <allegro.h>
#include <allegro/internal/aintern.h>

#include <cstdint>
#include <cstring>
#include <filesystem>
#include <string>
#include <tuple>
#include <vector>

#include "shell/display.h"
#include "shell/display_file.h"
#include "shell/options.h"
#include "shell/presenter.h"
#include "shell/screen.h"
#include "shell/startup.h"
#include "tests/harness/harness.h"
#include "ui/text_entry.h"

namespace {

using namespace harness;

// The game on a desktop of the test's choosing.
class DisplayTest : public TempDirTest {
protected:
    void SetUp() override {
        TempDirTest::SetUp();
        std::filesystem::create_symlink(RunDirectory() + "/tr_data2.dat", "tr_data2.dat");
        Reset();
    }
    void TearDown() override {
        ShutDownSystem();
        DesktopWidth = 640, DesktopHeight = 480, DesktopDepth = 16;
        DesktopSizeFails = false;
        CommandLine = {};
        TempDirTest::TearDown();
    }
    static void Start(int width, int height, int depth) {
        ShutDownSystem();
        DesktopWidth = width, DesktopHeight = height, DesktopDepth = depth;
        InitSystem();
    }
};

// A picture unlike any the game draws: every pixel its own colour.
void DrawNoise(BITMAP *bmp, uint32_t seed) {
    for (int y = 0; y < bmp->h; ++y) {
        for (int x = 0; x < bmp->w; ++x) {
            const uint32_t mixed = (x * 2654435761u) ^ (y * 40503u) ^ seed;
            reinterpret_cast<uint16_t *>(bmp->line[y])[x] = static_cast<uint16_t>(mixed >> 7);
        }
    }
}

// The screen shows the back buffer as the rule says: on a W x H screen the
// picture is (H*4/3) x H, or W x (W*3/4) on a narrower screen, centred, and
// its pixel (x, y) shows back-buffer pixel (x*640/width, y*480/height); the
// rest is black. Colours are converted as the library converts them.
::testing::AssertionResult ShowsTheRule() {
    const int w = SCREEN_W, h = SCREEN_H;
    const bool wide = w * 3 >= h * 4;
    const int width = wide ? h * 4 / 3 : w, height = wide ? h : w * 3 / 4;
    const int left = (w - width) / 2, top = (h - height) / 2;
    BITMAP *mapped = create_bitmap_ex(16, width, height);
    for (int y = 0; y < height; ++y) {
        for (int x = 0; x < width; ++x) {
            reinterpret_cast<uint16_t *>(mapped->line[y])[x] =
                reinterpret_cast<uint16_t *>(BackBuffer->line[y * 480 / height])[x * 640 / width];
        }
    }
    BITMAP *want = create_bitmap_ex(bitmap_color_depth(screen), w, h);
    clear_bitmap(want);
    blit(mapped, want, 0, 0, left, top, width, height);
    destroy_bitmap(mapped);
    int wrong_row = -1;
    for (int y = 0; y < h && wrong_row < 0; ++y) {
        if (std::memcmp(want->line[y], screen->line[y], w * (bitmap_color_depth(want) / 8)) != 0) {
            wrong_row = y;
        }
    }
    destroy_bitmap(want);
    if (wrong_row < 0) {
        return ::testing::AssertionSuccess();
    }
    return ::testing::AssertionFailure() << w << "x" << h << ": row " << wrong_row << " differs";
}

TEST_F(DisplayTest, TheScreenShowsThePictureByTheRuleAtEverySize) {
    // The desktop; the full screen keeps its size and, where the picture can
    // be converted to it, its depth.
    const std::tuple<int, int, int, int> screens[] = {
        {640, 480, 16, 16},  {800, 600, 32, 32},   {1024, 768, 16, 16},  {1280, 1024, 32, 32},
        {1366, 768, 24, 16}, {1920, 1080, 32, 32}, {2560, 1440, 16, 16}, {3840, 2160, 32, 32},
    };
    for (const auto &[w, h, desktop_depth, depth] : screens) {
        Start(w, h, desktop_depth);
        ASSERT_EQ(SCREEN_W * 10000 + SCREEN_H, w * 10000 + h);
        EXPECT_FALSE(is_windowed_mode());
        EXPECT_EQ(bitmap_color_depth(screen), depth);
        EXPECT_EQ(bitmap_color_depth(BackBuffer), 16);
        DrawNoise(BackBuffer, w);
        PresentBuffer();
        EXPECT_TRUE(ShowsTheRule());
        // Changes of every size and place land where the whole picture's would.
        for (int i = 0; i < 40; ++i) {
            const int x = (i * 97) % 640, y = (i * 61) % 480;
            rectfill(BackBuffer, x, y, x + i % 7 * 9, y + i % 5 * 13, i * 1601);
        }
        PresentBuffer();
        EXPECT_TRUE(ShowsTheRule());
    }
}

TEST(PictureFitTest, TheExamplesOfTheRule) {
    const std::tuple<int, int, PictureFit> cases[] = {
        {1920, 1080, {1440, 1080, 240, 0}},
        {1280, 1024, {1280, 960, 0, 32}},
        {640, 480, {640, 480, 0, 0}},
    };
    for (const auto &[w, h, fit] : cases) {
        const PictureFit got = FitPicture(w, h);
        EXPECT_EQ(std::tie(got.Width, got.Height, got.Left, got.Top),
                  std::tie(fit.Width, fit.Height, fit.Left, fit.Top))
            << w << "x" << h;
    }
}

TEST_F(DisplayTest, OnlyTheChangedRowsAndColumnsAreSent) {
    struct Case {
        std::vector<std::pair<int, int>> changed;  // pixels
        std::vector<Span> spans;
    };
    const Case cases[] = {
        {{}, {}},
        {{{5, 7}}, {{5, 7, 6, 8}}},
        {{{0, 0}, {639, 0}}, {{0, 0, 640, 1}}},
        {{{10, 10}, {20, 11}}, {{10, 10, 21, 12}}},  // rows that touch make one span
        {{{10, 10}, {20, 12}}, {{10, 10, 11, 11}, {20, 12, 21, 13}}},
        {{{639, 479}}, {{639, 479, 640, 480}}},
    };
    Start(640, 480, 16);
    BITMAP *frame = create_bitmap_ex(16, 640, 480), *shown = create_bitmap_ex(16, 640, 480);
    std::vector<Span> spans;
    for (const Case &c : cases) {
        DrawNoise(frame, 1);
        blit(frame, shown, 0, 0, 0, 0, 640, 480);
        for (const auto &[x, y] : c.changed) {
            putpixel(frame, x, y, getpixel(frame, x, y) ^ 1);
        }
        TakeChanges(frame, shown, spans);
        ASSERT_EQ(spans.size(), c.spans.size());
        for (size_t i = 0; i < spans.size(); ++i) {
            EXPECT_EQ(std::tie(spans[i].X0, spans[i].Y0, spans[i].X1, spans[i].Y1),
                      std::tie(c.spans[i].X0, c.spans[i].Y0, c.spans[i].X1, c.spans[i].Y1));
        }
        for (int y = 0; y < 480; ++y) {  // shown is the frame now
            ASSERT_EQ(std::memcmp(frame->line[y], shown->line[y], 1280), 0) << y;
        }
    }
    destroy_bitmap(frame);
    destroy_bitmap(shown);
}

// An unchanged frame sends nothing (a pixel spoiled on the screen stays so);
// a switch of mode, by Alt+Enter, sends the picture again at once, whole,
// where the game waits for a key or a letter, which never see those keys.
// The old window may never hear its keys come up: the switch lets them go.
TEST_F(DisplayTest, AltEnterSwitchesAndShowsThePictureWhole) {
    const std::tuple<int, const char *, bool, const char *, int> cases[] = {
        // a key held from before, keys, text entry (else a key wait), the result
        {0, "<alt><enter><down>", false, "", KEY_DOWN},
        {0, "a<alt><enter>b<enter>", true, "AB", 0},
        {KEY_ALT, "<enter><enter>", false, "", KEY_ENTER},  // Alt's release lost
    };
    for (const auto &[held, keys, entry, text, result] : cases) {
        Start(1920, 1080, 32);
        DrawNoise(BackBuffer, 7);
        PresentBuffer();
        putpixel(screen, 300, 0, makecol32(1, 2, 3));
        PresentBuffer();
        EXPECT_FALSE(ShowsTheRule()) << keys;
        if (held) {
            _handle_key_press(-1, held);
        }
        TypeKeys(keys);
        if (entry) {
            char typed[8] = "";
            EnterText(typed, sizeof typed, BackBuffer, font, 0, 0, makecol(255, 255, 255));
            EXPECT_STREQ(typed, text);
        } else {
            EXPECT_EQ(WaitForKey(), result) << keys;
        }
        EXPECT_EQ(KeysLeft(), 0);
        EXPECT_TRUE(is_windowed_mode());
        EXPECT_EQ(SCREEN_W * 10000 + SCREEN_H, 1280 * 10000 + 960);
        EXPECT_TRUE(ShowsTheRule()) << keys;
        EXPECT_FALSE(Display.FullScreen);
        Reset();
    }
}

// Full screen at the display's own size, else at 640x480, else a window of
// the scale asked for or the largest that fits; a window the other way round.
TEST_F(DisplayTest, EachModeFallsBackToTheNext) {
    struct Case {
        int w, h;
        CommandLineChoice line;
        bool desktop_fails, full_fails, window_fails;
        int got_w, got_h;
        bool windowed;
    };
    const Case cases[] = {
        {1920, 1080, {}, true, false, false, 640, 480, false},
        {1920, 1080, {}, true, true, false, 1280, 960, true},
        {1366, 768, {Launch::Play, 0, 0}, false, false, false, 640, 480, true},
        {3840, 2160, {Launch::Play, 0, 0}, false, false, false, 2560, 1920, true},
        {3840, 2160, {Launch::Play, 0, 3}, false, false, true, 3840, 2160, false},
        {1920, 1080, {Launch::Play, -1, 8}, false, true, false, 5120, 3840, true},
    };
    for (const Case &c : cases) {
        CommandLine = c.line;
        DesktopSizeFails = c.desktop_fails, FullScreenFails = c.full_fails,
        WindowFails = c.window_fails;
        Start(c.w, c.h, 32);
        EXPECT_EQ(SCREEN_W * 10000 + SCREEN_H, c.got_w * 10000 + c.got_h)
            << c.w << " " << c.line.Scale;
        EXPECT_EQ(is_windowed_mode() != 0, c.windowed);
        FullScreenFails = WindowFails = false;
    }
}

TEST(ScaleTest, WindowsFillAtMostNinetyPercentEitherWay) {
    const std::tuple<int, int, int> cases[] = {
        {1920, 1080, 2}, {1366, 768, 1},  {3840, 2160, 4},
        {640, 480, 1},   {2560, 1440, 2}, {7680, 4320, 8},
    };
    for (const auto &[w, h, scale] : cases) {
        EXPECT_EQ(FittingScale(w, h), scale) << w << "x" << h;
    }
}

// The pointer's movement on the screen, in picture pixels: a 1440-pixel
// picture moves its paddle 640 pixels for 1440 pixels of pointer travel, and
// no step is lost to rounding whichever way the pointer goes.
TEST(MouseTest, MovementIsDividedByTheScaleWithoutDrift) {
    int64_t carry = 0, moved = 0, pixels = 0;
    uint32_t seed = 12345;
    for (int i = 0; i < 10000; ++i) {
        seed = seed * 1103515245u + 12345u;
        const int32_t step = static_cast<int32_t>(seed >> 16) % 41 - 20;
        moved += step;
        pixels += ToPicturePixels(step, carry, 640, 1440);
        ASSERT_LT(carry < 0 ? -carry : carry, 1440);
        ASSERT_EQ(pixels * 1440 + carry, moved * 640);
    }
    carry = 0;
    EXPECT_EQ(ToPicturePixels(9, carry, 640, 1440) + ToPicturePixels(-9, carry, 640, 1440), 0);
    EXPECT_EQ(carry, 0);
}

TEST(CommandLineTest, GoodAndBadArguments) {
    struct Case {
        std::vector<const char *> args;
        Launch what;
        int full_screen, scale, status;
        const char *printed;  // the start of what it prints
    };
    const Case cases[] = {
        {{}, Launch::Play, -1, 0, 0, ""},
        {{"--window"}, Launch::Play, 0, 0, 0, ""},
        {{"--window", "--fullscreen"}, Launch::Play, 1, 0, 0, ""},
        {{"--scale", "3"}, Launch::Play, -1, 3, 0, ""},
        {{"--scale=8", "--window"}, Launch::Play, 0, 8, 0, ""},
        {{"--help"}, Launch::Help, -1, 0, 0, "TileRiot, a brick-breaker game.\nUsage: tileriot"},
        {{"--window", "--version"}, Launch::Version, 0, 0, 0, "TileRiot 1.0.0\n"},
        {{"--scale", "9"},
         Launch::Usage,
         -1,
         0,
         2,
         "tileriot: --scale needs a whole number from 1 to 8\nUsage:"},
        {{"--scale", "0"}, Launch::Usage, -1, 0, 2, "tileriot: --scale needs"},
        {{"--scale", "2x"}, Launch::Usage, -1, 0, 2, "tileriot: --scale needs"},
        {{"--scale"}, Launch::Usage, -1, 0, 2, "tileriot: --scale needs"},
        {{"--scale="}, Launch::Usage, -1, 0, 2, "tileriot: --scale= needs"},
        {{"--help", "-w"}, Launch::Usage, -1, 0, 2, "tileriot: unknown option -w\nUsage:"},
        {{"window"}, Launch::Usage, -1, 0, 2, "tileriot: unknown option window\n"},
    };
    for (const Case &c : cases) {
        std::vector<const char *> argv = {"tileriot"};
        argv.insert(argv.end(), c.args.begin(), c.args.end());
        const CommandLineChoice got = ParseCommandLine(static_cast<int>(argv.size()), argv.data());
        const std::string name = c.args.empty() ? "(none)" : c.args[0];
        EXPECT_EQ(std::tie(got.What, got.FullScreen, got.Scale),
                  std::tie(c.what, c.full_screen, c.scale))
            << name;
        char printed[1024] = "";
        FILE *out = fmemopen(printed, sizeof printed - 1, "w");
        EXPECT_EQ(ReportCommandLine(got, out, out), c.status) << name;
        std::fclose(out);
        EXPECT_EQ(std::string(printed).rfind(c.printed, 0), 0u) << name << ": " << printed;
    }
}

// What tileriot.cfg says well is taken; anything else leaves the defaults,
// and nothing in the way (a directory, a FIFO) is waited on.
TEST_F(DisplayTest, TheDisplayFileGivesWhatItSaysWell) {
    const std::tuple<std::string, bool, int> cases[] = {
        {"", true, 0},  // no file
        {"tileriot.cfg=", true, 0},
        {"tileriot.cfg=[display]\nmode = window\nscale = 3\n", false, 3},
        {"tileriot.cfg=[display]\r\nmode=window\r\n", false, 0},
        {"tileriot.cfg=[display]\nmode = fullscreen\nscale = 1", true, 1},
        {"tileriot.cfg=[display]\nmode = sideways\nscale = 9\n", true, 0},
        {"tileriot.cfg=[display]\nmode = Window\nscale = 2x\n", true, 0},
        {"tileriot.cfg=[display]\nscale = -1\nscale = 0\n", true, 0},
        {"tileriot.cfg=mode = window\nscale = 2\n", true, 0},  // not in its section
        {"tileriot.cfg=[other]\nmode = window\n[display]\nscale = 4\n", true, 4},
        {"tileriot.cfg=\x01\xff garbage\n[display]\nmode = window\n", false, 0},
        {"tileriot.cfg=[display]\nmo", true, 0},
        {"tileriot.cfg=[display]\nmode = window\n\xff" + std::string(35, '\x9d') + "wl", false, 0},
        {"tileriot.cfg/", true, 0},
        {"tileriot.cfg|", true, 0},
    };
    for (const auto &[entry, full_screen, scale] : cases) {
        LayOut(entry.empty() ? std::vector<std::string>{} : std::vector<std::string>{entry});
        DisplayChoice choice;
        ReadDisplayFile(choice);
        EXPECT_EQ(std::tie(choice.FullScreen, choice.Scale), std::tie(full_screen, scale)) << entry;
    }
}

// The choice in use when the game ends is kept, whatever ends it; a file
// that cannot be written is left as it is and changes nothing else.
TEST_F(DisplayTest, TheChoiceInUseIsKeptAtTheEnd) {
    struct Case {
        std::string before;
        CommandLineChoice line;
        const char *keys;
        std::string after;
    };
    const std::string window = "[display]\nmode = window\nscale = 2\n";
    const Case cases[] = {
        {"", {}, "", "[display]\nmode = fullscreen\n"},
        {"tileriot.cfg=" + window, {}, "", window},
        {"tileriot.cfg=" + window,
         {Launch::Play, 1, 0},
         "",
         "[display]\nmode = fullscreen\nscale = 2\n"},
        {"tileriot.cfg=junk", {Launch::Play, 0, 3}, "", "[display]\nmode = window\nscale = 3\n"},
        {"tileriot.cfg=" + window, {}, "<alt><enter>", "[display]\nmode = fullscreen\nscale = 2\n"},
        {"tileriot.cfg/", {}, "<alt><enter>", "(directory)"},
    };
    for (const Case &c : cases) {
        LayOut(c.before.empty() ? std::vector<std::string>{} : std::vector<std::string>{c.before});
        CommandLine = c.line;
        TypeKeys(std::string(c.keys) + "q");
        EXPECT_EXIT(
            (DesktopWidth = 1920, DesktopHeight = 1080, InitSystem(), WaitForKey(), ExitGame(0)),
            testing::ExitedWithCode(0), "")
            << c.before;
        EXPECT_EQ(Contents("tileriot.cfg"), c.after) << c.before;
        Reset();
    }
}

}  // namespace
