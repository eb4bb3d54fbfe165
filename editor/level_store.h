// The editor's level files: opening one as the game reads it, telling whether
// another program changed it since, and replacing it whole through a
// temporary file, as the records are replaced.
#pragma once

#include <cstdint>

#include "game/level_grid.h"

// What a level file held when it was last read or written here: enough to
// tell whether another program has changed it since.
struct FileMark {
    bool Exists = false;
    bool Readable = false;
    uint64_t Size = 0;
    uint64_t Hash = 0;  // FNV-1a of its bytes
    bool operator==(const FileMark &other) const {
        return Exists == other.Exists && Readable == other.Readable && Size == other.Size &&
               Hash == other.Hash;
    }
};

// The file at path as it is now.
FileMark MarkFile(const char *path);

// How opening a level went.
enum class Opened {
    WHOLE,    // all 90 numbers were read
    SHORT,    // its end was missing or damaged: the cells after it are empty
    NEW,      // there is no such file: a new, empty level
    REFUSED,  // a directory, a FIFO, a file that cannot be read: nothing was read
};

// The file a level's name in capitals stands for: "NAME.trl" where something
// of that name stands, else the file that matches it in any case, else
// "NAME.trl" for a new file.
void LevelPath(const char *name, char (&path)[LEVEL_NAME_BUFFER]);

// Reads the level file at path as the game reads it, through slot 0 of the
// grid, into numbers; mark gets the file as read. Nothing is written.
Opened ReadLevelForEditing(const char *path, LevelNumbers &numbers, FileMark &mark);

// Replaces the file at path with the numbers, whole: they go to a temporary
// file that is renamed over it. A link (the game's own levels are linked into
// the player's folder) is replaced by a file of the player's own; the file
// it points to is never written. False, the old file as it was, on any failure.
bool StoreLevel(const char *path, const LevelNumbers &numbers);

enum class Saved { DONE, CHANGED, FAILED };

// StoreLevel, in turn with every other copy of the game, unless the file
// is no longer as mark says and overwrite is false (CHANGED: nothing
// written). After a save, mark is the file as written.
Saved SaveLevel(const char *path, const LevelNumbers &numbers, FileMark &mark, bool overwrite);
