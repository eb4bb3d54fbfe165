// Fuzzes tileriot.cfg's reader: whatever the bytes, each setting is either taken from them (the
// same whatever the game held before) or left as it was, a scale is always one a player may choose,
// and what is written back reads back the same.

#include <allegro.h>

#include "display/display_file.h"
#include "tests/fuzz/fuzz.h"

static DisplayChoice Read(const void *data, size_t size, DisplayChoice choice) {
    ReadDisplaySettings(static_cast<const char *>(data), size, choice);
    return choice;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size) {
    static const bool started = install_allegro(SYSTEM_NONE, &errno, nullptr) == 0;
    Check(started);
    const DisplayChoice first = {true, 0}, second = {false, 5};
    const DisplayChoice a = Read(data, size, first), b = Read(data, size, second);
    Check(a.FullScreen == b.FullScreen ||
          (a.FullScreen == first.FullScreen && b.FullScreen == second.FullScreen));
    Check(a.Scale == b.Scale || (a.Scale == first.Scale && b.Scale == second.Scale));
    Check(a.Scale == 0 || (a.Scale >= MIN_SCALE && a.Scale <= MAX_SCALE));
    char text[64];
    const int length = WriteDisplaySettings(a, text, sizeof text);
    Check(length > 0 && length < static_cast<int>(sizeof text));
    const DisplayChoice again = Read(text, length, second);
    Check(again.FullScreen == a.FullScreen && again.Scale == (a.Scale ? a.Scale : second.Scale));
    return 0;
}
