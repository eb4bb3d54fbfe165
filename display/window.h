// The game's window as the desktop knows it: its name and icon, and the keys
// the system says are held down this moment. A file for each system
// (window_x11.cpp, window_windows.cpp).
#pragma once

// Gives the window the game's class and icon, now and after every change of
// mode, so that docks and task bars know it as TileRiot.
void NameWindow();

// 1 when the system says the key is held down now, 0 when it is up, -1 when
// the system cannot tell.
int KeyHeldNow(int scancode);

// 1 when the window has the keyboard focus this moment, 0 when another has
// it, -1 when the system cannot tell.
int WindowHasFocus();

// Makes a library call that hands the keyboard or the mouse over to the
// library's window thread and waits for it to take them (installing them,
// removing them), keeping that thread from sleeping through the hand-over.
void CallWithWindowThreadAwake(void (*call)());
