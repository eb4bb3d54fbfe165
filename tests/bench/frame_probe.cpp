// A preload library for the benchmark: wraps the library's vsync() and logs
// the moment each call returns (microseconds, one per line) to the file named
// by TILERIOT_FRAME_LOG, so frame pacing can be measured on the real game.

#include <dlfcn.h>
#include <time.h>

#include <cstdio>
#include <cstdlib>

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

}  // namespace

extern "C" void vsync(void) {
    static auto real = reinterpret_cast<void (*)(void)>(dlsym(RTLD_NEXT, "vsync"));
    static FILE *log = OpenLog();
    real();
    if (log) {
        std::fprintf(log, "%lld\n", NowMicroseconds());
        std::fflush(log);
    }
}
