// Paddle control.

#include "game/paddle.h"

#include <allegro.h>

#include <cmath>

#include "game/ball.h"
#include "game/game_state.h"
#include "display/modes.h"
#include "shell/screen.h"

int32_t MickeyX = 0;
int32_t MickeyY = 0;

namespace {

constexpr int32_t WALL = 2;

// Whether a configured key is held; a scancode outside the table never is.
bool Held(int32_t scancode) {
    return scancode > 0 && scancode < KEY_MAX && key[scancode];
}

// Wide enough for any paddle position, however far a wild step threw it.
int64_t RightEdge() {
    return int64_t{Paddle.X} + Paddle.Width;
}

}  // namespace

int32_t TruncateToInt(double value) {
    if (!(value > INT32_MIN)) {  // also NaN
        return INT32_MIN;
    }
    if (value >= INT32_MAX) {
        return INT32_MAX;
    }
    return static_cast<int32_t>(value);
}

void MovePaddle() {
    const int32_t right_wall = PICTURE_W - WALL;
    float delta = 0.0f;
    // Input counts only while the paddle is clear of both walls.
    if (Paddle.X > WALL && RightEdge() < right_wall) {
        if (Controls.UseMouse == 1) {
            GetPictureMickeys(&MickeyX, &MickeyY);
            delta = static_cast<float>(MickeyX * (Controls.MouseSensitivity / 100.0));
        }
        if (Controls.UseKeyboard == 1) {
            if (Held(Controls.LeftKey)) {
                delta = -Controls.KeyStep;
            }
            if (Held(Controls.RightKey)) {
                delta = Controls.KeyStep;
            }
        }
    }
    Paddle.X = TruncateToInt(static_cast<float>(Paddle.X) + delta);
    // Back inside by the overshoot and one pixel more.
    if (Paddle.X <= WALL) {
        const double overshoot = Distance(WALL, 0, static_cast<float>(Paddle.X), 0);
        Paddle.X = TruncateToInt(overshoot + 1.0 + Paddle.X);
    }
    if (RightEdge() >= right_wall) {
        const double overshoot =
            Distance(static_cast<float>(right_wall), 0, static_cast<float>(RightEdge()), 0);
        Paddle.X = TruncateToInt(Paddle.X - (overshoot + 1.0));
    }
}
