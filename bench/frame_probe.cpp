// A preload library for the benchmark: wraps the library's blit() and logs
// the moment of each copy to the screen, which the game makes right after the
// wait for the retrace (microseconds, one per line), to the file named by
// TILERIOT_FRAME_LOG, so frame pacing can be measured on the real game.

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

struct BITMAP;

extern "C" void blit(BITMAP *source, BITMAP *dest, int source_x, int source_y, int dest_x,
                     int dest_y, int width, int height) {
    using Blit = void (*)(BITMAP *, BITMAP *, int, int, int, int, int, int);
    static auto real = reinterpret_cast<Blit>(dlsym(RTLD_NEXT, "blit"));
    static auto screen = static_cast<BITMAP **>(dlsym(RTLD_DEFAULT, "screen"));
    static FILE *log = OpenLog();
    if (log && screen && dest == *screen) {
        std::fprintf(log, "%lld\n", NowMicroseconds());
        std::fflush(log);
    }
    real(source, dest, source_x, source_y, dest_x, dest_y, width, height);
}
