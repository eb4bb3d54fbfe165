// The harness's script and capture: scripted key taps, holds and mouse
// moves, the frames the game presents and the messages it shows.

#include "tests/harness/harness.h"

#include <allegro/internal/aintern.h>
#include <unistd.h>

#include <cstdio>
#include <deque>
#include <filesystem>
#include <fstream>
#include <sstream>

#include "shell/game_data.h"
#include "shell/screen.h"
#include "shell/startup.h"
#include "tests/harness/script.h"

namespace harness {
namespace {

// Frames beyond this many keep only their index, to bound memory.
constexpr int KEPT_FRAMES = 400;

struct Tap {
    int modifier;  // 0 for none
    int scancode;
    bool let_go;  // released before the game scans the keys
};

struct Hold {
    int scancode;
    int from;
    int to;
};

struct Move {
    int frame;
    int dx, dy;
};

struct State {
    std::deque<Tap> taps;
    std::vector<Hold> holds;
    std::vector<Move> moves;
    std::vector<int> tapped;  // keys down from the last tap
    std::vector<Frame> frames;
    std::vector<std::string> messages;
    int frame_limit = 1000000;
    int mickey_x = 0, mickey_y = 0;
    void (*close_button)() = nullptr;
};

// Which test displays refuse to start; kept across Reset.
bool full_screen_fails = false;
bool window_fails = false;

State state;

void Press(int scancode) {
    _handle_key_press(scancode_to_ascii(scancode), scancode);
}

// Modifiers never reach the key buffer, as with a real keyboard.
void PressModifier(int scancode) {
    _handle_key_press(-1, scancode);
}

void Release(int scancode) {
    _handle_key_release(scancode);
}

void ReleaseTapped() {
    for (int scancode : state.tapped) {
        Release(scancode);
    }
    state.tapped.clear();
}

void Capture() {
    Frame frame;
    frame.index = static_cast<int>(state.frames.size());
    if (frame.index < KEPT_FRAMES && BackBuffer) {
        frame.pixels.resize(static_cast<size_t>(BackBuffer->w) * BackBuffer->h);
        for (int y = 0; y < BackBuffer->h; ++y) {
            const auto *row = reinterpret_cast<const uint16_t *>(BackBuffer->line[y]);
            std::copy(row, row + BackBuffer->w, frame.pixels.begin() + y * BackBuffer->w);
        }
    }
    state.frames.push_back(std::move(frame));
}

void ApplyScheduled(int frame) {
    for (const Hold &hold : state.holds) {
        if (hold.from == frame) {
            Press(hold.scancode);
        }
        if (hold.to == frame) {
            Release(hold.scancode);
        }
    }
    for (const Move &move : state.moves) {
        if (move.frame == frame) {
            state.mickey_x += move.dx;
            state.mickey_y += move.dy;
        }
    }
}

}  // namespace

void OnRetrace() {
    if (static_cast<int>(state.frames.size()) >= state.frame_limit) {
        throw FrameLimitReached{};
    }
    ReleaseTapped();
    Capture();
    ApplyScheduled(static_cast<int>(state.frames.size()) - 1);
}

void OnRest() {
    ReleaseTapped();
    if (state.taps.empty()) {
        throw ScriptEnded{};
    }
    Tap tap = state.taps.front();
    state.taps.pop_front();
    if (tap.modifier) {
        PressModifier(tap.modifier);
        state.tapped.push_back(tap.modifier);
    }
    Press(tap.scancode);
    state.tapped.push_back(tap.scancode);
    if (tap.let_go) {
        ReleaseTapped();
    }
}

bool DisplayFails(bool windowed) {
    return windowed ? window_fails : full_screen_fails;
}

void FailDisplays(bool full_screen, bool windowed) {
    full_screen_fails = full_screen;
    window_fails = windowed;
}

void TakeMickeys(int *x, int *y) {
    *x = state.mickey_x;
    *y = state.mickey_y;
    state.mickey_x = state.mickey_y = 0;
}

void OnMessage(const char *text) {
    state.messages.emplace_back(text);
    // Death tests see the message on standard error.
    std::fprintf(stderr, "MESSAGE: %s\n", text);
}

void OnCloseButtonCallback(void (*proc)()) {
    state.close_button = proc;
}

void Reset() {
    auto close_button = state.close_button;
    state = State{};
    state.close_button = close_button;
}

void TapKey(int scancode) {
    state.taps.push_back({0, scancode, false});
}

void TapKeyWith(int modifier, int scancode) {
    state.taps.push_back({modifier, scancode, false});
}

void TapAndLetGo(int scancode) {
    state.taps.push_back({0, scancode, true});
}

void HoldKey(int scancode, int from, int to) {
    state.holds.push_back({scancode, from, to});
}

void MoveMouse(int frame, int dx, int dy) {
    state.moves.push_back({frame, dx, dy});
}

void PressCloseButton() {
    if (state.close_button) {
        state.close_button();
    }
}

void SetFrameLimit(int frames) {
    state.frame_limit = frames;
}

int KeysLeft() {
    return static_cast<int>(state.taps.size());
}

const std::vector<Frame> &Frames() {
    return state.frames;
}

const std::vector<std::string> &Messages() {
    return state.messages;
}

std::string RunDirectory() {
    return TILERIOT_RUN_DIR;
}

bool Frame::IsBlack() const {
    for (uint16_t pixel : pixels) {
        if (pixel != 0) {
            return false;
        }
    }
    return true;
}

int Frame::Count(int colour) const {
    int count = 0;
    for (uint16_t pixel : pixels) {
        count += pixel == colour ? 1 : 0;
    }
    return count;
}

bool Frame::Find(int colour, int &left, int &top, int &right, int &bottom) const {
    bool found = false;
    const int width = SCREEN_W;
    for (size_t i = 0; i < pixels.size(); ++i) {
        if (pixels[i] != colour) {
            continue;
        }
        int x = static_cast<int>(i % width);
        int y = static_cast<int>(i / width);
        if (!found) {
            left = right = x;
            top = bottom = y;
            found = true;
        }
        left = std::min(left, x);
        right = std::max(right, x);
        top = std::min(top, y);
        bottom = std::max(bottom, y);
    }
    return found;
}

bool ShowsText(const Frame &frame, FONT *f, const char *text, int x, int y, int colour,
               bool centred) {
    const int width = text_length(f, text);
    const int height = text_height(f);
    const int left = centred ? x - width / 2 : x;
    BITMAP *expected = create_bitmap(width, height);
    clear_to_color(expected, 0);
    textout_ex(expected, f, text, 0, 0, colour, -1);
    bool same = !frame.pixels.empty();
    for (int row = 0; same && row < height; ++row) {
        for (int col = 0; same && col < width; ++col) {
            const bool wanted = getpixel(expected, col, row) == colour;
            same = wanted == (frame.At(left + col, y + row) == colour);
        }
    }
    destroy_bitmap(expected);
    return same;
}

void TempDirTest::SetUp() {
    char pattern[] = "/tmp/tileriot-test-XXXXXX";
    ASSERT_NE(mkdtemp(pattern), nullptr);
    directory_ = pattern;
    previous_directory_ = std::filesystem::current_path();
    std::filesystem::current_path(directory_);
}

void TempDirTest::TearDown() {
    std::filesystem::current_path(previous_directory_);
    std::filesystem::remove_all(directory_);
}

void TempDirTest::WriteFile(const std::string &name, const std::string &bytes) {
    std::ofstream out(name, std::ios::binary);
    out << bytes;
}

std::string TempDirTest::ReadFile(const std::string &name) {
    std::ifstream in(name, std::ios::binary);
    std::stringstream bytes;
    bytes << in.rdbuf();
    return bytes.str();
}

bool TempDirTest::FileExists(const std::string &name) {
    return std::filesystem::exists(name);
}

void GameTest::SetUp() {
    TempDirTest::SetUp();
    std::filesystem::create_symlink(RunDirectory() + "/tr_data2.dat", "tr_data2.dat");
    Reset();
    InitSystem();
}

void GameTest::TearDown() {
    ShutDownSystem();
    TempDirTest::TearDown();
}

}  // namespace harness
