// Tiny header-only writer for 8-bit RGBA PNG files, the format of desktop
// icons: one IHDR, one zlib-compressed IDAT with no row filters, one IEND.
// Windows icon files hold such PNG pictures too.
#ifndef TILERIOT_ASSETS_PNG_WRITE_H
#define TILERIOT_ASSETS_PNG_WRITE_H

#include <zlib.h>

#include <cstdint>
#include <cstdio>
#include <string>
#include <vector>

namespace png_write_detail {

// Appends a big-endian 32-bit value, PNG's byte order.
inline void PutBe32(std::vector<uint8_t> &out, uint32_t v) {
    for (int shift = 24; shift >= 0; shift -= 8) {
        out.push_back(static_cast<uint8_t>((v >> shift) & 0xff));
    }
}

// Appends one chunk: length, type, data and the CRC of type and data.
inline void PutChunk(std::vector<uint8_t> &out, const char type[4],
                     const std::vector<uint8_t> &data) {
    PutBe32(out, static_cast<uint32_t>(data.size()));
    const size_t start = out.size();
    out.insert(out.end(), type, type + 4);
    out.insert(out.end(), data.begin(), data.end());
    PutBe32(out,
            static_cast<uint32_t>(crc32(0, &out[start], static_cast<uInt>(out.size() - start))));
}

}  // namespace png_write_detail

// Encodes an RGBA image as a PNG file's bytes; rgba holds w*h pixels as
// R,G,B,A bytes, top row first. Empty when it cannot.
inline std::vector<uint8_t> EncodePngRgba(int w, int h, const std::vector<uint8_t> &rgba) {
    using namespace png_write_detail;
    if (w <= 0 || h <= 0 || w > 4096 || h > 4096 || rgba.size() != static_cast<size_t>(w) * h * 4) {
        return {};
    }
    // Every row starts with its filter type, 0 (none).
    std::vector<uint8_t> rows;
    for (int y = 0; y < h; ++y) {
        rows.push_back(0);
        const auto row = rgba.begin() + static_cast<std::ptrdiff_t>(y) * w * 4;
        rows.insert(rows.end(), row, row + w * 4);
    }
    uLongf packed_size = compressBound(static_cast<uLong>(rows.size()));
    std::vector<uint8_t> packed(packed_size);
    if (compress2(packed.data(), &packed_size, rows.data(), static_cast<uLong>(rows.size()),
                  Z_BEST_COMPRESSION) != Z_OK) {
        return {};
    }
    packed.resize(packed_size);

    std::vector<uint8_t> header;
    PutBe32(header, static_cast<uint32_t>(w));
    PutBe32(header, static_cast<uint32_t>(h));
    header.insert(header.end(), {8, 6, 0, 0, 0});  // 8 bits, RGBA, deflate, no filter, no interlace
    std::vector<uint8_t> out = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1a, '\n'};
    PutChunk(out, "IHDR", header);
    PutChunk(out, "IDAT", packed);
    PutChunk(out, "IEND", {});
    return out;
}

// Saves bytes as the file at path; false if that failed.
inline bool WriteBytes(const std::string &path, const std::vector<uint8_t> &out) {
    std::FILE *f = std::fopen(path.c_str(), "wb");
    if (!f) {
        return false;
    }
    const bool ok = std::fwrite(out.data(), 1, out.size(), f) == out.size();
    return std::fclose(f) == 0 && ok;
}

// Saves an RGBA image as a PNG file.
inline bool WritePngRgba(const std::string &path, int w, int h, const std::vector<uint8_t> &rgba) {
    const std::vector<uint8_t> png = EncodePngRgba(w, h, rgba);
    return !png.empty() && WriteBytes(path, png);
}

#endif  // TILERIOT_ASSETS_PNG_WRITE_H
