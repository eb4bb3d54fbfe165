// The headless test harness: the real game code runs on Allegro with test
// drivers for the display, keyboard, mouse and timer. Every frame that
// reaches the screen is captured, keys come from a script, no clock runs.
#pragma once

#include <allegro.h>
#include <gtest/gtest.h>

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

namespace harness {

struct ScriptEnded {};        // thrown when the game waits for a key and none is left
struct FrameLimitReached {};  // thrown when the game presents more frames than allowed

// Forgets every script, frame and message, lets go of every key, and starts
// the retrace timer again where a script ended inside a key wait.
void Reset();
// Keys the game finds pressed, one at each of its key waits and let go at the next frame or wait:
// letters and digits as themselves, <up> <down> <enter> <esc> <bksp> <space> <left> <right> <f5>,
// <shift>X with Shift held, <alt>X with Alt held, <ctrl>X with Control held (<ctrl><shift>X with
// both), <down*3> for three taps, <letgo>X for a key already let go when the game scans the keys,
// <mouse X Y B> for the mouse reported at screen pixel (X, Y) with buttons B held (1 left, 2
// right), and <focus> for no key but the window's focus back (and its screen spoiled).
void TypeKeys(const std::string &script);
// The window loses the focus at the retrace of frame `frame`; the mouse moves
// dx the first time the game rests without it.
void LoseFocusAt(int frame, int dx);
void HoldKey(int scancode, int from, int to);      // from the retrace of frame `from` to `to`'s
void MoveMouse(int frame, int dx, int dy);         // read after the retrace of frame `frame`
void WatchFrames(std::function<void(int)> probe);  // called at each frame's retrace
void SetFrameLimit(int frames);
int KeysLeft();  // scripted taps not used yet
// Set by a test: the full-screen or the windowed display refuses to start (DesktopSizeFails: full
// screen at any size but 640x480), or the library's start-up fails as without a display.
inline bool FullScreenFails = false, WindowFails = false, SystemFails = false,
            DesktopSizeFails = false;
// The desktop the game finds: its size and colour depth.
inline int DesktopWidth = 640, DesktopHeight = 480, DesktopDepth = 16;
inline std::string WindowTitle;          // as the game set it
inline void (*CloseButton)() = nullptr;  // what the game has the close button call

uint64_t ScreenHash();  // of the screen's pixels as they stand
// One line for each run of equal frames (each as the player saw it until the
// next retrace or key wait) since Reset, then the message boxes shown.
std::string ScreenTranscript();
const std::vector<std::string> &Messages();
// Compares text with tests/golden/NAME.txt, naming the first line that
// differs; TILERIOT_UPDATE_GOLDEN=1 rewrites the file instead.
::testing::AssertionResult MatchesGolden(const std::string &name, const std::string &text);

uint64_t Hash(const void *bytes, size_t size, uint64_t seed = 0);  // FNV-1a
std::string Repeat(const std::string &text, int count);
std::string RunDirectory();  // the built game files: data file, movie, credits
void WriteFile(const std::string &name, const std::string &bytes);
std::string ReadFile(const std::string &name);  // empty when missing
// A file's bytes, else "(missing)", "(directory)", "(fifo)" or "(link)".
std::string Contents(const std::string &path);
// A level file: the given cells' numbers (cell, number) and 0 elsewhere, in order.
std::string LevelText(const std::vector<std::pair<int, int>> &cells, const char *separator = " ");
// Empties the working directory (but for the data file), then lays out
// "name=bytes" files, "name/" directories, "name|" FIFOs and "name->target" links.
void LayOut(const std::vector<std::string> &entries);

// The game's records as a run starts: the default controls, no game, no
// ball, paddle or bricks. Each GameTest starts so.
void StartAfresh();

// A test in a fresh, empty working directory of its own.
class TempDirTest : public ::testing::Test {
protected:
    void SetUp() override;
    void TearDown() override;

private:
    std::string directory_, previous_directory_;
};

// A test on the game's real start-up, beside the game's data file, with the
// game's records as a run starts.
class GameTest : public TempDirTest {
protected:
    void SetUp() override;
    void TearDown() override;
};

// What the test drivers ask of the harness, and tell it.
void OnRetrace();
void OnRest();
void TakeMickeys(int *x, int *y);
void OnMessage(const char *text);
bool RetraceTimerRunning();  // a timer at the 70 Hz retrace rate

}  // namespace harness
