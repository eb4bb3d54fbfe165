// Fuzzes the level-file reader: the numbers read are the C library's strtol of the bytes, clamped
// to 32 bits; they fill the first cells of one level and the others keep their values; the bricks
// stand where they stand for an empty file, and no other level changes.

#include "game/level_grid.h"
#include "tests/fuzz/fuzz.h"

// The game's two brick geometries at 640x480, so no display is needed.
constexpr BrickGeometry GEOMETRIES[] = {{59, 21, 4, 3}, {60, 24, 2, 1}};
constexpr int CELLS = LEVEL_ROWS * LEVEL_COLUMNS;

// The checks are not traced for coverage (the reader's branches steer it) and
// allocate nothing: either would cost more than reading a character at a time.
extern "C" __attribute__((no_sanitize("coverage"))) int LLVMFuzzerTestOneInput(const uint8_t *data,
                                                                               size_t size) {
    static std::string text;
    text.assign(reinterpret_cast<const char *>(data), size);
    FILE *file = MemoryFile(data, size);
    int32_t numbers[CELLS + 1];  // the first ones, which fill the cells, and one for the rest
    size_t count = 0;
    int32_t value;
    char *end;
    for (const char *at = text.c_str();; at = end, ++count) {
        const long number = std::strtol(at, &end, 10);
        if (end == at) {
            break;
        }
        const int32_t clamped = std::clamp<long>(number, INT32_MIN, INT32_MAX);
        numbers[std::min<size_t>(count, CELLS)] = clamped;
        Check(ReadLevelNumber(file, value) && value == clamped);
    }
    Check(!ReadLevelNumber(file, value));

    const int level = size ? data[0] % LEVEL_COUNT : 0,
              shape = size ? data[0] / LEVEL_COUNT % 2 : 0;
    static Brick placed[2][CELLS];  // where an empty file places the bricks
    if (placed[shape][0].Width == 0) {
        ReadLevelFile(MemoryFile("", 0), 0, GEOMETRIES[shape]);
        std::memcpy(placed[shape], Level[0], sizeof Level[0]);
    }
    static const std::string MARKED(sizeof Level[0], '\x5a');  // 0x5a5a5a5a in every field
    std::memset(Level, 0x5a, sizeof Level);
    ReadLevelFile(MemoryFile(data, size), level, GEOMETRIES[shape]);
    for (int other = 0; other < LEVEL_COUNT; ++other) {
        Check(other == level || std::memcmp(Level[other], MARKED.data(), MARKED.size()) == 0);
    }
    for (int cell = 0; cell < CELLS; ++cell) {
        const Brick &brick = Level[level][cell / LEVEL_COLUMNS][cell % LEVEL_COLUMNS];
        const Brick &where = placed[shape][cell];
        Check(brick.Value == (size_t(cell) < count ? numbers[cell] : 0x5a5a5a5a));
        Check(brick.Used == (brick.Value != 0) && brick.Spare == 0 && brick.X == where.X &&
              brick.Y == where.Y && brick.Width == where.Width && brick.Height == where.Height);
    }
    return 0;
}
