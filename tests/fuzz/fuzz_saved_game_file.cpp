// Fuzzes the saved-game file: any bytes read as whole 48-byte records, the
// one found is the first whose name matches (letter case aside) and holds
// that record's bytes; storing a game changes its own record only, every
// other byte of the file stays. Run from tmpfs (tests/fuzz/run): one input
// in sixteen is stored through the real file.

#include <strings.h>
#include <unistd.h>

#include <cstring>
#include <string>

#include "records/saved_games.h"
#include "tests/fuzz/check.h"

namespace {

constexpr size_t FIELDS_AT = 32;  // difficulty, score, game type, start level

// The name the game sees in record i: its bytes up to a zero, at most 31.
std::string NameAt(const std::string &file, size_t i) {
    return std::string(file.c_str() + i * SAVED_GAME_BYTES,
                       strnlen(file.c_str() + i * SAVED_GAME_BYTES, 31));
}

long Find(const std::string &bytes, const std::string &name, GameSettingsRecord &found, long &whole) {
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
    // The first byte picks the name looked for (one of the file's own, or a
    // new one) and whether the game is stored.
    const std::string bytes(reinterpret_cast<const char *>(data) + 1, size - 1);
    const size_t whole = bytes.size() / SAVED_GAME_BYTES;
    const std::string wanted = whole > 0 && data[0] % 2 ? NameAt(bytes, data[0] % whole) : "NEWPLAYER";
    GameSettingsRecord found;
    long records = 0;
    const long index = Find(bytes, wanted, found, records);
    for (long i = 0; i < (index < 0 ? static_cast<long>(whole) : index); ++i) {
        Check(strcasecmp(NameAt(bytes, i).c_str(), wanted.c_str()) != 0);
    }
    Check(records == (index < 0 ? static_cast<long>(whole) : index + 1));
    if (index >= 0) {
        const size_t at = index * SAVED_GAME_BYTES;
        Check(strcasecmp(found.PlayerName, wanted.c_str()) == 0 && NameAt(bytes, index) == found.PlayerName);
        Check(std::memcmp(&found.Difficulty, bytes.data() + at + FIELDS_AT, 16) == 0);
    }
    if (data[0] / 2 % 16 != 0) {
        return 0;
    }

    FILE *out = std::fopen("plyrsettings.dat", "wb");
    Check(out && std::fwrite(bytes.data(), 1, bytes.size(), out) == bytes.size() && std::fclose(out) == 0);
    GameSettingsRecord game = {{}, 2, 12345, 1, 3};
    std::memcpy(game.PlayerName, wanted.c_str(), wanted.size() + 1);
    Check(StoreSavedGame(game));
    std::string after(bytes.size() + SAVED_GAME_BYTES + 1, '\0');
    FILE *in = std::fopen("plyrsettings.dat", "rb");
    after.resize(std::fread(after.data(), 1, after.size(), in));
    std::fclose(in);
    unlink("plyrsettings.dat");
    // A replaced record keeps the rest of the file; a new one takes the
    // place of a damaged tail.
    const size_t at = (index >= 0 ? index : whole) * SAVED_GAME_BYTES;
    Check(after.size() == (index >= 0 ? bytes.size() : at + SAVED_GAME_BYTES));
    Check(after.compare(0, at, bytes, 0, at) == 0);
    Check(index < 0 || after.compare(at + SAVED_GAME_BYTES, std::string::npos, bytes, at + SAVED_GAME_BYTES) == 0);
    Check(Find(after, wanted, found, records) == static_cast<long>(at / SAVED_GAME_BYTES));
    Check(std::memcmp(&found.Difficulty, &game.Difficulty, 16) == 0);
    return 0;
}
