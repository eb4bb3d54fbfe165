// The data file's object table. The game reaches every sprite and font by its
// index in tr_data2.dat, never by name, so this order is the file's contract.
#pragma once

#include <allegro.h>

constexpr int BALL_SPRITE = 0;    // the ball, stretched to twice its radius
constexpr int BRICK_SPRITE = 1;   // every brick, stretched to its cell
constexpr int TITLE_FONT = 2;     // menu titles and the instructions title
constexpr int TEXT_FONT = 3;      // menu items, dialogs, messages, credits
constexpr int PADDLE_SPRITE = 4;  // the paddle, stretched to its size
constexpr int SECOND_FONT = 5;    // status line, high-score rows, headings
constexpr int PANEL_FONT = 6;     // body text of the instruction pages

// Whether a loaded data file holds at least the seven objects above, each of
// its kind at its index; the game reads no other file.
bool IsCompleteGameData(const DATAFILE *data);

// The loaded data file; present from start-up until ExitGame.
extern DATAFILE *GameData;

// A font of the data file by its index.
inline FONT *GameFont(int index) {
    return static_cast<FONT *>(GameData[index].dat);
}

// A sprite of the data file by its index.
inline BITMAP *GameSprite(int index) {
    return static_cast<BITMAP *>(GameData[index].dat);
}
