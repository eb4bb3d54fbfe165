// Where the command line's answers (--help, --version, a mistake) are
// printed: the terminal the game was started from.
#pragma once

// Makes stdout and stderr reach the terminal the game was started from,
// where the system does not do so for a windowed program.
void UseStartingConsole();
