// The presenter. The game draws every picture at 640x480 in 16-bit colour;
// this file alone decides what of it reaches the display and how large.

#include "display/presenter.h"

#include <algorithm>
#include <array>
#include <atomic>
#include <cstdint>
#include <cstring>

#include "display/picture.h"

namespace {

BITMAP *Shown = nullptr;   // the picture as the display shows it now
BITMAP *Scaled = nullptr;  // the picture at the display's size and depth
PictureFit Fit = {PICTURE_W, PICTURE_H, 0, 0};
std::atomic<bool> SendWhole{true};  // the screen may not show Shown: send it all
std::vector<Span> Changes;          // reused from frame to frame

// The first scaled column (or row) that shows picture column x, of a picture
// scaled from `from` to `to` pixels.
int FirstScaled(int x, int from, int to) {
    return (x * to + from - 1) / from;
}

// The picture column each scaled column shows, for the width asked last.
const std::vector<int> &ColumnsFor(int width) {
    static std::vector<int> columns;
    if (static_cast<int>(columns.size()) != width) {
        columns.resize(width);
        for (int x = 0; x < width; ++x) {
            columns[x] = x * PICTURE_W / width;
        }
    }
    return columns;
}

// 16-bit colours as the library converts them to 32 bits.
const std::array<uint32_t, 65536> &TrueColours() {
    static std::array<uint32_t, 65536> colours = [] {
        std::array<uint32_t, 65536> table;
        for (int c = 0; c < 65536; ++c) {
            table[c] = makecol32(getr16(c), getg16(c), getb16(c));
        }
        return table;
    }();
    return colours;
}

// One scaled row from picture row `row`, columns x0 to x1 - 1.
template <typename Pixel, typename Convert>
void ScaleRow(const uint16_t *row, Pixel *out, int x0, int x1, const std::vector<int> &columns,
              Convert convert) {
    for (int x = x0; x < x1; ++x) {
        out[x] = convert(row[columns[x]]);
    }
}

}  // namespace

PictureFit FitPicture(int width, int height) {
    PictureFit fit;
    if (width * 3 >= height * 4) {
        fit.Width = height * 4 / 3;
        fit.Height = height;
    } else {
        fit.Width = width;
        fit.Height = width * 3 / 4;
    }
    fit.Left = (width - fit.Width) / 2;
    fit.Top = (height - fit.Height) / 2;
    return fit;
}

void TakeChanges(BITMAP *frame, BITMAP *shown, std::vector<Span> &spans) {
    spans.clear();
    bool open = false;  // the last span reaches the row above
    for (int y = 0; y < PICTURE_H; ++y) {
        const auto *now = reinterpret_cast<const uint16_t *>(frame->line[y]);
        auto *was = reinterpret_cast<uint16_t *>(shown->line[y]);
        if (std::memcmp(now, was, PICTURE_W * sizeof *now) == 0) {
            open = false;
            continue;
        }
        int first = 0, last = PICTURE_W - 1;
        while (now[first] == was[first]) {
            ++first;
        }
        while (now[last] == was[last]) {
            --last;
        }
        std::memcpy(was + first, now + first, (last - first + 1) * sizeof *now);
        if (open) {
            Span &span = spans.back();
            span.X0 = std::min(span.X0, first);
            span.X1 = std::max(span.X1, last + 1);
            span.Y1 = y + 1;
        } else {
            spans.push_back({first, y, last + 1, y + 1});
            open = true;
        }
    }
}

Span ScaleSpan(BITMAP *picture, const Span &span, BITMAP *scaled) {
    const int width = scaled->w, height = scaled->h;
    const Span out = {
        FirstScaled(span.X0, PICTURE_W, width), FirstScaled(span.Y0, PICTURE_H, height),
        FirstScaled(span.X1, PICTURE_W, width), FirstScaled(span.Y1, PICTURE_H, height)};
    const std::vector<int> &columns = ColumnsFor(width);
    const int bytes = bitmap_color_depth(scaled) == 32 ? 4 : 2;
    int made = -1;  // the picture row the scaled row above shows
    for (int y = out.Y0; y < out.Y1; ++y) {
        const int row = y * PICTURE_H / height;
        unsigned char *line = scaled->line[y];
        if (row == made) {  // a taller pixel: the same as the row above
            std::memcpy(line + out.X0 * bytes, scaled->line[y - 1] + out.X0 * bytes,
                        (out.X1 - out.X0) * bytes);
            continue;
        }
        const auto *source = reinterpret_cast<const uint16_t *>(picture->line[row]);
        if (bytes == 4) {
            const auto &colours = TrueColours();
            ScaleRow(source, reinterpret_cast<uint32_t *>(line), out.X0, out.X1, columns,
                     [&colours](uint16_t c) { return colours[c]; });
        } else {
            ScaleRow(source, reinterpret_cast<uint16_t *>(line), out.X0, out.X1, columns,
                     [](uint16_t c) { return c; });
        }
        made = row;
    }
    return out;
}

void ResetPresenter() {
    Fit = FitPicture(SCREEN_W, SCREEN_H);
    if (!Shown) {
        Shown = create_bitmap_ex(16, PICTURE_W, PICTURE_H);
        clear_bitmap(Shown);
    }
    if (Scaled) {
        destroy_bitmap(Scaled);
    }
    Scaled = create_bitmap_ex(bitmap_color_depth(screen), Fit.Width, Fit.Height);
    clear_to_color(screen, 0);
    SendWhole = true;
}

void PresentFrame(BITMAP *frame) {
    if (!screen || !Shown || !Scaled) {
        return;
    }
    if (SendWhole.exchange(false)) {
        if (frame != Shown) {
            blit(frame, Shown, 0, 0, 0, 0, PICTURE_W, PICTURE_H);
        }
        Changes.assign(1, {0, 0, PICTURE_W, PICTURE_H});
    } else {
        TakeChanges(frame, Shown, Changes);
    }
    if (Changes.empty()) {
        return;
    }
    acquire_screen();
    for (const Span &span : Changes) {
        const Span out = ScaleSpan(Shown, span, Scaled);
        blit(Scaled, screen, out.X0, out.Y0, Fit.Left + out.X0, Fit.Top + out.Y0, out.X1 - out.X0,
             out.Y1 - out.Y0);
    }
    release_screen();
}

void SpoilDisplay() {
    SendWhole = true;
}

bool DisplaySpoiled() {
    return SendWhole;
}

void RepaintDisplay() {
    SendWhole = true;
    PresentFrame(Shown);
}

const PictureFit &CurrentFit() {
    return Fit;
}

void ShutDownPresenter() {
    for (BITMAP **bitmap : {&Shown, &Scaled}) {
        if (*bitmap) {
            destroy_bitmap(*bitmap);
            *bitmap = nullptr;
        }
    }
}
