// Parking Allegro's X11 background thread and handling X input ourselves.

#include "shell/idle_input.h"
#include "shell/retrace.h"

#include <allegro.h>
#include <allegro/internal/aintern.h>
#include <allegro/platform/aintunix.h>
#include <poll.h>

#include <cstdint>
#include <ctime>

#include <xalleg.h>

namespace {

constexpr int64_t NS_PER_SECOND = 1000000000;

bool parked = false;
int64_t next_tick_ns = 0;  // when the next retrace tick is due

bool OnX11() {
    return system_driver && system_driver->id == SYSTEM_XWINDOWS && _unix_bg_man && _xwin.display;
}

int64_t Now() {
    timespec now;
    clock_gettime(CLOCK_MONOTONIC, &now);
    return int64_t{now.tv_sec} * NS_PER_SECOND + now.tv_nsec;
}

}  // namespace

void TakeOverInput() {
    if (OnX11() && !parked) {
        // The thread finishes the round it is in, then waits until let go.
        _unix_bg_man->disable_interrupts();
        parked = true;
        _xwin_handle_input();  // whatever arrived before the thread stopped
    }
}

bool HandlingInput() {
    return parked;
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

// The library has no real retrace under X11 either: it counts a 70 Hz timer
// and polls that count every millisecond. This waits for the same 70 Hz tick
// in one sleep on the X connection, woken only by input.
void WaitForRetraceTick() {
    XLOCK();
    XSync(_xwin.display, False);  // the last frame has reached the screen
    XUNLOCK();
    const int64_t now = Now();
    next_tick_ns = NextRetraceTick(next_tick_ns, now);
    pollfd connection = {ConnectionNumber(_xwin.display), POLLIN, 0};
    for (int64_t left = next_tick_ns - now; left > 0; left = next_tick_ns - Now()) {
        const timespec timeout = {static_cast<time_t>(left / NS_PER_SECOND),
                                  static_cast<long>(left % NS_PER_SECOND)};
        ppoll(&connection, 1, &timeout, nullptr);
        _xwin_handle_input();
    }
}

// The library's X11 input follows its window through a change of mode.
void ReclaimInput() {}

// The X connection itself wakes a key wait.
void WakeKeyWait() {}

void ReleaseInput() {
    if (parked) {
        _unix_bg_man->enable_interrupts();
        parked = false;
    }
}
