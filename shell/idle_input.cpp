// Parking Allegro's X11 background thread while the game waits for a key.
// Other systems (and the test drivers) have no such thread and simply rest.

#include "shell/idle_input.h"

#include <allegro.h>
#include <allegro/internal/aintern.h>
#include <allegro/platform/aintunix.h>
#include <poll.h>
#include <xalleg.h>

namespace {

bool parked = false;

bool OnX11() {
    return system_driver && system_driver->id == SYSTEM_XWINDOWS && _unix_bg_man && _xwin.display;
}

}  // namespace

void BeginIdleInput() {
    if (OnX11() && !parked) {
        // The thread finishes the round it is in, then waits until let go.
        _unix_bg_man->disable_interrupts();
        parked = true;
        _xwin_handle_input();  // whatever arrived before the thread stopped
    }
}

void WaitForInput(unsigned milliseconds) {
    if (!parked) {
        rest(milliseconds);
        return;
    }
    pollfd connection = {ConnectionNumber(_xwin.display), POLLIN, 0};
    poll(&connection, 1, static_cast<int>(milliseconds));
    _xwin_handle_input();
}

void EndIdleInput() {
    if (parked) {
        _unix_bg_man->enable_interrupts();
        parked = false;
    }
}
