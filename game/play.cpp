// The play loop. Each pass of the ball loop is one frame: Escape, the lost
// ball, then paddle, collisions, the ball's step and the cleared test, and
// last the drawing, which waits for the retrace.

#include "game/play.h"

#include <allegro.h>

#include "game/ball.h"
#include "game/game_state.h"
#include "game/level_grid.h"
#include "game/paddle.h"
#include "game/playfield.h"
#include "records/high_score_display.h"
#include "records/high_scores.h"
#include "shell/debug_log.h"
#include "shell/game_data.h"
#include "shell/screen.h"
#include "ui/level_complete_menu.h"

namespace {

constexpr int LIVES_PER_LEVEL = 3;
// Lives of -1 end the ball loop once a level is cleared.
constexpr int LEVEL_DONE = -1;
// The ball is lost once its top passes this far above the screen's foot.
constexpr int LOST_LINE_FROM_FOOT = 50;

constexpr const char *PRESS_ANY_KEY = "Press any key to continue...";

enum class Ending { GAME_GOES_ON, GAME_OVER, ABANDONED };

// Two centred lines over the last frame, then a key.
void ShowPlayMessage(const char *first) {
    FONT *f = GameFont(TEXT_FONT);
    const int half_height = text_height(f) / 2;
    textout_centre_ex(BackBuffer, f, first, PICTURE_W / 2, PICTURE_H / 2 - half_height,
                      makecol(255, 0, 0), TEXT_BACKGROUND);
    textout_centre_ex(BackBuffer, f, PRESS_ANY_KEY, PICTURE_W / 2, PICTURE_H / 2 + half_height,
                      makecol(200, 30, 30), TEXT_BACKGROUND);
    PresentBuffer();
    WaitForKey();
}

bool BallLost() {
    return Ball.Y - static_cast<float>(Ball.Radius) >
           static_cast<float>(PICTURE_H - LOST_LINE_FROM_FOOT);
}

// The next ball starts at the screen's centre, heading right and down.
void ServeBall() {
    Ball.X = static_cast<float>(PICTURE_W / 2);
    Ball.Y = static_cast<float>(PICTURE_H / 2);
    Ball.DX = 1.0f;
    Ball.DY = 1.5f;
}

// Plays one level until it is cleared, its last ball is lost or the player
// presses Escape.
Ending PlayLevel(int level, bool internal) {
    int lives = LIVES_PER_LEVEL;
    while (lives >= 0) {
        if (key[KEY_ESC]) {
            return Ending::ABANDONED;
        }
        if (BallLost()) {
            if (lives == 0) {
                ShowPlayMessage(internal ? "Uh Oh! You lost a ball!"
                                         : "You have no more lives! Game Over!");
                return Ending::GAME_OVER;
            }
            ShowPlayMessage("Uh Oh! You lost a ball!");
            ServeBall();
            --lives;
        } else {
            MovePaddle();
            if (!CollisionDetection(level)) {
                MoveBall();
            }
            if (LevelCleared(level)) {
                ShowPlayMessage("Well done! Level Complete!");
                if (internal && level < LEVEL_COUNT - 1) {
                    LevelCompleteMenu(level);  // a save ends the game here
                }
                lives = LEVEL_DONE;
            }
        }
        DrawPlayfield(level, lives);
    }
    return Ending::GAME_GOES_ON;
}

// Offers the score to its table as it stands on disk; a score that entered
// is saved at once and shown, and a file it could not be saved to is named
// after the tables.
void HighScoreStep() {
    const char *unsaved = nullptr;
    if (EnterNewHighScore(unsaved)) {
        ShowPlayMessage("Well done! You made a high score!");
        LogLine("Now ShowHighScores() is called...\n");
        ShowHighScores();
        if (unsaved) {
            ShowUnsavedHighScore(unsaved);
        }
    }
    LogLine("END OF PLAY FUNCTION...\n");
}

}  // namespace

void Play() {
    if (InternalGame()) {
        // Only a damaged saved game starts below the first level.
        int level = GameSettings.StartLevel < 0 ? 0 : GameSettings.StartLevel;
        for (; level < LEVEL_COUNT; ++level) {
            const Ending ending = PlayLevel(level, true);
            if (ending == Ending::ABANDONED) {
                return;
            }
            if (ending == Ending::GAME_OVER) {
                break;
            }
            LogLine("Level %d reached!", level + 1);
        }
        ClearBuffer(BackBuffer);
    } else if (PlayLevel(0, false) == Ending::ABANDONED) {
        return;
    }
    HighScoreStep();
}

void TestPlay() {
    PlayLevel(0, false);
}
