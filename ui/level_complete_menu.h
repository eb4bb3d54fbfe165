// The menu after each of the first four levels of the built-in game.
#pragma once

// Offers to save the game, which resumes later at the level just cleared,
// or to play on. A save ends the game and goes back to the main menu; after
// one that failed the menu is shown again.
void LevelCompleteMenu(int level);
