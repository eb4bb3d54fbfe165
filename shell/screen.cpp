// Screen and keyboard helpers: the only code that knows how a frame reaches
// the display and how key presses arrive.

#include "shell/screen.h"

#include <atomic>

#include "shell/display.h"
#include "shell/idle_input.h"
#include "shell/presenter.h"
#include "shell/retrace.h"
#include "shell/startup.h"

BITMAP *BackBuffer = nullptr;

namespace {

// The longest WaitForKey sleeps before it looks at the keyboard again; input
// under X11 wakes it at once, so this only bounds how long anything else waits.
constexpr unsigned KEY_POLL_MS = 100;

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
    HonourDisplaySwitch();
    TakeOverInput();
    if (HandlingInput()) {
        // The game keeps its own retrace clock now: the timer that paces
        // the library's vsync() has nothing left to do.
        StopRetracePacer();
        WaitForRetraceTick();
    } else {
        vsync();
    }
}

void PresentBuffer() {
    WaitRetrace();
    PresentFrame(BackBuffer);
}

int WaitForKey() {
    clear_keybuf();
    StopRetracePacer();
    TakeOverInput();
    while (!keypressed() && !CloseRequested()) {
        WaitForInput(KEY_POLL_MS);
        HonourDisplaySwitch();
    }
    if (!HandlingInput()) {
        StartRetracePacer();
    }
    HonourCloseRequest();
    int held = 0;
    for (int scancode = 1; scancode < KEY_MAX; ++scancode) {
        if (key[scancode]) {
            held = scancode;
        }
    }
    return held;
}

void WaitUntil(bool (*ready)()) {
    StopRetracePacer();
    TakeOverInput();
    while (!ready() && !CloseRequested()) {
        WaitForInput(KEY_POLL_MS);
        HonourDisplaySwitch();
    }
    if (!HandlingInput()) {
        StartRetracePacer();
    }
}

bool TakeCloseRequest() {
    return CloseButtonPressed.exchange(false);
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
