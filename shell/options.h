// The command line: --fullscreen, --window, --scale N, --edit [NAME], --help
// and --version.
// It is read before anything else, so asking for help opens no window and
// writes no file.
#pragma once

#include <cstdio>

enum class Launch { Play, Help, Version, Usage, Edit };

// A level's name on the command line: letters only, as the game's New Game
// dialog takes them, at most this many.
constexpr int EDIT_NAME_ROOM = 95;

// What the command line asked for; a mode or scale it names wins over
// tileriot.cfg for that run.
struct CommandLineChoice {
    Launch What = Launch::Play;
    int FullScreen = -1;                     // 1 full screen, 0 a window, -1 not said
    int Scale = 0;                           // of the window, 1 to 8; 0 not said
    char EditName[EDIT_NAME_ROOM + 1] = "";  // the level to edit, in capitals; empty for a new one
};
extern CommandLineChoice CommandLine;

// Reads the arguments after the program's name.
CommandLineChoice ParseCommandLine(int argc, const char *const *argv);

// Prints the help or the version on out, or what was wrong and the usage on
// err; the exit code that goes with it.
int ReportCommandLine(const CommandLineChoice &choice, FILE *out, FILE *err);

