// Fuzzes the saved-game file: any bytes must read without harm, whole
// records only, names always terminated; storing a game into any such file
// must change only its own record and leave every other one byte for byte.

#include <unistd.h>

#include <cctype>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

#include "records/saved_games.h"
#include "tests/fuzz/check.h"

namespace {

constexpr const char *SAVED = "plyrsettings.dat";

std::string ReadAll() {
    std::string bytes;
    FILE *file = std::fopen(SAVED, "rb");
    Check(file != nullptr);
    char buffer[4096];
    size_t got;
    while ((got = std::fread(buffer, 1, sizeof buffer, file)) > 0) {
        bytes.append(buffer, got);
    }
    std::fclose(file);
    return bytes;
}

// The name the game would find at record i: its bytes up to a zero, at most 31.
std::string NameAt(const uint8_t *data, size_t record) {
    const char *name = reinterpret_cast<const char *>(data + record * SAVED_GAME_BYTES);
    return std::string(name, strnlen(name, 31));
}

bool SameIgnoringCase(const std::string &a, const std::string &b) {
    if (a.size() != b.size()) {
        return false;
    }
    for (size_t i = 0; i < a.size(); ++i) {
        if (std::tolower(static_cast<unsigned char>(a[i])) !=
            std::tolower(static_cast<unsigned char>(b[i]))) {
            return false;
        }
    }
    return true;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size) {
    if (size == 0) {
        return 0;
    }
    // The first byte picks the name looked for: one of the file's own, or a new one.
    const size_t whole = (size - 1) / SAVED_GAME_BYTES;
    const uint8_t *file_bytes = data + 1;
    std::string wanted = "NEWPLAYER";
    if (whole > 0 && data[0] % 2 == 0) {
        wanted = NameAt(file_bytes, data[0] % whole);
    }

    FILE *file = fmemopen(const_cast<uint8_t *>(file_bytes), size - 1, "rb");
    Check(file != nullptr);
    GameSettingsRecord found;
    long records = -1;
    const long index = FindSavedGame(file, wanted.c_str(), found, records);
    std::fclose(file);
    long expected = -1;
    for (size_t i = 0; i < whole && expected < 0; ++i) {
        if (SameIgnoringCase(NameAt(file_bytes, i), wanted)) {
            expected = static_cast<long>(i);
        }
    }
    Check(index == expected);
    if (index >= 0) {
        Check(records == index + 1);
        Check(std::memchr(found.PlayerName, '\0', sizeof found.PlayerName) != nullptr);
        Check(NameAt(file_bytes, index) == found.PlayerName);
        Check(std::memcmp(&found.Difficulty, file_bytes + index * SAVED_GAME_BYTES + 32, 16) == 0);
    } else {
        Check(records == static_cast<long>(whole));
    }

    // Store a game under that name into the same bytes on disk.
    FILE *out = std::fopen(SAVED, "wb");
    Check(out != nullptr);
    Check(std::fwrite(file_bytes, 1, size - 1, out) == size - 1);
    std::fclose(out);
    GameSettingsRecord game = {};
    std::memcpy(game.PlayerName, wanted.c_str(), wanted.size() + 1);
    game.Difficulty = 2;
    game.Score = 12345;
    game.StartLevel = 3;
    Check(StoreSavedGame(game));
    const std::string after = ReadAll();
    const size_t at = static_cast<size_t>(index >= 0 ? index : whole) * SAVED_GAME_BYTES;
    // Everything before the stored record is untouched; a replaced record
    // keeps the rest of the file, a new one takes the place of a damaged tail.
    Check(after.compare(0, at, reinterpret_cast<const char *>(file_bytes), at) == 0);
    if (index >= 0) {
        Check(after.size() == size - 1);
        const size_t rest = at + SAVED_GAME_BYTES;
        Check(after.compare(rest, std::string::npos,
                            reinterpret_cast<const char *>(file_bytes) + rest,
                            size - 1 - rest) == 0);
    } else {
        Check(after.size() == (whole + 1) * SAVED_GAME_BYTES);
    }
    FILE *in = fmemopen(const_cast<char *>(after.data()), after.size(), "rb");
    GameSettingsRecord stored;
    long again_records;
    Check(FindSavedGame(in, wanted.c_str(), stored, again_records) ==
          (index >= 0 ? index : static_cast<long>(whole)));
    std::fclose(in);
    Check(stored.Score == 12345 && stored.StartLevel == 3 && stored.Difficulty == 2);
    unlink(SAVED);
    return 0;
}
