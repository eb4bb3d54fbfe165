// The level grid: five levels of 9 rows by 10 columns of bricks, the text
// format of a level file, and the loaders of the internal and external games.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <cstdio>

// One cell of a level.
struct Brick {
    int8_t Used;    // 1 while the brick stands; every reader tests for exactly 1
    int32_t Spare;  // set to 0 at loading; nothing reads it
    int32_t Value;  // the number in the level file; 0 is no brick
    int32_t X;      // left edge, pixels
    int32_t Y;      // top edge, pixels
    int32_t Width;
    int32_t Height;
};

constexpr int LEVEL_COUNT = 5;
constexpr int LEVEL_ROWS = 9;
constexpr int LEVEL_COLUMNS = 10;

// Level[level][row][col]: internal level n in slot n - 1, the external level in slot 0.
extern Brick Level[LEVEL_COUNT][LEVEL_ROWS][LEVEL_COLUMNS];

// Where the bricks of a grid stand: one size for every brick, and the pitch
// and offset that place a column or a row.
struct BrickGeometry {
    int32_t Width;
    int32_t Height;
    int32_t OffsetX;
    int32_t OffsetY;
};

// Bricks stand this far apart: 4 pixels across, 2 down.
constexpr int32_t BRICK_GAP_X = 4;
constexpr int32_t BRICK_GAP_Y = 2;

// The internal levels' bricks: 59x21 from (4, 3) at 640x480.
BrickGeometry InternalGeometry();

// The external level's bricks: 60x24 from (2, 1) at 640x480, wall to wall.
BrickGeometry ExternalGeometry();

// Reads the next number of a level file: optional sign, digits, then any
// white space. A number beyond the 32-bit range is clamped to it. False,
// with nothing read into value, at the end of the file or at anything else.
bool ReadLevelNumber(FILE *file, int32_t &value);

// Reads a level file's 90 numbers into one level of the grid and places its
// bricks. When the numbers run out, the remaining cells keep their values.
// Returns how many numbers were read: 90 for a whole file.
int ReadLevelFile(FILE *file, int level, const BrickGeometry &geometry);

// Sets one cell of a level to a number and places its brick, as loading does.
void PlaceLevelCell(int level, int row, int col, int32_t value, const BrickGeometry &geometry);

// A level's numbers, row by row, as its file holds them.
using LevelNumbers = std::array<std::array<int32_t, LEVEL_COLUMNS>, LEVEL_ROWS>;

// Writes a level file: its 90 numbers, one row of ten to a line, separated by
// single spaces; false if a write failed.
bool WriteLevelFile(FILE *file, const LevelNumbers &numbers);

// A typed level file name holds at most this many letters; ".trl" and the
// terminator follow in a buffer of LEVEL_NAME_BUFFER.
constexpr std::size_t LEVEL_NAME_ROOM = 95;
constexpr std::size_t LEVEL_NAME_BUFFER = 100;

// Names are typed in capitals; on a file system that tells case apart, the
// file a typed name ("MYLEVEL.trl") stands for when no file has exactly that
// name is the first name in byte order that matches it regardless of case.
// False when no name in the working directory matches.
bool FindLevelFile(const char *typed, char (&found)[LEVEL_NAME_BUFFER]);

// Loads "IntLvl01.trl" to "IntLvl05.trl" into the five slots and writes the
// load dump "ldlvldbg.txt". A file that is missing, or is not a regular file,
// ends the game with a message.
void LoadInternalLevels();

// Asks the player for a level file's name and loads it into slot 0. When it
// cannot be opened the player is told so and goes back to the main menu.
void LoadExternalLevel();
