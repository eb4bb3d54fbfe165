// The "High Scores" screen: both tables side by side.
#pragma once

// Shows the internal table on the left and the external one on the right,
// and waits for any key.
void ShowHighScores();
