// What the display's X11 files share: whether the game runs on the library's
// X11 system, whose connection and windows they then use.
#pragma once

#include <allegro.h>
#include <xalleg.h>

// True when the library runs on X11 with its connection open.
inline bool OnX11() {
    return system_driver && system_driver->id == SYSTEM_XWINDOWS && _xwin.display;
}
