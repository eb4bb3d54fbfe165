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

#include "display/events.h"
#include "game/game_state.h"
#include "game/level_grid.h"
#include "shell/retrace.h"
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

constexpr int FOCUS_BACK = -5;  // a tap of no key: the window has the focus back
constexpr int LET_GO = -2;      // a word: the next key is let go before the game scans

struct Tap {
    int scancode;
    std::vector<int> modifiers;
    bool let_go;   // released before the game scans the keys
    int mouse[3];  // with no scancode: the mouse's x, y and buttons
};

struct State {
    std::deque<Tap> taps;
    std::multimap<int, std::function<void()>> scheduled;  // by frame
    std::vector<int> tapped;                              // keys down from the last tap
    std::vector<uint64_t> frames;
    bool frame_on_screen = false;  // the last frame is presented but not yet captured
    std::vector<std::string> messages;
    std::function<void(int)> probe;
    int frame_limit = 1000000, mickey_x = 0, mickey_y = 0, mickeys_away = 0;
} state;

void Press(int scancode) {
    _handle_key_press(scancode_to_ascii(scancode), scancode);
}

void ReleaseTapped() {
    for (int scancode : state.tapped) {
        _handle_key_release(scancode);
    }
    state.tapped.clear();
}

// The frame presented last has been on the screen since: hash the screen,
// so a copy that lands anywhere but whole at (0, 0) shows.
void CaptureScreen() {
    if (state.frame_on_screen && screen) {
        state.frame_on_screen = false;
        state.frames.back() = ScreenHash();
    }
}

}  // namespace

// Thousands of frames are hashed in a run, so this loop is spared the sanitizers' checks.
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

void OnRetrace() {
    CaptureScreen();
    // The game keeps a timer at the retrace rate, which the library's X11
    // retrace needs, whenever it does not handle input itself.
    EXPECT_TRUE(RetraceTimerRunning()) << "frame " << state.frames.size() << " is not paced";
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
    const auto [first, last] = state.scheduled.equal_range(index);
    for (auto it = first; it != last; ++it) {
        it->second();
    }
}

void OnRest() {
    CaptureScreen();
    ReleaseTapped();
    if (state.taps.empty()) {
        throw ScriptEnded{};
    }
    if (!HasFocus()) {
        state.mickey_x += std::exchange(state.mickeys_away, 0);
    }
    const Tap tap = state.taps.front();
    state.taps.pop_front();
    if (tap.scancode == FOCUS_BACK) {
        OnFocusBack();
        return;
    }
    if (tap.scancode == 0) {  // the mouse, reported as its driver does
        _mouse_x = tap.mouse[0], _mouse_y = tap.mouse[1], _mouse_b = tap.mouse[2];
        _handle_mouse_input();
        return;
    }
    for (int modifier : tap.modifiers) {
        _handle_key_press(-1, modifier);  // modifiers never reach the key buffer
        state.tapped.push_back(modifier);
    }
    Press(tap.scancode);
    state.tapped.push_back(tap.scancode);
    if (tap.let_go) {
        ReleaseTapped();
    }
}

void TakeMickeys(int *x, int *y) {
    *x = std::exchange(state.mickey_x, 0);
    *y = std::exchange(state.mickey_y, 0);
}

// A message box shown while a display is set would stand behind a
// full-screen game: the transcript says so.
void OnMessage(const char *text) {
    state.messages.push_back((gfx_driver ? "(behind the game's screen) " : "") + std::string(text));
    std::fprintf(stderr, "MESSAGE: %s\n", state.messages.back().c_str());  // for death tests
}

void Reset() {
    for (int scancode = 1; scancode < KEY_MAX; ++scancode) {
        if (key[scancode]) {
            _handle_key_release(scancode);  // a key held when a test or game ended
        }
    }
    clear_keybuf();
    state = State{};
    if (timer_driver) {
        StartRetracePacer();  // as a key wait that a script's end cut short would have
    }
}

void TypeKeys(const std::string &script) {
    static const std::map<std::string, int> named = {
        {"up", KEY_UP},         {"down", KEY_DOWN},      {"enter", KEY_ENTER},
        {"esc", KEY_ESC},       {"bksp", KEY_BACKSPACE}, {"space", KEY_SPACE},
        {"shift", KEY_LSHIFT},  {"letgo", LET_GO},       {"alt", KEY_ALT},
        {"ctrl", KEY_LCONTROL}, {"left", KEY_LEFT},      {"right", KEY_RIGHT},
        {"f5", KEY_F5},         {"focus", FOCUS_BACK}};
    Tap tap = {};
    for (size_t i = 0; i < script.size(); ++i) {
        int times = 1;  // <name*N> taps it N times
        const size_t end = script.find('>', i), star = script.find('*', i);
        if (script.compare(i, 7, "<mouse ") == 0) {
            std::sscanf(script.c_str() + i + 7, "%d %d %d", &tap.mouse[0], &tap.mouse[1],
                        &tap.mouse[2]);
            tap.scancode = 0;
            i = end;
        } else if (script[i] == '<') {
            tap.scancode = named.at(script.substr(i + 1, std::min(end, star) - i - 1));
            times = star < end ? std::stoi(script.substr(star + 1)) : 1;
            i = end;
        } else if (std::isdigit(static_cast<unsigned char>(script[i]))) {
            tap.scancode = KEY_0 + (script[i] - '0');
        } else {
            tap.scancode = KEY_A + (std::tolower(static_cast<unsigned char>(script[i])) - 'a');
        }
        // <shift>, <alt>, <ctrl> and <letgo> are words about the next key.
        if (tap.scancode == KEY_LSHIFT || tap.scancode == KEY_ALT || tap.scancode == KEY_LCONTROL) {
            tap.modifiers.push_back(tap.scancode);
        } else if (tap.scancode == LET_GO) {
            tap.let_go = true;
        } else {
            state.taps.insert(state.taps.end(), times, tap);
            tap = {};
        }
    }
}

void HoldKey(int scancode, int from, int to) {
    state.scheduled.emplace(from, [scancode] { Press(scancode); });
    state.scheduled.emplace(to, [scancode] { _handle_key_release(scancode); });
}

void LoseFocusAt(int frame, int dx) {
    state.scheduled.emplace(frame, [dx] { OnFocusLost(), state.mickeys_away = dx; });
}

void MoveMouse(int frame, int dx, int dy) {
    state.scheduled.emplace(frame, [dx, dy] { state.mickey_x += dx, state.mickey_y += dy; });
}

void WatchFrames(std::function<void(int)> probe) {
    state.probe = std::move(probe);
}

void SetFrameLimit(int frames) {
    state.frame_limit = frames;
}

int KeysLeft() {
    return static_cast<int>(state.taps.size());
}

std::string ScreenTranscript() {
    std::string text;
    CaptureScreen();
    const std::vector<uint64_t> &frames = state.frames;
    for (size_t first = 0, last = 0; first < frames.size(); first = ++last) {
        while (last + 1 < frames.size() && frames[last + 1] == frames[first]) {
            ++last;
        }
        char line[96];
        std::snprintf(line, sizeof line, "frames %zu-%zu %016llx\n", first, last,
                      static_cast<unsigned long long>(frames[first]));
        text += line;
    }
    for (const std::string &message : state.messages) {
        text += "message: " + message + "\n";
    }
    return text;
}

const std::vector<std::string> &Messages() {
    return state.messages;
}

std::string Repeat(const std::string &text, int count) {
    return count > 0 ? text + Repeat(text, count - 1) : "";
}

std::string RunDirectory() {
    return TILERIOT_RUN_DIR;
}

uint64_t Hash(const void *bytes, size_t size, uint64_t seed) {
    uint64_t hash = 14695981039346656037ull ^ seed;
    for (size_t i = 0; i < size; ++i) {
        hash = (hash ^ static_cast<const unsigned char *>(bytes)[i]) * 1099511628211ull;
    }
    return hash;
}

::testing::AssertionResult MatchesGolden(const std::string &name, const std::string &text) {
    const std::string path = std::string(TILERIOT_GOLDEN_DIR) + "/" + name + ".txt";
    if (std::getenv("TILERIOT_UPDATE_GOLDEN")) {
        WriteFile(path, text);
    }
    const std::string want = ReadFile(path);
    const auto [wanted, got] = std::mismatch(want.begin(), want.end(), text.begin(), text.end());
    if (wanted == want.end() && got == text.end()) {
        return ::testing::AssertionSuccess();
    }
    const auto line = [](const std::string &all, std::string::const_iterator at) {
        const size_t start = all.substr(0, at - all.begin()).rfind('\n') + 1;  // npos + 1 is 0
        return all.substr(start, all.find('\n', start) - start);
    };
    return ::testing::AssertionFailure()
           << path << " line " << std::count(want.begin(), wanted, '\n') + 1 << ": wanted \""
           << line(want, wanted) << "\", got \"" << line(text, got)
           << "\" (TILERIOT_UPDATE_GOLDEN=1 rewrites the file)";
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

std::string LevelText(const std::vector<std::pair<int, int>> &cells, const char *separator) {
    std::string text;
    for (int i = 0; i < LEVEL_ROWS * LEVEL_COLUMNS; ++i) {
        const auto it =
            std::find_if(cells.begin(), cells.end(), [i](auto &c) { return c.first == i; });
        text += std::to_string(it == cells.end() ? 0 : it->second) + separator;
    }
    return text;
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
            std::filesystem::create_directories(entry);
        } else if (entry.back() == '|') {
            mkfifo(entry.substr(0, entry.size() - 1).c_str(), 0666);
        }
    }
}

void StartAfresh() {
    SetDefaultControls();
    GameSettings = {};
    Ball = {};
    Paddle = {};
    std::memset(Level, 0, sizeof Level);
}

void GameTest::SetUp() {
    TempDirTest::SetUp();
    std::filesystem::create_symlink(RunDirectory() + "/tr_data2.dat", "tr_data2.dat");
    Reset();
    InitSystem();
    StartAfresh();
}

void GameTest::TearDown() {
    ShutDownSystem();
    TempDirTest::TearDown();
}

}  // namespace harness
