// Quiet waits. Once the game has started drawing, it waits for the next
// frame by a 70 Hz clock of its own, whatever the display's refresh rate, and
// for a key in one sleep that input ends. Under X11 it also parks the
// library's input thread, which would wake a thousand times a second, and
// reads the X connection itself (idle_input_x11.cpp); on Windows the
// library's input threads sleep already (idle_input_windows.cpp). With the
// test drivers nothing is taken over and the waits simply rest.
#pragma once

// Parks the library's input thread, when there is one to park; the game
// handles input itself from then on. Nothing happens if it is parked already.
void TakeOverInput();

// True while the game handles input and keeps its retrace clock itself.
bool HandlingInput();

// Sleeps until input may have arrived or the time is up, then handles it.
void WaitForInput(unsigned milliseconds);

// Waits for the next tick of a 70 Hz retrace clock, handling input as it
// arrives. Only while the game handles input itself.
void WaitForRetraceTick();

// Lets the library's input thread run again, as it must before shutdown.
void ReleaseInput();

// After the display was set anew: takes the keyboard and mouse again where
// the system may have let them go with the old window.
void ReclaimInput();

// Told on the library's threads of every key press and release, and of the
// window's close button and focus, so that a key wait can wake at once where
// the system needs telling.
void WakeKeyWait();
