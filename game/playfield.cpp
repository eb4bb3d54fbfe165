// Playfield drawing. Every frame is drawn whole; nothing carries over.

#include "game/playfield.h"

#include <allegro.h>

#include <cstdio>

#include "game/game_state.h"
#include "game/level_grid.h"
#include "game/paddle.h"
#include "shell/game_data.h"
#include "shell/screen.h"

namespace {

constexpr int FIELD_LINE = 2;         // the frame's left, right and top lines
constexpr int FIELD_BOTTOM_GAP = 50;  // the frame's bottom line above the screen's foot
constexpr int STATUS_X = 20;
constexpr int STATUS_FROM_FOOT = 40;

static_assert(sizeof("%s - Score: %d - Level %d/%d - Lives Left: %d") + 31 + 4 * 11 <
                  STATUS_LINE_SIZE,
              "the status line always fits");

}  // namespace

void DrawBricks(int level) {
    BITMAP *sprite = GameSprite(BRICK_SPRITE);
    for (int row = 0; row < LEVEL_ROWS; ++row) {
        for (int col = 0; col < LEVEL_COLUMNS; ++col) {
            const Brick &brick = Level[level][row][col];
            if (brick.Used == 1) {
                stretch_sprite(BackBuffer, sprite, brick.X, brick.Y, brick.Width, brick.Height);
            }
        }
    }
}

void DrawFieldFrame() {
    rect(BackBuffer, FIELD_LINE, FIELD_LINE, PICTURE_W - FIELD_LINE, PICTURE_H - FIELD_BOTTOM_GAP,
         makecol(100, 20, 50));
}

void FormatStatusLine(char (&text)[STATUS_LINE_SIZE], int level, int lives) {
    if (InternalGame()) {
        std::snprintf(text, sizeof text, "%s - Score: %d - Level %d/%d - Lives Left: %d",
                      GameSettings.PlayerName, GameSettings.Score, level + 1, LEVEL_COUNT, lives);
    } else {
        std::snprintf(text, sizeof text, "%s - Score: %d - External Level - Lives Left: %d",
                      GameSettings.PlayerName, GameSettings.Score, lives);
    }
}

void DrawPlayfield(int level, int lives) {
    rectfill(BackBuffer, 0, 0, PICTURE_W, PICTURE_H, makecol(0, 0, 0));
    const int size = 2 * Ball.Radius;
    stretch_sprite(BackBuffer, GameSprite(BALL_SPRITE), TruncateToInt(Ball.X - Ball.Radius),
                   TruncateToInt(Ball.Y - Ball.Radius), size, size);
    stretch_sprite(BackBuffer, GameSprite(PADDLE_SPRITE), Paddle.X, Paddle.Y, Paddle.Width,
                   Paddle.Height);
    DrawBricks(level);
    DrawFieldFrame();
    char status[STATUS_LINE_SIZE];
    FormatStatusLine(status, level, lives);
    textout_ex(BackBuffer, GameFont(SECOND_FONT), status, STATUS_X, PICTURE_H - STATUS_FROM_FOOT,
               makecol(255, 0, 0), TEXT_BACKGROUND);
    PresentBuffer();
}
