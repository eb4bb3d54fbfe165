// Keeps the library's emulated 70 Hz retrace on time. Its timer thread only
// wakes when some timer is due (otherwise every 27.5 ms), so a no-op timer at
// the retrace's own rate makes every vsync() come 14.3 ms after the last.
#pragma once

// Starts the pacing timer; nothing happens if it is already running.
void StartRetracePacer();

// Stops it while nothing is drawn, so the timer thread can sleep.
void StopRetracePacer();
