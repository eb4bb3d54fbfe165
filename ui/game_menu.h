// The look every menu of the game shares: green items on black, a red title
// in the title font, 20 pixels between items, from y 25.
#pragma once

#include <allegro.h>

#include "shell/game_data.h"
#include "shell/screen.h"
#include "ui/menu_engine.h"

constexpr int GAME_MENU_FLAGS =
    MENU_PRESENT | MENU_HIGHLIGHT | MENU_ITEMS | MENU_TITLE | MENU_RED_TITLE | MENU_TITLE_FONT;

// Runs one of the game's menus at x: a title and Count - 1 items with their
// help lines. Returns the item chosen, from 0, or -1 for Esc.
template <int Count>
int ShowGameMenu(int x, const char *const (&texts)[Count], const char *const (&help)[Count - 1]) {
    return RunMenu(GAME_MENU_FLAGS, BackBuffer, GameFont(TEXT_FONT), makecol(0, 255, 0),
                   makecol(0, 128, 0), x, 25, 20, Count, texts, help);
}
