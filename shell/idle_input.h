// Quiet waiting for keys under X11. The library's input thread wakes a
// thousand times a second; while the game only waits for a key it parks that
// thread and sleeps on the X connection itself, handling events as they come.
#pragma once

// Parks the library's input thread, when there is one to park.
void BeginIdleInput();

// Sleeps until input may have arrived or the time is up, then handles it.
void WaitForInput(unsigned milliseconds);

// Lets the library's input thread run again.
void EndIdleInput();
