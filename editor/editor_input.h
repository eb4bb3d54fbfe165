// The editor's input: key presses from the keyboard buffer, and every mouse
// press, release and move as it happened, however quickly they came.
#pragma once

// One event of the mouse, its position in picture pixels.
struct MouseEvent {
    int Flags;  // the library's MOUSE_FLAG_ bits
    int X, Y;
};

// Starts recording the mouse's events; the window's close button now asks
// before the editor ends.
void StartEditorInput();

// Whether a key press or a mouse event is waiting.
bool EditorInputWaiting();

// Waits, as a menu waits for a key, until a key, a mouse event or a close request is waiting.
void WaitForEditorInput();

// Takes the oldest mouse event; false when none is waiting.
bool TakeMouseEvent(MouseEvent &event);

// Where the pointer was at its last event, in picture pixels; false until
// the mouse has been moved or pressed in the editor. The game draws no
// pointer of the system's, so the editor draws this one.
bool PointerAt(int &x, int &y);

// Forgets every key and mouse event waiting, as after test play.
void ForgetInput();

// Whether either Control or Shift key is held.
bool ControlHeld();
bool ShiftHeld();
