// The credits: the lines of "credits.txt", read afresh every frame and drawn
// one text height apart, rising from just below the screen.

#include "ui/credits.h"

#include <allegro.h>

#include <cerrno>
#include <cstring>

#include "shell/files.h"
#include "shell/game_data.h"
#include "shell/screen.h"

namespace {

constexpr const char *CREDITS_FILE = "credits.txt";
constexpr const char *PLACEHOLDER =
    "Credits file not found - please replace this interim file with a real one!";
// The first line starts this far below the screen's foot.
constexpr int START_BELOW = 10;
// Before the first frame the text counts as this many lines.
constexpr int FIRST_LINE_COUNT = 50;

// Makes sure there is a credits file; false when there is none and none can
// be made, or when one is there but cannot be read (it is left untouched).
bool EnsureCreditsFile() {
    if (OpenRegularFile(CREDITS_FILE, "r")) {
        return true;
    }
    if (errno != ENOENT) {
        return false;
    }
    // Made only where nothing stands, not even a dangling link.
    FileHandle file = OpenFile(CREDITS_FILE, "wx");
    return file && std::fputs(PLACEHOLDER, file.get()) >= 0;
}

// Draws every line of the file from top down; returns how many there were.
int DrawCredits(int top, int line_height) {
    FileHandle file = OpenRegularFile(CREDITS_FILE, "r");
    if (!file) {
        return 0;
    }
    FONT *f = GameFont(TEXT_FONT);
    const int colour = makecol(100, 255, 100);
    char line[CREDIT_LINE_BUFFER];
    int lines = 0;
    while (ReadCreditLine(file.get(), line)) {
        textout_centre_ex(BackBuffer, f, line, PICTURE_W / 2, top + lines * line_height, colour,
                          TEXT_BACKGROUND);
        ++lines;
    }
    return lines;
}

}  // namespace

bool ReadCreditLine(FILE *file, char (&line)[CREDIT_LINE_BUFFER]) {
    if (!std::fgets(line, sizeof line, file)) {
        return false;
    }
    std::size_t length = std::strlen(line);
    if (length > 0 && line[length - 1] == '\n') {
        line[--length] = '\0';
    }
    if (length > 0 && line[length - 1] == '\r') {
        line[--length] = '\0';
    }
    return true;
}

void ShowCredits() {
    clear_keybuf();
    if (!EnsureCreditsFile()) {
        return;
    }
    const int line_height = text_height(GameFont(TEXT_FONT));
    int top = PICTURE_H + START_BELOW;
    int lines = FIRST_LINE_COUNT;
    while (top > -(line_height * lines)) {
        --top;
        ClearBuffer(BackBuffer);
        lines = DrawCredits(top, line_height);
        PresentBuffer();
        if (key[KEY_ESC] || key[KEY_SPACE]) {
            return;
        }
    }
}
