// The retrace pacer, a no-op timer at exactly the library's retrace rate, and
// the arithmetic of the game's own retrace clock.

#include "shell/retrace.h"

#include <allegro.h>

namespace {

constexpr int64_t TICK_NS = 1000000000 / RETRACE_HZ;

bool running = false;

void RetracePacer() {}
END_OF_FUNCTION(RetracePacer)

}  // namespace

void StartRetracePacer() {
    if (!running) {
        LOCK_FUNCTION(RetracePacer);
        running = install_int_ex(RetracePacer, BPS_TO_TIMER(RETRACE_HZ)) == 0;
    }
}

void StopRetracePacer() {
    if (running) {
        remove_int(RetracePacer);
        running = false;
    }
}

int64_t NextRetraceTick(int64_t due, int64_t now) {
    if (due == 0) {
        due = now;
    }
    if (due <= now) {
        due += ((now - due) / TICK_NS + 1) * TICK_NS;
    }
    return due;
}
