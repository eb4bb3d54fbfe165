// The display modes: full screen on one monitor at its own size, or a window
// of a whole scale, chosen by the command line and tileriot.cfg and switched
// by Alt+Enter at any moment; and the mouse measured in picture pixels.
#pragma once

#include <cstdint>

#include "display/monitors.h"

// The window scales a player may choose.
constexpr int MIN_SCALE = 1;
constexpr int MAX_SCALE = 8;

// The player's choice of display; it is written back when the game ends.
struct DisplayChoice {
    bool FullScreen = true;
    int Scale = 0;                         // of the window; 0 until chosen: the largest that fits
    bool ScaleAsked = false;               // Scale came from the command line this run
    char Monitor[MONITOR_NAME_ROOM] = "";  // the monitor last used; "" for the primary
};
extern DisplayChoice ChosenDisplay;

// Sets the display ChosenDisplay asks for: full screen on its monitor, else
// 640x480 full screen, else a window (or the other way round); false when no
// mode can be set. The picture is then sent whole.
bool SetDisplay();

// Switches between full screen and window when Alt+Enter asked for it, and
// shows the picture again at once; false when no mode could be set.
bool HonourDisplaySwitch();

// Notes in ChosenDisplay the monitor the game's window stands on now.
void NoteWindowMonitor();

// Mouse movement on the screen in picture pixels: divided by the picture's
// scale, the remainder carried to the next reading so nothing is lost.
void GetPictureMickeys(int32_t *x, int32_t *y);

// Forgets the mouse movement not read yet.
void DropMouseMovement();

// One axis of that division: screen pixels moved on a display where the
// picture's `picture` pixels are `shown` pixels wide, with the carried remainder.
int32_t ToPicturePixels(int32_t moved, int64_t &carry, int picture, int shown);
