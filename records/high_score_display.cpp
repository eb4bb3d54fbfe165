// The high-score screen. Each half of the screen holds one table: names 10
// pixels in from the half's left edge, scores 85 pixels in from its right.

#include "records/high_score_display.h"

#include <allegro.h>

#include <cstdio>

#include "records/high_scores.h"
#include "shell/game_data.h"
#include "shell/screen.h"
#include "ui/message_panel.h"

namespace {

constexpr int NAME_INSET = 10;
constexpr int SCORE_INSET = 85;

void DrawTable(const HighScoreTable &table, int half_left, int half_right, int top) {
    FONT *rows = GameFont(SECOND_FONT);
    const int colour = makecol(92, 135, 201);
    const int pitch = text_height(rows);
    for (int i = 0; i < HIGH_SCORE_ROWS; ++i) {
        const int y = i * pitch + top;
        textout_ex(BackBuffer, rows, table[i].Name, half_left + NAME_INSET, y, colour,
                   TEXT_BACKGROUND);
        textprintf_ex(BackBuffer, rows, half_right - SCORE_INSET, y, colour, TEXT_BACKGROUND, "%d",
                      table[i].Score);
    }
}

}  // namespace

void ShowHighScores() {
    FONT *heading = GameFont(TEXT_FONT);
    const int half = PICTURE_W / 2;
    const int heading_height = text_height(heading);
    ClearBuffer(BackBuffer);
    textout_centre_ex(BackBuffer, heading, "High Scores", half, 20, makecol(178, 0, 0),
                      TEXT_BACKGROUND);
    const int heading_colour = makecol(0, 255, 255);
    textout_ex(BackBuffer, heading, "Internal", NAME_INSET, heading_height + 25, heading_colour,
               TEXT_BACKGROUND);
    textout_ex(BackBuffer, heading, "External", half + NAME_INSET, heading_height + 25,
               heading_colour, TEXT_BACKGROUND);
    const int rows_top = 2 * heading_height + 25;
    DrawTable(InternalHighScores, 0, half, rows_top);
    DrawTable(ExternalHighScores, half, PICTURE_W, rows_top);
    PresentBuffer();
    WaitForKey();
}

void ShowUnsavedHighScore(const char *file) {
    char first[48];
    std::snprintf(first, sizeof first, "Unfortunately, %s could", file);
    const char *const lines[] = {first, "not be saved. It will be tried again",
                                 "at exit. Please press any key."};
    ShowPrompt(lines, 10, 150);
    WaitForKey();
}
