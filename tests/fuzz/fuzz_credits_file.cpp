// Fuzzes the credits reader: every screen line is bounded and holds no line
// end, and the lines together are the file's text less its line ends (text
// after a zero byte in a line is not shown, so such files are only bounded).

#include "tests/fuzz/fuzz.h"
#include "ui/credits.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size) {
    std::string text(reinterpret_cast<const char *>(data), size), shown;
    FILE *file = MemoryFile(data, size);
    char line[CREDIT_LINE_BUFFER];
    for (size_t lines = 0; ReadCreditLine(file, line); ++lines) {
        const size_t length = strnlen(line, sizeof line);
        Check(length < sizeof line && lines < size && !std::memchr(line, '\n', length));
        shown += line;
    }
    for (std::string *s : {&text, &shown}) {  // both without their line ends
        s->erase(
            std::remove_if(s->begin(), s->end(), [](char c) { return c == '\n' || c == '\r'; }),
            s->end());
    }
    Check(std::memchr(data, 0, size) || shown == text);
    return 0;
}
