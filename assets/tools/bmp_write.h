// Tiny header-only writer for uncompressed Windows BMP files with the classic
// 40-byte info header (the flavour Allegro's loaders read): 24-bit RGB and
// 8-bit paletted images, stored bottom-up with rows padded to 4 bytes.
#ifndef TILERIOT_ASSETS_BMP_WRITE_H
#define TILERIOT_ASSETS_BMP_WRITE_H

#include <cstdint>
#include <cstdio>
#include <string>
#include <vector>

namespace bmp_write_detail {

// Appends a little-endian 16-bit value.
inline void Put16(std::vector<uint8_t> &out, uint32_t v) {
    out.push_back(static_cast<uint8_t>(v & 0xff));
    out.push_back(static_cast<uint8_t>((v >> 8) & 0xff));
}

// Appends a little-endian 32-bit value.
inline void Put32(std::vector<uint8_t> &out, uint32_t v) {
    Put16(out, v & 0xffff);
    Put16(out, v >> 16);
}

// Builds the 14-byte file header plus the 40-byte BITMAPINFOHEADER.
inline std::vector<uint8_t> Header(int w, int h, int bpp, uint32_t palette_bytes,
                                   uint32_t image_bytes) {
    std::vector<uint8_t> out;
    const uint32_t offset = 14 + 40 + palette_bytes;
    out.push_back('B');
    out.push_back('M');
    Put32(out, offset + image_bytes);  // total file size
    Put32(out, 0);                     // reserved
    Put32(out, offset);                // start of pixel data
    Put32(out, 40);                    // BITMAPINFOHEADER size
    Put32(out, static_cast<uint32_t>(w));
    Put32(out, static_cast<uint32_t>(h));  // positive: rows stored bottom-up
    Put16(out, 1);                         // planes
    Put16(out, static_cast<uint32_t>(bpp));
    Put32(out, 0);  // BI_RGB, no compression
    Put32(out, image_bytes);
    Put32(out, 2835);                // 72 dpi, horizontally
    Put32(out, 2835);                // and vertically
    Put32(out, bpp == 8 ? 256 : 0);  // palette entries used
    Put32(out, 0);                   // all colours important
    return out;
}

// Writes the whole buffer to a file; false on any I/O failure.
inline bool WriteFile(const std::string &path, const std::vector<uint8_t> &bytes) {
    std::FILE *f = std::fopen(path.c_str(), "wb");
    if (!f) {
        return false;
    }
    const bool ok = std::fwrite(bytes.data(), 1, bytes.size(), f) == bytes.size();
    return std::fclose(f) == 0 && ok;
}

// Rejects sizes that are empty or absurdly large for a build-time image.
inline bool SaneSize(int w, int h) {
    return w > 0 && h > 0 && w <= 16384 && h <= 16384;
}

}  // namespace bmp_write_detail

// Saves a 24-bit image; rgb holds w*h pixels as R,G,B bytes, top row first.
inline bool WriteBmp24(const std::string &path, int w, int h, const std::vector<uint8_t> &rgb) {
    using namespace bmp_write_detail;
    if (!SaneSize(w, h) || rgb.size() != static_cast<size_t>(w) * h * 3) {
        return false;
    }
    const size_t stride = (static_cast<size_t>(w) * 3 + 3) & ~static_cast<size_t>(3);
    std::vector<uint8_t> out = Header(w, h, 24, 0, static_cast<uint32_t>(stride * h));
    for (int y = h - 1; y >= 0; --y) {
        const uint8_t *row = &rgb[static_cast<size_t>(y) * w * 3];
        for (int x = 0; x < w; ++x) {
            out.push_back(row[x * 3 + 2]);  // BMP stores blue first
            out.push_back(row[x * 3 + 1]);
            out.push_back(row[x * 3 + 0]);
        }
        for (size_t pad = static_cast<size_t>(w) * 3; pad < stride; ++pad) {
            out.push_back(0);
        }
    }
    return WriteFile(path, out);
}

// Saves an 8-bit paletted image; pixels holds w*h indices, top row first,
// palette768 holds 256 R,G,B triples (0..255 each).
inline bool WriteBmp8(const std::string &path, int w, int h, const std::vector<uint8_t> &pixels,
                      const std::vector<uint8_t> &palette768) {
    using namespace bmp_write_detail;
    if (!SaneSize(w, h) || pixels.size() != static_cast<size_t>(w) * h ||
        palette768.size() != 768) {
        return false;
    }
    const size_t stride = (static_cast<size_t>(w) + 3) & ~static_cast<size_t>(3);
    std::vector<uint8_t> out = Header(w, h, 8, 1024, static_cast<uint32_t>(stride * h));
    for (int i = 0; i < 256; ++i) {
        out.push_back(palette768[i * 3 + 2]);
        out.push_back(palette768[i * 3 + 1]);
        out.push_back(palette768[i * 3 + 0]);
        out.push_back(0);
    }
    for (int y = h - 1; y >= 0; --y) {
        const uint8_t *row = &pixels[static_cast<size_t>(y) * w];
        out.insert(out.end(), row, row + w);
        for (size_t pad = static_cast<size_t>(w); pad < stride; ++pad) {
            out.push_back(0);
        }
    }
    return WriteFile(path, out);
}

#endif  // TILERIOT_ASSETS_BMP_WRITE_H
