// The level file: 90 decimal numbers, row 0 columns 0 to 9 first, separated
// by any white space; 0 is an empty cell and any other number a brick.

#include <allegro.h>

#include <cctype>
#include <climits>

#include "game/level_grid.h"
#include "shell/screen.h"

Brick Level[LEVEL_COUNT][LEVEL_ROWS][LEVEL_COLUMNS];

namespace {

void SkipSpace(FILE *file) {
    int c;
    while ((c = std::getc(file)) != EOF && std::isspace(c)) {
    }
    if (c != EOF) {
        std::ungetc(c, file);
    }
}

}  // namespace

BrickGeometry InternalGeometry() {
    return {(PICTURE_W - 4) / 10 - BRICK_GAP_X, ((PICTURE_H - 52) / 2) / 9 - BRICK_GAP_Y, 4, 3};
}

BrickGeometry ExternalGeometry() {
    return {PICTURE_W / 10 - BRICK_GAP_X, (PICTURE_H / 2) / 9 - BRICK_GAP_Y, 2, 1};
}

bool ReadLevelNumber(FILE *file, int32_t &value) {
    SkipSpace(file);
    int c = std::getc(file);
    bool negative = false;
    if (c == '+' || c == '-') {
        negative = c == '-';
        c = std::getc(file);
    }
    if (c == EOF || !std::isdigit(c)) {
        // Not a number. What follows a lone sign stays unread; the level reader
        // stops at the first failure either way.
        if (c != EOF) {
            std::ungetc(c, file);
        }
        return false;
    }
    // Past the 32-bit range more digits only matter to the clamp.
    int64_t magnitude = 0;
    for (; c != EOF && std::isdigit(c); c = std::getc(file)) {
        if (magnitude <= int64_t{INT32_MAX} + 1) {
            magnitude = magnitude * 10 + (c - '0');
        }
    }
    if (c != EOF) {
        std::ungetc(c, file);
    }
    int64_t number = negative ? -magnitude : magnitude;
    if (number > INT32_MAX) {
        number = INT32_MAX;
    } else if (number < INT32_MIN) {
        number = INT32_MIN;
    }
    value = static_cast<int32_t>(number);
    SkipSpace(file);
    return true;
}

int ReadLevelFile(FILE *file, int level, const BrickGeometry &geometry) {
    int read = 0;
    for (int row = 0; row < LEVEL_ROWS; ++row) {
        for (int col = 0; col < LEVEL_COLUMNS; ++col) {
            int32_t value = Level[level][row][col].Value;
            if (read == row * LEVEL_COLUMNS + col && ReadLevelNumber(file, value)) {
                ++read;
            }
            PlaceLevelCell(level, row, col, value, geometry);
        }
    }
    return read;
}

void PlaceLevelCell(int level, int row, int col, int32_t value, const BrickGeometry &geometry) {
    Brick &brick = Level[level][row][col];
    brick.Value = value;
    brick.Spare = 0;
    brick.Used = value != 0 ? 1 : 0;
    brick.X = col * (geometry.Width + BRICK_GAP_X) + geometry.OffsetX;
    brick.Y = row * (geometry.Height + BRICK_GAP_Y) + geometry.OffsetY;
    brick.Width = geometry.Width;
    brick.Height = geometry.Height;
}

bool WriteLevelFile(FILE *file, const LevelNumbers &numbers) {
    for (const auto &row : numbers) {
        // Ten numbers of at most 11 characters, their spaces and the line's end.
        char line[LEVEL_COLUMNS * 12 + 1];
        std::size_t length = 0;
        for (int col = 0; col < LEVEL_COLUMNS; ++col) {
            length += static_cast<std::size_t>(std::snprintf(line + length, sizeof line - length,
                                                             "%d%c", row[col],
                                                             col + 1 < LEVEL_COLUMNS ? ' ' : '\n'));
        }
        if (std::fwrite(line, 1, length, file) != length) {
            return false;
        }
    }
    return true;
}
