// The command line's options and the texts it prints.

#include "shell/options.h"

#include <cctype>
#include <cerrno>
#include <cstdlib>
#include <cstring>

#include "display/display_file.h"

CommandLineChoice CommandLine;

namespace {

constexpr const char USAGE[] =
    "Usage: tileriot [--fullscreen | --window] [--scale N] [--edit [NAME]]\n"
    "       tileriot --help | --version\n";

constexpr const char HELP[] =
    "Options:\n"
    "  --fullscreen  play full screen, at the display's own size (the first time)\n"
    "  --window      play in a window\n"
    "  --scale N     make the window N times 640x480, N from 1 to 8 (else the\n"
    "                largest that fits the screen)\n"
    "  --edit [NAME] open the level editor on NAME.trl of the game's folder, or\n"
    "                on a new level; NAME is letters A to Z, as New Game takes it\n"
    "  --help        show this help and end\n"
    "  --version     show the version and end\n"
    "Alt+Enter switches between full screen and a window at any moment. The mode\n"
    "and scale in use when the game ends are kept in tileriot.cfg for next time.\n";

// The argument that was wrong, for the message; null once all were right.
const char *Wrong = nullptr;

CommandLineChoice Refuse(const char *argument) {
    Wrong = argument;
    return {Launch::Usage, -1, 0, ""};
}

// Takes a level's name in capitals; false unless it is 1 to 95 letters.
bool ReadEditName(const char *text, char (&name)[EDIT_NAME_ROOM + 1]) {
    const std::size_t length = std::strlen(text);
    if (length == 0 || length > EDIT_NAME_ROOM) {
        return false;
    }
    for (std::size_t i = 0; i < length; ++i) {
        const unsigned char c = static_cast<unsigned char>(text[i]);
        if (c > 127 || !std::isalpha(c)) {
            return false;
        }
        name[i] = static_cast<char>(std::toupper(c));
    }
    name[length] = '\0';
    return true;
}

}  // namespace

CommandLineChoice ParseCommandLine(int argc, const char *const *argv) {
    CommandLineChoice choice;
    Wrong = nullptr;
    for (int i = 1; i < argc; ++i) {
        const char *argument = argv[i];
        if (std::strcmp(argument, "--help") == 0) {
            choice.What = Launch::Help;
        } else if (std::strcmp(argument, "--version") == 0) {
            choice.What = choice.What == Launch::Help ? Launch::Help : Launch::Version;
        } else if (std::strcmp(argument, "--edit") == 0) {
            choice.What = choice.What == Launch::Play ? Launch::Edit : choice.What;
            // The name is optional: an option after --edit is not a name.
            if (i + 1 < argc && std::strncmp(argv[i + 1], "--", 2) != 0 &&
                !ReadEditName(argv[++i], choice.EditName)) {
                return Refuse(argument);
            }
        } else if (std::strncmp(argument, "--edit=", 7) == 0) {
            choice.What = choice.What == Launch::Play ? Launch::Edit : choice.What;
            if (!ReadEditName(argument + 7, choice.EditName)) {
                return Refuse(argument);
            }
        } else if (std::strcmp(argument, "--fullscreen") == 0) {
            choice.FullScreen = 1;
        } else if (std::strcmp(argument, "--window") == 0) {
            choice.FullScreen = 0;
        } else if (std::strcmp(argument, "--scale") == 0) {
            if (!ReadScale(i + 1 < argc ? argv[++i] : nullptr, &choice.Scale)) {
                return Refuse(argument);
            }
        } else if (std::strncmp(argument, "--scale=", 8) == 0) {
            if (!ReadScale(argument + 8, &choice.Scale)) {
                return Refuse(argument);
            }
        } else {
            return Refuse(argument);
        }
    }
    return choice;
}

int ReportCommandLine(const CommandLineChoice &choice, FILE *out, FILE *err) {
    switch (choice.What) {
        case Launch::Help:
            std::fprintf(out, "TileRiot, a brick-breaker game.\n%s%s", USAGE, HELP);
            return 0;
        case Launch::Version:
            std::fprintf(out, "TileRiot %s\n", TILERIOT_VERSION);
            return 0;
        case Launch::Usage:
            if (Wrong && std::strncmp(Wrong, "--edit", 6) == 0) {
                std::fprintf(err, "tileriot: %s takes a level's name of 1 to %d letters A to Z\n",
                             Wrong, EDIT_NAME_ROOM);
            } else if (Wrong && std::strncmp(Wrong, "--scale", 7) == 0) {
                std::fprintf(err, "tileriot: %s needs a whole number from %d to %d\n", Wrong,
                             MIN_SCALE, MAX_SCALE);
            } else {
                std::fprintf(err, "tileriot: unknown option %s\n", Wrong ? Wrong : "");
            }
            std::fputs(USAGE, err);
            return 2;
        case Launch::Play:
        case Launch::Edit:
            break;
    }
    return 0;
}
