// Fuzzes the high-score file reader: any bytes must load without harm, keep
// every name terminated, sort inside the table and write back what was read.

#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "game/game_state.h"
#include "records/high_scores.h"
#include "tests/fuzz/check.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size) {
    InternalHighScores = {};
    FILE *file = fmemopen(const_cast<uint8_t *>(data), size, "rb");
    if (!file) {
        return 0;
    }
    int rows = ReadHighScoreTable(file, InternalHighScores);
    std::fclose(file);
    Check(rows == static_cast<int>(size / 36 < 10 ? size / 36 : 10));
    for (const HighScoreEntry &row : InternalHighScores) {
        Check(std::memchr(row.Name, '\0', sizeof row.Name) != nullptr);
    }

    // What was read is written back as the same rows.
    char *written = nullptr;
    size_t written_size = 0;
    FILE *out = open_memstream(&written, &written_size);
    Check(out != nullptr && WriteHighScoreTable(out, InternalHighScores));
    std::fclose(out);
    Check(written_size == 360);
    HighScoreTable again = {};
    FILE *in = fmemopen(written, written_size, "rb");
    Check(ReadHighScoreTable(in, again) == 10);
    std::fclose(in);
    std::free(written);
    for (int i = 0; i < HIGH_SCORE_ROWS; ++i) {
        Check(std::strcmp(again[i].Name, InternalHighScores[i].Name) == 0);
        Check(again[i].Score == InternalHighScores[i].Score);
    }

    // A finished game's score enters and the table is sorted, all inside the table.
    GameSettings = {};
    GameSettings.GameType = GAME_INTERNAL;
    std::strcpy(GameSettings.PlayerName, "FUZZ");
    GameSettings.Score = size >= 4 ? static_cast<int32_t>(data[0] | data[1] << 8 | data[2] << 16 |
                                                          static_cast<uint32_t>(data[3]) << 24)
                                   : 0;
    IsHighScore();
    UpdateHighScores();  // sorts whatever the file held, entered or not
    for (int i = 1; i < HIGH_SCORE_ROWS; ++i) {
        const HighScoreEntry &above = InternalHighScores[i - 1];
        const HighScoreEntry &row = InternalHighScores[i];
        Check(row.Score <= -32768 || above.Score >= row.Score);
    }
    return 0;
}
