// The command line: --fullscreen, --window, --scale N, --help and --version.
// It is read before anything else, so asking for help opens no window and
// writes no file.
#pragma once

#include <cstdio>

enum class Launch { Play, Help, Version, Usage };

// What the command line asked for; a mode or scale it names wins over
// tileriot.cfg for that run.
struct CommandLineChoice {
    Launch What = Launch::Play;
    int FullScreen = -1;  // 1 full screen, 0 a window, -1 not said
    int Scale = 0;        // of the window, 1 to 8; 0 not said
};
extern CommandLineChoice CommandLine;

// Reads the arguments after the program's name.
CommandLineChoice ParseCommandLine(int argc, const char *const *argv);

// Prints the help or the version on out, or what was wrong and the usage on
// err; the exit code that goes with it.
int ReportCommandLine(const CommandLineChoice &choice, FILE *out, FILE *err);

