// The debug log: opened at start-up, truncated every run, closed by ExitGame.

#include "shell/debug_log.h"

#include <cstdarg>

#include "shell/files.h"

FILE *DebugLog = nullptr;

void OpenDebugLog() {
    // A FIFO or a device in its place would hold the game up: then there is no log.
    DebugLog = CreateRegularFile("tr_debug.txt", "w").release();
}

void LogLine(const char *format, ...) {
    if (!DebugLog) {
        return;
    }
    va_list args;
    va_start(args, format);
    std::vfprintf(DebugLog, format, args);
    va_end(args);
}

void CloseDebugLog() {
    if (DebugLog) {
        std::fclose(DebugLog);
        DebugLog = nullptr;
    }
}
