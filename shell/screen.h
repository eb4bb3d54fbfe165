// Screen and keyboard helpers that every screen is built from: clearing and
// presenting the back buffer, waiting for the retrace and for a key.
#pragma once

#include <allegro.h>

#include "display/picture.h"
#include "shell/startup.h"

// Text is drawn as the library draws it by default: each glyph cell stands
// on an opaque box of colour 0, black, so a message over the playfield reads
// on a black band.
constexpr int TEXT_BACKGROUND = 0;

// Clears a bitmap to black.
void ClearBuffer(BITMAP *bmp);

// Waits for the vertical retrace, then shows the back buffer on the display.
void PresentBuffer();

// Waits for the vertical retrace; a pending window close ends the game here,
// a pending Alt+Enter switches the display, and while the window does not
// have the focus the game stands still here.
void WaitRetrace();

// Discards waiting key presses, waits for a new one and returns the highest
// scancode held down at that moment (0 when none is held any more).
int WaitForKey();

// What every wait does for the display: a pending Alt+Enter switches it (no
// mode at all ends the game), a key held on through a switch is forgotten
// once let go, and a spoiled screen is shown again whole.
void KeepDisplay();

// Stands still while the window does not have the focus; the mouse's movement
// meanwhile is forgotten.
void WaitForFocus();

// Waits as cheaply as WaitForKey, discarding nothing, until ready() is true
// or the window is asked to close: the level editor's wait for a key or the
// mouse. A close request is left for the caller (TakeCloseRequest).
void WaitUntil(bool (*ready)());

// Ends the game through ExitGame(0) if the window was asked to close.
void HonourCloseRequest();
