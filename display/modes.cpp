// Display modes and the switch between them: full screen covers one monitor
// at its own size and colour depth, a window is a whole multiple of 640x480
// centred on its monitor.

#include "display/modes.h"

#include <allegro.h>

#include <cstdio>
#include <cstring>

#include "display/events.h"
#include "display/picture.h"
#include "display/placement.h"
#include "display/presenter.h"
#include "shell/idle_input.h"

DisplayChoice ChosenDisplay;

namespace {

bool FullScreenShown = false;
int64_t CarryX = 0, CarryY = 0;

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

// Full screen on monitor m at its own size, else at 640x480 wherever the
// library puts it.
bool SetFullScreen(const Monitor &m) {
    if (m.W > 0 && m.H > 0) {
        PlaceNextWindow(m, true, m.W, m.H);
        if (TryMode(CoveringCard(), m.W, m.H)) {
            SettleWindow(m, true);
            return true;
        }
    }
    PlaceNextWindow(m, false, PICTURE_W, PICTURE_H);
    return TryMode(GFX_AUTODETECT_FULLSCREEN, PICTURE_W, PICTURE_H);
}

// The window's scale on monitor m: the one chosen, as far as the monitor
// holds it wholly, else the largest within 90% of it.
int WindowScale(const Monitor &m) {
    const int chosen = ChosenDisplay.Scale;
    if (chosen == 0) {
        return m.W > 0 && m.H > 0 ? FittingScale(m.W, m.H) : 1;
    }
    const int scale = m.W > 0 && m.H > 0 ? LargestWholly(chosen, m.W, m.H) : chosen;
    if (scale != chosen && ChosenDisplay.ScaleAsked) {
        std::fprintf(stderr,
                     "tileriot: a window %d times 640x480 does not fit the %dx%d monitor; "
                     "it is %d times instead\n",
                     chosen, m.W, m.H, scale);
        ChosenDisplay.ScaleAsked = false;  // said once
    }
    return scale;
}

// A window `scale` times 640x480 centred on monitor m.
bool TryWindow(const Monitor &m, int scale) {
    PlaceNextWindow(m, false, PICTURE_W * scale, PICTURE_H * scale);
    if (!TryMode(GFX_AUTODETECT_WINDOWED, PICTURE_W * scale, PICTURE_H * scale)) {
        return false;
    }
    SettleWindow(m, false);
    return true;
}

// The window's scale on m, else a 1x window, never the same one twice.
bool SetWindow(const Monitor &m) {
    const int scale = WindowScale(m);
    return TryWindow(m, scale) || (scale > 1 && TryWindow(m, 1));
}

}  // namespace

bool SetDisplay() {
    MonitorList monitors;
    ListMonitors(monitors);
    const int chosen = ChooseMonitor(monitors, ChosenDisplay.Monitor);
    const Monitor &covered = monitors.Each[CoverableMonitor(monitors, chosen)];
    const Monitor &holder = monitors.Each[chosen];
    bool full = ChosenDisplay.FullScreen;
    bool set = full ? SetFullScreen(covered) : SetWindow(holder);
    if (!set) {
        full = !full;
        set = full ? SetFullScreen(covered) : SetWindow(holder);
    }
    if (!set) {
        return false;
    }
    FullScreenShown = full;
    // Where full screen can only cover the primary, the window's monitor is
    // still the one it comes back to.
    std::snprintf(ChosenDisplay.Monitor, sizeof ChosenDisplay.Monitor, "%s", holder.Name);
    CarryX = CarryY = 0;
    ResetPresenter();
    WatchWindowEvents();
    return true;
}

void NoteWindowMonitor() {
    int x = 0, y = 0;
    if (FullScreenShown || !FindWindowCentre(&x, &y)) {
        return;
    }
    MonitorList monitors;
    ListMonitors(monitors);
    const int holding = MonitorHolding(monitors, x, y);
    if (holding >= 0) {
        std::snprintf(ChosenDisplay.Monitor, sizeof ChosenDisplay.Monitor, "%s",
                      monitors.Each[holding].Name);
    }
}

bool HonourDisplaySwitch() {
    if (!TakeSwitchRequest()) {
        return true;
    }
    NoteWindowMonitor();  // a window goes full screen on the monitor it stands on
    ChosenDisplay.FullScreen = !FullScreenShown;
    // The library's own input thread must run while it remakes the window.
    const bool handling = HandlingInput();
    ReleaseInput();
    const bool set = SetDisplay();
    if (handling) {
        TakeOverInput();
    }
    if (!set) {
        return false;
    }
    ReclaimInput();
    LetGoOfKeysAfterSwitch();
    RepaintDisplay();
    return true;
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

void DropMouseMovement() {
    int moved_x = 0, moved_y = 0;
    get_mouse_mickeys(&moved_x, &moved_y);
    CarryX = CarryY = 0;
}
