// The instructions: a title, three headed sections that fade in one after
// another, and a second page that goes on where the first stops.

#include "ui/instructions.h"

#include <allegro.h>

#include "shell/game_data.h"
#include "shell/screen.h"
#include "ui/message_panel.h"

namespace {

constexpr int BODY_X = 5;
constexpr int PROMPT_FROM_FOOT = 27;

const char *const NAVIGATING_MENUS[] = {
    "Welcome to TileRiot! To navigate through the menus, ",
    "use the arrow keys on a standard keyboard.",
};

const char *const IN_GAME_HELP[] = {
    "In-game help is displayed at the bottom of the screen",
    "when available. This provides helpful info on what each",
    "option does.",
};

const char *const HOW_TO_PLAY[] = {
    "The aim of the game is to destroy all of the bricks in",
    "each level by making the ball touch them. Being a super-",
    "powerful ball, the slightest touch will make those bricks",
    "disintegrate. To control the ball, move the paddle using",
    "the keys on the keyboard (the Left and Right arrow keys",
};

const char *const SECOND_PAGE[] = {
    "if you have not changed it in 'Options->Configure your",
    "controls') or the mouse. The resulting angle of the ball",
    "depends upon where you hit it on the paddle. Towards",
    "the middle means it is almost vertical, whilst at the",
    "edges is closer to 45 degrees. This allows you to",
    "control the angle of the ball. Note that the speed is",
    "determined randomly, and most times the speed will be",
    "acceptable, but sometimes it is unbearably slow. It's",
    "just luck.",
    "Also, note that the mouse provides a greater degree of",
    "flexibility in choosing where the ball hits the paddle.",
    "You can change the mouse sensitivity in",
    "'Options->Configure your controls'.",
    "Thank you and good luck! But most importantly, have fun!",
};

int HeadingColour() {
    return makecol(122, 122, 0);
}

// A centred heading or prompt; it appears with the next presented frame.
void Heading(const char *text, int y) {
    textout_centre_ex(BackBuffer, GameFont(SECOND_FONT), text, PICTURE_W / 2, y, HeadingColour(),
                      TEXT_BACKGROUND);
}

template <int Count>
void Section(const char *heading, int heading_y, const char *const (&body)[Count], int body_y) {
    Heading(heading, heading_y);
    FadeInMessage(BackBuffer, GameFont(PANEL_FONT), body, BODY_X, body_y, makecol(0, 255, 0));
}

// The prompt at the foot of a page, then a key.
void WaitAtFoot(const char *prompt) {
    Heading(prompt, PICTURE_H - PROMPT_FROM_FOOT);
    PresentBuffer();
    WaitForKey();
}

}  // namespace

void ShowInstructions() {
    ClearBuffer(BackBuffer);
    textout_centre_ex(BackBuffer, GameFont(TITLE_FONT), "INSTRUCTIONS", PICTURE_W / 2, 10,
                      makecol(255, 0, 0), TEXT_BACKGROUND);
    Section("Navigating Menus", 70, NAVIGATING_MENUS, 110);
    Section("In-Game Help", 170, IN_GAME_HELP, 200);
    Section("HOW TO PLAY", 270, HOW_TO_PLAY, 310);
    WaitAtFoot("Press any key for more...");

    ClearBuffer(BackBuffer);
    FadeInMessage(BackBuffer, GameFont(PANEL_FONT), SECOND_PAGE, BODY_X, 5, makecol(0, 255, 0));
    WaitAtFoot("Press any key to return to main menu...");
}
