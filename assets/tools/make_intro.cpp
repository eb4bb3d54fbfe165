// Build-time tool that draws the TileRiot intro (falling bricks, a ball and paddle,
// the title fading in) as 640x480 palette frames and saves it as an FLC movie.
// Usage: make_intro <font.ttf> <output.flc>

#include <ft2build.h>
#include FT_FREETYPE_H

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <string>
#include <utility>
#include <vector>

#include "flc_encoder.h"

namespace {

constexpr int SCREEN_W = 640;
constexpr int SCREEN_H = 480;
constexpr int MS_PER_FRAME = 45;  // about 22 frames a second
constexpr int FRAME_COUNT = 100;  // 4.5 seconds, the last second of it still

// Palette layout: black, then one block of shades per kind of object.
constexpr int BRICK_BASE = 16;  // 4 shades per brick row colour
constexpr int BRICK_SHADES = 4;
constexpr int BALL_BASE = 64;  // dark to white
constexpr int BALL_SHADES = 32;
constexpr int PADDLE_BASE = 96;  // dark to bright steel
constexpr int PADDLE_SHADES = 32;
constexpr int TITLE_BASE = 128;  // 8 colour bands top to bottom, 16 brightness levels each
constexpr int TITLE_BANDS = 8;
constexpr int TITLE_LEVELS = 16;

// Brick wall: 10 columns by 5 rows of 56x22 bricks on a 60x26 grid.
constexpr int BRICK_COLS = 10;
constexpr int BRICK_ROWS = 5;
constexpr int BRICK_W = 56;
constexpr int BRICK_H = 22;
constexpr int BRICK_BEVEL = 3;
constexpr int WALL_LEFT = (SCREEN_W - BRICK_COLS * 60) / 2 + 2;
constexpr int WALL_TOP = 56;

// Paddle and ball resting positions.
constexpr int PADDLE_W = 120;
constexpr int PADDLE_H = 16;
constexpr int PADDLE_TOP = 440;
constexpr double BALL_R = 10.0;

// Title: final pixel size and where the middle of its ink ends up.
constexpr int TITLE_PX = 92;
constexpr int TITLE_CX = SCREEN_W / 2;
constexpr int TITLE_CY = 312;
constexpr char TITLE[] = "TileRiot";

// Brick row colours, top row first.
constexpr int ROW_RGB[BRICK_ROWS][3] = {
    {220, 64, 64}, {236, 140, 44}, {228, 206, 64}, {84, 190, 96}, {72, 132, 222}};

// Title gradient stops, from the top of the letters down.
constexpr int TITLE_STOPS = 4;
constexpr int TITLE_RGB[TITLE_STOPS][3] = {
    {255, 246, 176}, {255, 214, 96}, {250, 168, 56}, {232, 116, 44}};

// One palette-indexed picture with clipped pixel writes.
struct Canvas {
    std::vector<uint8_t> px = std::vector<uint8_t>(SCREEN_W * SCREEN_H, 0);

    // Sets a pixel, ignoring anything off screen.
    void Put(int x, int y, int index) {
        if (x < 0 || y < 0 || x >= SCREEN_W || y >= SCREEN_H)
            return;
        px[y * SCREEN_W + x] = static_cast<uint8_t>(index);
    }
};

// Clamps v into [0, 1].
double Clamp01(double v) {
    return std::min(1.0, std::max(0.0, v));
}

// Progress of time t through the window [start, start + length], clamped to [0, 1].
double Progress(double t, double start, double length) {
    return Clamp01((t - start) / length);
}

// Decelerating ease: fast start, gentle arrival.
double EaseOut(double u) {
    return 1.0 - (1.0 - u) * (1.0 - u) * (1.0 - u);
}

// Linear blend of two colour components.
int Mix(int a, int b, double k) {
    return static_cast<int>(std::lround(a + (b - a) * k));
}

// Stores one palette entry.
void SetRgb(std::array<uint8_t, 768> &pal, int index, int r, int g, int b) {
    pal[3 * index] = static_cast<uint8_t>(std::clamp(r, 0, 255));
    pal[3 * index + 1] = static_cast<uint8_t>(std::clamp(g, 0, 255));
    pal[3 * index + 2] = static_cast<uint8_t>(std::clamp(b, 0, 255));
}

// Fills count entries from base with a three-stop gradient dark -> mid -> light.
void SetRamp(std::array<uint8_t, 768> &pal, int base, int count, const int dark[3],
             const int mid[3], const int light[3]) {
    for (int i = 0; i < count; i++) {
        double k = static_cast<double>(i) / (count - 1);
        const int *a = k < 0.6 ? dark : mid;
        const int *b = k < 0.6 ? mid : light;
        double local = k < 0.6 ? k / 0.6 : (k - 0.6) / 0.4;
        SetRgb(pal, base + i, Mix(a[0], b[0], local), Mix(a[1], b[1], local),
               Mix(a[2], b[2], local));
    }
}

// The whole palette: brick bevel shades, ball and paddle ramps, title bands.
std::array<uint8_t, 768> IntroPalette() {
    std::array<uint8_t, 768> pal{};
    for (int row = 0; row < BRICK_ROWS; row++) {
        const int *c = ROW_RGB[row];
        int base = BRICK_BASE + row * BRICK_SHADES;
        SetRgb(pal, base + 0, Mix(c[0], 255, 0.5), Mix(c[1], 255, 0.5), Mix(c[2], 255, 0.5));
        SetRgb(pal, base + 1, Mix(c[0], 255, 0.14), Mix(c[1], 255, 0.14), Mix(c[2], 255, 0.14));
        SetRgb(pal, base + 2, c[0], c[1], c[2]);
        SetRgb(pal, base + 3, Mix(0, c[0], 0.5), Mix(0, c[1], 0.5), Mix(0, c[2], 0.5));
    }
    const int ball_dark[3] = {28, 34, 52}, ball_mid[3] = {196, 204, 224},
              ball_light[3] = {255, 255, 255};
    SetRamp(pal, BALL_BASE, BALL_SHADES, ball_dark, ball_mid, ball_light);
    const int paddle_dark[3] = {18, 34, 72}, paddle_mid[3] = {80, 146, 224},
              paddle_light[3] = {226, 244, 255};
    SetRamp(pal, PADDLE_BASE, PADDLE_SHADES, paddle_dark, paddle_mid, paddle_light);
    for (int band = 0; band < TITLE_BANDS; band++) {
        double pos = static_cast<double>(band) / (TITLE_BANDS - 1) * (TITLE_STOPS - 1);
        int stop = std::min(static_cast<int>(pos), TITLE_STOPS - 2);
        const int *a = TITLE_RGB[stop], *b = TITLE_RGB[stop + 1];
        int c[3] = {Mix(a[0], b[0], pos - stop), Mix(a[1], b[1], pos - stop),
                    Mix(a[2], b[2], pos - stop)};
        for (int level = 0; level < TITLE_LEVELS; level++) {
            double k = static_cast<double>(level) / (TITLE_LEVELS - 1);
            SetRgb(pal, TITLE_BASE + band * TITLE_LEVELS + level, Mix(0, c[0], k), Mix(0, c[1], k),
                   Mix(0, c[2], k));
        }
    }
    return pal;
}

// Brightness of a surface with the given unit normal, lit from the upper left.
double Shade(double nx, double ny, double nz) {
    const double len = std::sqrt(0.45 * 0.45 + 0.6 * 0.6 + 0.66 * 0.66);
    double diffuse = std::max(0.0, (-0.45 * nx - 0.6 * ny + 0.66 * nz) / len);
    double highlight = std::pow(diffuse, 28.0);
    return Clamp01(0.12 + 0.7 * diffuse + 0.45 * highlight);
}

// Draws a bevelled brick: light top and left edges, dark bottom and right edges,
// mitred corners, and a slightly brighter upper half of the face.
void DrawBrick(Canvas &canvas, int x0, int y0, int row) {
    int base = BRICK_BASE + row * BRICK_SHADES;
    for (int j = 0; j < BRICK_H; j++) {
        for (int i = 0; i < BRICK_W; i++) {
            int lit = std::min(i, j);
            int dark = std::min(BRICK_W - 1 - i, BRICK_H - 1 - j);
            int shade = j < BRICK_H / 2 ? 1 : 2;
            if (std::min(lit, dark) < BRICK_BEVEL) {
                if (lit < dark)
                    shade = 0;
                if (dark < lit)
                    shade = 3;
            }
            canvas.Put(x0 + i, y0 + j, base + shade);
        }
    }
}

// Height of a falling brick above its place: a gravity drop, then one small hop.
double BrickLift(double u) {
    const double drop = 560.0, landing = 0.78, hop = 9.0;
    if (u < landing) {
        double k = u / landing;
        return drop * (1.0 - k * k);
    }
    double v = (u - landing) / (1.0 - landing);
    return hop * 4.0 * v * (1.0 - v);
}

// Drops the wall in row by row from the bottom, each row as a wave from the left;
// the first bricks are already falling when the movie starts.
void DrawWall(Canvas &canvas, double t) {
    for (int row = BRICK_ROWS - 1; row >= 0; row--) {
        for (int col = 0; col < BRICK_COLS; col++) {
            double start = -0.35 + (BRICK_ROWS - 1 - row) * 0.2 + col * 0.035;
            double u = Progress(t, start, 0.6);
            if (u <= 0.0)
                continue;
            int lift = static_cast<int>(std::lround(BrickLift(u)));
            DrawBrick(canvas, WALL_LEFT + col * 60, WALL_TOP + row * 26 - lift, row);
        }
    }
}

// Draws a shaded ball centred at (cx, cy).
void DrawBall(Canvas &canvas, double cx, double cy) {
    for (int y = static_cast<int>(cy - BALL_R) - 1; y <= static_cast<int>(cy + BALL_R) + 1; y++) {
        for (int x = static_cast<int>(cx - BALL_R) - 1; x <= static_cast<int>(cx + BALL_R) + 1;
             x++) {
            double dx = (x + 0.5 - cx) / BALL_R, dy = (y + 0.5 - cy) / BALL_R;
            double d2 = dx * dx + dy * dy;
            if (d2 > 1.0)
                continue;
            double level = Shade(dx, dy, std::sqrt(1.0 - d2));
            canvas.Put(x, y, BALL_BASE + static_cast<int>(std::lround(level * (BALL_SHADES - 1))));
        }
    }
}

// Draws the paddle as a shaded capsule whose left edge is at x0.
void DrawPaddle(Canvas &canvas, double x0) {
    const double r = PADDLE_H / 2.0;
    const double cy = PADDLE_TOP + r;
    for (int y = PADDLE_TOP; y < PADDLE_TOP + PADDLE_H; y++) {
        for (int x = static_cast<int>(std::floor(x0)); x <= static_cast<int>(x0 + PADDLE_W); x++) {
            double px = x + 0.5, dy = (y + 0.5 - cy) / r;
            double end_cx = std::clamp(px, x0 + r, x0 + PADDLE_W - r);
            double dx = (px - end_cx) / r;
            double d2 = dx * dx + dy * dy;
            if (d2 > 1.0)
                continue;
            double level = Shade(dx, dy, std::sqrt(1.0 - d2));
            canvas.Put(x, y,
                       PADDLE_BASE + static_cast<int>(std::lround(level * (PADDLE_SHADES - 1))));
        }
    }
}

// Slides the paddle in from the left and arcs the ball in from the right onto it,
// finishing with a little bounce.
void DrawPaddleAndBall(Canvas &canvas, double t) {
    double slide = EaseOut(Progress(t, 1.1, 1.0));
    double paddle_x = -PADDLE_W - 10 + (SCREEN_W / 2 - PADDLE_W / 2 + PADDLE_W + 10) * slide;
    if (t >= 1.1)
        DrawPaddle(canvas, paddle_x);

    const double rest_x = SCREEN_W / 2.0, rest_y = PADDLE_TOP - BALL_R - 1.0;
    const double start_x = SCREEN_W + 2 * BALL_R, start_y = 320.0, arc = 110.0;
    if (t < 1.4)
        return;
    double s = Progress(t, 1.4, 0.9);
    double x = start_x + (rest_x - start_x) * s;
    double y = start_y + (rest_y - start_y) * s - arc * 4.0 * s * (1.0 - s);
    double hop = Progress(t, 2.3, 0.3);
    y -= 16.0 * 4.0 * hop * (1.0 - hop);
    DrawBall(canvas, x, y);
}

// Anti-aliased coverage of a line of text, 0..255 per pixel.
struct Coverage {
    int w = 0, h = 0;
    std::vector<uint8_t> px;
};

// Owns the FreeType library and the title font, and lays out the title.
class TitleFont {
public:
    // Releases the face and the library.
    ~TitleFont() {
        if (face_)
            FT_Done_Face(face_);
        if (library_)
            FT_Done_FreeType(library_);
    }

    // Loads the font; on failure fills error and returns false.
    bool Open(const std::string &path, std::string &error) {
        if (FT_Init_FreeType(&library_) != 0) {
            library_ = nullptr;
            error = "cannot initialise FreeType";
            return false;
        }
        if (FT_New_Face(library_, path.c_str(), 0, &face_) != 0) {
            face_ = nullptr;
            error = "cannot load font '" + path + "'";
            return false;
        }
        for (const char *c = TITLE; *c; c++) {
            if (FT_Get_Char_Index(face_, static_cast<FT_ULong>(*c)) == 0) {
                error = "font '" + path + "' has no glyph for '" + std::string(1, *c) + "'";
                return false;
            }
        }
        return true;
    }

    // Renders the title at the given pixel size into a coverage buffer with margins.
    bool Render(int pixel_size, Coverage &out, std::string &error) {
        if (FT_Set_Pixel_Sizes(face_, 0, static_cast<FT_UInt>(pixel_size)) != 0) {
            error = "font cannot be scaled to " + std::to_string(pixel_size) + " pixels";
            return false;
        }
        out.w = pixel_size * 8;
        out.h = pixel_size * 2;
        out.px.assign(static_cast<size_t>(out.w) * out.h, 0);
        int pen = pixel_size / 2;
        const int baseline = pixel_size * 3 / 2;
        FT_UInt previous = 0;
        for (const char *c = TITLE; *c; c++) {
            FT_UInt glyph = FT_Get_Char_Index(face_, static_cast<FT_ULong>(*c));
            if (previous && FT_HAS_KERNING(face_)) {
                FT_Vector kern;
                if (FT_Get_Kerning(face_, previous, glyph, FT_KERNING_DEFAULT, &kern) == 0) {
                    pen += static_cast<int>(kern.x >> 6);
                }
            }
            if (FT_Load_Glyph(face_, glyph, FT_LOAD_RENDER) != 0) {
                error = "cannot render glyph '" + std::string(1, *c) + "'";
                return false;
            }
            const FT_GlyphSlot slot = face_->glyph;
            Blend(out, slot->bitmap, pen + slot->bitmap_left, baseline - slot->bitmap_top);
            pen += static_cast<int>(slot->advance.x >> 6);
            previous = glyph;
        }
        return true;
    }

private:
    // Merges a rendered glyph (grey or 1-bit) into the coverage buffer at (x0, y0).
    static void Blend(Coverage &out, const FT_Bitmap &bmp, int x0, int y0) {
        for (unsigned row = 0; row < bmp.rows; row++) {
            const unsigned char *src = bmp.buffer + static_cast<long>(row) * bmp.pitch;
            for (unsigned col = 0; col < bmp.width; col++) {
                int value = bmp.pixel_mode == FT_PIXEL_MODE_MONO
                                ? ((src[col >> 3] >> (7 - (col & 7))) & 1) * 255
                                : src[col];
                int x = x0 + static_cast<int>(col), y = y0 + static_cast<int>(row);
                if (x < 0 || y < 0 || x >= out.w || y >= out.h)
                    continue;
                uint8_t &dst = out.px[static_cast<size_t>(y) * out.w + x];
                dst = static_cast<uint8_t>(std::max<int>(dst, value));
            }
        }
    }

    FT_Library library_ = nullptr;
    FT_Face face_ = nullptr;
};

// Draws the title centred on (TITLE_CX, TITLE_CY), growing to full size while it
// brightens from black; the colour band follows the final letter height.
bool DrawTitle(Canvas &canvas, TitleFont &font, double t, std::string &error) {
    double u = EaseOut(Progress(t, 2.4, 1.05));
    if (u <= 0.0)
        return true;
    int size = static_cast<int>(std::lround(TITLE_PX * (0.8 + 0.2 * u)));
    Coverage cov;
    if (!font.Render(size, cov, error))
        return false;
    int left = cov.w, right = -1, top = cov.h, bottom = -1;
    for (int y = 0; y < cov.h; y++) {
        for (int x = 0; x < cov.w; x++) {
            if (!cov.px[static_cast<size_t>(y) * cov.w + x])
                continue;
            left = std::min(left, x);
            right = std::max(right, x);
            top = std::min(top, y);
            bottom = std::max(bottom, y);
        }
    }
    if (right < 0)
        return true;
    int dx = TITLE_CX - (left + right + 1) / 2, dy = TITLE_CY - (top + bottom + 1) / 2;
    double ink_h = bottom - top + 1;
    for (int y = top; y <= bottom; y++) {
        int band = std::min(TITLE_BANDS - 1, static_cast<int>((y - top) / ink_h * TITLE_BANDS));
        for (int x = left; x <= right; x++) {
            double c = cov.px[static_cast<size_t>(y) * cov.w + x] / 255.0;
            int level = static_cast<int>(std::lround(c * u * (TITLE_LEVELS - 1)));
            if (level > 0)
                canvas.Put(x + dx, y + dy, TITLE_BASE + band * TITLE_LEVELS + level);
        }
    }
    return true;
}

// Draws frame number f of the intro.
bool DrawFrame(int f, TitleFont &font, Canvas &canvas, std::string &error) {
    double t = f * MS_PER_FRAME / 1000.0;
    DrawWall(canvas, t);
    if (!DrawTitle(canvas, font, t, error))
        return false;
    DrawPaddleAndBall(canvas, t);
    return true;
}

}  // namespace

// Draws every frame and writes the movie; exits non-zero with a message on failure.
int main(int argc, char **argv) {
    if (argc != 3) {
        std::fprintf(stderr, "usage: make_intro <font.ttf> <output.flc>\n");
        return 2;
    }
    std::string error;
    TitleFont font;
    if (!font.Open(argv[1], error)) {
        std::fprintf(stderr, "make_intro: %s\n", error.c_str());
        return 1;
    }
    FlcMovie movie;
    movie.width = SCREEN_W;
    movie.height = SCREEN_H;
    movie.ms_per_frame = MS_PER_FRAME;
    movie.palette = IntroPalette();
    for (int f = 0; f < FRAME_COUNT; f++) {
        Canvas canvas;
        if (!DrawFrame(f, font, canvas, error)) {
            std::fprintf(stderr, "make_intro: frame %d: %s\n", f, error.c_str());
            return 1;
        }
        movie.frames.push_back(std::move(canvas.px));
    }
    if (!WriteFlc(argv[2], movie)) {
        std::fprintf(stderr, "make_intro: cannot write '%s'\n", argv[2]);
        return 1;
    }
    return 0;
}
