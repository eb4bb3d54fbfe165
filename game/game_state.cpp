// The game's records and their start-up defaults.

#include "game/game_state.h"

#include <allegro.h>

BallState Ball;
PaddleState Paddle;
ControlSettings Controls;
GameSettingsRecord GameSettings;

namespace {

constexpr float DEFAULT_KEY_STEP = 20.0f;
constexpr float DEFAULT_MOUSE_SENSITIVITY = 100.0f;

}  // namespace

bool InternalGame() {
    return GameSettings.GameType != GAME_EXTERNAL;
}

void SetDefaultControls() {
    Controls.UseKeyboard = 0;
    Controls.UseMouse = 1;
    Controls.LeftKey = KEY_LEFT;
    Controls.RightKey = KEY_RIGHT;
    Controls.KeyStep = DEFAULT_KEY_STEP;
    Controls.ConfiguredKeyStep = DEFAULT_KEY_STEP;
    Controls.MouseSensitivity = DEFAULT_MOUSE_SENSITIVITY;
    GameSettings.StartLevel = 0;
}
