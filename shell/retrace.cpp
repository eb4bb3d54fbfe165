// The retrace pacer: a no-op timer at exactly the library's retrace rate.

#include "shell/retrace.h"

#include <allegro.h>

namespace {

constexpr int RETRACE_HZ = 70;

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
