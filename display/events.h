// What the player does to the game's window rather than to the game: Alt+Enter,
// which the game never sees, nor the Enter and Alt held on after it; the close
// button; and the keyboard focus, without which the game stands still.
#pragma once

// Hooks the keyboard (Alt+Enter); done once, as the keyboard is installed.
void WatchAltEnter();

// Hooks the close button and the focus of the display just set.
void WatchWindowEvents();

// True once, after Alt+Enter asked for the other mode.
bool TakeSwitchRequest();

// After a switch: every key counts as let go, since the old window may never
// hear one come up, and an Enter or Alt still held is kept from the game
// until it is let go and pressed again.
void LetGoOfKeysAfterSwitch();

// Ends keeping a key from the game once the system says it is up, should the
// window never have heard it come up.
void ForgetReleasedKeys();

// True while a press of the window's close button waits to be honoured;
// TakeCloseRequest also forgets it.
bool CloseRequested();
bool TakeCloseRequest();

// True while the game's window has the keyboard focus.
bool HasFocus();

// What the system tells as the window loses and regains the focus.
void OnFocusLost();
void OnFocusBack();
