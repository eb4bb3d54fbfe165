// Tests for the FLC encoder: exact bytes of tiny movies, the file layout, and
// round trips through Allegro's own FLI/FLC player compared pixel for pixel.

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

// Little-endian 16-bit word at pos.
unsigned U16At(const Bytes &b, size_t pos) {
    return b[pos] | (b[pos + 1] << 8);
}

// Little-endian 32-bit word at pos.
uint32_t U32At(const Bytes &b, size_t pos) {
    return U16At(b, pos) | (static_cast<uint32_t>(U16At(b, pos + 2)) << 16);
}

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

// What one frame of a file looks like from the outside: its size and chunk types.
struct FrameLayout {
    uint32_t size = 0;
    std::vector<unsigned> chunk_types;
};

// Walks the frames of an encoded file, checking the framing on the way: frame
// magic, even chunk sizes, and chunk sizes that add up to the frame size.
std::vector<FrameLayout> WalkFrames(const Bytes &file) {
    std::vector<FrameLayout> frames;
    size_t pos = 128;
    while (pos < file.size()) {
        FrameLayout frame;
        EXPECT_LE(pos + 16, file.size());
        frame.size = U32At(file, pos);
        EXPECT_EQ(U16At(file, pos + 4), 0xF1FAu);
        unsigned chunks = U16At(file, pos + 6);
        size_t chunk_pos = pos + 16;
        for (unsigned c = 0; c < chunks; c++) {
            uint32_t size = U32At(file, chunk_pos);
            EXPECT_EQ(size % 2, 0u) << "odd chunk at " << chunk_pos;
            frame.chunk_types.push_back(U16At(file, chunk_pos + 4));
            chunk_pos += size;
        }
        EXPECT_EQ(chunk_pos, pos + frame.size) << "chunks do not fill the frame at " << pos;
        if (frame.size < 16)
            break;
        pos += frame.size;
        frames.push_back(frame);
    }
    EXPECT_EQ(pos, file.size());
    return frames;
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

// A wide, odd-width movie walking through the cases the delta coder must handle.
FlcMovie ScenarioMovie() {
    FlcMovie movie;
    movie.width = 801;  // odd: the last column travels in its own opcode
    movie.height = 7;
    movie.ms_per_frame = 40;
    movie.palette = TestPalette();
    const int w = movie.width;
    Frame first(static_cast<size_t>(w) * movie.height);
    for (int x = 0; x < w; x++)
        first[x] = static_cast<uint8_t>(x / 3);  // 267 runs on one line
    for (int y = 1; y < movie.height; y++) {
        for (int x = 0; x < w; x++) {
            first[y * w + x] = static_cast<uint8_t>(x < 300 ? (x * y) % 7 : 200 + y);
        }
    }
    Frame small = first;
    small[1 * w + 0] = 250;    // first pixel of a line
    small[2 * w + 601] = 251;  // far past one skip byte
    small[4 * w + 1] = 249;    // then a gap of exactly 256 bytes to the next change
    small[4 * w + 258] = 248;
    for (int x = 400; x < 420; x++) {
        small[3 * w + x] = 252;  // a run of equal words
    }
    for (int x = 10; x < 15; x++) {
        small[3 * w + x] = static_cast<uint8_t>(240 + x);  // an odd-length literal
    }
    Frame edge = small;
    edge[(movie.height - 1) * w + w - 1] = 253;  // bottom-right pixel only
    edge[2 * w + w - 1] = 254;                   // last column of a middle line
    Frame full(first.size());
    for (size_t i = 0; i < full.size(); i++)
        full[i] = static_cast<uint8_t>(~edge[i]);
    Frame corner = full;
    corner[0] = static_cast<uint8_t>(corner[0] + 1);
    movie.frames = {first, small, small, edge, full, corner};
    return movie;
}

// Exact bytes of a 5x3 movie: a blank first frame, then a change on the last line.
TEST(FlcEncoder, TinyMovieBytesAreExact) {
    FlcMovie movie;
    movie.width = 5;
    movie.height = 3;
    movie.ms_per_frame = 50;
    movie.palette = TestPalette();
    Frame blank(15, 0);
    Frame changed = blank;
    changed[10] = 4;
    changed[11] = 4;
    changed[14] = 9;
    movie.frames = {blank, changed};
    Bytes file = EncodeFlc(movie);

    const size_t frame1 = 128;
    const Bytes frame1_head = {0x2A, 0x03, 0, 0, 0xFA, 0xF1, 2, 0, 0, 0, 0, 0, 0, 0, 0, 0};
    const Bytes palette_head = {0x0A, 0x03, 0, 0, 4, 0, 1, 0, 0, 0};
    // Three lines of "one packet: run of 5 zeros", padded to an even chunk.
    const Bytes brun = {0x10, 0, 0, 0, 15, 0, 1, 5, 0, 1, 5, 0, 1, 5, 0, 0};
    // One line record: skip 2 lines, last byte 9, one packet of a single word (4,4).
    const Bytes delta = {0x22, 0, 0, 0, 0xFA, 0xF1, 1, 0,    0,    0, 0,    0, 0, 0, 0, 0, 0x12,
                         0,    0, 0, 7, 0,    1,    0, 0xFE, 0xFF, 9, 0x80, 1, 0, 0, 1, 4, 4};
    ASSERT_EQ(file.size(), frame1 + 810 + delta.size());
    EXPECT_EQ(Bytes(file.begin() + frame1, file.begin() + frame1 + 16), frame1_head);
    EXPECT_EQ(Bytes(file.begin() + frame1 + 16, file.begin() + frame1 + 26), palette_head);
    Bytes palette(file.begin() + frame1 + 26, file.begin() + frame1 + 26 + 768);
    EXPECT_EQ(palette, Bytes(movie.palette.begin(), movie.palette.end()));
    EXPECT_EQ(Bytes(file.begin() + frame1 + 794, file.begin() + frame1 + 810), brun);
    EXPECT_EQ(Bytes(file.begin() + frame1 + 810, file.end()), delta);
}

// The 128-byte header: size, magic, count, geometry, depth, speed and frame offsets.
TEST(FlcEncoder, HeaderDescribesTheFile) {
    FlcMovie movie = ScenarioMovie();
    Bytes file = EncodeFlc(movie);
    ASSERT_GT(file.size(), 128u);
    EXPECT_EQ(U32At(file, 0), file.size());
    EXPECT_EQ(U16At(file, 4), 0xAF12u);
    EXPECT_EQ(U16At(file, 6), movie.frames.size());
    EXPECT_EQ(U16At(file, 8), 801u);
    EXPECT_EQ(U16At(file, 10), 7u);
    EXPECT_EQ(U16At(file, 12), 8u);
    EXPECT_EQ(U16At(file, 14), 3u);  // written completely, loops
    EXPECT_EQ(U32At(file, 16), 40u);
    EXPECT_EQ(U16At(file, 38), 1u);  // square pixels
    EXPECT_EQ(U16At(file, 40), 1u);
    EXPECT_EQ(U32At(file, 80), 128u);
    EXPECT_EQ(U32At(file, 84), 128u + U32At(file, 128));
}

// Chunk choice per frame: palette and BYTE_RUN first, deltas for small changes,
// an empty frame when nothing changed, BYTE_RUN again when everything did.
TEST(FlcEncoder, ChoosesChunksPerFrame) {
    Bytes file = EncodeFlc(ScenarioMovie());
    std::vector<FrameLayout> frames = WalkFrames(file);
    ASSERT_EQ(frames.size(), 6u);
    EXPECT_EQ(frames[0].chunk_types, (std::vector<unsigned>{4, 15}));
    EXPECT_EQ(frames[1].chunk_types, (std::vector<unsigned>{7}));
    EXPECT_EQ(frames[2].chunk_types, (std::vector<unsigned>{}));
    EXPECT_EQ(frames[2].size, 16u);
    EXPECT_EQ(frames[3].chunk_types, (std::vector<unsigned>{7}));
    EXPECT_EQ(frames[4].chunk_types, (std::vector<unsigned>{15}));
    EXPECT_EQ(frames[5].chunk_types, (std::vector<unsigned>{7}));
    EXPECT_LT(frames[3].size, 64u);  // two pixels cost a few words, not a picture
}

// Movies with bad geometry or short frames are refused instead of half written.
TEST(FlcEncoder, RefusesMalformedMovies) {
    FlcMovie movie = ScenarioMovie();
    movie.frames[2].pop_back();
    EXPECT_TRUE(EncodeFlc(movie).empty());
    std::string path = TempPath("malformed.flc");
    EXPECT_FALSE(WriteFlc(path, movie));
    EXPECT_NE(access(path.c_str(), F_OK), 0);  // nothing was created
    FlcMovie empty = ScenarioMovie();
    empty.frames.clear();
    EXPECT_TRUE(EncodeFlc(empty).empty());
    FlcMovie zero_speed = ScenarioMovie();
    zero_speed.ms_per_frame = 0;
    EXPECT_TRUE(EncodeFlc(zero_speed).empty());
}

// Paths that cannot be created, and a device that refuses the data, report failure.
TEST(FlcEncoder, WriteFailsOnUnwritablePaths) {
    FlcMovie movie = ScenarioMovie();
    EXPECT_FALSE(WriteFlc("/nonexistent-directory/intro.flc", movie));
    EXPECT_FALSE(WriteFlc(testing::TempDir(), movie));  // a directory, not a file
    if (std::FILE *full = std::fopen("/dev/full", "wb")) {
        std::fclose(full);
        EXPECT_FALSE(WriteFlc("/dev/full", movie));  // opens fine, every write fails
    }
}

// The written file has exactly the bytes EncodeFlc produces.
TEST(FlcEncoder, WrittenFileMatchesEncoding) {
    FlcMovie movie = ScenarioMovie();
    std::string path = TempPath("written.flc");
    ASSERT_TRUE(WriteFlc(path, movie));
    std::FILE *file = std::fopen(path.c_str(), "rb");
    ASSERT_NE(file, nullptr);
    Bytes read;
    int c;
    while ((c = std::fgetc(file)) != EOF)
        read.push_back(static_cast<uint8_t>(c));
    std::fclose(file);
    std::remove(path.c_str());
    EXPECT_EQ(read, EncodeFlc(movie));
}

// Allegro's player reproduces every frame of the scenario and the scaled palette.
TEST_F(AllegroPlayback, ScenarioPlaysBackExactly) {
    ExpectRoundTrip(ScenarioMovie(), "scenario");
}

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
