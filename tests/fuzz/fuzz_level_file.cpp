// Fuzzes the level-file reader: the numbers read are the C library's own
// strtoll of the bytes, clamped to 32 bits; they fill the first cells of one
// level and the others keep their values; the bricks stand where they stand
// for an empty file, and no other level changes.

#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "game/level_grid.h"
#include "tests/fuzz/check.h"

namespace {

// The game's two brick geometries at 640x480, so no display is needed.
constexpr BrickGeometry GEOMETRIES[] = {{59, 21, 4, 3}, {60, 24, 2, 1}};
constexpr int32_t MARK = 0x5a5a5a5a;  // every field of the grid before a read

int32_t Clamped(long long n) {
    return static_cast<int32_t>(n < INT32_MIN ? INT32_MIN : n > INT32_MAX ? INT32_MAX : n);
}

void ReadMarked(const char *data, size_t size, int level, const BrickGeometry &geometry) {
    std::memset(Level, 0x5a, sizeof Level);
    FILE *file = fmemopen(const_cast<char *>(data), size, "rb");
    ReadLevelFile(file, level, geometry);
    std::fclose(file);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size) {
    if (size == 0) {
        return 0;  // fmemopen refuses an empty buffer
    }
    const std::string text(reinterpret_cast<const char *>(data), size);
    std::vector<int32_t> numbers;
    FILE *file = fmemopen(const_cast<char *>(text.data()), size, "rb");
    int32_t value;
    char *end;
    for (const char *at = text.c_str();; at = end) {
        const long long number = std::strtoll(at, &end, 10);
        if (end == at) {
            break;
        }
        numbers.push_back(Clamped(number));
        Check(ReadLevelNumber(file, value) && value == numbers.back());
    }
    Check(!ReadLevelNumber(file, value));
    std::fclose(file);

    const int level = data[0] % LEVEL_COUNT, shape = data[0] / LEVEL_COUNT % 2;
    static Brick placed[2][LEVEL_ROWS][LEVEL_COLUMNS];  // as an empty file places them
    if (placed[shape][0][0].Width == 0) {
        ReadMarked("\n", 1, 0, GEOMETRIES[shape]);
        std::memcpy(placed[shape], Level[0], sizeof Level[0]);
    }
    static Brick marked[LEVEL_ROWS][LEVEL_COLUMNS];
    std::memset(marked, 0x5a, sizeof marked);
    ReadMarked(text.data(), size, level, GEOMETRIES[shape]);
    for (int other = 0; other < LEVEL_COUNT; ++other) {
        Check(other == level || std::memcmp(marked, Level[other], sizeof marked) == 0);
    }
    for (size_t cell = 0; cell < LEVEL_ROWS * LEVEL_COLUMNS; ++cell) {
        const Brick &brick = Level[level][cell / LEVEL_COLUMNS][cell % LEVEL_COLUMNS];
        const Brick &where = placed[shape][cell / LEVEL_COLUMNS][cell % LEVEL_COLUMNS];
        Check(brick.Value == (cell < numbers.size() ? numbers[cell] : MARK));
        Check(brick.Used == (brick.Value != 0) && brick.Spare == 0 && brick.X == where.X &&
              brick.Y == where.Y && brick.Width == where.Width && brick.Height == where.Height);
    }
    return 0;
}
