// The harness's script and capture: scripted key taps, holds and mouse
// moves, the frames the game presents and the messages it shows.

#include "tests/harness/harness.h"

#include <allegro/internal/aintern.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cctype>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <deque>
#include <filesystem>
#include <fstream>
#include <map>
#include <sstream>

#include "game/game_state.h"
#include "game/level_grid.h"
#include "shell/game_data.h"
#include "shell/screen.h"
#include "shell/startup.h"

namespace harness {
namespace {

// The game ends the process only through ExitGame. Outside a death test that
// is a fault of the game, which must not pass for a test run that ended well.
const int exit_guard = std::atexit([] {
    if (::testing::UnitTest::GetInstance()->current_test_info() &&
        !::testing::internal::InDeathTestChild()) {
        std::fprintf(stderr, "FAIL: the game ended the test process\n");
        std::_Exit(1);
    }
});

// Frames beyond this many keep only their hash, but for the last one.
constexpr size_t KEPT_FRAMES = 64;

struct Tap {
    int modifier;  // 0 for none
    int scancode;
    bool let_go;  // released before the game scans the keys
};

struct State {
    std::deque<Tap> taps;
    std::multimap<int, std::function<void()>> scheduled;  // by frame
    std::vector<int> tapped;                              // keys down from the last tap
    std::vector<Frame> frames;
    bool frame_on_screen = false;  // the last frame is presented but not yet captured
    std::vector<std::string> messages;
    std::function<void(int)> probe;
    int frame_limit = 1000000;
    int mickey_x = 0, mickey_y = 0;
    void (*close_button)() = nullptr;
};

// Which test displays, or the system, refuse to start; kept across Reset.
bool full_screen_fails = false;
bool window_fails = false;
bool system_fails = false;
std::string window_title;

State state;

void Press(int scancode) {
    _handle_key_press(scancode_to_ascii(scancode), scancode);
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

}  // namespace

// Thousands of frames are hashed in a run, so this loop is spared the
// sanitizers' checks.
__attribute__((no_sanitize("address", "undefined"))) uint64_t ScreenHash() {
    uint64_t lanes[4] = {1, 2, 3, 4};  // four at a time, so the multiplies overlap
    for (int y = 0; y < screen->h; ++y) {
        const auto *row = reinterpret_cast<const uint64_t *>(screen->line[y]);
        for (int i = 0; i + 4 <= screen->w / 4; i += 4) {
            for (int lane = 0; lane < 4; ++lane) {
                lanes[lane] = (lanes[lane] ^ row[i + lane]) * 0x9E3779B97F4A7C15ull;
                lanes[lane] ^= lanes[lane] >> 29;
            }
        }
    }
    return Hash(lanes, sizeof lanes);
}

namespace {

// The screen's pixels, row by row.
std::vector<uint16_t> ScreenPixels() {
    std::vector<uint16_t> pixels(static_cast<size_t>(screen->w) * screen->h);
    for (int y = 0; y < screen->h; ++y) {
        const auto *row = reinterpret_cast<const uint16_t *>(screen->line[y]);
        std::copy(row, row + screen->w, pixels.begin() + static_cast<ptrdiff_t>(y) * screen->w);
    }
    return pixels;
}

// The frame presented last has been on the screen since: capture the screen,
// so a copy that lands anywhere but whole at (0, 0) shows.
void CaptureScreen() {
    if (!state.frame_on_screen || !screen) {
        return;
    }
    state.frame_on_screen = false;
    Frame &frame = state.frames.back();
    frame.hash = ScreenHash();
    if (state.frames.size() <= KEPT_FRAMES) {
        frame.pixels = ScreenPixels();
    }
}

void ApplyScheduled(int frame) {
    const auto [first, last] = state.scheduled.equal_range(frame);
    for (auto it = first; it != last; ++it) {
        it->second();
    }
}

}  // namespace

void OnRetrace() {
    CaptureScreen();
    if (static_cast<int>(state.frames.size()) >= state.frame_limit) {
        throw FrameLimitReached{};
    }
    ReleaseTapped();
    const int index = static_cast<int>(state.frames.size());
    state.frames.emplace_back();
    state.frame_on_screen = true;
    if (state.probe) {
        state.probe(index);
    }
    ApplyScheduled(index);
}

void OnRest() {
    CaptureScreen();
    ReleaseTapped();
    if (state.taps.empty()) {
        throw ScriptEnded{};
    }
    Tap tap = state.taps.front();
    state.taps.pop_front();
    if (tap.modifier) {
        _handle_key_press(-1, tap.modifier);  // modifiers never reach the key buffer
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

void FailSystem(bool fails) {
    system_fails = fails;
}

bool SystemFails() {
    return system_fails;
}

void OnWindowTitle(const char *title) {
    window_title = title;
}

std::string WindowTitle() {
    return window_title;
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
    for (int scancode = 1; scancode < KEY_MAX; ++scancode) {
        if (key[scancode]) {
            Release(scancode);  // a key held when a test or game ended
        }
    }
    clear_keybuf();
    auto close_button = state.close_button;
    state = State{};
    state.close_button = close_button;
}

void TapKey(int scancode, int modifier) {
    state.taps.push_back({modifier, scancode, false});
}

void TypeKeys(const std::string &script) {
    static const std::map<std::string, int> named = {
        {"up", KEY_UP},          {"down", KEY_DOWN},   {"enter", KEY_ENTER}, {"esc", KEY_ESC},
        {"bksp", KEY_BACKSPACE}, {"space", KEY_SPACE}, {"shift", KEY_LSHIFT}};
    int modifier = 0;
    for (size_t i = 0; i < script.size(); ++i) {
        int scancode;
        int times = 1;  // <name*N> taps it N times
        if (script[i] == '<') {
            const size_t end = script.find('>', i), star = script.find('*', i);
            scancode = named.at(script.substr(i + 1, std::min(end, star) - i - 1));
            times = star < end ? std::stoi(script.substr(star + 1)) : 1;
            i = end;
        } else if (std::isdigit(static_cast<unsigned char>(script[i]))) {
            scancode = KEY_0 + (script[i] - '0');
        } else {
            scancode = KEY_A + (std::tolower(static_cast<unsigned char>(script[i])) - 'a');
        }
        if (scancode == KEY_LSHIFT) {
            modifier = scancode;
            continue;
        }
        while (times-- > 0) {
            TapKey(scancode, modifier);
        }
        modifier = 0;
    }
}

void TapAndLetGo(int scancode) {
    state.taps.push_back({0, scancode, true});
}

void HoldKey(int scancode, int from, int to) {
    state.scheduled.emplace(from, [scancode] { Press(scancode); });
    state.scheduled.emplace(to, [scancode] { Release(scancode); });
}

void MoveMouse(int frame, int dx, int dy) {
    state.scheduled.emplace(frame, [dx, dy] {
        state.mickey_x += dx;
        state.mickey_y += dy;
    });
}

void WatchFrames(std::function<void(int)> probe) {
    state.probe = std::move(probe);
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
    CaptureScreen();
    // Nothing is drawn after the game's last frame: the screen still shows it.
    if (!state.frames.empty() && state.frames.back().pixels.empty()) {
        state.frames.back().pixels = ScreenPixels();
    }
    return state.frames;
}

std::string ScreenTranscript() {
    std::string text;
    const std::vector<Frame> &frames = Frames();
    for (size_t first = 0; first < frames.size();) {
        size_t last = first;
        while (last + 1 < frames.size() && frames[last + 1].hash == frames[first].hash) {
            ++last;
        }
        char line[96];
        std::snprintf(line, sizeof line, "frames %zu-%zu %016llx\n", first, last,
                      static_cast<unsigned long long>(frames[first].hash));
        text += line;
        first = last + 1;
    }
    for (const std::string &message : state.messages) {
        text += "message: " + message + "\n";
    }
    return text;
}

const std::vector<std::string> &Messages() {
    return state.messages;
}

std::string RunDirectory() {
    return TILERIOT_RUN_DIR;
}

uint64_t Hash(const void *bytes, size_t size, uint64_t seed) {
    uint64_t hash = 14695981039346656037ull ^ seed;  // FNV-1a
    for (size_t i = 0; i < size; ++i) {
        hash = (hash ^ static_cast<const unsigned char *>(bytes)[i]) * 1099511628211ull;
    }
    return hash;
}

std::string Hex(const std::string &bytes) {
    std::string text;
    char pair[4];
    for (size_t i = 0; i < bytes.size(); ++i) {
        std::snprintf(pair, sizeof pair, "%02x", static_cast<unsigned char>(bytes[i]));
        text += pair;
        text += (i % 36 == 35) ? "\n" : "";
    }
    return text + "\n";
}

::testing::AssertionResult MatchesGolden(const std::string &name, const std::string &text) {
    const std::string path = std::string(TILERIOT_GOLDEN_DIR) + "/" + name + ".txt";
    if (std::getenv("TILERIOT_UPDATE_GOLDEN")) {
        std::ofstream(path, std::ios::binary) << text;
        return ::testing::AssertionSuccess();
    }
    std::ifstream in(path, std::ios::binary);
    std::stringstream want;
    want << in.rdbuf();
    if (want.str() == text) {
        return ::testing::AssertionSuccess();
    }
    std::istringstream wanted(want.str()), got(text);
    std::string want_line, got_line;
    int line = 0;
    while (std::getline(wanted, want_line) && std::getline(got, got_line) &&
           want_line == got_line) {
        ++line;
    }
    return ::testing::AssertionFailure()
           << path << " line " << line + 1 << ": wanted \"" << want_line << "\", got \"" << got_line
           << "\" (TILERIOT_UPDATE_GOLDEN=1 rewrites the file)";
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

void WriteFile(const std::string &name, const std::string &bytes) {
    std::ofstream(name, std::ios::binary) << bytes;
}

std::string ReadFile(const std::string &name) {
    std::ifstream in(name, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), {});
}

std::string Contents(const std::string &path) {
    struct stat status;
    if (lstat(path.c_str(), &status) != 0) {
        return "(missing)";
    }
    return S_ISDIR(status.st_mode)    ? "(directory)"
           : S_ISFIFO(status.st_mode) ? "(fifo)"
           : S_ISLNK(status.st_mode)  ? "(link)"
                                      : ReadFile(path);
}

void LayOut(const std::vector<std::string> &entries) {
    for (const auto &entry : std::filesystem::directory_iterator(".")) {
        if (entry.path().filename() != "tr_data2.dat") {
            std::filesystem::remove_all(entry.path());
        }
    }
    for (const std::string &entry : entries) {
        const size_t equals = entry.find('='), arrow = entry.find("->");
        if (equals != std::string::npos && (arrow == std::string::npos || equals < arrow)) {
            const std::filesystem::path name = entry.substr(0, equals);
            if (name.has_parent_path()) {
                std::filesystem::create_directories(name.parent_path());
            }
            WriteFile(name, entry.substr(equals + 1));
        } else if (arrow != std::string::npos) {
            symlink(entry.substr(arrow + 2).c_str(), entry.substr(0, arrow).c_str());
        } else if (entry.back() == '/') {
            mkdir(entry.c_str(), 0755);
        } else if (entry.back() == '|') {
            mkfifo(entry.substr(0, entry.size() - 1).c_str(), 0666);
        }
    }
}

void GameTest::SetUp() {
    TempDirTest::SetUp();
    std::filesystem::create_symlink(RunDirectory() + "/tr_data2.dat", "tr_data2.dat");
    Reset();
    InitSystem();
    // Each test starts a run afresh: the default controls, no game, no bricks.
    SetDefaultControls();
    GameSettings = {};
    std::memset(Level, 0, sizeof Level);
}

void GameTest::TearDown() {
    ShutDownSystem();
    TempDirTest::TearDown();
}

}  // namespace harness
