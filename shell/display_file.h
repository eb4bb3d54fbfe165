// tileriot.cfg: the display mode and window scale kept from the last run, in
// the library's configuration format, in the game's folder.
#pragma once

#include <cstddef>

#include "shell/display.h"

// Takes from the file what it says well; the rest of choice stays as it is.
void ReadDisplayFile(DisplayChoice &choice);

// The same from the file's bytes.
void ReadDisplaySettings(const char *bytes, size_t size, DisplayChoice &choice);

// The file's text for choice, as many bytes as it returns; room for 64 will do.
int WriteDisplaySettings(const DisplayChoice &choice, char *text, size_t room);

// Replaces the file whole with choice; false, and nothing touched, if it cannot.
bool WriteDisplayFile(const DisplayChoice &choice);
