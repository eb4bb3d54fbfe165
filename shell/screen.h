// Screen and keyboard helpers that every screen is built from: clearing and
// presenting the back buffer, waiting for the retrace and for a key.
#pragma once

#include <allegro.h>

// The picture every screen draws: 640x480 in 16-bit colour, whatever the
// display's own size (SCREEN_W and SCREEN_H are the display's).
constexpr int PICTURE_W = 640;
constexpr int PICTURE_H = 480;

// Text is drawn as the library draws it by default: each glyph cell stands
// on an opaque box of colour 0, black, so a message over the playfield reads
// on a black band.
constexpr int TEXT_BACKGROUND = 0;

// The picture-sized memory bitmap every screen draws into.
extern BITMAP *BackBuffer;

// Clears a bitmap to black.
void ClearBuffer(BITMAP *bmp);

// Waits for the vertical retrace, then shows the back buffer on the display.
void PresentBuffer();

// Waits for the vertical retrace; a pending window close ends the game here,
// and a pending Alt+Enter switches the display.
void WaitRetrace();

// Discards waiting key presses, waits for a new one and returns the highest
// scancode held down at that moment (0 when none is held any more).
int WaitForKey();

// Waits as cheaply as WaitForKey, discarding nothing, until ready() is true
// or the window is asked to close: the level editor's wait for a key or the
// mouse. A close request is left for the caller (TakeCloseRequest).
void WaitUntil(bool (*ready)());

// Takes a waiting close request away, for a screen that asks before it ends
// the game: true if there was one.
bool TakeCloseRequest();

// Lets the window manager's close button end the game at the next wait.
void WatchCloseButton();

// Ends the game through ExitGame(0) if the window was asked to close.
void HonourCloseRequest();

// True while a close request is waiting to be honoured.
bool CloseRequested();
