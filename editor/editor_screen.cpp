// The editor's picture: the bricks exactly where the external game draws
// them, with the game's own brick drawing and frame, and the editor's cursor,
// notice, status line and keys below.

#include <allegro.h>

#include <cstdarg>
#include <cstdio>
#include <cstring>

#include "editor/editor_actions.h"
#include "editor/editor_input.h"
#include "game/playfield.h"
#include "shell/game_data.h"
#include "shell/screen.h"
#include "ui/menu_engine.h"

namespace {

constexpr int NOTICE_TOP = 300;  // inside the frame, where the paddle will move
constexpr int STATUS_X = 20;     // as the play's status line
constexpr int STATUS_TOP = 436;
constexpr int KEYS_TOP = 458;     // two lines of the library's small font
constexpr int CURSOR_MARGIN = 1;  // the cursor's outline stands this far round its cell
constexpr int POINTER_ARM = 6;    // the pointer's cross reaches this far from its centre

const char *const DIFFICULTY_NAMES[] = {"Easy", "Medium", "Hard"};

const char *const KEY_LINES[] = {
    "Mouse: left places, right clears  Arrows, Space: toggle  C: clear  F: fill",
    "Ctrl+Z/Y: undo/redo  Ctrl+S: save  Ctrl+O: open  T: test play 1 2 3  Esc",
};

// A yellow outline round the cursor's cell.
void DrawCursor() {
    const Brick &cell = Level[0][Edited.Row][Edited.Col];
    rect(BackBuffer, cell.X - CURSOR_MARGIN, cell.Y - CURSOR_MARGIN,
         cell.X + cell.Width + CURSOR_MARGIN, cell.Y + cell.Height + CURSOR_MARGIN,
         makecol(255, 255, 30));
}

// A white cross, outlined in black so it shows on bricks too.
void DrawPointer() {
    int x, y;
    if (!PointerAt(x, y)) {
        return;
    }
    rectfill(BackBuffer, x - POINTER_ARM - 1, y - 1, x + POINTER_ARM + 1, y + 1, makecol(0, 0, 0));
    rectfill(BackBuffer, x - 1, y - POINTER_ARM - 1, x + 1, y + POINTER_ARM + 1, makecol(0, 0, 0));
    hline(BackBuffer, x - POINTER_ARM, y, x + POINTER_ARM, makecol(255, 255, 255));
    vline(BackBuffer, x, y - POINTER_ARM, y + POINTER_ARM, makecol(255, 255, 255));
}

// The notice's lines, centred, split at its one line break.
void DrawNotice() {
    FONT *f = GameFont(TEXT_FONT);
    char text[NOTICE_SIZE];
    std::snprintf(text, sizeof text, "%s", Edited.Notice);
    char *second = std::strchr(text, '\n');
    if (second) {
        *second++ = '\0';
    }
    textout_centre_ex(BackBuffer, f, text, PICTURE_W / 2, NOTICE_TOP, makecol(255, 255, 30),
                      TEXT_BACKGROUND);
    if (second) {
        textout_centre_ex(BackBuffer, f, second, PICTURE_W / 2, NOTICE_TOP + text_height(f) + 5,
                          makecol(255, 255, 30), TEXT_BACKGROUND);
    }
}

// The file, unsaved changes, the bricks and test play's difficulty; the keys below.
void DrawStatus() {
    char status[LEVEL_NAME_BUFFER + 96];
    const int bricks = CountBricks();
    std::snprintf(status, sizeof status, "%s%s - %d brick%s - test play %s",
                  Edited.Path[0] ? Edited.Path : "New level",
                  HasUnsavedChanges() ? " (unsaved)" : "", bricks, bricks == 1 ? "" : "s",
                  DIFFICULTY_NAMES[Edited.Difficulty]);
    textout_ex(BackBuffer, GameFont(SECOND_FONT), status, STATUS_X, STATUS_TOP, makecol(255, 0, 0),
               TEXT_BACKGROUND);
    for (int line = 0; line < 2; ++line) {
        textout_centre_ex(BackBuffer, font, KEY_LINES[line], PICTURE_W / 2,
                          KEYS_TOP + line * (text_height(font) + 4), makecol(255, 255, 255),
                          TEXT_BACKGROUND);
    }
}

}  // namespace

void DrawEditor() {
    ClearBuffer(BackBuffer);
    // The level stands in slot 0 as the external game loads it.
    const BrickGeometry geometry = ExternalGeometry();
    for (int row = 0; row < LEVEL_ROWS; ++row) {
        for (int col = 0; col < LEVEL_COLUMNS; ++col) {
            PlaceLevelCell(0, row, col, Edited.Numbers[row][col], geometry);
        }
    }
    DrawBricks(0);
    DrawFieldFrame();
    DrawCursor();
    DrawNotice();
    DrawStatus();
    DrawPointer();
}

void SetNotice(const char *format, ...) {
    va_list args;
    va_start(args, format);
    std::vsnprintf(Edited.Notice, sizeof Edited.Notice, format, args);
    va_end(args);
}

int Ask(const char *title, int count, const char *const *items, const char *const *help) {
    constexpr int MOST_ITEMS = 3;
    const char *strings[MOST_ITEMS + 1] = {title};
    for (int i = 0; i < count && i < MOST_ITEMS; ++i) {
        strings[i + 1] = items[i];
    }
    const int chosen = RunMenu(
        MENU_PRESENT | MENU_HIGHLIGHT | MENU_ITEMS | MENU_TITLE | MENU_RED_TITLE | MENU_TITLE_FONT,
        BackBuffer, GameFont(TEXT_FONT), makecol(0, 255, 0), makecol(0, 128, 0), 130, 25, 20,
        count + 1, strings, help);
    ForgetInput();  // the menu leaves its last key waiting
    return chosen;
}
