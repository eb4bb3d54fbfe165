// The scrolling credits.
#pragma once

// Scrolls "credits.txt" up the screen a pixel a frame until it has gone or
// Escape or Space is held; writes a placeholder file when there is none.
void ShowCredits();
