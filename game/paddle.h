// The paddle: moved once a frame by the mouse or two keys, kept between the
// side walls.
#pragma once

#include <cstdint>

// Mouse movement since the previous frame; only the horizontal part is used.
extern int32_t MickeyX;
extern int32_t MickeyY;

// Moves the paddle for this frame by the mouse or the keys (a held key wins),
// then pushes it back inside the walls: x 3 to PICTURE_W - 3 - width.
void MovePaddle();

// A float truncated toward zero, clamped to the 32-bit range.
int32_t TruncateToInt(double value);
