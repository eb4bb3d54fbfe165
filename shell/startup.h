// Start-up and shutdown: the library and graphics mode, the data file and
// back buffer, the intro movie, and ExitGame, the one way the game ends.
#pragma once

// Starts the library, input devices, graphics mode, back buffer and data file;
// returns only on success.
void InitSystem();

// The display the player chose: tileriot.cfg, and over it the command line.
void ChooseDisplay();

// Plays "intro.flc" through the back buffer; 0 when it played, 1 when it could not.
int PlayIntro();

// Stops the intro as soon as a key is waiting (or the window is closing).
int IntroCallback();

// Sets the display the player chose anew (after the intro failed, or at
// Alt+Enter); ends the game if no mode can be set.
void RestoreGraphicsMode();

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
