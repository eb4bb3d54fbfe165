// Fuzzes the high-score files: any bytes read as whole 36-byte rows, names
// terminated, rows past them untouched; what is written reads back the same;
// a finished game's score keeps the table sorted. Run from tmpfs
// (tests/fuzz/run): one input in sixteen also goes through the real files.

#include <algorithm>
#include <cstring>

#include "game/game_state.h"
#include "records/high_scores.h"
#include "tests/fuzz/check.h"

namespace {

constexpr HighScoreEntry UNTOUCHED = {"UNTOUCHED", -7};

// Reads a table from bytes over untouched rows; checks how many it read.
HighScoreTable Read(const uint8_t *data, size_t size) {
    HighScoreTable table;
    table.fill(UNTOUCHED);
    FILE *file = fmemopen(const_cast<uint8_t *>(data), size, "rb");
    Check(ReadHighScoreTable(file, table) == static_cast<int>(std::min<size_t>(size / 36, 10)));
    std::fclose(file);
    return table;
}

bool Same(const HighScoreTable &a, const HighScoreTable &b) {
    return std::equal(a.begin(), a.end(), b.begin(),
                      [](const HighScoreEntry &x, const HighScoreEntry &y) {
                          return std::strcmp(x.Name, y.Name) == 0 && x.Score == y.Score;
                      });
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size) {
    if (size == 0) {
        return 0;  // fmemopen refuses an empty buffer
    }
    const HighScoreTable read = Read(data, size);
    for (size_t row = 0; row < HIGH_SCORE_ROWS; ++row) {
        const char *name = reinterpret_cast<const char *>(data) + row * 36;
        Check(row < size / 36
                  ? std::strncmp(read[row].Name, name, 31) == 0 &&
                        std::memcmp(&read[row].Score, name + 32, 4) == 0  // little-endian host
                  : std::memcmp(&read[row], &UNTOUCHED, sizeof UNTOUCHED) == 0);
    }
    static uint8_t written[361];  // a byte more, to see a longer write
    FILE *out = fmemopen(written, sizeof written, "wb");
    Check(WriteHighScoreTable(out, read) && std::ftell(out) == 360 && std::fclose(out) == 0);
    Check(Same(Read(written, 360), read));

    InternalHighScores = ExternalHighScores = read;
    if (data[0] % 16 == 0) {
        Check(StoreHighScores());
        InternalHighScores.fill(UNTOUCHED);
        ExternalHighScores.fill(UNTOUCHED);
        LoadHighScores();
        Check(Same(InternalHighScores, read) && Same(ExternalHighScores, read));
    }
    // A finished game's score, entered or not, leaves the table sorted.
    GameSettings = {};
    GameSettings.GameType = GAME_INTERNAL;
    std::memcpy(&GameSettings.Score, data + size - std::min<size_t>(size, 4),
                std::min<size_t>(size, 4));
    IsHighScore();
    UpdateHighScores();
    for (int row = 1; row < HIGH_SCORE_ROWS; ++row) {
        Check(InternalHighScores[row].Score <= -32768 ||
              InternalHighScores[row - 1].Score >= InternalHighScores[row].Score);
    }
    return 0;
}
