// Build-time tool that rasterises a TrueType font (characters 32..126) with
// FreeType in monochrome and lays the glyphs out in the 8-bit grid image that
// Allegro's bitmap-font importer turns into a one-colour (mono) FONT.
#include <ft2build.h>
#include FT_FREETYPE_H

#include <sys/stat.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "bmp_write.h"

namespace {

// Palette indices understood by Allegro's importer: 255 draws the cell
// borders, 0 is the empty background inside a cell, anything else is ink.
const uint8_t kBorder = 255;
const uint8_t kEmpty = 0;
const uint8_t kInk = 1;

const int kFirstChar = 32;
const int kLastChar = 126;
const int kPerRow = 16;
const long kMaxFontBytes = 32L * 1024 * 1024;

// One rendered character: a cell exactly as wide as the advance (or the ink,
// if that sticks out) and as tall as the font's line.
struct Glyph {
    int w = 0;
    std::vector<uint8_t> ink;  // w * line_height, 1 where set
};

// Returns true when the font file exists and has a plausible size.
bool FontFileOk(const char *path) {
    struct stat st;
    if (stat(path, &st) != 0 || !S_ISREG(st.st_mode)) {
        std::fprintf(stderr, "make_font: cannot find font file %s\n", path);
        return false;
    }
    if (st.st_size <= 0 || st.st_size > kMaxFontBytes) {
        std::fprintf(stderr, "make_font: %s has an implausible size\n", path);
        return false;
    }
    return true;
}

// Renders one character in mono and places it on its baseline inside a cell.
bool RenderGlyph(FT_Face face, int ch, int ascent, int line_height, Glyph *out) {
    if (FT_Load_Char(face, ch, FT_LOAD_RENDER | FT_LOAD_TARGET_MONO | FT_LOAD_MONOCHROME) != 0) {
        std::fprintf(stderr, "make_font: cannot render character %d\n", ch);
        return false;
    }
    const FT_GlyphSlot slot = face->glyph;
    const FT_Bitmap &bm = slot->bitmap;
    if (bm.width > 0 && bm.pixel_mode != FT_PIXEL_MODE_MONO) {
        std::fprintf(stderr, "make_font: character %d did not render in mono\n", ch);
        return false;
    }
    const int advance = static_cast<int>((slot->advance.x + 32) >> 6);
    // Ink hanging left of the pen would be lost, so shift it into the cell.
    const int left = std::max(0, slot->bitmap_left);
    out->w = std::max({1, advance, left + static_cast<int>(bm.width)});
    out->ink.assign(static_cast<size_t>(out->w) * line_height, 0);
    const int top = ascent - slot->bitmap_top;
    for (unsigned row = 0; row < bm.rows; ++row) {
        const int y = top + static_cast<int>(row);
        if (y < 0 || y >= line_height) {
            continue;  // clip anything taller than the line
        }
        const unsigned char *src = bm.buffer + static_cast<long>(row) * bm.pitch;
        for (unsigned col = 0; col < bm.width; ++col) {
            if (src[col >> 3] & (0x80 >> (col & 7))) {
                out->ink[static_cast<size_t>(y) * out->w + left + col] = 1;
            }
        }
    }
    return true;
}

// Lays the glyphs out 16 to a row, each cell framed by border pixels that
// neighbouring cells share, and returns the 8-bit image.
std::vector<uint8_t> BuildGrid(const std::vector<Glyph> &glyphs, int line_height, int *img_w,
                               int *img_h) {
    const int rows = (static_cast<int>(glyphs.size()) + kPerRow - 1) / kPerRow;
    int widest = 0;
    for (int r = 0; r < rows; ++r) {
        int width = 1;
        for (int i = r * kPerRow; i < std::min<int>((r + 1) * kPerRow, glyphs.size()); ++i) {
            width += glyphs[i].w + 1;
        }
        widest = std::max(widest, width);
    }
    *img_w = widest;
    *img_h = 1 + rows * (line_height + 1);
    std::vector<uint8_t> img(static_cast<size_t>(*img_w) * *img_h, kBorder);
    for (size_t i = 0; i < glyphs.size(); ++i) {
        const int r = static_cast<int>(i) / kPerRow;
        int x0 = 1;
        for (size_t j = r * kPerRow; j < i; ++j) {
            x0 += glyphs[j].w + 1;
        }
        const int y0 = 1 + r * (line_height + 1);
        for (int y = 0; y < line_height; ++y) {
            for (int x = 0; x < glyphs[i].w; ++x) {
                const bool set = glyphs[i].ink[static_cast<size_t>(y) * glyphs[i].w + x] != 0;
                img[static_cast<size_t>(y0 + y) * *img_w + x0 + x] = set ? kInk : kEmpty;
            }
        }
    }
    return img;
}

// Palette: black background, white ink, yellow borders (the usual look of
// Allegro font grids when opened in an image editor).
std::vector<uint8_t> GridPalette() {
    std::vector<uint8_t> pal(768, 0);
    pal[kInk * 3 + 0] = pal[kInk * 3 + 1] = pal[kInk * 3 + 2] = 255;
    pal[kBorder * 3 + 0] = pal[kBorder * 3 + 1] = 255;
    return pal;
}

}  // namespace

// Usage: make_font <font.ttf> <pixel size> <output.bmp>
int main(int argc, char **argv) {
    if (argc != 4) {
        std::fprintf(stderr, "usage: %s <font.ttf> <pixel size> <output.bmp>\n", argv[0]);
        return 2;
    }
    const int pixel_size = std::atoi(argv[2]);
    if (pixel_size < 4 || pixel_size > 200) {
        std::fprintf(stderr, "make_font: pixel size must be 4..200, got %s\n", argv[2]);
        return 2;
    }
    if (!FontFileOk(argv[1])) {
        return 1;
    }
    FT_Library lib;
    FT_Face face;
    if (FT_Init_FreeType(&lib) != 0 || FT_New_Face(lib, argv[1], 0, &face) != 0) {
        std::fprintf(stderr, "make_font: FreeType cannot open %s\n", argv[1]);
        return 1;
    }
    if (FT_Set_Pixel_Sizes(face, 0, pixel_size) != 0) {
        std::fprintf(stderr, "make_font: cannot set size %d\n", pixel_size);
        return 1;
    }
    // Hinted size metrics are whole pixels; the line spans ascent to descent.
    const int ascent = static_cast<int>((face->size->metrics.ascender + 63) >> 6);
    const int descent = static_cast<int>((-face->size->metrics.descender + 63) >> 6);
    const int line_height = ascent + descent;

    std::vector<Glyph> glyphs(kLastChar - kFirstChar + 1);
    for (int ch = kFirstChar; ch <= kLastChar; ++ch) {
        if (!RenderGlyph(face, ch, ascent, line_height, &glyphs[ch - kFirstChar])) {
            return 1;
        }
    }
    FT_Done_Face(face);
    FT_Done_FreeType(lib);

    int w = 0, h = 0;
    const std::vector<uint8_t> img = BuildGrid(glyphs, line_height, &w, &h);
    if (!WriteBmp8(argv[3], w, h, img, GridPalette())) {
        std::fprintf(stderr, "make_font: cannot write %s\n", argv[3]);
        return 1;
    }
    std::printf("make_font: %s at %d px -> %s, cell height %d\n", argv[1], pixel_size, argv[3],
                line_height);
    return 0;
}
