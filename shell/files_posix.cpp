// File helpers on POSIX systems: links followed, a temporary file made with
// O_EXCL beside the real one, fsync before rename and of the directory after,
// and copies of the game taking turns through flock on that directory.

#include "shell/files.h"

#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>
#include <cstring>
#include <thread>

namespace {

// Links are followed this many times at most, as the kernel does.
constexpr int MOST_LINKS = 40;
// Temporary names tried before giving up, should leftovers of crashed runs
// hold the first ones.
constexpr int TEMP_NAME_TRIES = 100;
// A copy of the game waits this long for another copy's save, then gives up.
constexpr auto LOCK_WAIT = std::chrono::seconds(10);
constexpr auto LOCK_PAUSE = std::chrono::milliseconds(10);

// The directory part of path ("." when it has none) into directory.
void DirectoryOf(const char *path, char (&directory)[PATH_MAX]) {
    const char *slash = std::strrchr(path, '/');
    if (!slash) {
        std::snprintf(directory, sizeof directory, ".");
    } else if (slash == path) {
        std::snprintf(directory, sizeof directory, "/");
    } else {
        std::snprintf(directory, sizeof directory, "%.*s", static_cast<int>(slash - path), path);
    }
}

// Flushes a directory's entries to disk, where the folder allows it.
void SyncDirectory(const char *directory) {
    const int fd = open(directory, O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd >= 0) {
        static_cast<void>(fsync(fd));
        close(fd);
    }
}

// Creates a temporary file beside target that no other process can have
// open; -1 when none can be made.
int CreateTempFile(const char *target, char (&temp)[PATH_MAX]) {
    static unsigned serial = 0;
    for (int i = 0; i < TEMP_NAME_TRIES; ++i) {
        const int length = std::snprintf(temp, sizeof temp, "%s.%ld-%u.tmp", target,
                                         static_cast<long>(getpid()), serial++);
        if (length < 0 || static_cast<std::size_t>(length) >= sizeof temp) {
            break;
        }
        const int fd = open(temp, O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0666);
        if (fd >= 0) {
            return fd;
        }
        if (errno != EEXIST) {
            break;
        }
    }
    temp[0] = '\0';
    return -1;
}

// Whether a file already at target may be replaced, with its permission
// bits in mode: only a regular file that could be opened for writing.
bool MayReplace(const char *target, bool &exists, mode_t &mode) {
    const int fd = open(target, O_WRONLY | O_NONBLOCK | O_NOCTTY | O_CLOEXEC);
    if (fd < 0) {
        exists = errno != ENOENT;
        return !exists;
    }
    struct stat status;
    exists = true;
    const bool regular = fstat(fd, &status) == 0 && S_ISREG(status.st_mode);
    mode = status.st_mode & 07777;
    close(fd);
    return regular;
}

// A stream on fd, opened without waiting, if it is a regular file (emptied
// first when asked); else null, fd closed, errno EINVAL when it is something else.
FileHandle RegularStream(int fd, const char *mode, bool empty) {
    if (fd < 0) {
        return nullptr;
    }
    struct stat status;
    if (fstat(fd, &status) != 0 || !S_ISREG(status.st_mode) || (empty && ftruncate(fd, 0) != 0) ||
        fcntl(fd, F_SETFL, fcntl(fd, F_GETFL) & ~O_NONBLOCK) != 0) {
        close(fd);
        errno = EINVAL;
        return nullptr;
    }
    FILE *file = fdopen(fd, mode);
    if (!file) {
        close(fd);
    }
    return FileHandle(file);
}

}  // namespace

FileHandle OpenFile(const char *path, const char *mode) {
    return FileHandle(std::fopen(path, mode));
}

FileHandle OpenRegularFile(const char *path, const char *mode) {
    return RegularStream(open(path, O_RDONLY | O_NONBLOCK | O_NOCTTY | O_CLOEXEC), mode, false);
}

// A FIFO without a reader refuses a writer that will not wait; one with a
// reader, or a device, opens, and is then turned away as no regular file.
FileHandle CreateRegularFile(const char *path, const char *mode) {
    return RegularStream(open(path, O_WRONLY | O_CREAT | O_NONBLOCK | O_NOCTTY | O_CLOEXEC, 0666),
                         mode, true);
}

bool ResolveLinks(const char *path, char (&target)[PATH_MAX]) {
    if (std::snprintf(target, sizeof target, "%s", path) >= static_cast<int>(sizeof target)) {
        return false;
    }
    for (int hops = 0; hops < MOST_LINKS; ++hops) {
        char link[PATH_MAX];
        const ssize_t length = readlink(target, link, sizeof link - 1);
        if (length < 0) {
            return errno == EINVAL || errno == ENOENT;  // not a link: the file itself
        }
        link[length] = '\0';
        char directory[PATH_MAX];
        DirectoryOf(target, directory);
        // A relative link is read from the directory the link stands in.
        const int written = link[0] == '/' || std::strchr(target, '/') == nullptr
                                ? std::snprintf(target, sizeof target, "%s", link)
                                : std::snprintf(target, sizeof target, "%s/%s", directory, link);
        if (written < 0 || written >= static_cast<int>(sizeof target)) {
            return false;
        }
    }
    return false;
}

Replacement::~Replacement() {
    DiscardReplacement(*this);
}

bool BeginReplacement(const char *path, Replacement &replacement) {
    bool exists = false;
    mode_t mode = 0;
    if (!ResolveLinks(path, replacement.Target) || !MayReplace(replacement.Target, exists, mode)) {
        return false;
    }
    const int fd = CreateTempFile(replacement.Target, replacement.Temp);
    if (fd < 0) {
        return false;
    }
    replacement.File.reset(fdopen(fd, "wb"));
    if (!replacement.File) {
        close(fd);
    }
    if (!replacement.File || (exists && fchmod(fd, mode) != 0)) {
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
    const bool written =
        std::fflush(stream) == 0 && !std::ferror(stream) && fsync(fileno(stream)) == 0;
    return std::fclose(stream) == 0 && written;
}

bool CommitReplacement(Replacement &replacement) {
    if (replacement.Temp[0] == '\0' || std::rename(replacement.Temp, replacement.Target) != 0) {
        return false;
    }
    replacement.Temp[0] = '\0';
    // The new bytes are in place now. A folder that refuses to flush its
    // entries (some network and virtual machines' shared folders do) cannot
    // undo that: the save is done all the same.
    char directory[PATH_MAX];
    DirectoryOf(replacement.Target, directory);
    SyncDirectory(directory);
    return true;
}

void DiscardReplacement(Replacement &replacement) {
    replacement.File.reset();
    if (replacement.Temp[0] != '\0') {
        unlink(replacement.Temp);
        replacement.Temp[0] = '\0';
    }
}

// The lock is on the directory that holds target, which a rename of a file
// inside it does not change. Another copy's save takes a moment; one that
// never ends (a copy stopped while it saves, a hung network folder) must
// not freeze this one: after LOCK_WAIT the save fails.
ReplaceLock::ReplaceLock(const char *target) : Handle(-1) {
    char directory[PATH_MAX];
    DirectoryOf(target, directory);
    const int fd = open(directory, O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    const auto give_up = std::chrono::steady_clock::now() + LOCK_WAIT;
    while (fd >= 0 && flock(fd, LOCK_EX | LOCK_NB) != 0) {
        if (errno != EWOULDBLOCK || std::chrono::steady_clock::now() >= give_up) {
            close(fd);
            return;
        }
        std::this_thread::sleep_for(LOCK_PAUSE);
    }
    Handle = fd;
}

ReplaceLock::~ReplaceLock() {
    if (Handle >= 0) {
        close(static_cast<int>(Handle));
    }
}

// The game's folder is set by whoever starts it: the package's launcher, or
// scripts/play.
void EnterGameFolder() {}
