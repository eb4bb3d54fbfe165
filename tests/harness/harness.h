// The headless test harness: the real game code runs on Allegro with test
// drivers for the display, keyboard, mouse and timer. Every frame that
// reaches the screen is captured, key presses come from a script, and
// nothing waits on a clock.
#pragma once

#include <allegro.h>
#include <gtest/gtest.h>

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

namespace harness {

// One presented frame: the screen as the player saw it until the next
// retrace or key wait. The pixels are kept for the first frames and the last.
struct Frame {
    uint64_t hash = 0;
    std::vector<uint16_t> pixels;  // 16-bit colours, row by row
    uint16_t At(int x, int y) const { return pixels[static_cast<size_t>(y) * SCREEN_W + x]; }
};

// True when the frame shows exactly this text in this colour at (x, y): every
// pixel the text covers there, and no other pixel of its box, has the colour.
// With centred, x is the text's middle, as textout_centre places it.
bool ShowsText(const Frame &frame, FONT *f, const char *text, int x, int y, int colour,
               bool centred = false);

// Thrown out of the game when it waits for a key and the script has none left.
struct ScriptEnded {};
// Thrown out of the game when it presents more frames than the test allows.
struct FrameLimitReached {};

// Forgets every script, frame and message.
void Reset();

// The game sees this key pressed (with a modifier held, if not 0) the next
// time it waits for one; the keys are let go at the following frame or wait.
void TapKey(int scancode, int modifier = 0);

// Taps each key of a script: letters and digits as themselves, and
// <up> <down> <enter> <esc> <bksp> <space> <shift>X for the others, and
// <down*3> for three taps.
void TypeKeys(const std::string &script);

// A key pressed and let go again before the game looks at which keys are down.
void TapAndLetGo(int scancode);

// Holds a key down from the retrace of frame `from` until that of frame `to`.
void HoldKey(int scancode, int from, int to);

// Adds mouse movement, read by the game after the retrace of frame `frame`.
void MoveMouse(int frame, int dx, int dy);

// Calls probe with each frame's index at its retrace, as the game presents it.
void WatchFrames(std::function<void(int)> probe);

// Makes the full-screen and/or the windowed test display refuse to start.
void FailDisplays(bool full_screen, bool windowed);

// Makes the library's start-up fail, as it does without a display.
void FailSystem(bool fails);

// The title the game gave its window.
std::string WindowTitle();

// Presses the window's close button now.
void PressCloseButton();

// Stops the game with FrameLimitReached when it presents more frames.
void SetFrameLimit(int frames);

// How many scripted key taps the game has not used yet.
int KeysLeft();

// Every frame presented since Reset.
const std::vector<Frame> &Frames();

// The frames as text, one line for each run of equal frames, then the
// message boxes: a transcript of what the player saw.
std::string ScreenTranscript();

// The message boxes shown since Reset, in order.
const std::vector<std::string> &Messages();

// The path of the built game files (data file, movie, credits).
std::string RunDirectory();

// Compares text with the golden file tests/golden/NAME.txt, naming the first
// line that differs. TILERIOT_UPDATE_GOLDEN=1 rewrites the file instead.
::testing::AssertionResult MatchesGolden(const std::string &name, const std::string &text);

// A hash of the screen's pixels as they stand.
uint64_t ScreenHash();

// A 64-bit hash of some bytes, for digests in golden files.
uint64_t Hash(const void *bytes, size_t size, uint64_t seed = 0);

// Bytes as hexadecimal, for files in golden transcripts.
std::string Hex(const std::string &bytes);

// Makes a file of the working directory with these bytes.
void WriteFile(const std::string &name, const std::string &bytes);

// Reads a whole file of the working directory; empty when missing.
std::string ReadFile(const std::string &name);

// What stands at a path: a file's bytes, else "(missing)", "(directory)",
// "(fifo)" or "(link)".
std::string Contents(const std::string &path);

// Empties the working directory (but for the data file), then lays out
// "name=bytes" files, "name/" directories, "name|" FIFOs and "name->target"
// links.
void LayOut(const std::vector<std::string> &entries);

// A test in a fresh, empty working directory of its own.
class TempDirTest : public ::testing::Test {
protected:
    void SetUp() override;
    void TearDown() override;
    static void WriteFile(const std::string &name, const std::string &bytes) {
        harness::WriteFile(name, bytes);
    }
    static std::string ReadFile(const std::string &name) { return harness::ReadFile(name); }

private:
    std::string directory_;
    std::string previous_directory_;
};

// A test that runs the game's real start-up on the test drivers, in a fresh
// working directory that holds the game's data file, with the game's records
// as a run starts.
class GameTest : public TempDirTest {
protected:
    void SetUp() override;
    void TearDown() override;
};

// What the test drivers ask of the harness: the moments at which the script
// acts (a retrace, a rest) and what the game shows or hands over.
void OnRetrace();
void OnRest();
bool DisplayFails(bool windowed);
bool SystemFails();
void OnWindowTitle(const char *title);
void TakeMickeys(int *x, int *y);
void OnMessage(const char *text);
void OnCloseButtonCallback(void (*proc)());

}  // namespace harness
