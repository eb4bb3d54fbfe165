// The scrolling credits.
#pragma once

// Scrolls "credits.txt" up the screen a pixel a frame until it has gone or
// Escape or Space is held; writes a placeholder file when there is none.
void ShowCredits();

#include <cstdio>

// Lines of the credits file are read in pieces of at most 98 characters.
constexpr int CREDIT_LINE_BUFFER = 99;

// Reads the next screen line of the credits file, without its line end
// ("\n" or "\r\n"); false at the end of the file. A longer text line goes
// on as the next screen line.
bool ReadCreditLine(FILE *file, char (&line)[CREDIT_LINE_BUFFER]);
