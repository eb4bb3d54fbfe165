// One frame of play: ball, paddle, bricks, the playfield frame and the
// status line, presented at the retrace.
#pragma once

#include <cstddef>

// Room for the longest status line: a 31-letter name and four numbers of
// eleven characters each, with the fixed words.
constexpr std::size_t STATUS_LINE_SIZE = 160;

// The status line of the current game: name, score, level or "External
// Level", and the lives left.
void FormatStatusLine(char (&text)[STATUS_LINE_SIZE], int level, int lives);

// Draws the whole frame of this level with this many lives into the back
// buffer and presents it.
void DrawPlayfield(int level, int lives);

// Draws the standing bricks of a level into the back buffer, each its sprite
// stretched to its cell.
void DrawBricks(int level);

// Draws the playfield's frame, whose lines are the walls and the lost-ball line.
void DrawFieldFrame();
