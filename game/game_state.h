// The records of a game: the ball, the paddle, the player's controls and the
// current game's settings, one instance each for the whole run.
#pragma once

#include <cstdint>

struct BallState {
    float X;            // centre, pixels
    float Y;            // centre, pixels
    int32_t Radius;     // pixels; drawn twice this wide and high
    float Speed;        // one move adds DX * Speed and DY * Speed
    float DX;           // horizontal direction, positive to the right
    float DY;           // vertical direction, positive downward
    float BounceBoost;  // growth of DX or DY at each wall bounce
};

struct PaddleState {
    int32_t X;  // left edge; the only field that changes in play
    int32_t Y;  // top edge
    int32_t Width;
    int32_t Height;
};

struct ControlSettings {
    uint8_t UseMouse;         // the paddle follows the mouse when exactly 1
    uint8_t UseKeyboard;      // the paddle follows the two keys when exactly 1
    float MouseSensitivity;   // percent of mouse movement applied
    int32_t LeftKey;          // scancode moving the paddle left
    int32_t RightKey;         // scancode moving the paddle right
    float KeyStep;            // pixels per frame while a key is held, this game
    float ConfiguredKeyStep;  // the step the player chose; each game derives KeyStep
};

// The current game, and also the 48-byte saved-game record: the fields stand
// in this order with no gaps.
struct GameSettingsRecord {
    char PlayerName[32];  // zero-terminated, at most 31 characters
    int32_t Difficulty;   // 0 Easy, 1 Medium, 2 Hard
    int32_t Score;
    int32_t GameType;  // 0 internal, 1 external
    int32_t StartLevel;
};
static_assert(sizeof(GameSettingsRecord) == 48, "the saved-game record is 48 bytes");

constexpr int32_t DIFFICULTY_EASY = 0;
constexpr int32_t DIFFICULTY_MEDIUM = 1;
constexpr int32_t DIFFICULTY_HARD = 2;
constexpr int32_t GAME_INTERNAL = 0;
constexpr int32_t GAME_EXTERNAL = 1;

extern BallState Ball;
extern PaddleState Paddle;
extern ControlSettings Controls;
extern GameSettingsRecord GameSettings;

// Whether the current game plays the five internal levels: any game type
// but external does (only a damaged saved game holds another).
bool InternalGame();

// The controls every run starts with (mouse, arrow keys, step 20) and start level 0.
void SetDefaultControls();

// Prepares a game: loads its levels, applies the difficulty table and puts
// ball and paddle at their start positions.
void InitVars();

// Prepares a game whose levels are in the grid already: the difficulty table
// and the start positions of ball and paddle.
void PrepareGame();
