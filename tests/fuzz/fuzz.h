// What the fuzz targets share: a check that stops the fuzzer, and one in-memory
// file, refilled for each input without allocating.
#pragma once

#include <stdio_ext.h>

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <string>

// Stops the fuzzer; its stack trace names the line of the check that failed.
#define Check(condition) ((condition) ? (void)0 : std::abort())

// What the in-memory file has still to give, and how it gives it.
inline std::pair<const char *, size_t> Unread;
inline ssize_t ReadUnread(void *, char *to, size_t want) {
    const size_t size = std::min(want, Unread.second);
    std::copy_n(Unread.first, size, to);
    Unread = {Unread.first + size, Unread.second - size};
    return static_cast<ssize_t>(size);
}

// The one in-memory file, holding size bytes from data and nothing read yet.
inline FILE *MemoryFile(const void *data, size_t size) {
    static FILE *const file = fopencookie(nullptr, "rb", {ReadUnread, nullptr, nullptr, nullptr});
    __fsetlocking(file, FSETLOCKING_BYCALLER);  // one thread reads it: no lock for each getc
    __fpurge(file);  // drops what was buffered or pushed back from the last input
    std::clearerr(file);
    Unread = {static_cast<const char *>(data), size};
    return file;
}
