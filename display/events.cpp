// The window's events: Alt+Enter and the keys held through a switch, seen on
// the library's keyboard thread before the game sees them; the close button;
// the focus.

#include "display/events.h"

#include <allegro.h>
#include <allegro/internal/aintern.h>

#include <atomic>

#include "display/presenter.h"
#include "display/window.h"
#include "shell/idle_input.h"

namespace {

std::atomic<bool> SwitchAsked{false};
std::atomic<bool> EnterTaken[KEY_MAX];  // an Enter that switched, until let go
std::atomic<bool> KeptBack[KEY_MAX];    // held on through a switch, until let go
std::atomic<bool> CloseButtonPressed{false};
std::atomic<bool> Focused{true};

constexpr int HELD_ON_KEYS[] = {KEY_ENTER, KEY_ENTER_PAD, KEY_ALT, KEY_ALTGR};

bool IsEnter(int scancode) {
    return scancode == KEY_ENTER || scancode == KEY_ENTER_PAD;
}

bool AltHeld() {
    return key[KEY_ALT] || key[KEY_ALTGR] || KeptBack[KEY_ALT] || KeptBack[KEY_ALTGR];
}

// Sees every key go down and up before the game does: an Enter pressed with
// Alt held asks for a switch once, however long it is held, and is let go
// at once, so no key scan ever finds it; a key kept back since a switch is
// hidden the same way until it comes up.
void OnKeyEvent(int event) {
    WakeKeyWait();
    const int scancode = event & 0x7F;
    const bool released = event & 0x80;
    if (KeptBack[scancode]) {
        if (released) {
            KeptBack[scancode] = false;
        } else {
            key[scancode] = 0;
        }
        return;
    }
    if (!IsEnter(scancode)) {
        return;
    }
    if (released || !AltHeld()) {
        EnterTaken[scancode] = false;
        return;
    }
    if (!EnterTaken[scancode].exchange(true)) {
        SwitchAsked = true;
    }
    key[scancode] = 0;
}
END_OF_FUNCTION(OnKeyEvent)

// Keeps a switching Enter, and any key kept back, out of the key buffer.
int OnKeyBuffered(int ascii, int *scancode) {
    if (KeptBack[*scancode] || (IsEnter(*scancode) && EnterTaken[*scancode])) {
        *scancode = 0;
        return 0;
    }
    return ascii;
}
END_OF_FUNCTION(OnKeyBuffered)

void OnCloseButton() {
    CloseButtonPressed = true;
    WakeKeyWait();
}

}  // namespace

void WatchAltEnter() {
    LOCK_FUNCTION(OnKeyEvent);
    LOCK_FUNCTION(OnKeyBuffered);
    LOCK_VARIABLE(EnterTaken);
    LOCK_VARIABLE(KeptBack);
    LOCK_VARIABLE(SwitchAsked);
    keyboard_lowlevel_callback = OnKeyEvent;
    keyboard_ucallback = OnKeyBuffered;
}

void WatchWindowEvents() {
    set_close_button_callback(OnCloseButton);
    // Some systems forget them at each mode set, others keep them.
    remove_display_switch_callback(OnFocusBack);
    remove_display_switch_callback(OnFocusLost);
    set_display_switch_callback(SWITCH_IN, OnFocusBack);
    set_display_switch_callback(SWITCH_OUT, OnFocusLost);
}

bool TakeSwitchRequest() {
    return SwitchAsked.exchange(false);
}

void LetGoOfKeysAfterSwitch() {
    for (int scancode = 1; scancode < KEY_MAX; ++scancode) {
        // Letting go of the switching Enter also ends the library's own
        // repeat of it, where the library repeats keys itself.
        if (key[scancode] || EnterTaken[scancode]) {
            const bool taken = EnterTaken[scancode];
            _handle_key_release(scancode);
            EnterTaken[scancode] = false;
            if (taken) {
                KeptBack[scancode] = KeyHeldNow(scancode) != 0;
            }
        }
    }
    for (int scancode : HELD_ON_KEYS) {
        if (KeyHeldNow(scancode) == 1) {
            KeptBack[scancode] = true;
        }
    }
}

void ForgetReleasedKeys() {
    for (int scancode : HELD_ON_KEYS) {
        if (KeptBack[scancode] && KeyHeldNow(scancode) == 0) {
            KeptBack[scancode] = false;
        }
    }
}

bool CloseRequested() {
    return CloseButtonPressed;
}

bool TakeCloseRequest() {
    return CloseButtonPressed.exchange(false);
}

bool HasFocus() {
    return Focused;
}

// The system may tell of the focus moving between the window's own parts as
// well: where it can say where the focus is now, that is believed instead.
void OnFocusLost() {
    Focused = WindowHasFocus() == 1;
}

// Coming back may find the screen spoiled by whatever covered it.
void OnFocusBack() {
    Focused = WindowHasFocus() != 0;
    SpoilDisplay();
    WakeKeyWait();
}
