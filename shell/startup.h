// Start-up and shutdown: the library and graphics mode, the data file and
// back buffer, and ExitGame, the one way the game ends.
#pragma once

#include <allegro.h>

// The picture-sized memory bitmap every screen draws into.
extern BITMAP *BackBuffer;

// Starts the library, input devices, graphics mode, back buffer and data file;
// returns only on success.
void InitSystem();

// The display the player chose: tileriot.cfg, and over it the command line.
void ChooseDisplay();

// Sets the display the player chose anew (after the intro failed); ends the
// game if no mode can be set.
void RestoreGraphicsMode();

// Ends the game, saying that no graphics mode could be set.
[[noreturn]] void FailGraphicsMode();

// Releases the back buffer, the data file and the library; whatever was
// never created is skipped.
void ShutDownSystem();

// Shows a message box that no full-screen picture can hide.
void ShowMessage(const char *text);

// For a run that never loads the high-score tables (the level editor's):
// ExitGame then leaves their files alone.
void LeaveHighScoresAlone();

// Writes the high-score tables, releases everything and ends the process.
[[noreturn]] void ExitGame(int code);
