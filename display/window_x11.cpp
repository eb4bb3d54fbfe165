// The game's window under X11: its class and icon, set on the library's
// window now and after every change of mode, and the keyboard's state as the
// X server holds it.

#include "display/window.h"

#include <X11/XKBlib.h>
#include <X11/Xatom.h>
#include <X11/Xlib.h>
#include <X11/Xutil.h>

#include "display/x11.h"

// The icon in _NET_WM_ICON's form (width, height, then ARGB pixels, for each
// size), drawn at build time from the package's icon and linked into the game
// alone: where it is missing, the window has no icon.
extern const unsigned long WINDOW_ICON[] __attribute__((weak));
extern const int WINDOW_ICON_LONGS __attribute__((weak));

namespace {

void (*LibraryDefaults)() = nullptr;

// The library's defaults for its window, then the game's name and icon.
void SetWindowDefaults() {
    LibraryDefaults();
    Display *display = _xwin.display;
    char name[] = "tileriot", game_class[] = "TileRiot";
    XClassHint hint = {name, game_class};
    XSetClassHint(display, _xwin.wm_window, &hint);
    if (&WINDOW_ICON_LONGS && WINDOW_ICON_LONGS > 0) {
        XChangeProperty(display, _xwin.wm_window, XInternAtom(display, "_NET_WM_ICON", False),
                        XA_CARDINAL, 32, PropModeReplace,
                        reinterpret_cast<const unsigned char *>(WINDOW_ICON), WINDOW_ICON_LONGS);
    }
}

}  // namespace

void NameWindow() {
    if (!OnX11() || LibraryDefaults) {
        return;
    }
    XLOCK();
    LibraryDefaults = _xwin_window_defaultor;
    _xwin_window_defaultor = SetWindowDefaults;
    SetWindowDefaults();
    // A key held down repeats as presses alone, without a release before each,
    // so a release is always the key coming up.
    XkbSetDetectableAutoRepeat(_xwin.display, True, nullptr);
    XUNLOCK();
}

int KeyHeldNow(int scancode) {
    if (!OnX11()) {
        return -1;
    }
    char keys[32];
    XLOCK();
    XQueryKeymap(_xwin.display, keys);
    XUNLOCK();
    for (int keycode = 0; keycode < 256; ++keycode) {
        if (_xwin.keycode_to_scancode[keycode] == scancode &&
            (keys[keycode / 8] >> (keycode % 8)) & 1) {
            return 1;
        }
    }
    return 0;
}

int WindowHasFocus() {
    if (!OnX11()) {
        return -1;
    }
    Window focus = None;
    int revert = 0;
    XLOCK();
    XGetInputFocus(_xwin.display, &focus, &revert);
    XUNLOCK();
    if (focus == None || focus == PointerRoot) {
        return -1;  // the keys go where the pointer is
    }
    return focus == _xwin.window || focus == _xwin.wm_window || focus == _xwin.fs_window;
}

// The library's X11 input needs no window thread to take it.
void CallWithWindowThreadAwake(void (*call)()) {
    call();
}
