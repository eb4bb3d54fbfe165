// Asks a window to close the way a window manager's close button does: a
// WM_DELETE_WINDOW message. Usage: xclose WINDOW_ID (decimal or 0x hex).

#include <X11/Xlib.h>

#include <cstdlib>

int main(int argc, char **argv) {
    Display *display = argc == 2 ? XOpenDisplay(nullptr) : nullptr;
    if (!display) {
        return 1;
    }
    XEvent event = {};
    event.xclient = {ClientMessage,
                     0,
                     False,
                     display,
                     std::strtoul(argv[1], nullptr, 0),
                     XInternAtom(display, "WM_PROTOCOLS", False),
                     32,
                     {}};
    event.xclient.data.l[0] = static_cast<long>(XInternAtom(display, "WM_DELETE_WINDOW", False));
    XSendEvent(display, event.xclient.window, False, NoEventMask, &event);
    return XCloseDisplay(display);
}
