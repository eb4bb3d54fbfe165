// Level files for the editor: the game's own reader and writer of the
// format, the records' replace-and-rename, and a mark of each file's bytes.

#include "editor/level_store.h"

#include <cerrno>
#include <cstring>

#include "shell/files.h"

namespace {

// A level file is a few hundred bytes; a mark reads at most this much of one
// and counts the rest.
constexpr std::size_t MARK_READ_LIMIT = 1 << 20;

// Copies of the game take turns at a level file by the lock of the saved
// games, in the same folder: where the system keeps a lock file beside its
// target (Windows), no lock file is left beside each level.
constexpr const char *TURN_LOCK = "plyrsettings.dat";

// FNV-1a over more bytes.
uint64_t Fnv(uint64_t hash, const unsigned char *bytes, std::size_t size) {
    for (std::size_t i = 0; i < size; ++i) {
        hash = (hash ^ bytes[i]) * 1099511628211ull;
    }
    return hash;
}

// Begins the replacement of a level file. Where a link stands, the new file
// is made as a new file beside it and then renamed over the link itself.
bool BeginLevelReplacement(const char *path, Replacement &replacement) {
    char target[PATH_MAX];
    if (!ResolveLinks(path, target)) {
        return false;
    }
    if (std::strcmp(target, path) == 0) {
        return BeginReplacement(path, replacement);
    }
    char aside[PATH_MAX];
    if (std::snprintf(aside, sizeof aside, "%s.own", path) >= static_cast<int>(sizeof aside) ||
        !BeginReplacement(aside, replacement)) {
        return false;
    }
    std::snprintf(replacement.Target, sizeof replacement.Target, "%s", path);
    return true;
}

}  // namespace

FileMark MarkFile(const char *path) {
    FileMark mark;
    FileHandle file = OpenRegularFile(path, "rb");
    if (!file) {
        mark.Exists = errno != ENOENT;
        return mark;
    }
    mark.Exists = true;
    mark.Hash = 14695981039346656037ull;
    unsigned char chunk[4096];
    std::size_t got;
    while ((got = std::fread(chunk, 1, sizeof chunk, file.get())) > 0) {
        if (mark.Size < MARK_READ_LIMIT) {
            mark.Hash = Fnv(mark.Hash, chunk, got);
        }
        mark.Size += got;
        if (mark.Size >= MARK_READ_LIMIT) {
            std::fseek(file.get(), 0, SEEK_END);
            mark.Size = static_cast<uint64_t>(std::ftell(file.get()));
            break;
        }
    }
    mark.Readable = !std::ferror(file.get());
    return mark;
}

void LevelPath(const char *name, char (&path)[LEVEL_NAME_BUFFER]) {
    std::snprintf(path, sizeof path, "%.*s.trl", static_cast<int>(LEVEL_NAME_ROOM), name);
    char found[LEVEL_NAME_BUFFER];
    if (!MarkFile(path).Exists && FindLevelFile(path, found)) {
        std::memcpy(path, found, sizeof path);
    }
}

Opened ReadLevelForEditing(const char *path, LevelNumbers &numbers, FileMark &mark) {
    mark = MarkFile(path);
    for (auto &row : numbers) {
        row.fill(0);
    }
    if (!mark.Exists) {
        return Opened::NEW;
    }
    FileHandle file = OpenRegularFile(path, "r");
    if (!file || !mark.Readable) {
        return Opened::REFUSED;
    }
    // Slot 0 starts empty, so the cells after a short file's end are empty.
    for (auto &row : Level[0]) {
        for (Brick &cell : row) {
            cell.Value = 0;
        }
    }
    const int read = ReadLevelFile(file.get(), 0, ExternalGeometry());
    if (std::ferror(file.get())) {
        return Opened::REFUSED;
    }
    for (int row = 0; row < LEVEL_ROWS; ++row) {
        for (int col = 0; col < LEVEL_COLUMNS; ++col) {
            numbers[row][col] = Level[0][row][col].Value;
        }
    }
    return read == LEVEL_ROWS * LEVEL_COLUMNS ? Opened::WHOLE : Opened::SHORT;
}

bool StoreLevel(const char *path, const LevelNumbers &numbers) {
    Replacement replacement;
    return BeginLevelReplacement(path, replacement) &&
           WriteLevelFile(replacement.File.get(), numbers) && FinishReplacement(replacement) &&
           CommitReplacement(replacement);
}

Saved SaveLevel(const char *path, const LevelNumbers &numbers, FileMark &mark, bool overwrite) {
    ReplaceLock lock(TURN_LOCK);
    if (!overwrite && !(MarkFile(path) == mark)) {
        return Saved::CHANGED;
    }
    if (!StoreLevel(path, numbers)) {
        return Saved::FAILED;
    }
    mark = MarkFile(path);
    return Saved::DONE;
}
