// File helpers on Windows: a temporary file created exclusively beside the
// real one, flushed with FlushFileBuffers and moved over it by MoveFileExW,
// which writes the move through to disk before it returns; copies of the
// game taking turns through LockFileEx on a lock file beside the saved games;
// files that antivirus, an indexer or a backup holds for a moment tried again
// (opened, read and moved), files refused for good failed at once; and the
// game's own folder made the working directory.

#include <fcntl.h>
#include <io.h>
#include <process.h>
#include <windows.h>

#include <cerrno>
#include <cstring>
#include <cwchar>
#include <iterator>

#include "shell/files.h"

namespace {

// Temporary names tried before giving up, should leftovers of crashed runs
// hold the first ones.
constexpr int TEMP_NAME_TRIES = 100;
constexpr DWORD SHARE_ALL = FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE;
// A file that another program holds is tried again this long, this often.
constexpr DWORD BUSY_WAIT_MS = 2000;
constexpr DWORD BUSY_PAUSE_MS = 25;
// How much of a file opened for reading is first read through, to see that
// no part of it is locked (the game's own files are far smaller).
constexpr ULONGLONG MOST_READ_AHEAD = 1 << 20;
// A copy of the game waits this long for another copy's save, then gives up.
constexpr DWORD LOCK_WAIT_MS = 10000;
constexpr DWORD LOCK_PAUSE_MS = 10;

// A path in the wide characters of Windows' own calls; false if it has no room.
bool Widen(const char *path, wchar_t (&wide)[PATH_MAX]) {
    return MultiByteToWideChar(CP_ACP, 0, path, -1, wide, PATH_MAX) != 0;
}

// Whether error means that another program holds the file at path for a
// moment (antivirus, a search indexer, a backup, a sync tool), not that it
// can never be used. An open is refused for good with ERROR_ACCESS_DENIED (a
// protected folder, a file the player may not write); a move over a file
// that another program holds is refused so too, but not over a file marked
// read-only or a folder, which are denied for good.
bool Busy(DWORD error, const wchar_t *path, bool move) {
    if (error == ERROR_SHARING_VIOLATION || error == ERROR_LOCK_VIOLATION) {
        return true;
    }
    const DWORD attributes = GetFileAttributesW(path);
    return move && error == ERROR_ACCESS_DENIED && attributes != INVALID_FILE_ATTRIBUTES &&
           !(attributes & (FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_DIRECTORY));
}

// Runs attempt until it succeeds, fails for good, or path has been busy for
// BUSY_WAIT_MS; the last error is attempt's own.
template <typename Attempt>
bool WhileBusy(const wchar_t *path, Attempt attempt, bool move = false) {
    const ULONGLONG start = GetTickCount64();
    for (;;) {
        if (attempt()) {
            return true;
        }
        const DWORD error = GetLastError();
        const bool again = GetTickCount64() - start < BUSY_WAIT_MS && Busy(error, path, move);
        SetLastError(error);
        if (!again) {
            return false;
        }
        Sleep(BUSY_PAUSE_MS);
    }
}

// Whether a file opened for reading can be read now, to its end: a part of
// it that another program has locked (a backup, a sync client) fails the
// read with ERROR_LOCK_VIOLATION. The file is left at its start.
bool ReadableNow(HANDLE handle) {
    char scratch[4096];
    DWORD got = sizeof scratch;
    for (ULONGLONG at = 0; got == sizeof scratch && at < MOST_READ_AHEAD; at += got) {
        OVERLAPPED from = {};
        from.Offset = static_cast<DWORD>(at);
        from.OffsetHigh = static_cast<DWORD>(at >> 32);
        if (!ReadFile(handle, scratch, sizeof scratch, &got, &from)) {
            if (GetLastError() != ERROR_HANDLE_EOF) {
                return false;
            }
            got = 0;
        }
    }
    return SetFilePointer(handle, 0, nullptr, FILE_BEGIN) == 0;
}

// Opens path, trying again while another program holds it; a file opened
// for reading is also tried again while a part of it cannot be read (not the
// lock file, which another copy holds locked while it saves).
HANDLE Open(const char *path, DWORD access, DWORD disposition) {
    wchar_t wide[PATH_MAX];
    if (!Widen(path, wide)) {
        SetLastError(ERROR_FILENAME_EXCED_RANGE);
        return INVALID_HANDLE_VALUE;
    }
    HANDLE handle = INVALID_HANDLE_VALUE;
    WhileBusy(wide, [&] {
        handle = CreateFileW(wide, access, SHARE_ALL, nullptr, disposition, FILE_ATTRIBUTE_NORMAL,
                             nullptr);
        if (handle == INVALID_HANDLE_VALUE || access != GENERIC_READ ||
            disposition != OPEN_EXISTING || GetFileType(handle) != FILE_TYPE_DISK ||
            ReadableNow(handle)) {
            return handle != INVALID_HANDLE_VALUE;
        }
        const DWORD error = GetLastError();
        CloseHandle(handle);
        handle = INVALID_HANDLE_VALUE;
        SetLastError(error);
        return false;
    });
    return handle;
}

bool NothingThere(DWORD error) {
    return error == ERROR_FILE_NOT_FOUND || error == ERROR_PATH_NOT_FOUND;
}

// Whether handle is a file on a disk, not a console, printer port or pipe
// (CON, NUL and COM1 open as such whatever their extension).
bool OnDisk(HANDLE handle) {
    return GetFileType(handle) == FILE_TYPE_DISK;
}

// A stream that owns handle from now on; null, with handle closed, on failure.
FILE *StreamOn(HANDLE handle, int flags, const char *mode) {
    const int fd = _open_osfhandle(reinterpret_cast<intptr_t>(handle), flags);
    if (fd < 0) {
        CloseHandle(handle);
        return nullptr;
    }
    FILE *file = _fdopen(fd, mode);
    if (!file) {
        _close(fd);
    }
    return file;
}

// Creates a temporary file beside target that no other process can have
// open; INVALID_HANDLE_VALUE when none can be made.
HANDLE CreateTempFile(const char *target, char (&temp)[PATH_MAX]) {
    static unsigned serial = 0;
    for (int i = 0; i < TEMP_NAME_TRIES; ++i) {
        const int length =
            std::snprintf(temp, sizeof temp, "%s.%d-%u.tmp", target, _getpid(), serial++);
        if (length < 0 || static_cast<std::size_t>(length) >= sizeof temp) {
            break;
        }
        const HANDLE handle = Open(temp, GENERIC_WRITE, CREATE_NEW);
        if (handle != INVALID_HANDLE_VALUE) {
            return handle;
        }
        if (GetLastError() != ERROR_FILE_EXISTS) {
            break;
        }
    }
    temp[0] = '\0';
    return INVALID_HANDLE_VALUE;
}

// Whether target may be replaced: nothing is there, or a file on disk that
// could be opened for writing and is not marked read-only (which a program
// run with every right, or under Wine as root, could otherwise write).
bool MayReplace(const char *target) {
    const HANDLE handle = Open(target, GENERIC_WRITE, OPEN_EXISTING);
    if (handle == INVALID_HANDLE_VALUE) {
        return NothingThere(GetLastError());
    }
    BY_HANDLE_FILE_INFORMATION about;
    const bool writable = OnDisk(handle) && GetFileInformationByHandle(handle, &about) &&
                          !(about.dwFileAttributes & FILE_ATTRIBUTE_READONLY);
    CloseHandle(handle);
    return writable;
}

}  // namespace

// The C library here knows no "x" (create, never open what is there), so
// such a file is created by CREATE_NEW.
FileHandle OpenFile(const char *path, const char *mode) {
    if (!std::strchr(mode, 'x')) {
        return FileHandle(std::fopen(path, mode));
    }
    const HANDLE handle = Open(path, GENERIC_WRITE, CREATE_NEW);
    if (handle == INVALID_HANDLE_VALUE) {
        errno = GetLastError() == ERROR_FILE_EXISTS ? EEXIST : EACCES;
        return nullptr;
    }
    const bool binary = std::strchr(mode, 'b');
    return FileHandle(
        StreamOn(handle, _O_WRONLY | (binary ? _O_BINARY : _O_TEXT), binary ? "wb" : "w"));
}

FileHandle OpenRegularFile(const char *path, const char *mode) {
    const HANDLE handle = Open(path, GENERIC_READ, OPEN_EXISTING);
    if (handle == INVALID_HANDLE_VALUE) {
        errno = NothingThere(GetLastError()) ? ENOENT : EACCES;
        return nullptr;
    }
    if (!OnDisk(handle)) {
        CloseHandle(handle);
        errno = EINVAL;
        return nullptr;
    }
    const int text = std::strchr(mode, 'b') ? _O_BINARY : _O_TEXT;
    return FileHandle(StreamOn(handle, _O_RDONLY | text, mode));
}

// Only a file on a disk is emptied and written; a device (CON, NUL, COM1)
// or a pipe is turned away.
FileHandle CreateRegularFile(const char *path, const char *mode) {
    const HANDLE handle = Open(path, GENERIC_WRITE, OPEN_ALWAYS);
    if (handle == INVALID_HANDLE_VALUE) {
        errno = EACCES;
        return nullptr;
    }
    if (!OnDisk(handle) || !SetEndOfFile(handle)) {
        CloseHandle(handle);
        errno = EINVAL;
        return nullptr;
    }
    const int text = std::strchr(mode, 'b') ? _O_BINARY : _O_TEXT;
    return FileHandle(StreamOn(handle, _O_WRONLY | text, mode));
}

bool ResolveLinks(const char *path, char (&target)[PATH_MAX]) {
    return std::snprintf(target, sizeof target, "%s", path) < static_cast<int>(sizeof target);
}

Replacement::~Replacement() {
    DiscardReplacement(*this);
}

bool BeginReplacement(const char *path, Replacement &replacement) {
    if (!ResolveLinks(path, replacement.Target) || !MayReplace(replacement.Target)) {
        return false;
    }
    const HANDLE handle = CreateTempFile(replacement.Target, replacement.Temp);
    if (handle == INVALID_HANDLE_VALUE) {
        return false;
    }
    replacement.File.reset(StreamOn(handle, _O_WRONLY | _O_BINARY, "wb"));
    if (!replacement.File) {
        DiscardReplacement(replacement);
        return false;
    }
    return true;
}

bool FinishReplacement(Replacement &replacement) {
    FILE *stream = replacement.File.release();
    if (!stream) {
        return false;
    }
    const HANDLE handle = reinterpret_cast<HANDLE>(_get_osfhandle(_fileno(stream)));
    const bool written =
        std::fflush(stream) == 0 && !std::ferror(stream) && FlushFileBuffers(handle) != 0;
    return std::fclose(stream) == 0 && written;
}

bool CommitReplacement(Replacement &replacement) {
    wchar_t temp[PATH_MAX], target[PATH_MAX];
    const auto move = [&] {
        return MoveFileExW(temp, target, MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH);
    };
    if (replacement.Temp[0] == '\0' || !Widen(replacement.Temp, temp) ||
        !Widen(replacement.Target, target) || !WhileBusy(target, move, true)) {
        return false;
    }
    replacement.Temp[0] = '\0';
    return true;
}

void DiscardReplacement(Replacement &replacement) {
    replacement.File.reset();
    wchar_t temp[PATH_MAX];
    if (replacement.Temp[0] != '\0' && Widen(replacement.Temp, temp)) {
        DeleteFileW(temp);
    }
    replacement.Temp[0] = '\0';
}

// Windows locks no directory, and a file open here could not be moved over,
// so the lock is on a file of its own beside target, "target.lock", which
// stays there for the next save. Reading is the only right a lock needs, so
// a lock file marked read-only locks all the same.
ReplaceLock::ReplaceLock(const char *target) : Handle(-1) {
    char path[PATH_MAX];
    if (std::snprintf(path, sizeof path, "%s.lock", target) >= static_cast<int>(sizeof path)) {
        return;
    }
    const HANDLE handle = Open(path, GENERIC_READ, OPEN_ALWAYS);
    if (handle == INVALID_HANDLE_VALUE) {
        return;
    }
    // Another copy's save takes a moment; one that never ends (a copy hung
    // while it saves) must not freeze this one: then the save fails.
    bool locked = false;
    const ULONGLONG start = GetTickCount64();
    while (OnDisk(handle) && !locked) {
        OVERLAPPED whole = {};
        locked = LockFileEx(handle, LOCKFILE_EXCLUSIVE_LOCK | LOCKFILE_FAIL_IMMEDIATELY, 0,
                            MAXDWORD, MAXDWORD, &whole);
        if (!locked &&
            (GetLastError() != ERROR_LOCK_VIOLATION || GetTickCount64() - start >= LOCK_WAIT_MS)) {
            break;
        }
        if (!locked) {
            Sleep(LOCK_PAUSE_MS);
        }
    }
    if (!locked) {
        CloseHandle(handle);
        return;
    }
    Handle = reinterpret_cast<intptr_t>(handle);
}

// The lock is let go before its file is closed: Windows would release it
// only some time after the close.
ReplaceLock::~ReplaceLock() {
    if (Handle != -1) {
        const HANDLE handle = reinterpret_cast<HANDLE>(Handle);
        OVERLAPPED whole = {};
        UnlockFileEx(handle, 0, MAXDWORD, MAXDWORD, &whole);
        CloseHandle(handle);
    }
}

// The folder of tileriot.exe, whatever its name, becomes the working
// directory; a path too long for the buffer leaves it as it was. The mutex,
// held until the game ends, tells the installer and the uninstaller (which
// look for it by name) that the game runs.
void EnterGameFolder() {
    CreateMutexW(nullptr, FALSE, L"Local\\TileRiot");
    wchar_t path[32768];
    const DWORD length = GetModuleFileNameW(nullptr, path, std::size(path));
    if (length == 0 || length >= std::size(path)) {
        return;
    }
    wchar_t *slash = std::wcsrchr(path, L'\\');
    if (slash) {
        *slash = L'\0';
        SetCurrentDirectoryW(path);
    }
}
