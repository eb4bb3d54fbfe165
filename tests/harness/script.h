// What the test drivers ask of the harness: the moments at which a test's
// script acts (a retrace, a rest) and the things the game shows it.
#pragma once

namespace harness {

// A frame is being presented: capture it, then apply the script's holds,
// releases and mouse moves due at this frame.
void OnRetrace();

// The game is resting while it waits for input: press the next scripted key.
void OnRest();

// Whether the full-screen or the windowed test display refuses to start.
bool DisplayFails(bool windowed);

// The mouse movement gathered since the game last asked.
void TakeMickeys(int *x, int *y);

// A message box.
void OnMessage(const char *text);

// The game's close-button callback.
void OnCloseButtonCallback(void (*proc)());

}  // namespace harness
