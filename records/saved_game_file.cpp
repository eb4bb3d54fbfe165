// The saved-game file "plyrsettings.dat": 48-byte records with no header, a
// 32-byte zero-terminated name then difficulty, score, game type and start
// level as 32-bit little-endian integers.

#include <strings.h>

#include <cerrno>
#include <cstring>

#include "records/saved_games.h"
#include "shell/files.h"

namespace {

constexpr std::size_t NAME_BYTES = 32;

int32_t ReadInt(const unsigned char *bytes) {
    uint32_t value = 0;
    for (int i = 3; i >= 0; --i) {
        value = (value << 8) | bytes[i];
    }
    return static_cast<int32_t>(value);
}

void WriteInt(int32_t value, unsigned char *bytes) {
    for (int i = 0; i < 4; ++i) {
        bytes[i] = static_cast<unsigned char>(static_cast<uint32_t>(value) >> (8 * i));
    }
}

void EncodeSavedGame(const GameSettingsRecord &record, unsigned char *bytes) {
    std::memset(bytes, 0, NAME_BYTES);
    std::memcpy(bytes, record.PlayerName, strnlen(record.PlayerName, NAME_BYTES - 1));
    WriteInt(record.Difficulty, bytes + 32);
    WriteInt(record.Score, bytes + 36);
    WriteInt(record.GameType, bytes + 40);
    WriteInt(record.StartLevel, bytes + 44);
}

void DecodeSavedGame(const unsigned char *bytes, GameSettingsRecord &record) {
    std::memcpy(record.PlayerName, bytes, NAME_BYTES);
    record.PlayerName[NAME_BYTES - 1] = '\0';
    record.Difficulty = ReadInt(bytes + 32);
    record.Score = ReadInt(bytes + 36);
    record.GameType = ReadInt(bytes + 40);
    record.StartLevel = ReadInt(bytes + 44);
}

// Copies the saved games of from (none when it is null) to to, with record
// in place of the first one saved under its name, else after the last whole
// record. Every other record is copied byte for byte; a damaged tail stays
// behind a replaced record, so the length is kept, and gives way to an
// appended one.
bool CopyWithRecord(FILE *from, FILE *to, const GameSettingsRecord &record) {
    unsigned char bytes[SAVED_GAME_BYTES];
    std::size_t read = 0;
    bool stored = false;
    while (from && (read = std::fread(bytes, 1, sizeof bytes, from)) == sizeof bytes) {
        GameSettingsRecord saved;
        DecodeSavedGame(bytes, saved);
        if (!stored && strcasecmp(saved.PlayerName, record.PlayerName) == 0) {
            EncodeSavedGame(record, bytes);
            stored = true;
        }
        if (std::fwrite(bytes, 1, sizeof bytes, to) != sizeof bytes) {
            return false;
        }
    }
    if (from && std::ferror(from)) {
        return false;
    }
    if (stored) {
        return std::fwrite(bytes, 1, read, to) == read;
    }
    EncodeSavedGame(record, bytes);
    return std::fwrite(bytes, 1, sizeof bytes, to) == sizeof bytes;
}

// Writes the new file aside and renames it over the old one, which is only
// read, and closed first (Windows moves nothing over an open file); a file
// that is there but cannot be read is never replaced.
bool ReplaceSavedGames(const char *target, const GameSettingsRecord &record) {
    FileHandle existing = OpenRegularFile(target, "rb");
    if (!existing && errno != ENOENT) {
        return false;
    }
    Replacement replacement;
    if (!BeginReplacement(target, replacement) ||
        !CopyWithRecord(existing.get(), replacement.File.get(), record)) {
        return false;
    }
    existing.reset();
    return FinishReplacement(replacement) && CommitReplacement(replacement);
}

// Reads the next whole record; false at the end of the file, where a
// trailing partial record is ignored. A name with no zero is cut to 31 letters.
bool ReadSavedGame(FILE *file, GameSettingsRecord &record) {
    unsigned char bytes[SAVED_GAME_BYTES];
    if (std::fread(bytes, 1, sizeof bytes, file) != sizeof bytes) {
        return false;
    }
    DecodeSavedGame(bytes, record);
    return true;
}

}  // namespace

bool FindSavedGame(FILE *file, const char *name, GameSettingsRecord &found) {
    GameSettingsRecord record;
    while (ReadSavedGame(file, record)) {
        if (strcasecmp(record.PlayerName, name) == 0) {
            found = record;
            return true;
        }
    }
    return false;
}

bool StoreSavedGame(const GameSettingsRecord &record) {
    // Another copy of the game saving at the same moment waits for this one
    // to finish, so neither loses the other's record.
    const RecordsLock lock{};
    return lock.Resolved && lock.Held() && ReplaceSavedGames(lock.Target, record);
}
