// The menu engine behind every list of choices: a title, a column of items
// and a help line, faded in from black, chosen with the arrow keys and Enter.
#pragma once

#include <allegro.h>

// Option bits of RunMenu, tested one by one.
constexpr int MENU_PRESENT = 0x01;        // copy each frame to the screen
constexpr int MENU_HIGHLIGHT = 0x02;      // draw the selected item in the highlight colour
constexpr int MENU_HIGHLIGHT_ALT = 0x04;  // the same once more
constexpr int MENU_ITEMS = 0x08;          // draw the items (and so the highlight)
constexpr int MENU_TITLE = 0x20;          // entry 0 of the strings is a title
constexpr int MENU_RED_TITLE = 0x40;      // the title is red instead of the item colour
constexpr int MENU_TITLE_FONT = 0x80;     // the title uses the title font

// Runs a menu and returns the chosen item counted from 0, or -1 for Esc.
int RunMenu(int flags, BITMAP *bmp, FONT *item_font, int highlight_colour, int item_colour, int x,
            int y, int spacing, int count, const char *const *strings, const char *const *help);
