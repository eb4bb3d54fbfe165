// On POSIX systems stdout and stderr are the starting terminal's already.

#include "shell/console.h"

void UseStartingConsole() {}
