// The display: the picture scaled to fill screens of every size, only its
// changes sent, full screen and window chosen by the command line and
// tileriot.cfg and switched by Alt+Enter, and the mouse at any scale.

#include <allegro.h>
#include <allegro/internal/aintern.h>

#include <cstring>
#include <string>
#include <tuple>
#include <vector>

#include "display/modes.h"
#include "display/display_file.h"
#include "shell/options.h"
#include "display/placement.h"
#include "display/presenter.h"
#include "shell/screen.h"
#include "shell/startup.h"
#include "tests/harness/harness.h"
#include "ui/text_entry.h"

namespace {

using namespace harness;

// The game on a desktop of the test's choosing, at 32 bits unless it says.
class DisplayTest : public GameTest {
protected:
    void TearDown() override {
        DesktopWidth = 640, DesktopHeight = 480, DesktopDepth = 16;
        DesktopSizeFails = FullScreenFails = WindowFails = false;
        CommandLine = {};
        GameTest::TearDown();
    }
    static void Start(int width, int height, int depth = 32) {
        ShutDownSystem();
        DesktopWidth = width, DesktopHeight = height, DesktopDepth = depth;
        InitSystem();
    }
};

// A picture unlike any the game draws: every pixel its own colour.
void DrawNoise(BITMAP *bmp, uint32_t seed) {
    for (int y = 0; y < bmp->h; ++y) {
        for (int x = 0; x < bmp->w; ++x) {
            reinterpret_cast<uint16_t *>(bmp->line[y])[x] =
                (x * 2654435761u ^ y * 40503u ^ seed) >> 7;
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
    BITMAP *mapped = create_bitmap_ex(16, width, height);
    for (int y = 0; y < height; ++y) {
        for (int x = 0; x < width; ++x) {
            reinterpret_cast<uint16_t *>(mapped->line[y])[x] =
                reinterpret_cast<uint16_t *>(BackBuffer->line[y * 480 / height])[x * 640 / width];
        }
    }
    BITMAP *want = create_bitmap_ex(bitmap_color_depth(screen), w, h);
    clear_bitmap(want);
    blit(mapped, want, 0, 0, (w - width) / 2, (h - height) / 2, width, height);
    int row = 0;  // the first that is wrong
    while (row < h &&
           !std::memcmp(want->line[row], screen->line[row], w * bitmap_color_depth(want) / 8)) {
        ++row;
    }
    destroy_bitmap(mapped);
    destroy_bitmap(want);
    return row == h ? ::testing::AssertionSuccess()
                    : ::testing::AssertionFailure() << w << "x" << h << ": row " << row;
}

TEST_F(DisplayTest, TheScreenShowsThePictureByTheRuleAtEverySize) {
    // The desktop; full screen keeps its size, and its depth where the
    // picture can be converted to it.
    const std::tuple<int, int, int, int> screens[] = {
        {640, 480, 16, 16},   {800, 600, 32, 32},   {1024, 768, 16, 16},
        {1280, 1024, 32, 32}, {1366, 768, 24, 16},  {1920, 1080, 32, 32},
        {2560, 1440, 16, 16}, {3840, 2160, 32, 32}, {1440, 900, 32, 32},  // 16:10
    };
    for (const auto &[w, h, desktop_depth, depth] : screens) {
        Start(w, h, desktop_depth);
        EXPECT_EQ(std::tuple(SCREEN_W, SCREEN_H, bitmap_color_depth(screen), is_windowed_mode(),
                             BackBuffer->w, BackBuffer->h, bitmap_color_depth(BackBuffer)),
                  std::tuple(w, h, depth, 0, 640, 480, 16));
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

TEST_F(DisplayTest, OnlyTheChangedRowsAndColumnsAreSent) {
    using Pixels = std::vector<std::pair<int, int>>;
    const std::pair<Pixels, std::vector<std::tuple<int, int, int, int>>> cases[] = {
        {{}, {}},
        {{{5, 7}}, {{5, 7, 6, 8}}},
        {{{0, 0}, {639, 0}}, {{0, 0, 640, 1}}},
        {{{10, 10}, {20, 11}}, {{10, 10, 21, 12}}},  // rows that touch make one span
        {{{10, 10}, {20, 12}, {639, 479}},
         {{10, 10, 11, 11}, {20, 12, 21, 13}, {639, 479, 640, 480}}},
    };
    Start(640, 480, 16);
    BITMAP *frame = create_bitmap_ex(16, 640, 480), *shown = create_bitmap_ex(16, 640, 480);
    std::vector<Span> spans;
    for (const auto &[changed, want] : cases) {
        DrawNoise(frame, 1);
        blit(frame, shown, 0, 0, 0, 0, 640, 480);
        for (const auto &[x, y] : changed) {
            putpixel(frame, x, y, getpixel(frame, x, y) ^ 1);
        }
        TakeChanges(frame, shown, spans);
        std::vector<std::tuple<int, int, int, int>> got;
        for (const Span &s : spans) {
            got.emplace_back(s.X0, s.Y0, s.X1, s.Y1);
        }
        EXPECT_EQ(got, want);
        for (int y = 0; y < 480; ++y) {  // shown is the frame now
            ASSERT_EQ(std::memcmp(frame->line[y], shown->line[y], 1280), 0) << y;
        }
    }
    destroy_bitmap(frame);
    destroy_bitmap(shown);
}

// An unchanged frame sends nothing (a pixel spoiled on the screen stays so). A key wait returns the
// highest scancode held after a new press, never a key waiting from before it. A switch of mode, by
// Alt+Enter, sends the picture again at once, whole, where the game waits for a key or a letter,
// which never see those keys. The old window may never hear keys come up: the switch frees them.
TEST_F(DisplayTest, KeyWaitsAndAltEnterShowThePictureWhole) {
    const std::tuple<int, const char *, const char *, int> cases[] = {
        // a key held from before, keys, the name typed (else a key wait's result)
        {0, "<enter>", nullptr, KEY_ENTER},
        {KEY_Z, "a", nullptr, KEY_Z},               // held from before, and higher
        {0, "<shift><down>", nullptr, KEY_LSHIFT},  // a modifier with an arrow
        {0, "<letgo><enter>", nullptr, 0},          // let go before the scan
        {0, "<alt><enter><down>", nullptr, KEY_DOWN},
        {0, "a<alt><enter>b<enter>", "AB", 0},
        {KEY_ALT, "<enter><enter>", nullptr, KEY_ENTER},  // Alt's release lost
    };
    for (const auto &[held, keys, name, result] : cases) {
        Start(1920, 1080);
        DrawNoise(BackBuffer, 7);
        PresentBuffer();
        for (bool spoiled : {false, true}) {  // on the screen, and said to be
            putpixel(screen, 300, 0, makecol32(1, 2, 3));
            rectfill(BackBuffer, 0, 400, 99, 479, spoiled ? 5 : 9);  // a new frame either way
            if (spoiled) {
                SpoilDisplay();
            }
            PresentBuffer();
            EXPECT_EQ(ShowsTheRule(), spoiled) << keys;
        }
        // Back from another program, a key wait shows the picture again at once.
        putpixel(screen, 300, 0, makecol32(1, 2, 3));
        TypeKeys("<focus>x");
        WaitForKey();
        EXPECT_TRUE(ShowsTheRule()) << keys;
        putpixel(screen, 300, 0, makecol32(1, 2, 3));
        _handle_key_press('q', KEY_Q), _handle_key_release(KEY_Q);  // waiting from before
        if (held) {
            _handle_key_press(-1, held);
        }
        TypeKeys(keys);
        if (name) {
            char typed[8] = "";
            EnterText(typed, sizeof typed, BackBuffer, font, 0, 0, makecol(255, 255, 255));
            EXPECT_STREQ(typed, name);
        } else {
            EXPECT_EQ(WaitForKey(), result) << keys;
        }
        const bool switched = std::strstr(keys, "<alt>") || held == KEY_ALT;
        EXPECT_EQ(std::tuple(KeysLeft(), SCREEN_W, SCREEN_H, is_windowed_mode() != 0),
                  std::tuple(0, switched ? 1280 : 1920, switched ? 960 : 1080, switched));
        EXPECT_EQ(ShowsTheRule(), switched) << keys;
        Reset();
    }
    // Neither a key scan nor the key buffer ever finds that Enter, nor its
    // repeats after the switch, until it is let go and pressed again.
    _handle_key_press(-1, KEY_ALT), _handle_key_press('\r', KEY_ENTER);
    EXPECT_EQ(std::tuple(key[KEY_ENTER], keypressed()), std::tuple(0, 0));
    KeepDisplay();
    for (int repeat = 0; repeat < 3; ++repeat) {
        _handle_key_press('\r', KEY_ENTER);
        EXPECT_EQ(std::tuple(key[KEY_ENTER], keypressed(), is_windowed_mode()),
                  std::tuple(0, 0, 0));
    }
    _handle_key_release(KEY_ENTER), _handle_key_press('\r', KEY_ENTER);
    EXPECT_EQ(std::tuple(key[KEY_ENTER] != 0, keypressed() != 0), std::tuple(true, true));
    Reset();
    EXPECT_EXIT((FullScreenFails = WindowFails = true, TypeKeys("<alt><enter>q"), WaitForKey()),
                testing::ExitedWithCode(1), "MESSAGE: Unable to set graphics mode!");
}

// Full screen at the display's own size, else at 640x480, else a window of the scale asked for or
// the largest within 90% of the screen either way; a window the other way round. tileriot.cfg
// chooses, the command line over it, and what is in use (after Alt+Enter) is kept for the next run.
// A scale too large is said when the command line asked for it, once however often it is made.
TEST_F(DisplayTest, TheModeChosenIsSetAndKept) {
    struct Case {
        int w, h;
        std::string file;
        CommandLineChoice line;
        const char *fails;  // d: full screen at the desktop's size, f: any full screen, w: a window
        const char *keys;
        int got_w, got_h;
        bool windowed;
        std::string kept;  // the mode and scale lines of the file
        std::string said = "";
    };
    const std::string window2 = "mode = window\nscale = 2\n", full = "mode = fullscreen\n",
                      full2 = full + "scale = 2\n", twice = "<alt><enter><alt><enter>q",
                      too_large =
                          "tileriot: a window 8 times 640x480 does not fit the 1920x1080 "
                          "monitor; it is 2 times instead\n";
    // clang-format off
    const Case cases[] = {
        {1920, 1080, "", {}, "d", "", 640, 480, false, full},
        {0, 0, "", {}, "", "", 640, 480, false, full},  // a desktop of no known size
        {1920, 1080, "", {}, "df", "", 1280, 960, true, full},
        {1366, 768, "[display]\nmode = window", {}, "", "", 640, 480, true, "mode = window\n"},
        {3840, 2160, "", {Launch::Play, 0, 0}, "", "", 2560, 1920, true, "mode = window\n"},
        {2134, 1600, "", {Launch::Play, 0, 0}, "", "", 1920, 1440, true, "mode = window\n"},  // 1920 <= 90%
        {3840, 2160, "", {Launch::Play, 0, 3}, "w", "", 3840, 2160, false, "mode = window\nscale = 3\n"},
        {1920, 1080, "", {Launch::Play, -1, 8}, "f", "", 1280, 960, true, full + "scale = 8\n", too_large},
        {1920, 1080, "[display]\n" + window2, {}, "", "", 1280, 960, true, window2},
        {1920, 1080, "[display]\n" + window2, {Launch::Play, 1, 0}, "", "", 1920, 1080, false, full2},
        {1920, 1080, "[display]\n" + window2, {}, "", "<alt><enter>q", 1920, 1080, false, full2},
        {1920, 1080, "", {Launch::Play, 0, 8}, "", twice.c_str(), 1280, 960, true, "mode = window\nscale = 8\n", too_large},
        {1920, 1080, "[display]\nmode = window\nscale = 8\n", {}, "", twice.c_str(), 1280, 960, true, "mode = window\nscale = 8\n"},
        {1920, 1080, "", {Launch::Play, 0, 2}, "", twice.c_str(), 1280, 960, true, window2},
    };
    // clang-format on
    for (const Case &c : cases) {
        SCOPED_TRACE(c.w * 10000 + c.h);
        LayOut(c.file.empty() ? std::vector<std::string>{} : std::vector{"tileriot.cfg=" + c.file});
        CommandLine = c.line;
        DesktopSizeFails = std::strchr(c.fails, 'd'), FullScreenFails = std::strchr(c.fails, 'f'),
        WindowFails = std::strchr(c.fails, 'w');
        testing::internal::CaptureStderr();
        Start(c.w, c.h);
        TypeKeys(c.keys);
        if (*c.keys) {
            WaitForKey();
        }
        EXPECT_EQ(testing::internal::GetCapturedStderr(), c.said);
        EXPECT_EQ(std::tuple(SCREEN_W, SCREEN_H, is_windowed_mode() != 0),
                  std::tuple(c.got_w, c.got_h, c.windowed));
        ASSERT_TRUE(WriteDisplayFile(ChosenDisplay));
        EXPECT_EQ(ReadFile("tileriot.cfg"), "[display]\n" + c.kept);
        FullScreenFails = WindowFails = false;
    }
}

// Which monitor the picture goes to: the one named, else the primary, else
// the first; the one holding a point; and the largest scale one holds wholly.
TEST(PlacementTest, MonitorsAndScales) {
    const MonitorList three = {{{"DP-1", 0, 0, 1920, 1080, false},
                                {"HDMI-1", 1920, 0, 2560, 1440, true},
                                {"eDP-1", -1366, 300, 1366, 768, false}},
                               3};
    const MonitorList unmarked = {
        {{"DP-1", 0, 0, 1920, 1080, false}, {"DP-2", 1920, 0, 800, 600, false}}, 2};
    const std::tuple<const MonitorList *, const char *, int> named[] = {
        {&three, "HDMI-1", 1},  {&three, "eDP-1", 2},   {&three, "DP-9", 1}, {&three, "", 1},
        {&unmarked, "DP-2", 1}, {&unmarked, "DP-9", 0}, {&unmarked, "", 0}};
    for (const auto &[list, name, chosen] : named) {
        EXPECT_EQ(ChooseMonitor(*list, name), chosen) << name;
    }
    const std::tuple<int, int, int> points[] = {{0, 0, 0},       {1919, 1079, 0}, {1920, 0, 1},
                                                {-1, 300, 2},    {-1, 299, -1},   {-1367, 400, -1},
                                                {100, 1080, -1}, {4479, 1439, 1}, {4480, 0, -1}};
    for (const auto &[x, y, holder] : points) {
        EXPECT_EQ(MonitorHolding(three, x, y), holder) << x << "," << y;
    }
    const std::tuple<int, int, int, int> scales[] = {{8, 1920, 1080, 2}, {3, 1366, 768, 1},
                                                     {2, 1280, 960, 2},  {1, 600, 400, 1},
                                                     {5, 3840, 2160, 4}, {4, 1300, 2000, 2}};
    for (const auto &[asked, w, h, scale] : scales) {
        EXPECT_EQ(LargestWholly(asked, w, h), scale) << w << "x" << h;
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
}

// What each command line chooses, its exit code and what it prints.
TEST(CommandLineTest, GoodAndBadArguments) {
    const std::string too_long(EDIT_NAME_ROOM + 1, 'a');
    // clang-format off
    const std::vector<std::vector<const char *>> lines = {
        {}, {"--window", "--fullscreen", "--scale", "3"}, {"--scale=8", "--window"}, {"--help"},
        {"--window", "--version"}, {"--scale", "9"}, {"--scale"}, {"--scale", "2x"}, {"--scale="},
        {"--help", "-w"}, {"--scale", "1"}, {"--scale", "0"}, {"--edit"},
        {"--edit", "myLevel", "--window"}, {"--edit", "--scale", "2"}, {"--edit=Abc", "--help"},
        {"--edit", "MY1"}, {"--edit="}, {"--edit", too_long.c_str()},
    };
    // clang-format on
    std::string transcript;
    for (std::vector<const char *> argv : lines) {
        argv.insert(argv.begin(), "tileriot");
        const CommandLineChoice got = ParseCommandLine(static_cast<int>(argv.size()), argv.data());
        char text[1024] = "";
        FILE *out = fmemopen(text, sizeof text - 1, "w");
        const int status = ReportCommandLine(got, out, out);
        std::fclose(out);
        for (const char *arg : argv) {
            transcript += arg + std::string(" ");
        }
        transcript += "\n  chooses " + std::to_string(static_cast<int>(got.What)) + " " +
                      std::to_string(got.FullScreen) + " " + std::to_string(got.Scale) +
                      (got.EditName[0] ? std::string(" ") + got.EditName : "") + ", status " +
                      std::to_string(status) + "\n" + text;
    }
    EXPECT_TRUE(MatchesGolden("command_line", transcript));
}

// What tileriot.cfg says well is taken; anything else leaves the defaults, and nothing in the way
// (a directory, a FIFO) is waited on. What is written is read back.
TEST_F(DisplayTest, TheDisplayFileGivesWhatItSaysWell) {
    const std::string cfg = "tileriot.cfg=", display = cfg + "[display]\n",
                      monitor = display + "monitor = ";
    // clang-format off
    const std::tuple<std::string, bool, int, std::string> cases[] = {
        {monitor + "DP-1\n", true, 0, "DP-1"}, {monitor + std::string(31, 'M'), true, 0, std::string(31, 'M')},
        {monitor + std::string(32, 'M'), true, 0, ""}, {monitor + "HDMI 1\n", true, 0, ""},
        {monitor + "\n", true, 0, ""}, {monitor + "\xc3\xa9\n", true, 0, ""}, {cfg, true, 0, ""},
        {display + "mode = window\nscale = 3\n", false, 3, ""}, {cfg + "[display]\r\nmode=window\r\n", false, 0, ""},
        {display + "mode = fullscreen\nscale = 1", true, 1, ""}, {display + "mode = sideways\nscale = 9\n", true, 0, ""},
        {display + "mode = Window\nscale = 2x\n", true, 0, ""}, {display + "scale = -1\nscale = 0\n", true, 0, ""},
        {cfg + "mode = window\nscale = 2\n", true, 0, ""},  // not in its section
        {cfg + "[other]\nmode = window\n[display]\nscale = 4\n", true, 4, ""},
        {cfg + "\x01\xff garbage\n[display]\nmode = window\n", false, 0, ""},
        {display + "mode = window\n\xff" + std::string(35, '\x9d') + "wl", false, 0, ""},
        {display + "mo", true, 0, ""}, {"tileriot.cfg/", true, 0, ""}, {"tileriot.cfg|", true, 0, ""},
        {"", false, 4, "DUMMY1"},  // as written below
    };
    // clang-format on
    for (const auto &[entry, full_screen, scale, monitor] : cases) {
        LayOut(entry.empty() ? std::vector<std::string>{} : std::vector{entry});
        if (entry.empty()) {
            ASSERT_TRUE(WriteDisplayFile({false, 4, false, "DUMMY1"}));
            EXPECT_EQ(ReadFile("tileriot.cfg"),
                      "[display]\nmode = window\nscale = 4\nmonitor = DUMMY1\n");
        }
        DisplayChoice choice;
        set_config_data("[game]\nkept = yes\n", 18);  // the library's own settings stay
        ReadDisplayFile(choice);
        EXPECT_STREQ(get_config_string("game", "kept", ""), "yes");
        EXPECT_EQ(std::tie(choice.FullScreen, choice.Scale, choice.Monitor),
                  std::tie(full_screen, scale, monitor))
            << entry;
    }
}

}  // namespace
