// Build-time check of tr_data2.dat: loads it headless the way the game does and
// fails unless the objects sit at the indices the game uses, the fonts are
// one-colour, and the text (optionally credits.txt too) fits the 640x480 screens.
#include <allegro.h>

#include <sys/stat.h>

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <string>

namespace {

const long kMaxDatafileBytes = 64L * 1024 * 1024;
const int kScreenW = 640;
const int kNameLen = 31;  // longest player name the game accepts

// Object indices the game relies on.
enum {
    kBall = 0,
    kBrick = 1,
    kTitleFont = 2,
    kTextFont = 3,
    kPaddle = 4,
    kSecondFont = 5,
    kPanelFont = 6,
    kObjectCount = 7
};

int g_failures = 0;

// Records one numeric check, printing the measurement either way.
void Expect(bool ok, const char *what, int value, const char *limit) {
    std::printf("  %-58s %5d  %s (%s)\n", what, value, ok ? "ok" : "FAIL", limit);
    if (!ok) {
        ++g_failures;
    }
}

// Returns a readable name for the object types we expect.
const char *TypeName(int type) {
    if (type == DAT_BITMAP) {
        return "BMP";
    }
    if (type == DAT_FONT) {
        return "FONT";
    }
    return "other";
}

// Refuses missing, empty or suspiciously huge files before Allegro reads them.
bool FileSizeOk(const char *path) {
    struct stat st;
    if (stat(path, &st) != 0 || !S_ISREG(st.st_mode)) {
        std::fprintf(stderr, "check_datafile: %s does not exist\n", path);
        return false;
    }
    if (st.st_size <= 0 || st.st_size > kMaxDatafileBytes) {
        std::fprintf(stderr, "check_datafile: %s has an implausible size (%ld bytes)\n", path,
                     static_cast<long>(st.st_size));
        return false;
    }
    return true;
}

// Checks that the objects come in the order and with the types the game expects.
bool CheckLayout(const DATAFILE *dat) {
    static const int kTypes[kObjectCount] = {DAT_BITMAP, DAT_BITMAP, DAT_FONT, DAT_FONT,
                                             DAT_BITMAP, DAT_FONT,   DAT_FONT};
    int count = 0;
    while (count < 1000 && dat[count].type != DAT_END) {
        ++count;
    }
    std::printf("check_datafile: %d objects\n", count);
    if (count < kObjectCount) {
        std::fprintf(stderr, "check_datafile: need at least %d objects, found %d\n", kObjectCount,
                     count);
        return false;
    }
    bool ok = true;
    for (int i = 0; i < kObjectCount; ++i) {
        const char *name = get_datafile_property(dat + i, DAT_NAME);
        std::printf("  [%d] %-5s %s\n", i, TypeName(dat[i].type), name ? name : "");
        if (dat[i].type != kTypes[i]) {
            std::fprintf(stderr, "check_datafile: object %d is %s, expected %s\n", i,
                         TypeName(dat[i].type), TypeName(kTypes[i]));
            ok = false;
        }
    }
    return ok;
}

// Checks a sprite's size, colour depth and which pixels are see-through.
void CheckSprite(const char *label, BITMAP *bmp, bool corners_clear) {
    std::printf("%s: %dx%d, %d-bit\n", label, bmp->w, bmp->h, bitmap_color_depth(bmp));
    Expect(bitmap_color_depth(bmp) == 16, "colour depth", bitmap_color_depth(bmp), "16");
    Expect(bmp->w >= 8 && bmp->h >= 8, "width", bmp->w, ">= 8");
    const int mask = bitmap_mask_color(bmp);
    Expect(getpixel(bmp, bmp->w / 2, bmp->h / 2) != mask, "centre pixel is opaque",
           getpixel(bmp, bmp->w / 2, bmp->h / 2), "not mask colour");
    if (corners_clear) {
        Expect(getpixel(bmp, 0, 0) == mask && getpixel(bmp, bmp->w - 1, bmp->h - 1) == mask,
               "corner pixels are transparent", getpixel(bmp, 0, 0), "mask colour");
    }
}

// Prints a font's basics and checks it draws in a single colour.
void CheckFont(const char *label, FONT *f) {
    std::printf("%s: text_height %d, %s\n", label, text_height(f),
                is_mono_font(f) ? "mono" : "colour");
    Expect(is_mono_font(f) && !is_color_font(f), "font is monochrome", is_mono_font(f), "1");
}

// Measures a line of text and requires it to fit in the given width.
void ExpectFits(FONT *f, const std::string &text, int max_w) {
    const int w = text_length(f, text.c_str());
    const std::string shown = text.size() > 44 ? text.substr(0, 41) + "..." : text;
    const std::string what = "width \"" + shown + "\"";
    Expect(w <= max_w, what.c_str(), w, ("<= " + std::to_string(max_w)).c_str());
}

// Returns the widest capital letter of a font, for worst-case player names.
char WidestCapital(FONT *f) {
    char widest = 'A';
    for (char c = 'A'; c <= 'Z'; ++c) {
        const char a[2] = {c, 0}, b[2] = {widest, 0};
        if (text_length(f, a) > text_length(f, b)) {
            widest = c;
        }
    }
    return widest;
}

// Checks the menu, instructions and dialog screens (title and text fonts).
void CheckTitleAndText(FONT *title, FONT *text) {
    const int h2 = text_height(title), h3 = text_height(text);
    std::printf("layout: title and dialog screens\n");
    // Menu items 1..6 start at 5 + h2 + (h3 + 20) * i; the help line sits at y 470.
    const int menu_bottom = 5 + h2 + (h3 + 20) * 6 + (h2 > h3 ? h2 : h3);
    Expect(menu_bottom <= 470, "menu: bottom of item 6", menu_bottom, "<= 470");
    Expect(10 + h2 <= 70, "instructions: title bottom", 10 + h2, "<= 70");
    ExpectFits(title, "INSTRUCTIONS", kScreenW);
    // Dialogs: up to ten lines from y 30, spaced h3 + 5.
    const int dialog_bottom = 30 + 9 * (h3 + 5) + h3;
    Expect(dialog_bottom <= 470, "dialog: bottom of line 10", dialog_bottom, "<= 470");
    // The typed name is echoed at x 220.
    ExpectFits(text, "ABCDEFGHIJKLMNOPQRSTUVWXYZABCDE", kScreenW - 220);
    ExpectFits(text, "[UP]/[DOWN] to alter, [ENTER] to store", kScreenW);
    ExpectFits(text, "Press the new RIGHT key you wish to use.", kScreenW);
    ExpectFits(text, "Press the new LEFT key you wish to use.", kScreenW);
    ExpectFits(text, "Press the new PAUSE key you wish to use.", kScreenW);
    // The line a missing credits file is replaced with scrolls whole.
    ExpectFits(text, "Credits file not found - please replace this interim file with a real one!",
               kScreenW);
    // Panels start at x 10.
    ExpectFits(text, "Unable to locate plyrsettings.dat!", kScreenW - 10);
    ExpectFits(text, "not be found. Please press any key", kScreenW - 10);
}

// Checks the in-play status line and the high-score table (second font).
void CheckSecond(FONT *second, FONT *text) {
    const int h5 = text_height(second), h3 = text_height(text);
    std::printf("layout: status line and high scores\n");
    const std::string name(kNameLen, WidestCapital(second));
    std::printf("  widest capital: %c\n", WidestCapital(second));
    // The status line starts at x 20 and must end by x 620.
    ExpectFits(second, name + " - Score: -2147483648 - Level 5/5 - Lives Left: -1", 600);
    ExpectFits(second, name + " - Score: -2147483648 - External Level - Lives Left: -1", 600);
    // Ten rows at y = i * h5 + 2 * h3 + 25.
    const int table_bottom = 9 * h5 + 2 * h3 + 25 + h5;
    Expect(table_bottom <= 480, "high scores: bottom of row 10", table_bottom, "<= 480");
}

// Checks the help panel lines (panel font).
void CheckPanel(FONT *panel) {
    const int h6 = text_height(panel);
    std::printf("layout: panel\n");
    Expect(h6 <= 18, "panel: text_height", h6, "<= 18");
    const int bottom = 200 + 2 * (h6 + 5) + h6;
    Expect(bottom <= 270, "panel: bottom of line 3", bottom, "<= 270");
    // Lines start at x 5 and must end by x 635.
    ExpectFits(panel, "Thank you and good luck! But most importantly, have fun!", 630);
}

// Checks every credits line is plain printable ASCII and fits the screen in
// the text font; reads at most kMaxCreditLines lines of bounded length.
void CheckCredits(FONT *text, const char *path) {
    const int kMaxCreditLines = 400;
    std::printf("layout: credits (%s)\n", path);
    std::FILE *f = std::fopen(path, "r");
    if (!f) {
        std::fprintf(stderr, "check_datafile: cannot open %s\n", path);
        ++g_failures;
        return;
    }
    char buf[256];
    int lines = 0, widest = 0, bad_chars = 0;
    std::string widest_line;
    while (lines < kMaxCreditLines && std::fgets(buf, sizeof(buf), f)) {
        ++lines;
        std::string line(buf);
        while (!line.empty() && (line.back() == '\n' || line.back() == '\r')) {
            line.pop_back();
        }
        for (unsigned char ch : line) {
            if (ch < 32 || ch > 126) {
                ++bad_chars;
            }
        }
        const int w = text_length(text, line.c_str());
        if (w > widest) {
            widest = w;
            widest_line = line;
        }
    }
    const bool truncated = std::fgetc(f) != EOF;
    std::fclose(f);
    Expect(!truncated, "credits: lines read", lines, "whole file, short lines");
    Expect(bad_chars == 0, "credits: characters outside 32..126", bad_chars, "0");
    ExpectFits(text, widest_line, kScreenW);
}

}  // namespace

// Usage: check_datafile <tr_data2.dat> [credits.txt]
int main(int argc, char **argv) {
    if (argc != 2 && argc != 3) {
        std::fprintf(stderr, "usage: %s <datafile> [credits.txt]\n", argv[0]);
        return 2;
    }
    if (!FileSizeOk(argv[1])) {
        return 1;
    }
    if (install_allegro(SYSTEM_NONE, &errno, atexit) != 0) {
        std::fprintf(stderr, "check_datafile: cannot start Allegro\n");
        return 1;
    }
    set_color_depth(16);
    DATAFILE *dat = load_datafile(argv[1]);
    if (!dat) {
        std::fprintf(stderr, "check_datafile: Allegro cannot load %s\n", argv[1]);
        return 1;
    }
    if (!CheckLayout(dat)) {
        unload_datafile(dat);
        return 1;
    }
    auto bmp = [dat](int i) { return static_cast<BITMAP *>(dat[i].dat); };
    auto font = [dat](int i) { return static_cast<FONT *>(dat[i].dat); };
    CheckSprite("BALL_SPRITE", bmp(kBall), true);
    CheckSprite("BRICK_SPRITE", bmp(kBrick), false);
    CheckSprite("PADDLE_SPRITE", bmp(kPaddle), true);
    CheckFont("TITLE_FONT", font(kTitleFont));
    CheckFont("TEXT_FONT", font(kTextFont));
    CheckFont("SECOND_FONT", font(kSecondFont));
    CheckFont("PANEL_FONT", font(kPanelFont));
    CheckTitleAndText(font(kTitleFont), font(kTextFont));
    CheckSecond(font(kSecondFont), font(kTextFont));
    CheckPanel(font(kPanelFont));
    if (argc == 3) {
        CheckCredits(font(kTextFont), argv[2]);
    }
    unload_datafile(dat);
    if (g_failures > 0) {
        std::fprintf(stderr, "check_datafile: %s FAILED %d check(s)\n", argv[1], g_failures);
        return 1;
    }
    std::printf("check_datafile: %s ok\n", argv[1]);
    return 0;
}
