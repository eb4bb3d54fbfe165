// The play loop: one game from its first frame to its end.
#pragma once

// Plays the current game level by level, frame by frame, with its lives and
// messages, then offers the score to the high-score table. Escape abandons
// the game at once.
void Play();
