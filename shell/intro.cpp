// The intro movie: the library plays it into the back buffer, and each of its
// frames is presented as any other, keeping the display as every wait does.

#include "shell/intro.h"

#include <allegro.h>

#include "display/events.h"
#include "display/presenter.h"
#include "shell/screen.h"

int IntroCallback() {
    KeepDisplay();
    WaitForFocus();
    PresentFrame(BackBuffer);
    return (keypressed() || CloseRequested()) ? 1 : 0;
}

int PlayIntro() {
    // The movie plays into the back buffer, which shows nothing else yet.
    ClearBuffer(BackBuffer);
    if (play_fli("intro.flc", BackBuffer, 0, IntroCallback) < 0) {
        set_gfx_mode(GFX_TEXT, 0, 0, 0, 0);
        allegro_message("Error playing FLI file\n");
        return 1;
    }
    return 0;
}
