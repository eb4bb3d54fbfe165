// The new-game dialog: the player's name, the difficulty and the game type.
#pragma once

// Asks the three questions and fills GameSettings for a fresh game (score 0,
// first level). It cannot be cancelled.
void NewGameDialog();
