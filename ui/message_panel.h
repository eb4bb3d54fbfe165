// The fading panel of text that every dialog prompt and notice is shown in.
#pragma once

#include <allegro.h>

#include "shell/game_data.h"
#include "shell/screen.h"

// Draws the lines top-down from (x, y), each text_height + 5 below the last,
// fading from black towards colour by 7 per component and frame; each step is
// presented. The last frame stays in bmp and on the screen.
void FadeInMessage(BITMAP *bmp, FONT *f, int count, const char *const *lines, int x, int y,
                   int colour);

// FadeInMessage for a fixed list of lines.
template <int Count>
void FadeInMessage(BITMAP *bmp, FONT *f, const char *const (&lines)[Count], int x, int y,
                   int colour) {
    FadeInMessage(bmp, f, Count, lines, x, y, colour);
}

// The colour every dialog prompt and notice fades in to.
inline int PromptColour() {
    return makecol(125, 235, 0);
}

// A dialog's panel: the screen cleared, the lines faded in at (x, y) in the
// text font and the prompt colour, and presented once more.
template <int Count>
void ShowPrompt(const char *const (&lines)[Count], int x, int y) {
    ClearBuffer(BackBuffer);
    FadeInMessage(BackBuffer, GameFont(TEXT_FONT), lines, x, y, PromptColour());
    PresentBuffer();
}
