// The debug log "tr_debug.txt": plain fixed lines written as the game runs.
// A log that could not be created, or anything but a regular file in its
// place, is simply never written to.
#pragma once

#include <cstdio>

// The open log stream, or null when it could not be created.
extern FILE *DebugLog;

// Opens (and empties) the log; called first thing at start-up.
void OpenDebugLog();

// Writes one formatted line (the caller supplies any line break).
void LogLine(const char *format, ...) __attribute__((format(printf, 1, 2)));

// Closes the log if it is open.
void CloseDebugLog();
