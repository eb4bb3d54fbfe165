// A preload library for the benchmark: logs the moment each frame of the game
// starts its wait for the retrace (microseconds, one per line) to the file
// named by TILERIOT_FRAME_LOG, so frame pacing can be measured on the real
// game whether or not a frame changed anything on the screen. Each wait
// begins with the game's own XSync(); the library's XSync() calls, made as
// it reads input, are not frames and are passed over.

#include <dlfcn.h>
#include <time.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>

namespace {

FILE *OpenLog() {
    const char *path = std::getenv("TILERIOT_FRAME_LOG");
    return path ? std::fopen(path, "w") : nullptr;
}

long long NowMicroseconds() {
    timespec now;
    clock_gettime(CLOCK_MONOTONIC, &now);
    return now.tv_sec * 1000000LL + now.tv_nsec / 1000;
}

// Whether code at this address is the game's own rather than a library's.
bool InTheGame(void *address) {
    Dl_info info;
    return dladdr(address, &info) && info.dli_fname && !std::strstr(info.dli_fname, ".so");
}

}  // namespace

struct _XDisplay;

extern "C" int XSync(_XDisplay *display, int discard) {
    using Sync = int (*)(_XDisplay *, int);
    static auto real = reinterpret_cast<Sync>(dlsym(RTLD_NEXT, "XSync"));
    static FILE *log = OpenLog();
    if (log && InTheGame(__builtin_return_address(0))) {
        std::fprintf(log, "%lld\n", NowMicroseconds());
        std::fflush(log);
    }
    return real(display, discard);
}
