// The level list: the game's folder read for its level files, then shown a
// page at a time, each level with a small picture of its bricks drawn with
// the game's brick sprite.

#include "editor/level_list.h"

#include <allegro.h>
#include <dirent.h>
#include <strings.h>

#include <algorithm>
#include <cstring>
#include <string>

#include "display/events.h"
#include "editor/editor_actions.h"
#include "editor/editor_input.h"
#include "editor/level_store.h"
#include "shell/game_data.h"
#include "shell/screen.h"

namespace {

constexpr const char *EXTENSION = ".trl";
constexpr std::size_t EXTENSION_LENGTH = 4;

// The page: a title, then one row per level.
constexpr int LIST_TOP = 70;
constexpr int ROW_HEIGHT = 34;
constexpr int ROWS_PER_PAGE = 10;
constexpr int PICTURE_X = 40;
constexpr int NAME_X = 120;
// A small picture's cells: 6x3 pixels with a pixel between.
constexpr int SMALL_W = 5, SMALL_H = 2, SMALL_GAP = 1;

// A name ending in ".trl" in any case, short enough to be typed.
bool IsLevelName(const char *name) {
    const std::size_t length = std::strlen(name);
    return length > EXTENSION_LENGTH && length < LEVEL_NAME_BUFFER &&
           strcasecmp(name + length - EXTENSION_LENGTH, EXTENSION) == 0;
}

// Keeps the first names by byte order, at most the list's size.
void KeepFirst(std::vector<std::string> &names) {
    std::sort(names.begin(), names.end());
    if (names.size() > MOST_LISTED_LEVELS) {
        names.resize(MOST_LISTED_LEVELS);
    }
}

// A level's bricks in small, in a frame of the playfield's colour.
void DrawSmallLevel(const LevelNumbers &numbers, int x, int y) {
    BITMAP *sprite = GameSprite(BRICK_SPRITE);
    rect(BackBuffer, x - 2, y - 2, x + LEVEL_COLUMNS * (SMALL_W + SMALL_GAP) + 1,
         y + LEVEL_ROWS * (SMALL_H + SMALL_GAP) + 1, makecol(100, 20, 50));
    for (int row = 0; row < LEVEL_ROWS; ++row) {
        for (int col = 0; col < LEVEL_COLUMNS; ++col) {
            if (numbers[row][col] != 0) {
                stretch_sprite(BackBuffer, sprite, x + col * (SMALL_W + SMALL_GAP),
                               y + row * (SMALL_H + SMALL_GAP), SMALL_W, SMALL_H);
            }
        }
    }
}

// The page holding the selected level, its name highlighted.
void DrawList(const std::vector<ListedLevel> &list, int selected) {
    ClearBuffer(BackBuffer);
    FONT *f = GameFont(TEXT_FONT);
    textout_centre_ex(BackBuffer, GameFont(TITLE_FONT), "OPEN A LEVEL", PICTURE_W / 2, 10,
                      makecol(255, 0, 0), TEXT_BACKGROUND);
    const int first = selected / ROWS_PER_PAGE * ROWS_PER_PAGE;
    for (int i = first; i < first + ROWS_PER_PAGE && i < static_cast<int>(list.size()); ++i) {
        const int y = LIST_TOP + (i - first) * ROW_HEIGHT;
        DrawSmallLevel(list[i].Numbers, PICTURE_X, y + 2);
        textout_ex(BackBuffer, f, list[i].Path, NAME_X, y + 4,
                   i == selected ? makecol(0, 255, 0) : makecol(0, 128, 0), TEXT_BACKGROUND);
    }
    char help[64];
    std::snprintf(help, sizeof help, "%d of %d - Arrows or the mouse choose, Enter opens, Esc",
                  selected + 1, static_cast<int>(list.size()));
    textout_centre_ex(BackBuffer, font, help, PICTURE_W / 2, PICTURE_H - 10, makecol(255, 255, 255),
                      TEXT_BACKGROUND);
}

// The row of the page under a picture point, if it holds a level.
bool RowAt(int y, int selected, int count, int &index) {
    if (y < LIST_TOP) {
        return false;
    }
    index = selected / ROWS_PER_PAGE * ROWS_PER_PAGE + (y - LIST_TOP) / ROW_HEIGHT;
    return (y - LIST_TOP) / ROW_HEIGHT < ROWS_PER_PAGE && index < count;
}

enum class Choice { CHOOSING, CHOSEN, BACK };

// Up, Down, Page Up and Page Down move the selection; Enter and Esc end the list.
Choice TakeKey(int scancode, int count, int &selected) {
    switch (scancode) {
        case KEY_UP:
            selected = std::max(selected - 1, 0);
            break;
        case KEY_DOWN:
            selected = std::min(selected + 1, count - 1);
            break;
        case KEY_PGUP:
            selected = std::max(selected - ROWS_PER_PAGE, 0);
            break;
        case KEY_PGDN:
            selected = std::min(selected + ROWS_PER_PAGE, count - 1);
            break;
        case KEY_ENTER:
            return Choice::CHOSEN;
        case KEY_ESC:
            return Choice::BACK;
        default:
            break;
    }
    return Choice::CHOOSING;
}

}  // namespace

void ReadLevelList(std::vector<ListedLevel> &list) {
    list.clear();
    std::vector<std::string> names;
    if (DIR *directory = opendir(".")) {
        while (const dirent *entry = readdir(directory)) {
            if (IsLevelName(entry->d_name)) {
                names.emplace_back(entry->d_name);
                if (names.size() >= 2 * MOST_LISTED_LEVELS) {
                    KeepFirst(names);
                }
            }
        }
        closedir(directory);
    }
    KeepFirst(names);
    for (const std::string &name : names) {
        ListedLevel level;
        FileMark mark;
        const Opened opened = ReadLevelForEditing(name.c_str(), level.Numbers, mark);
        if (opened == Opened::WHOLE || opened == Opened::SHORT) {
            std::snprintf(level.Path, sizeof level.Path, "%s", name.c_str());
            list.push_back(level);
        }
    }
}

bool ChooseLevel(char (&path)[LEVEL_NAME_BUFFER]) {
    std::vector<ListedLevel> list;
    ReadLevelList(list);
    if (list.empty()) {
        SetNotice("There is no level file in the game's folder.");
        return false;
    }
    const int count = static_cast<int>(list.size());
    int selected = 0;
    Choice choice = Choice::CHOOSING;
    while (choice == Choice::CHOOSING) {
        DrawList(list, selected);
        PresentBuffer();
        WaitForEditorInput();
        if (CloseRequested()) {
            choice = Choice::BACK;  // the editor asks about the close once back
        }
        MouseEvent event;
        int index;
        while (choice == Choice::CHOOSING && TakeMouseEvent(event)) {
            if (RowAt(event.Y, selected, count, index)) {
                selected = index;
                choice = event.Flags & MOUSE_FLAG_LEFT_DOWN ? Choice::CHOSEN : choice;
            }
        }
        while (choice == Choice::CHOOSING && keypressed()) {
            choice = TakeKey(readkey() >> 8, count, selected);
        }
    }
    ForgetInput();
    std::snprintf(path, sizeof path, "%s", list[selected].Path);
    return choice == Choice::CHOSEN;
}
