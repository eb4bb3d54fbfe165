// The debug log: opened at start-up, truncated every run, closed by ExitGame.

#include "shell/debug_log.h"

#include <cstdarg>

FILE *DebugLog = nullptr;

void OpenDebugLog() {
    DebugLog = std::fopen("tr_debug.txt", "w");
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
