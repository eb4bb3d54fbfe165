// The high-score files "IntHiScores.dat" and "ExtHiScores.dat": ten records of
// a 32-byte zero-terminated name and a 32-bit little-endian score, no header.

#include <cerrno>
#include <cstring>

#include "game/game_state.h"
#include "records/high_scores.h"
#include "records/saved_games.h"
#include "shell/debug_log.h"
#include "shell/files.h"
#include "shell/startup.h"

namespace {

constexpr const char *INTERNAL_FILE = "IntHiScores.dat";
constexpr const char *EXTERNAL_FILE = "ExtHiScores.dat";
constexpr std::size_t NAME_BYTES = 32;
constexpr std::size_t RECORD_BYTES = 36;

// The row a table gets when its file is missing.
constexpr HighScoreEntry DEFAULT_ROW = {"Sample Player", 1};

void DecodeRecord(const unsigned char *bytes, HighScoreEntry &row) {
    std::memcpy(row.Name, bytes, NAME_BYTES);
    row.Name[NAME_BYTES - 1] = '\0';  // a name without its zero is cut to 31 letters
    uint32_t score = 0;
    for (int i = 3; i >= 0; --i) {
        score = (score << 8) | bytes[NAME_BYTES + i];
    }
    row.Score = static_cast<int32_t>(score);
}

void EncodeRecord(const HighScoreEntry &row, unsigned char *bytes) {
    std::memset(bytes, 0, NAME_BYTES);
    std::memcpy(bytes, row.Name, strnlen(row.Name, NAME_BYTES - 1));
    uint32_t score = static_cast<uint32_t>(row.Score);
    for (std::size_t i = 0; i < 4; ++i) {
        bytes[NAME_BYTES + i] = static_cast<unsigned char>(score >> (8 * i));
    }
}

// A table's file, and the scores entered in its table that the file has not
// taken yet (a save that failed): every store enters them again into the
// table as it then stands on disk. Only the best ten can still belong there.
struct TableFile {
    const char *Path;
    HighScoreTable &Rows;
    HighScoreEntry Unsaved[HIGH_SCORE_ROWS];
    int UnsavedCount;
};

TableFile Files[] = {{INTERNAL_FILE, InternalHighScores, {}, {}},
                     {EXTERNAL_FILE, ExternalHighScores, {}, {}}};

TableFile &FileOf(const HighScoreTable &table) {
    return &table == &InternalHighScores ? Files[0] : Files[1];
}

// Fills a table from its file, or with defaults when the file cannot be read;
// false when a file is there but could not be read.
bool LoadTable(const char *path, HighScoreTable &table) {
    FileHandle file = OpenRegularFile(path, "rb");
    if (!file) {
        table.fill(DEFAULT_ROW);
        return errno == ENOENT;
    }
    ReadHighScoreTable(file.get(), table);
    if (std::ferror(file.get())) {
        table.fill(DEFAULT_ROW);
        return false;
    }
    return true;
}

// Keeps a score its file has not taken; with ten kept, it takes the lowest's place if higher.
void KeepUnsaved(TableFile &file, const HighScoreEntry &row) {
    HighScoreEntry *slot = &file.Unsaved[file.UnsavedCount];
    if (file.UnsavedCount == HIGH_SCORE_ROWS) {
        slot = &file.Unsaved[0];
        for (HighScoreEntry &kept : file.Unsaved) {
            slot = kept.Score < slot->Score ? &kept : slot;
        }
        if (row.Score <= slot->Score) {
            return;
        }
    } else {
        ++file.UnsavedCount;
    }
    *slot = row;
}

// Makes the table the one on disk now, as start-up reads it, with the scores
// not saved yet entered again; false, the table left as it was, when the
// file is there but cannot be read.
bool ReadAfresh(TableFile &file) {
    HighScoreTable fresh = {};
    if (!LoadTable(file.Path, fresh)) {
        return false;
    }
    for (int i = 0; i < file.UnsavedCount; ++i) {
        EnterScore(fresh, file.Unsaved[i]);
    }
    file.Rows = fresh;
    return true;
}

// Writes a table to a stand-in and renames it over its file, so a failure
// never leaves the table emptied; false if the file was not replaced. A
// stand-in left by a failure goes with it.
bool WriteTable(TableFile &file) {
    Replacement replacement;
    if (!BeginReplacement(file.Path, replacement) ||
        !WriteHighScoreTable(replacement.File.get(), file.Rows) ||
        !FinishReplacement(replacement) || !CommitReplacement(replacement)) {
        return false;
    }
    file.UnsavedCount = 0;
    return true;
}

// Tells the player which files could not be saved and ends the game.
[[noreturn]] void FailSave(bool internal_failed, bool external_failed) {
    if (internal_failed && external_failed) {
        ShowMessage("Unable to find IntHiScores.dat or ExtHiScores.dat to save to!");
    } else if (internal_failed) {
        ShowMessage("Unable to find IntHiScores.dat to save to!");
    } else {
        ShowMessage("Unable to find ExtHiScores.dat to save to!");
    }
    ExitGame(1);
}

}  // namespace

int ReadHighScoreTable(FILE *file, HighScoreTable &table) {
    int rows = 0;
    unsigned char bytes[RECORD_BYTES];
    // A trailing partial record is ignored: its row keeps what it held.
    while (rows < HIGH_SCORE_ROWS && std::fread(bytes, 1, RECORD_BYTES, file) == RECORD_BYTES) {
        DecodeRecord(bytes, table[rows]);
        ++rows;
    }
    return rows;
}

bool WriteHighScoreTable(FILE *file, const HighScoreTable &table) {
    unsigned char bytes[RECORD_BYTES];
    for (const HighScoreEntry &row : table) {
        EncodeRecord(row, bytes);
        if (std::fwrite(bytes, 1, RECORD_BYTES, file) != RECORD_BYTES) {
            return false;
        }
    }
    return true;
}

void LoadHighScores() {
    for (TableFile &file : Files) {
        LoadTable(file.Path, file.Rows);
        file.UnsavedCount = 0;
    }
}

bool EnterNewHighScore(const char *&unsaved) {
    TableFile &file = FileOf(CurrentTable());
    const RecordsLock lock{};
    const bool fresh = lock.Held() && ReadAfresh(file);
    LogLine("Calling IsHighScore() now...\n");
    if (!IsHighScore()) {
        return false;
    }
    KeepUnsaved(file, file.Rows[HIGH_SCORE_ROWS - 1]);  // the new row, before the sort moves it
    LogLine("IsHighScore() returned TRUE. Calling UpdateHighScores()...\n");
    UpdateHighScores();
    unsaved = fresh && WriteTable(file) ? nullptr : file.Path;
    return true;
}

namespace {

// Stores each table on its own: one that cannot be read or written never
// keeps the other from being saved. True when both files were replaced;
// else says which failed.
bool StoreTables(bool &internal_failed, bool &external_failed) {
    const RecordsLock lock{};
    bool failed[2];
    for (int i = 0; i < 2; ++i) {
        failed[i] = !lock.Held() || !ReadAfresh(Files[i]) || !WriteTable(Files[i]);
    }
    internal_failed = failed[0], external_failed = failed[1];
    return !internal_failed && !external_failed;
}

}  // namespace

void SaveHighScores() {
    bool internal_failed, external_failed;
    if (!StoreTables(internal_failed, external_failed)) {
        FailSave(internal_failed, external_failed);
    }
}

bool StoreHighScores() {
    bool internal_failed, external_failed;
    return StoreTables(internal_failed, external_failed);
}
