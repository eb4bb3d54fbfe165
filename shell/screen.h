// Screen and keyboard helpers that every screen is built from: clearing and
// presenting the back buffer, waiting for the retrace and for a key.
#pragma once

#include <allegro.h>

// Text is drawn as the library draws it by default: each glyph cell stands
// on an opaque box of colour 0, black, so a message over the playfield reads
// on a black band.
constexpr int TEXT_BACKGROUND = 0;

// The screen-sized memory bitmap every screen draws into.
extern BITMAP *BackBuffer;

// Clears a bitmap to black.
void ClearBuffer(BITMAP *bmp);

// Waits for the vertical retrace, then copies the whole back buffer to the screen.
void PresentBuffer();

// Waits for the vertical retrace; a pending window close ends the game here.
void WaitRetrace();

// Discards waiting key presses, waits for a new one and returns the highest
// scancode held down at that moment (0 when none is held any more).
int WaitForKey();

// Lets the window manager's close button end the game at the next wait.
void WatchCloseButton();

// Ends the game through ExitGame(0) if the window was asked to close.
void HonourCloseRequest();

// True while a close request is waiting to be honoured.
bool CloseRequested();
