// One-line text entry of upper-case letters, for names and level files.
#pragma once

#include <allegro.h>

#include <cstddef>

// Waits for a key: 'A' to 'Z' for a letter key, -2 for Backspace, -1 for
// Enter, 0 for any other key (also a letter typed with a modifier held).
signed char GetLetterKey();

// Reads letters until Enter, echoing them at (x, y), and copies them,
// zero-terminated, into destination. At most room letters are kept; further
// letters are ignored. Backspace removes the last letter from the screen too.
void EnterText(char *destination, std::size_t room, BITMAP *bmp, FONT *f, int x, int y, int colour);
