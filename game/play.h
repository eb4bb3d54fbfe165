// The play loop: one game from its first frame to its end.
#pragma once

// Plays the current game level by level, frame by frame, with its lives and
// messages, then offers the score to the high-score table. Escape abandons
// the game at once.
void Play();

// Plays the external level in slot 0 as an external game does, without the
// high-score step: nothing is offered to a table or written to a file.
void TestPlay();
