// FLC encoder: a 128-byte file header, then one 0xF1FA frame per picture. The first
// frame carries the palette and a BYTE_RUN image; later frames carry a DELTA_FLC
// against the previous picture, BYTE_RUN when that is smaller, or nothing at all.

#include "flc_encoder.h"

#include <algorithm>
#include <cstdio>
#include <utility>

namespace {

constexpr uint16_t FILE_MAGIC = 0xAF12;
constexpr uint16_t FRAME_MAGIC = 0xF1FA;
constexpr size_t FILE_HEADER_SIZE = 128;
constexpr size_t FRAME_HEADER_SIZE = 16;
constexpr size_t CHUNK_HEADER_SIZE = 6;

// Longest run or literal a signed count byte can describe.
constexpr int MAX_PACKET = 127;

// Longest column skip of a DELTA_FLC packet that keeps words on even columns.
constexpr int MAX_EVEN_SKIP = 254;

// Longest line skip one DELTA_FLC opcode word can hold.
constexpr int MAX_LINE_SKIP = 16384;

using Bytes = std::vector<uint8_t>;

// Appends a byte.
void PutU8(Bytes &out, unsigned v) {
    out.push_back(static_cast<uint8_t>(v));
}

// Appends a little-endian 16-bit word.
void PutU16(Bytes &out, unsigned v) {
    PutU8(out, v & 0xFF);
    PutU8(out, (v >> 8) & 0xFF);
}

// Appends a little-endian 32-bit word.
void PutU32(Bytes &out, uint32_t v) {
    PutU16(out, v & 0xFFFF);
    PutU16(out, v >> 16);
}

// Overwrites a little-endian 16-bit word written earlier.
void PokeU16(Bytes &out, size_t pos, unsigned v) {
    out[pos] = static_cast<uint8_t>(v & 0xFF);
    out[pos + 1] = static_cast<uint8_t>((v >> 8) & 0xFF);
}

// Overwrites a little-endian 32-bit word written earlier.
void PokeU32(Bytes &out, size_t pos, uint32_t v) {
    PokeU16(out, pos, v & 0xFFFF);
    PokeU16(out, pos + 2, v >> 16);
}

// Appends n zero bytes (reserved header fields).
void PutZeros(Bytes &out, size_t n) {
    out.insert(out.end(), n, 0);
}

// Wraps chunk data in a chunk header, padded so the chunk size stays even.
void AppendChunk(Bytes &out, uint16_t type, const Bytes &data) {
    size_t size = CHUNK_HEADER_SIZE + data.size();
    size_t padded = size + (size & 1);
    PutU32(out, static_cast<uint32_t>(padded));
    PutU16(out, type);
    out.insert(out.end(), data.begin(), data.end());
    PutZeros(out, padded - size);
}

// COLOR_256 data: one packet that sets all 256 entries (a count byte of 0 means 256).
Bytes Color256Data(const std::array<uint8_t, 768> &palette) {
    Bytes data;
    PutU16(data, 1);
    PutU8(data, 0);
    PutU8(data, 0);
    data.insert(data.end(), palette.begin(), palette.end());
    return data;
}

// Number of equal bytes starting at p[x], looking at no more than limit of them.
int ByteRunLength(const uint8_t *p, int x, int end, int limit) {
    int n = 1;
    while (n < limit && x + n < end && p[x + n] == p[x])
        n++;
    return n;
}

// Appends one BYTE_RUN line: a packet count byte, then runs (+n, value) and
// literals (-n, bytes). Lines with more than 255 packets store 0 as the count;
// FLC readers fill the line by its width and ignore the count anyway.
void AppendByteRunLine(const uint8_t *line, int w, Bytes &out) {
    size_t count_pos = out.size();
    PutU8(out, 0);
    int packets = 0;
    int x = 0;
    while (x < w) {
        int run = ByteRunLength(line, x, w, MAX_PACKET);
        if (run >= 3) {
            PutU8(out, static_cast<unsigned>(run));
            PutU8(out, line[x]);
            x += run;
        } else {
            int start = x;
            while (x < w && x - start < MAX_PACKET && ByteRunLength(line, x, w, 3) < 3)
                x++;
            PutU8(out, static_cast<unsigned>(-(x - start)));
            out.insert(out.end(), line + start, line + x);
        }
        packets++;
    }
    out[count_pos] = static_cast<uint8_t>(packets <= 255 ? packets : 0);
}

// BYTE_RUN data: the whole picture, line by line.
Bytes ByteRunData(const uint8_t *pixels, int w, int h) {
    Bytes data;
    for (int y = 0; y < h; y++)
        AppendByteRunLine(pixels + static_cast<size_t>(y) * w, w, data);
    return data;
}

// One line of a DELTA_FLC chunk, compared as 16-bit words at even columns.
struct DeltaLine {
    const uint8_t *prev;
    const uint8_t *cur;
    int words;

    // True when word i did not change since the previous picture.
    bool Same(int i) const {
        return prev[2 * i] == cur[2 * i] && prev[2 * i + 1] == cur[2 * i + 1];
    }

    // True when words i and j of the new picture hold the same two bytes.
    bool Equal(int i, int j) const {
        return cur[2 * i] == cur[2 * j] && cur[2 * i + 1] == cur[2 * j + 1];
    }

    // Number of equal words starting at word i, stopping at end or limit.
    int RunLength(int i, int end, int limit) const {
        int n = 1;
        while (n < limit && i + n < end && Equal(i, i + n))
            n++;
        return n;
    }
};

// Appends the packets that rewrite words [first, end) of a line; the first packet
// carries the column skip. Returns the number of packets written.
int AppendDeltaSpan(const DeltaLine &line, int first, int end, int skip_bytes, Bytes &out) {
    int packets = 0;
    int i = first;
    while (i < end) {
        PutU8(out, static_cast<unsigned>(skip_bytes));
        skip_bytes = 0;
        int run = line.RunLength(i, end, MAX_PACKET);
        if (run >= 2) {
            PutU8(out, static_cast<unsigned>(-run));
            PutU8(out, line.cur[2 * i]);
            PutU8(out, line.cur[2 * i + 1]);
            i += run;
        } else {
            int start = i;
            while (i < end && i - start < MAX_PACKET && line.RunLength(i, end, 3) < 3)
                i++;
            PutU8(out, static_cast<unsigned>(i - start));
            out.insert(out.end(), line.cur + 2 * start, line.cur + 2 * i);
        }
        packets++;
    }
    return packets;
}

// Packets for the even-width part of a line; returns how many were written to out.
int AppendDeltaPackets(const DeltaLine &line, Bytes &out) {
    int packets = 0;
    int pos = 0;  // word the decoder's cursor stands on
    int i = 0;
    while (true) {
        while (i < line.words && line.Same(i))
            i++;
        if (i >= line.words)
            break;
        int skip = 2 * (i - pos);
        while (skip > 255) {  // too far for one skip byte: step with empty packets
            PutU8(out, MAX_EVEN_SKIP);
            PutU8(out, 0);
            skip -= MAX_EVEN_SKIP;
            packets++;
        }
        int end = i + 1;
        while (end < line.words && !line.Same(end))
            end++;
        packets += AppendDeltaSpan(line, i, end, skip, out);
        pos = i = end;
    }
    return packets;
}

// DELTA_FLC data turning prev into cur; empty when the pictures are identical.
// Each changed line is optional skip words (0xC000 | -n), for odd widths an optional
// last-byte word (0x8000 | byte), then a packet count and the packets.
Bytes DeltaFlcData(const uint8_t *prev, const uint8_t *cur, int w, int h) {
    Bytes data;
    PutU16(data, 0);  // line count, patched below
    int lines = 0;
    int pending_skip = 0;
    Bytes packets;
    for (int y = 0; y < h; y++) {
        size_t row = static_cast<size_t>(y) * w;
        DeltaLine line{prev + row, cur + row, w / 2};
        packets.clear();
        int count = AppendDeltaPackets(line, packets);
        bool last_changed = (w & 1) && prev[row + w - 1] != cur[row + w - 1];
        if (count == 0 && !last_changed) {
            pending_skip++;
            continue;
        }
        while (pending_skip > 0) {
            int n = std::min(pending_skip, MAX_LINE_SKIP);
            PutU16(data, 0x10000u - static_cast<unsigned>(n));
            pending_skip -= n;
        }
        if (last_changed)
            PutU16(data, 0x8000u | cur[row + w - 1]);
        PutU16(data, static_cast<unsigned>(count));
        data.insert(data.end(), packets.begin(), packets.end());
        lines++;
    }
    if (lines == 0)
        return Bytes();
    PokeU16(data, 0, static_cast<unsigned>(lines));
    return data;
}

// Appends a frame holding the given chunks (none for an unchanged picture).
void AppendFrame(Bytes &out, const std::vector<std::pair<uint16_t, Bytes>> &chunks) {
    size_t start = out.size();
    PutU32(out, 0);  // frame size, patched below
    PutU16(out, FRAME_MAGIC);
    PutU16(out, static_cast<unsigned>(chunks.size()));
    PutZeros(out, FRAME_HEADER_SIZE - 8);  // delay, reserved, size overrides: none
    for (const auto &chunk : chunks)
        AppendChunk(out, chunk.first, chunk.second);
    PokeU32(out, start, static_cast<uint32_t>(out.size() - start));
}

// Appends the 128-byte file header; size and frame offsets are patched at the end.
void AppendFileHeader(Bytes &out, const FlcMovie &movie) {
    PutU32(out, 0);  // file size
    PutU16(out, FILE_MAGIC);
    PutU16(out, static_cast<unsigned>(movie.frames.size()));
    PutU16(out, static_cast<unsigned>(movie.width));
    PutU16(out, static_cast<unsigned>(movie.height));
    PutU16(out, 8);  // bits per pixel
    PutU16(out, 3);  // flags: written completely and looped
    PutU32(out, static_cast<uint32_t>(movie.ms_per_frame));
    PutU16(out, 0);     // reserved
    PutZeros(out, 16);  // creation/update times and serial numbers
    PutU16(out, 1);     // aspect x: square pixels
    PutU16(out, 1);     // aspect y
    PutZeros(out, 38);  // extension flags, key frames, totals, memory, regions, reserved
    PutU32(out, 0);     // offset of frame 1
    PutU32(out, 0);     // offset of frame 2
    PutZeros(out, 40);
}

}  // namespace

bool IsEncodableFlc(const FlcMovie &movie) {
    if (movie.width < 1 || movie.width > FLC_MAX_SIDE)
        return false;
    if (movie.height < 1 || movie.height > FLC_MAX_SIDE)
        return false;
    if (movie.ms_per_frame < 1 || movie.ms_per_frame > 0xFFFF)
        return false;
    if (movie.frames.empty() || movie.frames.size() > 0xFFFF)
        return false;
    size_t pixels = static_cast<size_t>(movie.width) * movie.height;
    for (const auto &frame : movie.frames) {
        if (frame.size() != pixels)
            return false;
    }
    return true;
}

std::vector<uint8_t> EncodeFlc(const FlcMovie &movie) {
    if (!IsEncodableFlc(movie))
        return Bytes();
    const int w = movie.width;
    const int h = movie.height;
    Bytes out;
    AppendFileHeader(out, movie);
    size_t second_frame = 0;
    for (size_t f = 0; f < movie.frames.size(); f++) {
        const uint8_t *cur = movie.frames[f].data();
        if (f == 0) {
            AppendFrame(out, {{FLC_CHUNK_COLOR_256, Color256Data(movie.palette)},
                              {FLC_CHUNK_BYTE_RUN, ByteRunData(cur, w, h)}});
            second_frame = out.size();
            continue;
        }
        Bytes delta = DeltaFlcData(movie.frames[f - 1].data(), cur, w, h);
        if (delta.empty()) {
            AppendFrame(out, {});
            continue;
        }
        Bytes brun = ByteRunData(cur, w, h);
        if (brun.size() < delta.size()) {
            AppendFrame(out, {{FLC_CHUNK_BYTE_RUN, brun}});
        } else {
            AppendFrame(out, {{FLC_CHUNK_DELTA_FLC, delta}});
        }
    }
    PokeU32(out, 0, static_cast<uint32_t>(out.size()));
    PokeU32(out, 80, static_cast<uint32_t>(FILE_HEADER_SIZE));  // frame 1 follows the header
    PokeU32(out, 84, static_cast<uint32_t>(second_frame));
    return out;
}

bool WriteFlc(const std::string &path, const FlcMovie &movie) {
    Bytes bytes = EncodeFlc(movie);
    if (bytes.empty())
        return false;
    FILE *file = std::fopen(path.c_str(), "wb");
    if (!file)
        return false;
    bool ok = std::fwrite(bytes.data(), 1, bytes.size(), file) == bytes.size();
    ok = std::fflush(file) == 0 && ok;
    ok = std::fclose(file) == 0 && ok;
    return ok;
}
