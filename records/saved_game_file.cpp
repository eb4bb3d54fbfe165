// The saved-game file "plyrsettings.dat": 48-byte records with no header, a
// 32-byte zero-terminated name then difficulty, score, game type and start
// level as 32-bit little-endian integers.

#include <strings.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>

#include "records/saved_games.h"
#include "shell/files.h"

namespace {

constexpr const char *SAVED_GAMES_FILE = "plyrsettings.dat";
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

// Writes one record at offset and flushes it to the disk.
bool WriteRecordAt(FILE *file, long offset, const GameSettingsRecord &record) {
    unsigned char bytes[SAVED_GAME_BYTES];
    EncodeSavedGame(record, bytes);
    return std::fseek(file, offset, SEEK_SET) == 0 &&
           std::fwrite(bytes, 1, sizeof bytes, file) == sizeof bytes && std::fflush(file) == 0 &&
           fsync(fileno(file)) == 0;
}

// The first save of all makes the file; a failed one leaves no file behind.
bool CreateWith(const GameSettingsRecord &record) {
    FileHandle file = OpenFile(SAVED_GAMES_FILE, "wb");
    if (!file) {
        return false;
    }
    if (!WriteRecordAt(file.get(), 0, record)) {
        file.reset();
        std::remove(SAVED_GAMES_FILE);
        return false;
    }
    return true;
}

}  // namespace

bool ReadSavedGame(FILE *file, GameSettingsRecord &record) {
    unsigned char bytes[SAVED_GAME_BYTES];
    if (std::fread(bytes, 1, sizeof bytes, file) != sizeof bytes) {
        return false;
    }
    std::memcpy(record.PlayerName, bytes, NAME_BYTES);
    record.PlayerName[NAME_BYTES - 1] = '\0';
    record.Difficulty = ReadInt(bytes + 32);
    record.Score = ReadInt(bytes + 36);
    record.GameType = ReadInt(bytes + 40);
    record.StartLevel = ReadInt(bytes + 44);
    return true;
}

long FindSavedGame(FILE *file, const char *name, GameSettingsRecord &found, long &whole_records) {
    whole_records = 0;
    GameSettingsRecord record;
    while (ReadSavedGame(file, record)) {
        if (strcasecmp(record.PlayerName, name) == 0) {
            found = record;
            return whole_records++;
        }
        ++whole_records;
    }
    return -1;
}

bool StoreSavedGame(const GameSettingsRecord &record) {
    long index, whole_records;
    {
        FileHandle existing = OpenFile(SAVED_GAMES_FILE, "rb");
        if (!existing) {
            // Only a file that is really not there is made afresh; one that
            // cannot be read is never emptied.
            return errno == ENOENT && CreateWith(record);
        }
        GameSettingsRecord found;
        index = FindSavedGame(existing.get(), record.PlayerName, found, whole_records);
    }
    FileHandle file = OpenFile(SAVED_GAMES_FILE, "r+b");
    if (!file) {
        return false;
    }
    if (index >= 0) {
        return WriteRecordAt(file.get(), index * static_cast<long>(SAVED_GAME_BYTES), record);
    }
    // A new name goes after the last whole record, in place of any damaged tail.
    const long end = whole_records * static_cast<long>(SAVED_GAME_BYTES);
    if (WriteRecordAt(file.get(), end, record)) {
        return true;
    }
    // Whatever part of the new record reached the disk is taken off again.
    std::fflush(file.get());
    const int ignored = ftruncate(fileno(file.get()), end);
    static_cast<void>(ignored);
    return false;
}
