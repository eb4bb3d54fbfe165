// Fuzzes the credits reader: any bytes give screen lines of at most 98
// characters, one per text line or 98-character piece, with no line end left.

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

#include "ui/credits.h"
#include "tests/fuzz/check.h"

namespace {

// What a screen line shows of one piece of the file: the text up to a zero
// byte, if it holds one, without a "\n" or "\r\n" at its end.
std::string Shown(std::string piece) {
    piece = piece.substr(0, piece.find('\0'));
    if (!piece.empty() && piece.back() == '\n') {
        piece.pop_back();
    }
    if (!piece.empty() && piece.back() == '\r') {
        piece.pop_back();
    }
    return piece;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size) {
    const std::string text(reinterpret_cast<const char *>(data), size);
    FILE *file = fmemopen(const_cast<uint8_t *>(data), size, "r");
    if (!file) {
        return 0;  // fmemopen refuses an empty buffer
    }
    size_t at = 0;
    char line[CREDIT_LINE_BUFFER];
    while (ReadCreditLine(file, line)) {
        Check(at < size);
        // The next piece: through the next line end, or 98 bytes.
        size_t end = text.find('\n', at);
        end = end == std::string::npos ? size : end + 1;
        if (end - at > CREDIT_LINE_BUFFER - 1) {
            end = at + CREDIT_LINE_BUFFER - 1;
        }
        Check(std::strlen(line) <= CREDIT_LINE_BUFFER - 1);
        Check(Shown(text.substr(at, end - at)) == line);
        at = end;
    }
    Check(at == size);
    std::fclose(file);
    return 0;
}
