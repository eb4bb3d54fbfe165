// The game's window under Windows: its name and icon come from the program's
// own resources; the keyboard's state is the system's.

#include "display/window.h"

#include <allegro.h>
#include <winalleg.h>

#include <atomic>

namespace {

constexpr DWORD NUDGE_MS = 20;

std::atomic<bool> Nudging{false};

// The library's window thread peeks for a message, then waits for it; where
// the message peeked at is gone by then (Wine drops some), it sleeps on while
// the game waits for it to take the keyboard or the mouse, and nothing else
// would wake them. A message of nothing, now and then, does.
DWORD WINAPI NudgeWindowThread(LPVOID) {
    while (Nudging) {
        if (HWND window = win_get_window()) {
            PostMessage(window, WM_NULL, 0, 0);
        }
        Sleep(NUDGE_MS);
    }
    return 0;
}

}  // namespace

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

void CallWithWindowThreadAwake(void (*call)()) {
    Nudging = true;
    HANDLE nudger = CreateThread(nullptr, 0, NudgeWindowThread, nullptr, 0, nullptr);
    call();
    Nudging = false;
    if (nudger) {
        WaitForSingleObject(nudger, INFINITE);
        CloseHandle(nudger);
    }
}
