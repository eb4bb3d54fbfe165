// Screen and keyboard helpers: every frame and every key wait of every screen
// passes here, and honours what the window asks for as it waits.

#include "shell/screen.h"

#include "display/events.h"
#include "display/modes.h"
#include "display/presenter.h"
#include "shell/idle_input.h"
#include "shell/retrace.h"

namespace {

// The longest a wait sleeps before it looks again; input, the close button and
// the focus wake it at once, so this only bounds how long anything else waits.
constexpr unsigned POLL_MS = 100;

// Sleeps until ready() or the close button, keeping the display meanwhile.
void KeepDisplayUntil(bool (*ready)()) {
    while (!ready() && !CloseRequested()) {
        WaitForInput(POLL_MS);
        KeepDisplay();
    }
}

}  // namespace

void ClearBuffer(BITMAP *bmp) {
    clear_bitmap(bmp);
}

void KeepDisplay() {
    if (!HonourDisplaySwitch()) {
        FailGraphicsMode();
    }
    ForgetReleasedKeys();
    if (DisplaySpoiled()) {
        RepaintDisplay();
    }
}

void WaitForFocus() {
    if (HasFocus()) {
        return;
    }
    KeepDisplayUntil(HasFocus);
    DropMouseMovement();
}

void WaitRetrace() {
    KeepDisplay();
    WaitForFocus();
    HonourCloseRequest();
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
    WaitUntil([] { return keypressed() != 0; });
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
    KeepDisplayUntil(ready);
    if (!HandlingInput()) {
        StartRetracePacer();
    }
}

void HonourCloseRequest() {
    if (TakeCloseRequest()) {
        ExitGame(0);
    }
}
