// tileriot.cfg: the display mode, window scale and monitor kept from the last
// run, in the library's configuration format, in the game's folder.
#pragma once

#include <cstddef>

#include "display/modes.h"

// Takes from the file what it says well; the rest of choice stays as it is.
void ReadDisplayFile(DisplayChoice &choice);

// The same from the file's bytes.
void ReadDisplaySettings(const char *bytes, size_t size, DisplayChoice &choice);

// The file's text for choice, as many bytes as it returns; room for 128 will do.
int WriteDisplaySettings(const DisplayChoice &choice, char *text, size_t room);

// Replaces the file whole with choice; false, and nothing touched, if it cannot.
bool WriteDisplayFile(const DisplayChoice &choice);

// Reads a window scale written as a whole number from 1 to 8, nothing else.
bool ReadScale(const char *text, int *scale);
