// Quiet input under X11. The library's input thread wakes a thousand times a
// second to look for X events. Once the game has started drawing, it parks
// that thread for good and reads the X connection itself whenever it waits:
// for the next frame or for a key. Elsewhere (and with the test drivers)
// nothing is parked and the waits simply rest.
#pragma once

#include <cstdint>

// Parks the library's input thread, when there is one to park; the game
// handles input itself from then on. Nothing happens if it is parked already.
void TakeOverInput();

// True while the game handles X input itself.
bool HandlingInput();

// Sleeps until input may have arrived or the time is up, then handles it.
void WaitForInput(unsigned milliseconds);

// Waits for the next tick of a 70 Hz retrace clock, handling input as it
// arrives. Only while the game handles input itself.
void WaitForRetraceTick();

// When the first tick after now (monotonic nanoseconds) is due, of a clock
// that ticks on from the tick due before, whether or not anyone waited;
// with none due before (0), the clock starts now.
int64_t NextRetraceTick(int64_t due, int64_t now);

// Lets the library's input thread run again, as it must before shutdown.
void ReleaseInput();
