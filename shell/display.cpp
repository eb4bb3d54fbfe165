// Display modes and the keys that switch them: full screen keeps the display's
// own size and colour depth, a window is a whole multiple of 640x480.

#include "shell/display.h"

#include <allegro.h>
#include <allegro/internal/aintern.h>

#include <algorithm>
#include <atomic>

#include "shell/idle_input.h"
#include "shell/presenter.h"
#include "shell/screen.h"
#include "shell/startup.h"

DisplayChoice Display;

namespace {

constexpr int FIT_PERCENT = 90;  // of the screen a window may fill either way

std::atomic<bool> SwitchAsked{false};
std::atomic<bool> EnterTaken[KEY_MAX];  // an Enter that switched, until let go
int64_t CarryX = 0, CarryY = 0;

bool IsEnter(int scancode) {
    return scancode == KEY_ENTER || scancode == KEY_ENTER_PAD;
}

// Sees every key go down and up before the game does: an Enter pressed with
// Alt held asks for a switch once, however long it is held, and is let go
// at once, so no key scan ever finds it.
void OnKeyEvent(int event) {
    KeyEventArrived();
    const int scancode = event & 0x7F;
    if (!IsEnter(scancode)) {
        return;
    }
    const bool alt = key[KEY_ALT] || key[KEY_ALTGR];
    if ((event & 0x80) || !alt) {
        EnterTaken[scancode] = false;
        return;
    }
    if (!EnterTaken[scancode].exchange(true)) {
        SwitchAsked = true;
    }
    key[scancode] = 0;
}
END_OF_FUNCTION(OnKeyEvent)

// Keeps a switching Enter out of the key buffer.
int OnKeyBuffered(int ascii, int *scancode) {
    if (IsEnter(*scancode) && EnterTaken[*scancode]) {
        *scancode = 0;
        return 0;
    }
    return ascii;
}
END_OF_FUNCTION(OnKeyBuffered)

// Sets one mode at the display's own colour depth when the picture can be
// converted to it, else at the picture's own; the game draws at 16 bits.
bool TryMode(int card, int width, int height) {
    const int depth = desktop_color_depth() == 32 ? 32 : 16;
    set_color_depth(depth);
    bool set = set_gfx_mode(card, width, height, 0, 0) == 0;
    if (!set && depth != 16) {
        set_color_depth(16);
        set = set_gfx_mode(card, width, height, 0, 0) == 0;
    }
    set_color_depth(16);
    return set;
}

bool SetFullScreen() {
    int width = 0, height = 0;
    if (get_desktop_resolution(&width, &height) == 0 && width > 0 && height > 0 &&
        TryMode(GFX_AUTODETECT_FULLSCREEN, width, height)) {
        return true;
    }
    return TryMode(GFX_AUTODETECT_FULLSCREEN, PICTURE_W, PICTURE_H);
}

bool SetWindow() {
    int scale = Display.Scale;
    int width = 0, height = 0;
    if (scale == 0) {
        scale = get_desktop_resolution(&width, &height) == 0 ? FittingScale(width, height) : 1;
    }
    return TryMode(GFX_AUTODETECT_WINDOWED, PICTURE_W * scale, PICTURE_H * scale) ||
           (scale > 1 && TryMode(GFX_AUTODETECT_WINDOWED, PICTURE_W, PICTURE_H));
}

}  // namespace

int FittingScale(int width, int height) {
    const int across = width * FIT_PERCENT / (100 * PICTURE_W);
    const int down = height * FIT_PERCENT / (100 * PICTURE_H);
    return std::max(1, std::min(across, down));
}

bool SetDisplay() {
    const bool set =
        Display.FullScreen ? SetFullScreen() || SetWindow() : SetWindow() || SetFullScreen();
    if (!set) {
        return false;
    }
    CarryX = CarryY = 0;
    ResetPresenter();
    WatchCloseButton();
    // Coming back to a full screen that another program had may find it spoiled.
    set_display_switch_callback(SWITCH_IN, SpoilDisplay);
    return true;
}

void WatchAltEnter() {
    LOCK_FUNCTION(OnKeyEvent);
    LOCK_FUNCTION(OnKeyBuffered);
    LOCK_VARIABLE(EnterTaken);
    LOCK_VARIABLE(SwitchAsked);
    keyboard_lowlevel_callback = OnKeyEvent;
    keyboard_ucallback = OnKeyBuffered;
}

void HonourDisplaySwitch() {
    if (!SwitchAsked.exchange(false)) {
        return;
    }
    Display.FullScreen = is_windowed_mode();  // the mode not in use
    // The library's own input thread must run while it remakes the window.
    const bool handling = HandlingInput();
    ReleaseInput();
    RestoreGraphicsMode();
    if (handling) {
        TakeOverInput();
    }
    ReclaimInput();
    // The window that saw keys go down is gone, and may never hear them come
    // up: every key counts as let go, as when the window loses the focus.
    for (int scancode = 1; scancode < KEY_MAX; ++scancode) {
        if (key[scancode]) {
            _handle_key_release(scancode);
        }
        EnterTaken[scancode] = false;
    }
    RepaintDisplay();
}

int32_t ToPicturePixels(int32_t moved, int64_t &carry, int picture, int shown) {
    const int64_t total = carry + int64_t{moved} * picture;
    const int64_t pixels = total / shown;
    carry = total - pixels * shown;
    return static_cast<int32_t>(pixels);
}

void GetPictureMickeys(int32_t *x, int32_t *y) {
    int moved_x = 0, moved_y = 0;
    get_mouse_mickeys(&moved_x, &moved_y);
    const PictureFit &fit = CurrentFit();
    *x = ToPicturePixels(moved_x, CarryX, PICTURE_W, fit.Width);
    *y = ToPicturePixels(moved_y, CarryY, PICTURE_H, fit.Height);
}
