// The intro's FLC encoder: movies of every shape round-trip through Allegro's
// own FLI/FLC player, pixel for pixel and colour for colour.

#include <allegro.h>
#include <gtest/gtest.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <random>
#include <string>
#include <vector>

#include "flc_encoder.h"

namespace {

using Bytes = std::vector<uint8_t>;
using Frame = std::vector<uint8_t>;

// A palette using every component value 0..255, most of them not multiples of 4.
std::array<uint8_t, 768> TestPalette() {
    std::array<uint8_t, 768> pal{};
    for (int i = 0; i < 256; i++) {
        pal[3 * i] = static_cast<uint8_t>(i);
        pal[3 * i + 1] = static_cast<uint8_t>(255 - i);
        pal[3 * i + 2] = static_cast<uint8_t>(i * 77 + 13);
    }
    return pal;
}

// A scratch file name in the test temp directory, unique to this process.
std::string TempPath(const std::string &name) {
    return testing::TempDir() + "/flc_test_" + std::to_string(getpid()) + "_" + name;
}

// Frames as Allegro's player produced them, and the palette it ended on.
struct Decoded {
    std::vector<Frame> frames;
    PALETTE palette;
    int status_after_last = FLI_OK;
};

// Plays a file with open_fli()/next_fli_frame() and copies every decoded picture.
Decoded DecodeWithAllegro(const std::string &path, int expected_frames) {
    Decoded out;
    EXPECT_EQ(open_fli(path.c_str()), FLI_OK);
    if (!fli_bitmap)
        return out;
    for (int f = 0; f < expected_frames; f++) {
        int status = next_fli_frame(0);
        EXPECT_EQ(status, FLI_OK) << "frame " << f;
        if (status != FLI_OK)
            break;
        Frame frame;
        for (int y = 0; y < fli_bitmap->h; y++) {
            frame.insert(frame.end(), fli_bitmap->line[y], fli_bitmap->line[y] + fli_bitmap->w);
        }
        out.frames.push_back(frame);
    }
    for (int i = 0; i < PAL_SIZE; i++)
        out.palette[i] = fli_palette[i];
    out.status_after_last = next_fli_frame(0);
    close_fli();
    return out;
}

// Index of the first pixel where two pictures differ, or -1 when they are equal.
long FirstDifference(const Frame &a, const Frame &b) {
    if (a.size() != b.size())
        return 0;
    for (size_t i = 0; i < a.size(); i++) {
        if (a[i] != b[i])
            return static_cast<long>(i);
    }
    return -1;
}

// Stands in for the mutex hook the bare SYSTEM_NONE driver leaves empty: without a
// mutex, open_fli() just fails to start its frame timer, which decoding never needs.
void *NoTimerMutex() {
    return nullptr;
}

// Each test that plays movies brings Allegro up headless and shuts it down again.
class AllegroPlayback : public testing::Test {
protected:
    // Starts Allegro without any display or input hardware.
    void SetUp() override {
        ASSERT_EQ(install_allegro(SYSTEM_NONE, &errno, atexit), 0);
        if (!system_driver->create_mutex) {
            system_driver->create_mutex = NoTimerMutex;
            patched_mutex_ = true;
        }
    }

    // Shuts Allegro down so later tests can start it again.
    void TearDown() override {
        if (patched_mutex_)
            system_driver->create_mutex = nullptr;
        allegro_exit();
    }

    bool patched_mutex_ = false;

    // Writes the movie, plays it back and checks every picture and the palette.
    void ExpectRoundTrip(const FlcMovie &movie, const std::string &name) {
        std::string path = TempPath(name);
        ASSERT_TRUE(WriteFlc(path, movie));
        int frames = static_cast<int>(movie.frames.size());
        Decoded decoded = DecodeWithAllegro(path, frames);
        std::remove(path.c_str());
        ASSERT_EQ(decoded.frames.size(), movie.frames.size());
        for (int f = 0; f < frames; f++) {
            long diff = FirstDifference(decoded.frames[f], movie.frames[f]);
            EXPECT_EQ(diff, -1) << name << ": frame " << f << " differs at x=" << diff % movie.width
                                << " y=" << diff / movie.width;
        }
        for (int i = 0; i < 256; i++) {
            EXPECT_EQ(decoded.palette[i].r, movie.palette[3 * i] / 4) << "entry " << i;
            EXPECT_EQ(decoded.palette[i].g, movie.palette[3 * i + 1] / 4) << "entry " << i;
            EXPECT_EQ(decoded.palette[i].b, movie.palette[3 * i + 2] / 4) << "entry " << i;
        }
        EXPECT_EQ(decoded.status_after_last, FLI_EOF);
    }
};

// A tall movie whose deltas must skip more lines than one skip word can hold.
TEST_F(AllegroPlayback, LongLineSkipsPlayBackExactly) {
    FlcMovie movie;
    movie.width = 3;
    movie.height = 20000;
    movie.ms_per_frame = 45;
    movie.palette = TestPalette();
    Frame frame(static_cast<size_t>(movie.width) * movie.height, 7);
    movie.frames.push_back(frame);
    frame[0] = 1;                 // first line
    frame[frame.size() - 1] = 2;  // last column of the last line, 19998 lines later
    movie.frames.push_back(frame);
    frame[16385 * movie.width] = 3;  // just past one full skip word from the top
    movie.frames.push_back(frame);
    ExpectRoundTrip(movie, "tall");
}

// Seeded random edits (dots, spans, blocks, whole repaints) on odd and even widths.
TEST_F(AllegroPlayback, RandomEditsPlayBackExactly) {
    const int sizes[][2] = {{1, 5}, {2, 3}, {37, 23}, {64, 16}, {515, 9}};
    std::mt19937 rng(20240611u);
    for (const auto &size : sizes) {
        FlcMovie movie;
        movie.width = size[0];
        movie.height = size[1];
        movie.ms_per_frame = 45;
        movie.palette = TestPalette();
        const int w = movie.width;
        const int h = movie.height;
        Frame frame(static_cast<size_t>(w) * h);
        for (auto &p : frame)
            p = static_cast<uint8_t>(rng() % 4);
        for (int f = 0; f < 40; f++) {
            int edits = static_cast<int>(rng() % 6);
            for (int e = 0; e < edits; e++) {
                int x0 = static_cast<int>(rng() % w), y0 = static_cast<int>(rng() % h);
                int x1 = x0 + static_cast<int>(rng() % (w - x0));
                int y1 = y0 + static_cast<int>(rng() % (h - y0) % 3);
                uint8_t value = static_cast<uint8_t>(rng() % 3 == 0 ? rng() : rng() % 4);
                bool noisy = rng() % 2;
                for (int y = y0; y <= y1; y++) {
                    for (int x = x0; x <= x1; x++) {
                        frame[y * w + x] = noisy ? static_cast<uint8_t>(rng()) : value;
                    }
                }
            }
            if (f % 13 == 12) {
                for (auto &p : frame)
                    p = static_cast<uint8_t>(rng());
            }
            movie.frames.push_back(frame);
        }
        ExpectRoundTrip(movie, "random_" + std::to_string(w) + "x" + std::to_string(h));
    }
}

}  // namespace
