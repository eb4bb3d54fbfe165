// Fuzzes the level-file reader: any bytes must fill one slot of the grid with
// exactly the numbers a plain scan of the bytes finds, clamped to 32 bits,
// leave the cells past the last number as they were and touch no other slot.

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <vector>

#include "game/level_grid.h"
#include "tests/fuzz/check.h"

namespace {

// Bricks stand this far apart: 4 pixels across, 2 down.
constexpr int32_t GAP_X = 4;
constexpr int32_t GAP_Y = 2;
// Both geometries the game uses at 640x480, given as literals so no display is needed.
constexpr BrickGeometry GEOMETRIES[] = {{59, 21, 4, 3}, {60, 24, 2, 1}};
// What the grid holds before a read: a mark in every field the reader must set.
constexpr int8_t STALE_USED = 7;
constexpr int32_t STALE_FIELD = -12345;

// White space and digits as the C locale sees them.
bool IsSpace(uint8_t c) {
    return c == ' ' || (c >= '\t' && c <= '\r');
}
bool IsDigit(uint8_t c) {
    return c >= '0' && c <= '9';
}

// Every number at the head of the bytes, as scanf's "%d" would read them one
// after another, each clamped to the 32-bit range.
std::vector<int32_t> ScanNumbers(const uint8_t *data, size_t size) {
    constexpr uint64_t BEYOND = uint64_t{1} << 32;  // past either end of the range
    std::vector<int32_t> numbers;
    size_t i = 0;
    for (;;) {
        while (i < size && IsSpace(data[i])) {
            ++i;
        }
        bool negative = false;
        if (i < size && (data[i] == '+' || data[i] == '-')) {
            negative = data[i] == '-';
            ++i;
        }
        if (i == size || !IsDigit(data[i])) {
            return numbers;
        }
        uint64_t magnitude = 0;
        for (; i < size && IsDigit(data[i]); ++i) {
            magnitude = magnitude * 10 + (data[i] - '0');
            if (magnitude > BEYOND) {
                magnitude = BEYOND;
            }
        }
        int64_t number = static_cast<int64_t>(magnitude);
        if (negative) {
            number = -number;
        }
        if (number > INT32_MAX) {
            number = INT32_MAX;
        } else if (number < INT32_MIN) {
            number = INT32_MIN;
        }
        numbers.push_back(static_cast<int32_t>(number));
    }
}

// The value a cell holds before the read: distinct per cell, every third one empty.
int32_t StaleValue(int cell) {
    return cell % 3 == 0 ? 0 : 0x5EED0000 + cell;
}

void FillStale() {
    for (auto &level : Level) {
        int cell = 0;
        for (auto &row : level) {
            for (Brick &brick : row) {
                brick = {STALE_USED,  STALE_FIELD, StaleValue(cell++), STALE_FIELD,
                         STALE_FIELD, STALE_FIELD, STALE_FIELD};
            }
        }
    }
}

// Reads numbers one at a time until the reader says there are no more.
void CheckNumberReader(const uint8_t *data, size_t size, const std::vector<int32_t> &expected) {
    FILE *file = fmemopen(const_cast<uint8_t *>(data), size, "rb");
    if (!file) {
        return;
    }
    size_t count = 0;
    int32_t value = STALE_FIELD;
    while (ReadLevelNumber(file, value)) {
        Check(count < expected.size());
        Check(value == expected[count]);
        ++count;
        value = STALE_FIELD;
    }
    std::fclose(file);
    Check(count == expected.size());
    Check(value == STALE_FIELD);  // a failed read leaves the value alone
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size) {
    const std::vector<int32_t> numbers = ScanNumbers(data, size);
    CheckNumberReader(data, size, numbers);

    // The slot and the geometry follow the input's length, so every byte is the file's.
    const int slot = static_cast<int>(size % LEVEL_COUNT);
    const BrickGeometry &geometry = GEOMETRIES[(size / LEVEL_COUNT) % 2];
    FillStale();
    static Brick before[LEVEL_COUNT][LEVEL_ROWS][LEVEL_COLUMNS];
    std::memcpy(before, Level, sizeof Level);
    FILE *file = fmemopen(const_cast<uint8_t *>(data), size, "rb");
    if (!file) {
        return 0;
    }
    ReadLevelFile(file, slot, geometry);
    std::fclose(file);

    for (int level = 0; level < LEVEL_COUNT; ++level) {
        if (level != slot) {
            Check(std::memcmp(before[level], Level[level], sizeof Level[level]) == 0);
        }
    }
    for (int row = 0; row < LEVEL_ROWS; ++row) {
        for (int col = 0; col < LEVEL_COLUMNS; ++col) {
            const int cell = row * LEVEL_COLUMNS + col;
            const Brick &brick = Level[slot][row][col];
            const size_t index = static_cast<size_t>(cell);
            Check(brick.Value == (index < numbers.size() ? numbers[index] : StaleValue(cell)));
            Check(brick.Used == (brick.Value != 0 ? 1 : 0));
            Check(brick.Spare == 0);
            Check(brick.X == col * (geometry.Width + GAP_X) + geometry.OffsetX);
            Check(brick.Y == row * (geometry.Height + GAP_Y) + geometry.OffsetY);
            Check(brick.Width == geometry.Width);
            Check(brick.Height == geometry.Height);
        }
    }
    return 0;
}
