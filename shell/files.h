// Small file helpers: files that close themselves, and the temporary-file
// dance that replaces a file only once its new contents are safely written.
#pragma once

#include <cstdio>
#include <memory>

struct FileCloser {
    void operator()(FILE *file) const { std::fclose(file); }
};

// A stream that closes itself when it goes out of scope.
using FileHandle = std::unique_ptr<FILE, FileCloser>;

// Opens a stream; null when it cannot be opened.
FileHandle OpenFile(const char *path, const char *mode);

// The name of the temporary file that stands in for path while it is written.
void TempPathFor(const char *path, char *temp, std::size_t size);

// Opens the temporary stand-in of path for writing in binary mode.
FileHandle OpenReplacement(const char *path);

// Flushes the stand-in to disk and closes it; false if anything failed.
bool FinishReplacement(FileHandle file);

// Renames the finished stand-in over path; false if that failed.
bool CommitReplacement(const char *path);

// Removes the stand-in of path, if there is one.
void DiscardReplacement(const char *path);
