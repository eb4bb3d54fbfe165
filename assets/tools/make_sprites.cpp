// Build-time tool that draws the game's sprites (ball, brick, paddle) from code
// and saves them as 24-bit BMPs; pure magenta (255,0,255) marks the pixels
// Allegro treats as transparent once the datafile stores them in 16-bit colour.
// It also draws the desktop icon from the same three sprites, as an RGBA PNG.
#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <iterator>
#include <string>
#include <vector>

#include "bmp_write.h"
#include "png_write.h"

namespace {

// A colour with room to go out of range before Plot() clamps it.
struct Rgb {
    double r, g, b;
};

// A plain 24-bit canvas that starts out fully transparent (magenta).
struct Canvas {
    int w, h;
    std::vector<uint8_t> px;
    // Allocates the pixels and paints them all magenta.
    Canvas(int width, int height) : w(width), h(height), px(static_cast<size_t>(w) * h * 3, 0) {
        for (size_t i = 0; i < px.size(); i += 3) {
            px[i] = 255;
            px[i + 2] = 255;
        }
    }
};

// Light comes from the upper left, slightly in front of the screen.
const double kLight[3] = {-0.45, -0.6, 0.66};

// Converts a shade to bytes and nudges anything that 16-bit colour would fold
// into the magenta mask colour, so opaque pixels never turn see-through.
void Plot(Canvas &c, int x, int y, Rgb col) {
    auto to_byte = [](double v) {
        return static_cast<uint8_t>(std::clamp(static_cast<int>(std::lround(v)), 0, 255));
    };
    uint8_t r = to_byte(col.r), g = to_byte(col.g), b = to_byte(col.b);
    if ((r >> 3) == 31 && (g >> 2) == 0 && (b >> 3) == 31) {
        g = 8;
    }
    uint8_t *p = &c.px[(static_cast<size_t>(y) * c.w + x) * 3];
    p[0] = r;
    p[1] = g;
    p[2] = b;
}

// Phong-style shading of a base colour for a unit surface normal.
Rgb Shade(Rgb base, double nx, double ny, double nz, double shininess, double shine_amount) {
    const double len =
        std::sqrt(kLight[0] * kLight[0] + kLight[1] * kLight[1] + kLight[2] * kLight[2]);
    const double lx = kLight[0] / len, ly = kLight[1] / len, lz = kLight[2] / len;
    const double diffuse = std::max(0.0, nx * lx + ny * ly + nz * lz);
    // Half-vector between the light and a viewer looking straight at the screen.
    double hx = lx, hy = ly, hz = lz + 1.0;
    const double hlen = std::sqrt(hx * hx + hy * hy + hz * hz);
    hx /= hlen;
    hy /= hlen;
    hz /= hlen;
    const double specular =
        shine_amount * std::pow(std::max(0.0, nx * hx + ny * hy + nz * hz), shininess);
    const double light = 0.28 + 0.8 * diffuse;
    return {base.r * light + 255.0 * specular, base.g * light + 255.0 * specular,
            base.b * light + 255.0 * specular};
}

// Scales a colour's brightness.
Rgb Scale(Rgb c, double k) {
    return {c.r * k, c.g * k, c.b * k};
}

// Mixes two colours, t = 0 gives a, t = 1 gives b.
Rgb Mix(Rgb a, Rgb b, double t) {
    return {a.r + (b.r - a.r) * t, a.g + (b.g - a.g) * t, a.b + (b.b - a.b) * t};
}

// Draws a steel ball lit from the upper left with a bright highlight. The game
// shrinks it to 20x20 with stretch_sprite, which keeps every (size/20)th pixel
// starting at 0, so the disc is centred on those samples rather than on the
// image; that way the shrunken ball comes out round and symmetric.
Canvas MakeBall(int size) {
    Canvas c(size, size);
    const double step = size / 20.0;
    const double centre = step * 9.5 + 0.5;
    const double radius = step * 10.0 + 0.45;
    const Rgb steel = {190, 200, 220};
    for (int y = 0; y < size; ++y) {
        for (int x = 0; x < size; ++x) {
            const double dx = (x + 0.5 - centre) / radius;
            const double dy = (y + 0.5 - centre) / radius;
            const double d2 = dx * dx + dy * dy;
            if (d2 > 1.0) {
                continue;
            }
            const double nz = std::sqrt(1.0 - d2);
            Rgb col = Shade(steel, dx, dy, nz, 40.0, 0.95);
            // A darker rim keeps the ball readable on light backgrounds.
            col = Scale(col, 0.75 + 0.25 * std::min(1.0, nz * 2.5));
            Plot(c, x, y, col);
        }
    }
    return c;
}

// Draws a brick with a dark outline, a lit top/left bevel and a shadowed
// bottom/right bevel around a softly graded face.
Canvas MakeBrick(int w, int h, int bevel) {
    Canvas c(w, h);
    const Rgb face = {200, 72, 44};
    for (int y = 0; y < h; ++y) {
        for (int x = 0; x < w; ++x) {
            const int left = x, top = y, right = w - 1 - x, bottom = h - 1 - y;
            const int edge = std::min(std::min(left, top), std::min(right, bottom));
            Rgb col;
            if (edge == 0) {
                col = Scale(face, 0.35);
            } else if (edge <= bevel) {
                // Pick the nearest side; the diagonals split the corners.
                const int nearest_lit = std::min(left, top);
                const int nearest_dark = std::min(right, bottom);
                if (nearest_lit <= nearest_dark) {
                    col = (top <= left) ? Mix(face, Rgb{255, 240, 220}, 0.55)
                                        : Mix(face, Rgb{255, 240, 220}, 0.35);
                } else {
                    col = (bottom <= right) ? Scale(face, 0.5) : Scale(face, 0.62);
                }
            } else {
                const double t = static_cast<double>(y - bevel) / std::max(1, h - 2 * bevel);
                col = Scale(face, 1.08 - 0.16 * t);
            }
            Plot(c, x, y, col);
        }
    }
    return c;
}

// Draws a capsule-shaped paddle: rounded red end caps, a steel-blue middle,
// shaded like a tube so it reads as rounded.
Canvas MakePaddle(int w, int h) {
    Canvas c(w, h);
    const double r = h / 2.0;
    const int cap = static_cast<int>(r * 1.8);  // columns the red caps reach inwards
    const Rgb body = {70, 120, 200};
    const Rgb caps = {210, 60, 40};
    for (int y = 0; y < h; ++y) {
        for (int x = 0; x < w; ++x) {
            const double px = x + 0.5, py = y + 0.5;
            const double spine = std::clamp(px, r, w - r);
            const double nx = (px - spine) / r, ny = (py - r) / r;
            const double d2 = nx * nx + ny * ny;
            if (d2 > 1.0) {
                continue;
            }
            const double nz = std::sqrt(1.0 - d2);
            // Measured from the nearer end so both ends mirror exactly.
            const int from_end = std::min(x, w - 1 - x);
            Rgb col = Shade(from_end < cap ? caps : body, nx, ny, nz, 18.0, 0.7);
            // Two-pixel grooves where the caps meet the body, so they survive
            // the game shrinking the paddle to half width.
            if (from_end == cap - 1 || from_end == cap) {
                col = Scale(col, 0.45);
            }
            col = Scale(col, 0.75 + 0.25 * std::min(1.0, nz * 2.5));
            Plot(c, x, y, col);
        }
    }
    return c;
}

// Saves one canvas, reporting failure on stderr.
bool Save(const std::string &path, const Canvas &c) {
    if (!WriteBmp24(path, c.w, c.h, c.px)) {
        std::fprintf(stderr, "make_sprites: cannot write %s\n", path.c_str());
        return false;
    }
    std::printf("make_sprites: wrote %s (%dx%d)\n", path.c_str(), c.w, c.h);
    return true;
}

// Whether a canvas pixel was never drawn (still the transparent magenta).
bool Transparent(const Canvas &c, size_t i) {
    return c.px[i] == 255 && c.px[i + 1] == 0 && c.px[i + 2] == 255;
}

// Copies a sprite's drawn pixels onto a canvas, its top left corner at x, y.
void Stamp(Canvas &dst, const Canvas &src, int x, int y) {
    for (int sy = 0; sy < src.h; ++sy) {
        for (int sx = 0; sx < src.w; ++sx) {
            const size_t from = (static_cast<size_t>(sy) * src.w + sx) * 3;
            if (!Transparent(src, from)) {
                const uint8_t *p = &src.px[from];
                Plot(dst, x + sx, y + sy, {double(p[0]), double(p[1]), double(p[2])});
            }
        }
    }
}

// The icon's picture, sizes and places as fractions of its side: a dark
// rounded square, five bricks (the ball has taken the sixth), the ball and
// the paddle.
constexpr double kIconCorner = 0.18, kBrickW = 0.26, kBrickH = 0.10, kBallSize = 0.20;
constexpr double kPaddleW = 0.56, kPaddleH = 0.10;
const Rgb kIconBackdrop = {24, 28, 48};

// Draws the icon, size pixels square, as RGBA bytes. It is drawn at four
// times the size and averaged down, so its edges are smooth.
std::vector<uint8_t> MakeIcon(int size) {
    constexpr int kSub = 4;
    const int big = size * kSub;
    auto at = [big](double fraction) { return static_cast<int>(std::lround(fraction * big)); };
    Canvas c(big, big);
    const double r = kIconCorner * big;
    for (int y = 0; y < big; ++y) {
        for (int x = 0; x < big; ++x) {
            const double dx = x + 0.5 - std::clamp(x + 0.5, r, big - r);
            const double dy = y + 0.5 - std::clamp(y + 0.5, r, big - r);
            if (dx * dx + dy * dy <= r * r) {
                Plot(c, x, y, kIconBackdrop);
            }
        }
    }
    const Canvas brick = MakeBrick(at(kBrickW), at(kBrickH), std::max(1, at(kBrickH) / 7));
    for (int row = 0; row < 2; ++row) {
        for (int col = 0; col < 3; ++col) {
            if (row == 1 && col == 1) {
                continue;
            }
            Stamp(c, brick, at(0.08 + col * (kBrickW + 0.03)), at(0.12 + row * (kBrickH + 0.03)));
        }
    }
    Stamp(c, MakeBall(at(kBallSize)), at(0.40), at(0.46));
    Stamp(c, MakePaddle(at(kPaddleW), at(kPaddleH)), at(0.22), at(0.76));

    std::vector<uint8_t> rgba(static_cast<size_t>(size) * size * 4);
    for (int y = 0; y < size; ++y) {
        for (int x = 0; x < size; ++x) {
            int sum[3] = {0, 0, 0}, drawn = 0;
            for (int sy = 0; sy < kSub; ++sy) {
                for (int sx = 0; sx < kSub; ++sx) {
                    const size_t i = (static_cast<size_t>(y * kSub + sy) * big + x * kSub + sx) * 3;
                    if (!Transparent(c, i)) {
                        ++drawn;
                        for (int k = 0; k < 3; ++k) {
                            sum[k] += c.px[i + k];
                        }
                    }
                }
            }
            uint8_t *out = &rgba[(static_cast<size_t>(y) * size + x) * 4];
            for (int k = 0; k < 3; ++k) {
                out[k] = static_cast<uint8_t>(drawn ? sum[k] / drawn : 0);
            }
            out[3] = static_cast<uint8_t>(drawn * 255 / (kSub * kSub));
        }
    }
    return rgba;
}

// A Windows icon file: one picture for each size Windows asks for, every
// one a PNG, listed little-endian in the icon directory ahead of them.
bool WriteWindowsIcon(const std::string &path) {
    constexpr int kSizes[] = {16, 20, 24, 32, 40, 48, 64, 256};
    constexpr size_t kCount = std::size(kSizes), kHeader = 6, kEntry = 16;
    std::vector<uint8_t> directory = {0, 0, 1, 0, static_cast<uint8_t>(kCount), 0}, pictures;
    auto put = [&directory](uint32_t value, int bytes) {
        for (int i = 0; i < bytes; ++i) {
            directory.push_back(static_cast<uint8_t>(value >> (8 * i)));
        }
    };
    for (const int size : kSizes) {
        const std::vector<uint8_t> png = EncodePngRgba(size, size, MakeIcon(size));
        if (png.empty()) {
            return false;
        }
        put(size % 256, 1);  // 0 stands for 256
        put(size % 256, 1);
        put(0, 2);   // no palette, reserved
        put(1, 2);   // colour planes
        put(32, 2);  // bits per pixel
        put(static_cast<uint32_t>(png.size()), 4);
        put(static_cast<uint32_t>(kHeader + kEntry * kCount + pictures.size()), 4);
        pictures.insert(pictures.end(), png.begin(), png.end());
    }
    directory.insert(directory.end(), pictures.begin(), pictures.end());
    return WriteBytes(path, directory);
}

// The X11 window's icon as C++ source: the game hands it to the window
// manager as _NET_WM_ICON, for each size its width, its height, then each
// pixel as 0xAARRGGBB.
bool WriteWindowIconSource(const std::string &path) {
    constexpr int kSizes[] = {16, 24, 32, 48, 64, 128};
    std::string text =
        "// Drawn by make_sprites --window-icon: the window's icon, as _NET_WM_ICON holds it.\n"
        "extern const unsigned long WINDOW_ICON[] = {\n";
    size_t longs = 0;
    char number[32];
    for (const int size : kSizes) {
        const std::vector<uint8_t> rgba = MakeIcon(size);
        std::snprintf(number, sizeof number, "%d, %d,\n", size, size);
        text += number;
        for (size_t i = 0; i < rgba.size(); i += 4) {
            const uint32_t argb = uint32_t{rgba[i + 3]} << 24 | uint32_t{rgba[i]} << 16 |
                                  uint32_t{rgba[i + 1]} << 8 | rgba[i + 2];
            std::snprintf(number, sizeof number, "0x%08x,%s", argb, (i / 4 + 1) % 8 ? " " : "\n");
            text += number;
        }
        longs += 2 + rgba.size() / 4;
    }
    text += "};\nextern const int WINDOW_ICON_LONGS = " + std::to_string(longs) + ";\n";
    return WriteBytes(path, std::vector<uint8_t>(text.begin(), text.end()));
}

}  // namespace

// Usage: make_sprites <output directory>
//        make_sprites --icon <size> <file.png>
//        make_sprites --windows-icon <file.ico>
//        make_sprites --window-icon <file.cpp>
int main(int argc, char **argv) {
    if (argc == 3 && std::string(argv[1]) == "--window-icon") {
        if (!WriteWindowIconSource(argv[2])) {
            std::fprintf(stderr, "make_sprites: cannot write the window's icon to %s\n", argv[2]);
            return 1;
        }
        return 0;
    }
    if (argc == 3 && std::string(argv[1]) == "--windows-icon") {
        if (!WriteWindowsIcon(argv[2])) {
            std::fprintf(stderr, "make_sprites: cannot write the icons to %s\n", argv[2]);
            return 1;
        }
        return 0;
    }
    if (argc == 4 && std::string(argv[1]) == "--icon") {
        const int size = std::atoi(argv[2]);
        if (size < 16 || size > 1024 || !WritePngRgba(argv[3], size, size, MakeIcon(size))) {
            std::fprintf(stderr, "make_sprites: cannot write a %s px icon to %s\n", argv[2],
                         argv[3]);
            return 1;
        }
        return 0;
    }
    if (argc != 2) {
        std::fprintf(stderr,
                     "usage: %s <output directory>\n       %s --icon <size> <file.png>\n"
                     "       %s --windows-icon <file.ico>\n       %s --window-icon <file.cpp>\n",
                     argv[0], argv[0], argv[0], argv[0]);
        return 2;
    }
    const std::string dir = std::string(argv[1]) + "/";
    const bool ok = Save(dir + "ball.bmp", MakeBall(60)) &&
                    Save(dir + "brick.bmp", MakeBrick(59, 21, 3)) &&
                    Save(dir + "paddle.bmp", MakePaddle(150, 25));
    return ok ? 0 : 1;
}
