// Keeps the library's emulated 70 Hz retrace on time. Its timer thread only
// wakes when some timer is due (otherwise every 27.5 ms), so a no-op timer at
// the retrace's own rate makes every vsync() come 14.3 ms after the last.
#pragma once

#include <cstdint>

// The library's retrace rate, which every frame of the game keeps.
constexpr int RETRACE_HZ = 70;

// Starts the pacing timer; nothing happens if it is already running.
void StartRetracePacer();

// Stops it while nothing is drawn, so the timer thread can sleep.
void StopRetracePacer();

// When the first tick after now (monotonic nanoseconds) is due, of a 70 Hz
// clock that ticks on from the tick due before, whether or not anyone
// waited; with none due before (0), the clock starts now.
int64_t NextRetraceTick(int64_t due, int64_t now);
