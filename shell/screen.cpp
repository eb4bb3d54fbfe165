// Screen and keyboard helpers: the only code that knows how a frame reaches
// the display and how key presses arrive.

#include "shell/screen.h"

#include <atomic>

#include "shell/startup.h"

BITMAP *BackBuffer = nullptr;

namespace {

// How long WaitForKey sleeps between looks at the keyboard buffer: short
// enough to feel instant, long enough to leave the CPU idle.
constexpr unsigned KEY_POLL_MS = 2;

// Set on the library's event thread when the window's close button is pressed.
std::atomic<bool> CloseButtonPressed{false};

void OnCloseButton() {
    CloseButtonPressed = true;
}

}  // namespace

void ClearBuffer(BITMAP *bmp) {
    clear_bitmap(bmp);
}

void WaitRetrace() {
    HonourCloseRequest();
    vsync();
}

void PresentBuffer() {
    WaitRetrace();
    blit(BackBuffer, screen, 0, 0, 0, 0, SCREEN_W, SCREEN_H);
}

int WaitForKey() {
    clear_keybuf();
    while (!keypressed()) {
        HonourCloseRequest();
        rest(KEY_POLL_MS);
    }
    int held = 0;
    for (int scancode = 1; scancode < KEY_MAX; ++scancode) {
        if (key[scancode]) {
            held = scancode;
        }
    }
    return held;
}

void WatchCloseButton() {
    set_close_button_callback(OnCloseButton);
}

bool CloseRequested() {
    return CloseButtonPressed;
}

void HonourCloseRequest() {
    if (CloseButtonPressed.exchange(false)) {
        ExitGame(0);
    }
}
