// The ball: its step, its bounces off the walls and the paddle, the bricks it
// destroys, the points they earn and the test that a level is cleared.
#pragma once

#include <cstdint>

// The distance of two points, in double precision.
double Distance(float x1, float y1, float x2, float y2);

// One step of the ball along its direction.
void MoveBall();

// 1 when the ball's centre is over the paddle and its bottom has reached the
// paddle's top, however deep it has sunk; else 0.
int PaddleContact();

// Sends the ball up at an angle set by where it met the paddle: straight up
// at the middle, 45 degrees at the ends. The new direction's length is the
// reciprocal of the old one's. 10 points, then one step.
void PaddleBounce();

// 1 with the row and column of the first standing brick (top row first, then
// leftmost) that a corner of the ball's square touches; else 0.
int BrickCollision(int level, int32_t *row, int32_t *col);

// This frame's collision, if any: the paddle, else one brick (destroyed, the
// ball stays put), else the left, right or top wall. 1 when there was one.
int CollisionDetection(int level);

// 1 when no brick of the level is standing.
int LevelCleared(int level);
