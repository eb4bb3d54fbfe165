// The intro movie, played at start through the back buffer.
#pragma once

// Plays "intro.flc" through the back buffer; 0 when it played, 1 when it could not.
int PlayIntro();

// Stops the intro as soon as a key is waiting (or the window is closing).
int IntroCallback();
