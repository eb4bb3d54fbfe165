// Fuzzes the credits reader: every screen line is bounded and holds no line
// end, and the lines together are the file's text less its line ends (text
// after a zero byte in a line is not shown, so such files are only bounded).

#include <algorithm>
#include <cstring>
#include <string>

#include "tests/fuzz/check.h"
#include "ui/credits.h"

namespace {

std::string WithoutLineEnds(std::string text) {
    text.erase(
        std::remove_if(text.begin(), text.end(), [](char c) { return c == '\n' || c == '\r'; }),
        text.end());
    return text;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size) {
    const std::string text(reinterpret_cast<const char *>(data), size);
    FILE *file = fmemopen(const_cast<char *>(text.data()), size, "r");
    if (!file) {
        return 0;  // fmemopen refuses an empty buffer
    }
    std::string shown;
    char line[CREDIT_LINE_BUFFER];
    for (size_t lines = 0; ReadCreditLine(file, line); ++lines) {
        const size_t length = strnlen(line, sizeof line);
        Check(length < sizeof line && lines < size && !std::memchr(line, '\n', length));
        shown += line;
    }
    std::fclose(file);
    Check(text.find('\0') != std::string::npos || WithoutLineEnds(shown) == WithoutLineEnds(text));
    return 0;
}
