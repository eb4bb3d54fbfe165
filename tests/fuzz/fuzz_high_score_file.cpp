// Fuzzes the high-score files: any bytes load as whole 36-byte rows, names
// terminated, rows past them untouched; the tables written back read again
// as they were; a finished game's score keeps the table sorted. Run from
// tmpfs (tests/fuzz/run): one input in sixteen goes through the real files.

#include <algorithm>
#include <cstring>

#include "game/game_state.h"
#include "records/high_scores.h"
#include "tests/fuzz/check.h"

namespace {

constexpr HighScoreEntry UNTOUCHED = {"UNTOUCHED", -7};

// Both tables from bytes: through their files, or through memory.
void Load(const uint8_t *data, size_t size, bool files) {
    InternalHighScores.fill(UNTOUCHED);
    ExternalHighScores.fill(UNTOUCHED);
    for (const char *name : {"IntHiScores.dat", "ExtHiScores.dat"}) {
        FILE *file = files ? std::fopen(name, "wb") : nullptr;
        Check(!files || (std::fwrite(data, 1, size, file) == size && std::fclose(file) == 0));
    }
    if (files) {
        return LoadHighScores();
    }
    FILE *file = fmemopen(const_cast<uint8_t *>(data), size, "rb");
    Check(ReadHighScoreTable(file, InternalHighScores) ==
          static_cast<int>(std::min<size_t>(size / 36, 10)));
    std::fclose(file);
    ExternalHighScores = InternalHighScores;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size) {
    if (size == 0) {
        return 0;  // fmemopen refuses an empty buffer
    }
    const bool files = data[0] % 16 == 0;
    Load(data, size, files);
    for (size_t row = 0; row < HIGH_SCORE_ROWS; ++row) {
        const HighScoreEntry &entry = InternalHighScores[row], &file = ExternalHighScores[row];
        Check(std::strcmp(entry.Name, file.Name) == 0 && entry.Score == file.Score);
        Check(row < size / 36
                  ? std::strncmp(entry.Name, reinterpret_cast<const char *>(data) + row * 36, 31) ==
                            0 &&
                        std::memcmp(&entry.Score, data + row * 36 + 32, 4) ==
                            0  // little-endian host
                  : std::memcmp(&entry, &UNTOUCHED, sizeof entry) == 0);
    }

    const HighScoreTable loaded = InternalHighScores;
    static uint8_t written[361];  // one byte more, to see a longer write
    FILE *out = files ? nullptr : fmemopen(written, sizeof written, "wb");
    Check(files ? StoreHighScores() : WriteHighScoreTable(out, loaded) && std::ftell(out) == 360);
    if (out) {
        std::fclose(out);
    }
    InternalHighScores.fill(UNTOUCHED);
    files ? LoadHighScores() : Load(written, 360, false);
    for (size_t row = 0; row < HIGH_SCORE_ROWS; ++row) {
        Check(std::strcmp(InternalHighScores[row].Name, loaded[row].Name) == 0 &&
              InternalHighScores[row].Score == loaded[row].Score);
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
