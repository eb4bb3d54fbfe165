// The menu engine: a fade-in of 51 frames from black, a choosing phase driven
// by Up, Down, Enter and Esc, and a fade-out of 51 frames after Enter.

#include "ui/menu_engine.h"

#include <array>

#include "shell/game_data.h"
#include "display/presenter.h"
#include "shell/screen.h"

namespace {

constexpr int FADE_STEP = 5;
constexpr int HELP_LINE_RISE = 10;     // the help line's top lies this far above the bottom
constexpr int ITEM_COLUMN_RAISE = 20;  // items start this much higher than the title's height

// Red, green and blue components, 0 to 255.
struct Rgb {
    int r, g, b;
};

Rgb ComponentsOf(int colour) {
    return {getr(colour), getg(colour), getb(colour)};
}

int Packed(const Rgb &c) {
    return makecol(c.r, c.g, c.b);
}

// The four colours a frame is drawn in.
struct MenuColours {
    Rgb highlight, item, title, help;
};

// Everything about one menu that stays the same from frame to frame.
struct Menu {
    int flags;
    BITMAP *bmp;
    FONT *item_font;
    int x, y, spacing, count;
    const char *const *strings;
    const char *const *help;
    int first;     // strings index of the first item
    int items;     // number of items
    int widest;    // widest entry after the first, in the item font
    int item_top;  // where the item column is measured from
    MenuColours target;
};

bool Has(const Menu &menu, int bit) {
    return (menu.flags & bit) != 0;
}

void DrawTitle(const Menu &menu, const MenuColours &colours) {
    FONT *title_font = Has(menu, MENU_TITLE_FONT) ? GameFont(TITLE_FONT) : menu.item_font;
    const Rgb &colour = Has(menu, MENU_RED_TITLE) ? colours.title : colours.item;
    textout_centre_ex(menu.bmp, title_font, menu.strings[0], menu.x + menu.widest / 2, menu.y,
                      Packed(colour), TEXT_BACKGROUND);
}

void DrawItems(const Menu &menu, const MenuColours &colours, int selected) {
    int step = text_height(menu.item_font) + menu.spacing;
    for (int i = menu.first; i < menu.count; ++i) {
        int top = menu.item_top + step * i;
        textout_ex(menu.bmp, menu.item_font, menu.strings[i], menu.x, top, Packed(colours.item),
                   TEXT_BACKGROUND);
        if (i != selected) {
            continue;
        }
        int passes = (Has(menu, MENU_HIGHLIGHT_ALT) ? 1 : 0) + (Has(menu, MENU_HIGHLIGHT) ? 1 : 0);
        for (int pass = 0; pass < passes; ++pass) {
            textout_ex(menu.bmp, menu.item_font, menu.strings[i], menu.x, top,
                       Packed(colours.highlight), TEXT_BACKGROUND);
        }
    }
}

// Draws one whole frame of the menu into its bitmap.
void DrawFrame(const Menu &menu, const MenuColours &colours, int selected) {
    ClearBuffer(menu.bmp);
    if (Has(menu, MENU_TITLE)) {
        DrawTitle(menu, colours);
    }
    if (Has(menu, MENU_ITEMS)) {
        DrawItems(menu, colours, selected);
    }
    textout_centre_ex(menu.bmp, font, menu.help[selected - menu.first], PICTURE_W / 2,
                      PICTURE_H - HELP_LINE_RISE, Packed(colours.help), TEXT_BACKGROUND);
}

// Shows a finished frame at the retrace.
void ShowFrame(const Menu &menu) {
    if (!Has(menu, MENU_PRESENT)) {
        return;
    }
    WaitRetrace();
    PresentFrame(menu.bmp);
}

std::array<int *, 12> ComponentsIn(MenuColours &c) {
    return {&c.highlight.r, &c.highlight.g, &c.highlight.b, &c.item.r, &c.item.g, &c.item.b,
            &c.title.r,     &c.title.g,     &c.title.b,     &c.help.r, &c.help.g, &c.help.b};
}

// Moves every component one step towards its target; true when all arrived.
bool StepTowards(MenuColours &current, MenuColours target, int step) {
    std::array<int *, 12> now = ComponentsIn(current);
    std::array<int *, 12> goal = ComponentsIn(target);
    bool arrived = true;
    for (std::size_t i = 0; i < now.size(); ++i) {
        int &c = *now[i];
        int g = *goal[i];
        if (step > 0 && c < g) {
            c += step;
        }
        if (step < 0 && c > g) {
            c += step;
        }
        if ((step > 0 && c > g) || (step < 0 && c < g)) {
            c = g;
        }
        arrived = arrived && c == g;
    }
    return arrived;
}

void FadeIn(const Menu &menu) {
    MenuColours colours = {};
    bool done = false;
    while (!done) {
        DrawFrame(menu, colours, menu.first);
        ShowFrame(menu);
        done = StepTowards(colours, menu.target, FADE_STEP);
    }
}

void FadeOut(const Menu &menu, int selected) {
    MenuColours colours = menu.target;
    bool done = false;
    while (!done) {
        DrawFrame(menu, colours, selected);
        ShowFrame(menu);
        done = StepTowards(colours, MenuColours{}, -FADE_STEP);
    }
}

// Waits for keys with the full-colour menu on screen; the strings index of
// the chosen item, or -1 for Esc.
int Choose(const Menu &menu) {
    int selected = menu.first;
    for (;;) {
        DrawFrame(menu, menu.target, selected);
        ShowFrame(menu);
        int pressed = WaitForKey();
        if (pressed == KEY_UP) {
            --selected;
        } else if (pressed == KEY_DOWN) {
            ++selected;
        } else if (pressed == KEY_ENTER) {
            return selected;
        }
        if (selected >= menu.items) {
            selected -= menu.items;
        }
        if (selected < menu.first) {
            selected += menu.items;
        }
        if (pressed == KEY_ESC) {
            return -1;
        }
    }
}

int WidestEntry(FONT *item_font, int count, const char *const *strings) {
    int widest = 0;
    for (int i = 1; i < count; ++i) {
        int width = text_length(item_font, strings[i]);
        widest = width > widest ? width : widest;
    }
    return widest;
}

}  // namespace

int RunMenu(int flags, BITMAP *bmp, FONT *item_font, int highlight_colour, int item_colour, int x,
            int y, int spacing, int count, const char *const *strings, const char *const *help) {
    Menu menu = {flags, bmp, item_font, x, y, spacing, count, strings, help, 0, 0, 0, 0, {}};
    menu.first = (flags & MENU_TITLE) ? 1 : 0;
    menu.items = count - menu.first;
    if (menu.items <= 0) {
        return -1;  // nothing to choose from
    }
    menu.widest = WidestEntry(item_font, count, strings);
    menu.item_top = y + text_height(GameFont(TITLE_FONT)) - ITEM_COLUMN_RAISE;
    menu.target = {ComponentsOf(highlight_colour), ComponentsOf(item_colour),
                   ComponentsOf(makecol(255, 0, 0)), ComponentsOf(makecol(255, 255, 255))};
    FadeIn(menu);
    int selected = Choose(menu);
    if (selected < 0) {
        return -1;
    }
    FadeOut(menu, selected);
    return selected - menu.first;
}
