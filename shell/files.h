// Small file helpers: files that close themselves, reads that never block on
// a path the player controls, and the write-aside-then-rename dance that
// replaces a record file only once its new contents are safely on disk. Each
// system keeps these promises in a file of its own (files_posix.cpp,
// files_windows.cpp).
#pragma once

#include <limits.h>

#include <cstdint>
#include <cstdio>
#include <memory>

struct FileCloser {
    void operator()(FILE *file) const { std::fclose(file); }
};

// A stream that closes itself when it goes out of scope.
using FileHandle = std::unique_ptr<FILE, FileCloser>;

// Opens a stream as fopen does, "x" (create only where nothing stands)
// included everywhere; null when it cannot be opened.
FileHandle OpenFile(const char *path, const char *mode);

// Opens a regular file for reading, never waiting on a FIFO or a device; null when it
// cannot be opened or is something else (errno is then EINVAL), and errno
// is ENOENT only when nothing is there at all.
FileHandle OpenRegularFile(const char *path, const char *mode);

// Creates or empties a regular file for writing, as fopen's "w" does, never
// waiting on a FIFO or a device; null when it cannot be made or something
// else stands at path (errno is then EINVAL).
FileHandle CreateRegularFile(const char *path, const char *mode);

// Where a file really lives: path itself, or the file its link points to
// (followed link by link, so a link to a file not yet made resolves too).
// Windows players keep no links among the game's files: there it is path.
bool ResolveLinks(const char *path, char (&target)[PATH_MAX]);

// A file being replaced: the new contents go to a temporary file of a name
// no other process uses, beside the real file, and are renamed over it.
struct Replacement {
    char Target[PATH_MAX] = "";  // the real file, links resolved
    char Temp[PATH_MAX] = "";    // the temporary file; empty when there is none
    FileHandle File;             // open for writing on Temp
    Replacement() = default;
    Replacement(const Replacement &) = delete;
    Replacement &operator=(const Replacement &) = delete;
    ~Replacement();
};

// Starts replacing path: the temporary file is made with the file's own
// permission bits. False, with nothing made, when the file is there but
// could not be opened for writing (read-only, a directory, a FIFO ...).
bool BeginReplacement(const char *path, Replacement &replacement);

// Flushes the temporary file to disk and closes it; false if anything failed.
bool FinishReplacement(Replacement &replacement);

// Moves the finished temporary file over the real one in one step that is
// on disk when it returns, so the new name outlives a power cut; false if
// the move failed. A folder that will not flush its entries once the move
// is done leaves the move in place: that counts as done.
bool CommitReplacement(Replacement &replacement);

// Closes and removes the temporary file, if there is one.
void DiscardReplacement(Replacement &replacement);

// An exclusive lock that every copy of the game takes before it reads and
// replaces target, waiting while another copy holds it, so copies take turns;
// it outlives any rename of target and is let go when it goes out of scope.
struct ReplaceLock {
    explicit ReplaceLock(const char *target);
    ReplaceLock(const ReplaceLock &) = delete;
    ReplaceLock &operator=(const ReplaceLock &) = delete;
    ~ReplaceLock();
    intptr_t Handle;  // the system's own; -1 when the lock could not be taken
};

// Makes the folder the game's program lies in its working directory, where
// its files are, on systems whose players start it from anywhere (Windows:
// a console, Run, a shortcut without "Start in"), and tells their installer
// that the game runs; elsewhere nothing changes.
void EnterGameFolder();
