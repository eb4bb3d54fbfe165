// File helpers shared by every writer of the game's record files.

#include "shell/files.h"

#include <unistd.h>

FileHandle OpenFile(const char *path, const char *mode) {
    return FileHandle(std::fopen(path, mode));
}

void TempPathFor(const char *path, char *temp, std::size_t size) {
    std::snprintf(temp, size, "%s.tmp", path);
}

FileHandle OpenReplacement(const char *path) {
    char temp[FILENAME_MAX];
    TempPathFor(path, temp, sizeof temp);
    return OpenFile(temp, "wb");
}

bool FinishReplacement(FileHandle file) {
    FILE *stream = file.release();
    bool ok = std::fflush(stream) == 0 && !std::ferror(stream) && fsync(fileno(stream)) == 0;
    return std::fclose(stream) == 0 && ok;
}

bool CommitReplacement(const char *path) {
    char temp[FILENAME_MAX];
    TempPathFor(path, temp, sizeof temp);
    return std::rename(temp, path) == 0;
}

void DiscardReplacement(const char *path) {
    char temp[FILENAME_MAX];
    TempPathFor(path, temp, sizeof temp);
    unlink(temp);  // a file or a link, never a directory that happens to stand there
}
