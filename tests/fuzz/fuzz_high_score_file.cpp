// Fuzzes the high-score files: any bytes read as whole 36-byte rows, names
// terminated, rows past them untouched; what is written reads back the same;
// a finished game's score keeps the table sorted.

#include "game/game_state.h"
#include "records/high_scores.h"
#include "tests/fuzz/fuzz.h"

constexpr HighScoreEntry UNTOUCHED = {"UNTOUCHED", -7};

// Reads a table from bytes over untouched rows, checking how many it read.
static HighScoreTable Read(const void *data, size_t size) {
    HighScoreTable table;
    table.fill(UNTOUCHED);
    Check(ReadHighScoreTable(MemoryFile(data, size), table) ==
          int(std::min<size_t>(size / 36, 10)));
    return table;
}

// Whether two tables hold the same names and scores.
static bool Same(const HighScoreTable &a, const HighScoreTable &b) {
    return std::equal(a.begin(), a.end(), b.begin(), [](auto &x, auto &y) {
        return std::strcmp(x.Name, y.Name) == 0 && x.Score == y.Score;
    });
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size) {
    const HighScoreTable read = Read(data, size);
    for (size_t row = 0; row < HIGH_SCORE_ROWS; ++row) {
        const char *name = reinterpret_cast<const char *>(data) + row * 36;
        Check(row < size / 36 ? strnlen(read[row].Name, 32) < 32 &&
                                    std::strncmp(read[row].Name, name, 31) == 0 &&
                                    std::memcmp(&read[row].Score, name + 32, 4) == 0
                              : std::memcmp(&read[row], &UNTOUCHED, sizeof UNTOUCHED) == 0);
    }
    static uint8_t written[361];  // a byte more, to see a longer write
    static FILE *const out = fmemopen(written, sizeof written, "wb");
    std::rewind(out);
    Check(WriteHighScoreTable(out, read) && std::fflush(out) == 0 && std::ftell(out) == 360);
    Check(Same(Read(written, 360), read));
    InternalHighScores = read;
    // A finished game's score, entered or not, leaves the table sorted.
    GameSettings = {};
    std::memcpy(&GameSettings.Score, data + size - std::min<size_t>(size, 4),
                std::min<size_t>(size, 4));
    IsHighScore();
    UpdateHighScores();
    Check(
        std::is_sorted(InternalHighScores.begin(), InternalHighScores.end(), [](auto &a, auto &b) {
            return a.Score > -32768 && a.Score > b.Score;  // the lowest scores are not sorted
        }));
    return 0;
}
