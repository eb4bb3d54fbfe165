// The high-score files "IntHiScores.dat" and "ExtHiScores.dat": ten records of
// a 32-byte zero-terminated name and a 32-bit little-endian score, no header.

#include <cstring>

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

// Fills a table from its file, or with defaults when the file cannot be opened.
void LoadTable(const char *path, HighScoreTable &table) {
    FileHandle file = OpenFile(path, "rb");
    if (!file) {
        table.fill(DEFAULT_ROW);
        return;
    }
    ReadHighScoreTable(file.get(), table);
}

// Writes a table into the stand-in of its file; false if anything failed.
bool WriteTable(FileHandle file, const HighScoreTable &table) {
    bool written = WriteHighScoreTable(file.get(), table);
    return FinishReplacement(std::move(file)) && written;
}

// Gives up saving: no file is replaced, the player is told which one failed.
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
    LoadTable(INTERNAL_FILE, InternalHighScores);
    LoadTable(EXTERNAL_FILE, ExternalHighScores);
}

namespace {

// Writes both tables to stand-ins and, only when both are safely on disk,
// renames them over the old files, so a failure never leaves a table
// emptied. True when both files were replaced; else says which failed.
bool ReplaceHighScoreFiles(bool &internal_failed, bool &external_failed) {
    internal_failed = external_failed = false;
    FileHandle internal = OpenReplacement(INTERNAL_FILE);
    FileHandle external = OpenReplacement(EXTERNAL_FILE);
    if (!internal || !external) {
        internal_failed = !internal;
        external_failed = !external;
    } else {
        internal_failed = !WriteTable(std::move(internal), InternalHighScores);
        external_failed = !WriteTable(std::move(external), ExternalHighScores);
    }
    if (!internal_failed && !external_failed) {
        internal_failed = !CommitReplacement(INTERNAL_FILE);
        external_failed = !internal_failed && !CommitReplacement(EXTERNAL_FILE);
    }
    if (internal_failed || external_failed) {
        internal.reset();
        external.reset();
        DiscardReplacement(INTERNAL_FILE);
        DiscardReplacement(EXTERNAL_FILE);
        return false;
    }
    return true;
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
