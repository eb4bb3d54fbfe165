// The game's window under Windows: its name and icon come from the program's
// own resources; the keyboard's state is the system's.

#include "display/window.h"

#include <allegro.h>
#include <winalleg.h>

void NameWindow() {}

int KeyHeldNow(int scancode) {
    int virtual_key = 0;
    switch (scancode) {
        case KEY_ENTER:
        case KEY_ENTER_PAD:
            virtual_key = VK_RETURN;
            break;
        case KEY_ALT:
            virtual_key = VK_LMENU;
            break;
        case KEY_ALTGR:
            virtual_key = VK_RMENU;
            break;
        default:
            return -1;
    }
    return (GetAsyncKeyState(virtual_key) & 0x8000) ? 1 : 0;
}

// The library tells of each switch in and out, and nothing else.
int WindowHasFocus() {
    return -1;
}
