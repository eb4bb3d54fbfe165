// Fuzzes the saved-game file: any bytes read as whole 48-byte records; the one found is the first
// whose name matches, letter case aside, and holds that record's bytes.

#include <strings.h>

#include <array>

#include "records/saved_games.h"
#include "tests/fuzz/fuzz.h"

// The name in record i as the game sees it: its bytes up to a zero, at most 31.
static std::array<char, 32> NameAt(const uint8_t *records, size_t i) {
    std::array<char, 32> name{};
    std::memcpy(name.data(), records + i * SAVED_GAME_BYTES, 31);
    return name;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size) {
    // The first byte picks the name looked for: a record's, or a new one.
    const uint8_t *bytes = data + 1;
    const size_t length = std::max<size_t>(size, 1) - 1, whole = length / SAVED_GAME_BYTES;
    const auto name = whole > 0 && data[0] % 2 ? NameAt(bytes, data[0] % whole)
                                               : std::array<char, 32>{"NEWPLAYER"};
    GameSettingsRecord found;
    long index = -1;  // the first record under that name, by the C library's own comparison
    for (size_t i = 0; i < whole && index < 0; ++i) {
        index = strcasecmp(NameAt(bytes, i).data(), name.data()) == 0 ? long(i) : -1;
    }
    Check(FindSavedGame(MemoryFile(bytes, length), name.data(), found) == (index >= 0));
    Check(index < 0 ||
          (std::strcmp(NameAt(bytes, index).data(), found.PlayerName) == 0 &&
           std::memcmp(&found.Difficulty, bytes + index * SAVED_GAME_BYTES + 32, 16) == 0));
    return 0;
}
