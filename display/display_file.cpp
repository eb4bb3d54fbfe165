// tileriot.cfg, read with the library's configuration routines and written
// aside, then renamed into place as the record files are.
//
//   [display]
//   mode = fullscreen        (or window)
//   scale = 2                (the window's, 1 to 8; absent until chosen)
//   monitor = DP-1           (the monitor last used, as the system names it)

#include "display/display_file.h"

#include <allegro.h>

#include <algorithm>
#include <cstdio>
#include <cstring>

#include "shell/files.h"

namespace {

constexpr const char DISPLAY_FILE[] = "tileriot.cfg";
constexpr size_t MOST_BYTES = 4096;  // far more than the file ever holds

// A monitor's name as the system gives it: printable, no spaces, and short.
void ReadMonitorName(const char *text, char (&name)[MONITOR_NAME_ROOM]) {
    const size_t length = std::strlen(text);
    if (length == 0 || length >= sizeof name) {
        return;
    }
    for (size_t i = 0; i < length; ++i) {
        if (text[i] <= ' ' || text[i] >= 0x7F) {
            return;
        }
    }
    std::memcpy(name, text, length + 1);
}

}  // namespace

bool ReadScale(const char *text, int *scale) {
    if (!text || std::strlen(text) != 1 || *text < '0' + MIN_SCALE || *text > '0' + MAX_SCALE) {
        return false;
    }
    *scale = *text - '0';
    return true;
}

void ReadDisplaySettings(const char *bytes, size_t size, DisplayChoice &choice) {
    // The file is plain ASCII. The library reads it as UTF-8, and a damaged
    // sequence can hold its parser in a loop forever: any other byte is
    // read as a space.
    static char text[MOST_BYTES];
    size = std::min(size, sizeof text);
    for (size_t i = 0; i < size; ++i) {
        const unsigned char c = static_cast<unsigned char>(bytes[i]);
        text[i] = (c >= ' ' && c < 0x7F) || c == '\n' || c == '\r' || c == '\t' ? c : ' ';
    }
    push_config_state();
    set_config_data(text, static_cast<int>(size));
    const char *mode = get_config_string("display", "mode", "");
    if (std::strcmp(mode, "fullscreen") == 0 || std::strcmp(mode, "window") == 0) {
        choice.FullScreen = mode[0] == 'f';
    }
    ReadScale(get_config_string("display", "scale", nullptr), &choice.Scale);
    ReadMonitorName(get_config_string("display", "monitor", ""), choice.Monitor);
    pop_config_state();
}

void ReadDisplayFile(DisplayChoice &choice) {
    const FileHandle file = OpenRegularFile(DISPLAY_FILE, "rb");
    if (!file) {
        return;
    }
    char bytes[MOST_BYTES];
    const size_t size = std::fread(bytes, 1, sizeof bytes, file.get());
    if (!std::ferror(file.get())) {
        ReadDisplaySettings(bytes, size, choice);
    }
}

int WriteDisplaySettings(const DisplayChoice &choice, char *text, size_t room) {
    char scale[16] = "", monitor[MONITOR_NAME_ROOM + 16] = "";
    if (choice.Scale != 0) {
        std::snprintf(scale, sizeof scale, "scale = %d\n", choice.Scale);
    }
    if (choice.Monitor[0]) {
        std::snprintf(monitor, sizeof monitor, "monitor = %s\n", choice.Monitor);
    }
    return std::snprintf(text, room, "[display]\nmode = %s\n%s%s",
                         choice.FullScreen ? "fullscreen" : "window", scale, monitor);
}

bool WriteDisplayFile(const DisplayChoice &choice) {
    char text[128];
    const int length = WriteDisplaySettings(choice, text, sizeof text);
    Replacement replacement;
    return BeginReplacement(DISPLAY_FILE, replacement) &&
           std::fwrite(text, 1, length, replacement.File.get()) == static_cast<size_t>(length) &&
           FinishReplacement(replacement) && CommitReplacement(replacement);
}
