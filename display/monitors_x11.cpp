// Monitors under X11: RandR's monitors, else Xinerama's screens, else the X
// screen as one. The library's full screen covers the whole X screen, so a
// full screen here is the library's window of our own placing: above the
// others (override-redirect) on one monitor's rectangle, with the keyboard
// and the pointer grabbed, as the library grabs them for its own.

#include "display/monitors.h"

#include <X11/Xlib.h>
#include <X11/extensions/Xinerama.h>
#include <X11/extensions/Xrandr.h>

#include <cstdio>

#include "display/x11.h"

namespace {

void Add(MonitorList &list, const char *name, int x, int y, int w, int h, bool primary) {
    if (list.Count < MOST_MONITORS && w > 0 && h > 0) {
        Monitor &m = list.Each[list.Count++];
        std::snprintf(m.Name, sizeof m.Name, "%s", name);
        m.X = x, m.Y = y, m.W = w, m.H = h, m.Primary = primary;
    }
}

// RandR 1.5's monitors, by their names (the outputs', such as "DP-1").
void ListRandrMonitors(MonitorList &list) {
    int event_base = 0, error_base = 0, major = 0, minor = 0;
    if (!XRRQueryExtension(_xwin.display, &event_base, &error_base) ||
        !XRRQueryVersion(_xwin.display, &major, &minor) || major * 100 + minor < 105) {
        return;
    }
    int count = 0;
    XRRMonitorInfo *monitors =
        XRRGetMonitors(_xwin.display, DefaultRootWindow(_xwin.display), True, &count);
    for (int i = 0; monitors && i < count; ++i) {
        const XRRMonitorInfo &m = monitors[i];
        char *name = XGetAtomName(_xwin.display, m.name);
        Add(list, name ? name : "", m.x, m.y, m.width, m.height, m.primary);
        XFree(name);
    }
    if (monitors) {
        XRRFreeMonitors(monitors);
    }
}

// Xinerama's screens, which have no names of their own: the first is primary.
void ListXineramaScreens(MonitorList &list) {
    int count = 0;
    XineramaScreenInfo *screens =
        XineramaIsActive(_xwin.display) ? XineramaQueryScreens(_xwin.display, &count) : nullptr;
    for (int i = 0; screens && i < count; ++i) {
        char name[24];
        std::snprintf(name, sizeof name, "XINERAMA-%d", i);
        Add(list, name, screens[i].x_org, screens[i].y_org, screens[i].width, screens[i].height,
            i == 0);
    }
    XFree(screens);
}

}  // namespace

void ListMonitors(MonitorList &list) {
    list.Count = 0;
    if (OnX11()) {
        XLOCK();
        ListRandrMonitors(list);
        if (list.Count == 0) {
            ListXineramaScreens(list);
        }
        XUNLOCK();
    }
    if (list.Count == 0) {
        int w = 0, h = 0;
        get_desktop_resolution(&w, &h);
        list.Count = 1;
        list.Each[0] = {"", 0, 0, w, h, true};
    }
}

int CoverableMonitor(const MonitorList &, int chosen) {
    return chosen;
}

int CoveringCard() {
    return OnX11() ? GFX_XWINDOWS : GFX_AUTODETECT_FULLSCREEN;
}

void PlaceNextWindow(const Monitor &m, bool cover, int width, int height) {
    if (!OnX11()) {
        return;
    }
    XLOCK();
    XSetWindowAttributes attributes;
    attributes.override_redirect = cover;
    XChangeWindowAttributes(_xwin.display, _xwin.wm_window, CWOverrideRedirect, &attributes);
    XMoveWindow(_xwin.display, _xwin.wm_window, m.X + (m.W - width) / 2, m.Y + (m.H - height) / 2);
    XUNLOCK();
}

void SettleWindow(const Monitor &m, bool cover) {
    if (!OnX11() || !gfx_driver || gfx_driver->id != GFX_XWINDOWS) {
        return;
    }
    XLOCK();
    Display *display = _xwin.display;
    const Window window = _xwin.window;
    XWindowAttributes attributes;
    XGetWindowAttributes(display, _xwin.wm_window, &attributes);
    if (cover) {
        XMoveWindow(display, _xwin.wm_window, m.X, m.Y);
        XRaiseWindow(display, _xwin.wm_window);
        // Grabbed as the library grabs for its own full screen, and let go
        // by it as the mode ends.
        _xwin.keyboard_grabbed = XGrabKeyboard(display, window, False, GrabModeAsync, GrabModeAsync,
                                               CurrentTime) == GrabSuccess;
        _xwin.mouse_grabbed =
            XGrabPointer(display, window, False,
                         PointerMotionMask | ButtonPressMask | ButtonReleaseMask, GrabModeAsync,
                         GrabModeAsync, window, None, CurrentTime) == GrabSuccess;
        XWarpPointer(display, None, window, 0, 0, 0, 0, m.W / 2, m.H / 2);
    } else if (attributes.map_state == IsViewable) {
        // A window manager may have placed it elsewhere.
        XMoveWindow(display, _xwin.wm_window, m.X + (m.W - attributes.width) / 2,
                    m.Y + (m.H - attributes.height) / 2);
    }
    if (attributes.map_state == IsViewable) {
        XSetInputFocus(display, window, RevertToParent, CurrentTime);
    }
    XSync(display, False);
    XUNLOCK();
}

bool FindWindowCentre(int *x, int *y) {
    if (!OnX11() || !gfx_driver || !is_windowed_mode()) {
        return false;
    }
    XLOCK();
    Window child = None;
    const bool found =
        XTranslateCoordinates(_xwin.display, _xwin.window, DefaultRootWindow(_xwin.display),
                              _xwin.window_width / 2, _xwin.window_height / 2, x, y, &child);
    XUNLOCK();
    return found;
}
