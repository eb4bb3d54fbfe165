// The fading text panel.

#include "ui/message_panel.h"

#include "shell/screen.h"

namespace {

constexpr int FADE_STEP = 7;
constexpr int LINE_GAP = 5;

// One fade step: up by FADE_STEP, never past the target.
int FadeToward(int current, int target) {
    if (current < target) {
        current += FADE_STEP;
    }
    return current > target ? target : current;
}

}  // namespace

void FadeInMessage(BITMAP *bmp, FONT *f, int count, const char *const *lines, int x, int y,
                   int colour) {
    const int target_r = getr(colour);
    const int target_g = getg(colour);
    const int target_b = getb(colour);
    const int pitch = text_height(f) + LINE_GAP;
    int r = 0, g = 0, b = 0;
    for (;;) {
        const int shade = makecol(r, g, b);
        for (int i = 0; i < count; ++i) {
            textout_ex(bmp, f, lines[i], x, y + i * pitch, shade, TEXT_BACKGROUND);
        }
        r = FadeToward(r, target_r);
        g = FadeToward(g, target_g);
        b = FadeToward(b, target_b);
        PresentBuffer();
        if (r == target_r && g == target_g && b == target_b) {
            return;
        }
    }
}
