// The high-score files "IntHiScores.dat" and "ExtHiScores.dat": ten records of
// a 32-byte zero-terminated name and a 32-bit little-endian score, no header.

#include <cerrno>
#include <cstring>

#include "game/game_state.h"
#include "records/high_scores.h"
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

// Whether each file was there at start-up but could not be read. Such a file
// is never replaced: whatever table it still holds is not lost to defaults.
bool InternalUnreadable = false;
bool ExternalUnreadable = false;

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

// Writes a table to a stand-in and renames it over its file, so a failure
// never leaves the table emptied; false if the file was not replaced, as one
// that could not be read never is. A stand-in left by a failure goes with it.
bool ReplaceTable(bool unreadable, const char *path, const HighScoreTable &table) {
    Replacement replacement;
    return !unreadable && BeginReplacement(path, replacement) &&
           WriteHighScoreTable(replacement.File.get(), table) && FinishReplacement(replacement) &&
           CommitReplacement(replacement);
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
    InternalUnreadable = !LoadTable(INTERNAL_FILE, InternalHighScores);
    ExternalUnreadable = !LoadTable(EXTERNAL_FILE, ExternalHighScores);
}

namespace {

// Replaces each table's file on its own: one that cannot be read or written
// never keeps the other table from being saved. True when both files were
// replaced; else says which failed.
bool ReplaceHighScoreFiles(bool &internal_failed, bool &external_failed) {
    internal_failed = !ReplaceTable(InternalUnreadable, INTERNAL_FILE, InternalHighScores);
    external_failed = !ReplaceTable(ExternalUnreadable, EXTERNAL_FILE, ExternalHighScores);
    return !internal_failed && !external_failed;
}

}  // namespace

void SaveHighScores() {
    bool internal_failed, external_failed;
    if (!ReplaceHighScoreFiles(internal_failed, external_failed)) {
        FailSave(internal_failed, external_failed);
    }
}

bool StoreHighScores() {
    bool internal_failed, external_failed;
    return ReplaceHighScoreFiles(internal_failed, external_failed);
}

const char *StoreNewHighScore() {
    bool internal_failed, external_failed;
    ReplaceHighScoreFiles(internal_failed, external_failed);
    if (InternalGame()) {
        return internal_failed ? INTERNAL_FILE : nullptr;
    }
    return external_failed ? EXTERNAL_FILE : nullptr;
}
