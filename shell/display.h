// The display: full screen at the display's own size or a window of a whole
// scale, chosen by the command line and tileriot.cfg, switched by Alt+Enter
// at any moment, and the mouse measured in picture pixels at any size.
#pragma once

#include <cstdint>

// The window scales a player may choose.
constexpr int MIN_SCALE = 1;
constexpr int MAX_SCALE = 8;

// The player's choice of display; it is written back when the game ends.
struct DisplayChoice {
    bool FullScreen = true;
    int Scale = 0;  // of the window; 0 until chosen: the largest that fits
};
extern DisplayChoice Display;

// The largest whole scale whose window fills at most 90% of a width x
// height screen either way; 1 at least.
int FittingScale(int width, int height);

// Sets the display Display asks for: full screen at the display's own size,
// else 640x480 full screen, else a window (or the other way round); false
// when no mode can be set. The picture is then sent whole.
bool SetDisplay();

// Lets Alt+Enter (either Alt, either Enter) ask for the other mode; the game
// never sees those keys.
void WatchAltEnter();

// Switches between full screen and window when Alt+Enter asked for it, and
// shows the picture again at once.
void HonourDisplaySwitch();

// Mouse movement on the screen in picture pixels: divided by the picture's
// scale, the remainder carried to the next reading so nothing is lost.
void GetPictureMickeys(int32_t *x, int32_t *y);

// One axis of that division: screen pixels moved on a display where the
// picture's `picture` pixels are `shown` pixels wide, with the carried remainder.
int32_t ToPicturePixels(int32_t moved, int64_t &carry, int picture, int shown);
