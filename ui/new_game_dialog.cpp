// The new-game dialog: three screens, each a fading prompt.

#include "ui/new_game_dialog.h"

#include <allegro.h>

#include "game/game_state.h"
#include "shell/game_data.h"
#include "shell/screen.h"
#include "ui/message_panel.h"
#include "ui/text_entry.h"

namespace {

const char *const NAME_PROMPT[] = {
    "Please enter the name", "you wish to use if you", "achieve a high score.",
    "It is also used for",   "loading saved games.",
};

const char *const DIFFICULTY_PROMPT[] = {
    "Select the difficulty", "you wish to use:", "", "[E]asy", "[M]edium, or", "[H]ard",
};

const char *const GAME_TYPE_PROMPT[] = {
    "Select the type of game",  "you wish to play:",        "",
    "[I]nternal - a standard,", "5-level progressive game", "that is the same for all.",
    "       OR               ", "[E]xternal - to load in",  "a single level file of",
    "your choosing.",
};

// Waits until one of two or three keys is pressed and returns its answer;
// every other key is ignored.
int32_t Choose(int key1, int32_t answer1, int key2, int32_t answer2, int key3 = -1,
               int32_t answer3 = 0) {
    for (;;) {
        const int pressed = WaitForKey();
        if (pressed == key1) {
            return answer1;
        }
        if (pressed == key2) {
            return answer2;
        }
        if (pressed == key3) {
            return answer3;
        }
    }
}

}  // namespace

void NewGameDialog() {
    ShowPrompt(NAME_PROMPT, 10, 80);
    EnterText(GameSettings.PlayerName, sizeof GameSettings.PlayerName - 1, BackBuffer,
              GameFont(TEXT_FONT), 220, 390, makecol(255, 255, 30));

    ShowPrompt(DIFFICULTY_PROMPT, 205, 100);
    GameSettings.Difficulty =
        Choose(KEY_E, DIFFICULTY_EASY, KEY_M, DIFFICULTY_MEDIUM, KEY_H, DIFFICULTY_HARD);

    ShowPrompt(GAME_TYPE_PROMPT, 130, 30);
    GameSettings.GameType = Choose(KEY_I, GAME_INTERNAL, KEY_E, GAME_EXTERNAL);

    GameSettings.Score = 0;
    GameSettings.StartLevel = 0;
}
