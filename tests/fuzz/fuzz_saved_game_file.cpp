// Fuzzes the saved-game file: any bytes read as whole 48-byte records; the
// one found is the first whose name matches, letter case aside, and holds
// that record's bytes; storing a game changes its own record only. Run from
// tmpfs (tests/fuzz/run): one input in sixteen is stored in the real file.

#include <strings.h>
#include <unistd.h>

#include <cstring>
#include <string>

#include "records/saved_games.h"
#include "tests/fuzz/check.h"

namespace {

// The name in record i as the game sees it: its bytes up to a zero, at most 31.
std::string NameAt(const std::string &file, size_t i) {
    return std::string(file.c_str() + i * SAVED_GAME_BYTES,
                       strnlen(file.c_str() + i * SAVED_GAME_BYTES, 31));
}

long Find(const std::string &bytes, const std::string &name, GameSettingsRecord &found,
          long &whole) {
    FILE *file = fmemopen(const_cast<char *>(bytes.data()), bytes.size(), "rb");
    const long index = file ? FindSavedGame(file, name.c_str(), found, whole) : -1;
    if (file) {
        std::fclose(file);
    }
    return index;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size) {
    if (size == 0) {
        return 0;
    }
    // The first byte picks the name looked for (a record's, or a new one) and whether to store.
    const std::string bytes(reinterpret_cast<const char *>(data) + 1, size - 1);
    const size_t whole = bytes.size() / SAVED_GAME_BYTES;
    const std::string name =
        whole > 0 && data[0] % 2 ? NameAt(bytes, data[0] % whole) : "NEWPLAYER";
    GameSettingsRecord found;
    long records = 0;
    const long index = Find(bytes, name, found, records);
    const size_t at = (index >= 0 ? index : whole) * SAVED_GAME_BYTES;
    Check(records == static_cast<long>(at / SAVED_GAME_BYTES) + (index >= 0));
    for (size_t i = 0; i < at / SAVED_GAME_BYTES; ++i) {
        Check(strcasecmp(NameAt(bytes, i).c_str(), name.c_str()) != 0);
    }
    Check(index < 0 || (NameAt(bytes, index) == found.PlayerName &&
                        strcasecmp(found.PlayerName, name.c_str()) == 0 &&
                        std::memcmp(&found.Difficulty, bytes.data() + at + 32, 16) == 0));
    if (data[0] / 2 % 16 != 0) {
        return 0;
    }

    FILE *file = std::fopen("plyrsettings.dat", "wb");
    Check(std::fwrite(bytes.data(), 1, bytes.size(), file) == bytes.size() &&
          std::fclose(file) == 0);
    GameSettingsRecord game = {{}, 2, 12345, 1, 3};
    std::memcpy(game.PlayerName, name.c_str(), name.size() + 1);
    Check(StoreSavedGame(game));
    std::string after(bytes.size() + SAVED_GAME_BYTES + 1, '\0');
    file = std::fopen("plyrsettings.dat", "rb");
    after.resize(std::fread(after.data(), 1, after.size(), file));
    std::fclose(file);
    unlink("plyrsettings.dat");
    // A new record takes the place of a damaged tail; a replaced one keeps the rest.
    const size_t end = at + SAVED_GAME_BYTES;
    Check(after.size() == (index >= 0 ? bytes.size() : end) &&
          after.compare(0, at, bytes, 0, at) == 0);
    Check(index < 0 || after.compare(end, std::string::npos, bytes, end) == 0);
    Check(Find(after, name, found, records) == static_cast<long>(at / SAVED_GAME_BYTES));
    Check(std::memcmp(&found.Difficulty, &game.Difficulty, 16) == 0);
    return 0;
}
