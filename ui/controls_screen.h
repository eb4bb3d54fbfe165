// The controls screen: mouse or keyboard, and how the paddle answers them.
#pragma once

// Lets the player pick the mouse (and its sensitivity) or the keyboard (two
// keys and the step per frame). Every change counts at once, for this run.
void ConfigureControls();
