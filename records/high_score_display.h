// The "High Scores" screen: both tables side by side.
#pragma once

// Shows the internal table on the left and the external one on the right,
// and waits for any key.
void ShowHighScores();

// Tells the player, after the tables, that file could not be written: the
// new score stays in its table and is saved again when the game ends.
void ShowUnsavedHighScore(const char *file);
