// A windowed Windows program starts with no console; one started from a
// command prompt can borrow that prompt's console to print its answers.

#include "shell/console.h"

#include <windows.h>

#include <cstdio>

void UseStartingConsole() {
    if (AttachConsole(ATTACH_PARENT_PROCESS)) {
        std::freopen("CONOUT$", "w", stdout);
        std::freopen("CONOUT$", "w", stderr);
    }
}
