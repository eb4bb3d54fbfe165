// The controls screen: one centred blue line or two per page.

#include "ui/controls_screen.h"

#include <allegro.h>

#include <cstdio>

#include "game/game_state.h"
#include "shell/game_data.h"
#include "shell/screen.h"

namespace {

constexpr const char *ALTER_OR_STORE = "[UP]/[DOWN] to alter, [ENTER] to store";

// Clears the screen and shows the lines centred, one above the middle and one
// below it; a single line stands on the middle.
void ShowPage(const char *upper, const char *lower = nullptr) {
    FONT *f = GameFont(TEXT_FONT);
    const int colour = makecol(0, 0, 255);
    const int middle = PICTURE_H / 2;
    const int height = text_height(f);
    ClearBuffer(BackBuffer);
    if (lower) {
        textout_centre_ex(BackBuffer, f, upper, PICTURE_W / 2, middle - height, colour,
                          TEXT_BACKGROUND);
        textout_centre_ex(BackBuffer, f, lower, PICTURE_W / 2, middle + height, colour,
                          TEXT_BACKGROUND);
    } else {
        textout_centre_ex(BackBuffer, f, upper, PICTURE_W / 2, middle, colour, TEXT_BACKGROUND);
    }
    PresentBuffer();
}

// Waits until one of the keys is pressed; others are ignored.
int WaitForOneOf(int key1, int key2, int key3) {
    for (;;) {
        const int pressed = WaitForKey();
        if (pressed == key1 || pressed == key2 || pressed == key3) {
            return pressed;
        }
    }
}

// Shows the value on its page and lets Up and Down change it by one until Enter.
void AdjustValue(const char *format, float &value) {
    for (;;) {
        char text[128];  // room for any float in full
        std::snprintf(text, sizeof text, format, static_cast<double>(value));
        ShowPage(text, ALTER_OR_STORE);
        const int pressed = WaitForOneOf(KEY_UP, KEY_DOWN, KEY_ENTER);
        if (pressed == KEY_ENTER) {
            return;
        }
        value += pressed == KEY_UP ? 1.0f : -1.0f;
    }
}

}  // namespace

void ConfigureControls() {
    ShowPage("Press M for Mouse or K for Keyboard");
    if (WaitForOneOf(KEY_M, KEY_K, KEY_M) == KEY_M) {
        Controls.UseMouse = 1;
        Controls.UseKeyboard = 0;
        AdjustValue("Mouse Sensitivity: %.f%%.", Controls.MouseSensitivity);
        return;
    }
    Controls.UseKeyboard = 1;
    Controls.UseMouse = 0;
    ShowPage("Press the new LEFT key you wish to use.");
    Controls.LeftKey = WaitForKey();
    ShowPage("Press the new RIGHT key you wish to use.");
    Controls.RightKey = WaitForKey();
    // The player sets the step of an easy game; harder games take a finer one.
    AdjustValue("Move by %.f pixels each keypress.", Controls.ConfiguredKeyStep);
    Controls.KeyStep = Controls.ConfiguredKeyStep;
}
