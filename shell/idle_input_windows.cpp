// Quiet waits on Windows. The library's input threads sleep until DirectInput
// has news, so nothing needs parking; the game keeps its own 70 Hz retrace
// clock, since the display's vertical blank comes at whatever rate the monitor
// runs, and a key wait wakes at each key event, not on a timer.

#include <allegro.h>
#include <winalleg.h>  // windows.h, with its BITMAP kept apart from the library's

#include <atomic>
#include <cstdint>

#include "shell/idle_input.h"
#include "shell/retrace.h"

namespace {

constexpr int64_t NS_PER_MS = 1000000;
// After a key event, how many 1 ms looks the key is given to reach the buffer
// (a release, which puts nothing there, costs no more than that).
constexpr int KEY_SETTLE_LOOKS = 10;

bool taken_over = false;
// Made once and kept, as the library's keyboard thread sets it at each press
// or release whenever it comes.
std::atomic<HANDLE> key_event{nullptr};
int64_t next_tick_ns = 0;  // when the next retrace tick is due

int64_t Now() {
    LARGE_INTEGER count, frequency;
    QueryPerformanceCounter(&count);
    QueryPerformanceFrequency(&frequency);
    const int64_t seconds = count.QuadPart / frequency.QuadPart;
    return seconds * 1000000000 +
           (count.QuadPart % frequency.QuadPart) * 1000000000 / frequency.QuadPart;
}

}  // namespace

// DirectInput lets the devices go as the window changes; the library takes
// them again only as its window is activated, which may not come.
void ReclaimInput() {
    win_grab_input();
}

void WakeKeyWait() {
    if (const HANDLE event = key_event) {
        SetEvent(event);
    }
}

void TakeOverInput() {
    if (!taken_over) {
        if (!key_event) {
            key_event = CreateEventW(nullptr, FALSE, FALSE, nullptr);
        }
        timeBeginPeriod(1);  // sleeps end within a millisecond of their time
        taken_over = true;
    }
}

bool HandlingInput() {
    return taken_over;
}

// The keyboard thread wakes the wait as a key goes down, a moment before
// the key reaches the buffer: after such a wake the buffer is looked at
// again shortly, so that a tap neither waits a whole sleep nor is missed.
void WaitForInput(unsigned milliseconds) {
    if (!taken_over) {
        rest(milliseconds);
        return;
    }
    if (WaitForSingleObject(key_event, milliseconds) == WAIT_OBJECT_0) {
        for (int look = 0; look < KEY_SETTLE_LOOKS && !keypressed(); ++look) {
            Sleep(1);
        }
    }
}

void WaitForRetraceTick() {
    next_tick_ns = NextRetraceTick(next_tick_ns, Now());
    for (int64_t left = next_tick_ns - Now(); left > 0; left = next_tick_ns - Now()) {
        Sleep(static_cast<DWORD>((left + NS_PER_MS - 1) / NS_PER_MS));
    }
}

void ReleaseInput() {
    if (taken_over) {
        timeEndPeriod(1);
        taken_over = false;
    }
}
