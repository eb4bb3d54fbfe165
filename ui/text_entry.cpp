// Text entry: letters only, always upper case, no cursor.

#include "ui/text_entry.h"

#include <cstring>

#include "shell/screen.h"

namespace {

constexpr signed char KEY_RESULT_ENTER = -1;
constexpr signed char KEY_RESULT_BACKSPACE = -2;
// The working text: 99 letters and a terminator at most.
constexpr std::size_t TEXT_BUFFER = 100;

// Blacks out the echo as wide as text, corners included, and draws text over it.
void Echo(BITMAP *bmp, FONT *f, int x, int y, int colour, const char *wipe, const char *text) {
    rectfill(bmp, x, y, x + text_length(f, wipe), y + text_height(f), makecol(0, 0, 0));
    textout_ex(bmp, f, text, x, y, colour, TEXT_BACKGROUND);
}

}  // namespace

signed char GetLetterKey() {
    int scancode = WaitForKey();
    if (scancode >= KEY_A && scancode <= KEY_Z) {
        return static_cast<signed char>('A' + (scancode - KEY_A));
    }
    if (scancode == KEY_BACKSPACE) {
        return KEY_RESULT_BACKSPACE;
    }
    if (scancode == KEY_ENTER) {
        return KEY_RESULT_ENTER;
    }
    return 0;
}

void EnterText(char *destination, std::size_t room, BITMAP *bmp, FONT *f, int x, int y,
               int colour) {
    char text[TEXT_BUFFER] = {};
    char before[TEXT_BUFFER];
    std::size_t count = 0;
    if (room > TEXT_BUFFER - 1) {
        room = TEXT_BUFFER - 1;
    }
    for (;;) {
        signed char typed;
        while ((typed = GetLetterKey()) == 0) {
        }
        if (typed == KEY_RESULT_BACKSPACE && count > 0) {
            std::memcpy(before, text, sizeof text);
            text[--count] = '\0';
            Echo(bmp, f, x, y, colour, before, text);
        } else if (typed > 0 && count < room) {
            text[count++] = typed;
            Echo(bmp, f, x, y, colour, text, text);
        }
        PresentBuffer();
        if (typed == KEY_RESULT_ENTER) {
            std::memcpy(destination, text, count + 1);
            return;
        }
    }
}
