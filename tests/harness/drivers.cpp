// Test drivers for Allegro: a system driver that offers only the drivers
// below, a display whose retrace is where a frame is presented, a keyboard
// and mouse fed by the script, and a timer whose rest lets the player act.

#include <allegro.h>
#include <allegro/internal/aintern.h>

#include <algorithm>

#include "tests/harness/harness.h"

namespace {

// Every driver's identity: the same id and name throughout.
#define TEST_DRIVER(driver_id) \
    .id = driver_id, .name = "Test driver", .desc = "Test driver", .ascii_name = "Test driver"
constexpr int HARNESS_ID = AL_ID('T', 'E', 'S', 'T'), WINDOW_ID = AL_ID('T', 'W', 'I', 'N');

// The screen is a memory bitmap. There is a full-screen display and a
// windowed one, so a test can refuse either.
BITMAP *DisplayInit(int w, int h, int, int, int depth) {
    if (gfx_driver->windowed
            ? harness::WindowFails
            : harness::FullScreenFails || (harness::DesktopSizeFails && w * h != 640 * 480)) {
        return nullptr;
    }
    gfx_driver->w = w;
    gfx_driver->h = h;
    return create_bitmap_ex(depth, w, h);
}

constexpr GFX_DRIVER Display(int id, bool windowed) {
    return {TEST_DRIVER(id),
            .init = DisplayInit,
            .exit = [](BITMAP *) {},
            .vsync = [] { harness::OnRetrace(); },
            .set_palette = [](const RGB *, int, int, int) {},
            .linear = TRUE,
            .windowed = windowed};
}
GFX_DRIVER display = Display(HARNESS_ID, false), window = Display(WINDOW_ID, true);

// Key presses arrive through the library's own key handlers.
KEYBOARD_DRIVER keyboard = {TEST_DRIVER(HARNESS_ID), .autorepeat = FALSE, .init = [] { return 0; },
                            .exit = [] {}};

MOUSE_DRIVER mouse = {TEST_DRIVER(HARNESS_ID), .init = [] { return 3; }, .exit = [] {},
                      .get_mickeys = [](int *x, int *y) { harness::TakeMickeys(x, y); }};

// No clock runs: a rest is the moment the player presses the next key, and a
// busy wait that yields (the movie player's) lets each timer tick once.
struct Timer {
    void (*proc)();
    long speed;
} timers[8] = {};
int InstallTimer(void (*proc)(), long speed) {
    for (Timer &slot : timers) {
        if (!slot.proc || slot.proc == proc) {
            slot = {proc, speed};
            return 0;
        }
    }
    return -1;
}
TIMER_DRIVER timer = {TEST_DRIVER(HARNESS_ID),
                      .init = [] { return 0; },
                      .exit = [] {},
                      .install_int = InstallTimer,
                      .remove_int =
                          [](void (*proc)()) {
                              for (Timer &slot : timers) {
                                  slot = slot.proc == proc ? Timer{} : slot;
                              }
                          },
                      .rest = [](unsigned int, void (*)()) { harness::OnRest(); }};

_DRIVER_INFO displays[] = {{HARNESS_ID, &display, TRUE}, {WINDOW_ID, &window, TRUE}, {}};
_DRIVER_INFO keyboards[] = {{HARNESS_ID, &keyboard, TRUE}, {}};
_DRIVER_INFO mice[] = {{HARNESS_ID, &mouse, TRUE}, {}};
_DRIVER_INFO timers_list[] = {{HARNESS_ID, &timer, TRUE}, {}};
_DRIVER_INFO none[] = {{}};

// Nothing runs on another thread here, so the library's locks need not lock.
int mutex_token;
SYSTEM_DRIVER test_system = {
    TEST_DRIVER(HARNESS_ID),
    .init =  // failing with an error as long as the library's errors can be
    [] {
        return harness::SystemFails ? std::snprintf(allegro_error, ALLEGRO_ERROR_SIZE, "%0255d", 0),
               -1                   : 0;
    },
    .exit = [] {},
    .set_window_title = [](const char *title) { harness::WindowTitle = title; },
    .set_close_button_callback = [](void (*proc)()) { return harness::CloseButton = proc, 0; },
    .message = harness::OnMessage,
    .desktop_color_depth = [] { return harness::DesktopDepth; },
    .get_desktop_resolution =
        [](int *w, int *h) {
            *w = harness::DesktopWidth, *h = harness::DesktopHeight;
            return 0;
        },
    .yield_timeslice =
        [] {
            for (const Timer &slot : timers) {
                if (slot.proc) {
                    slot.proc();
                }
            }
        },
    .create_mutex = []() -> void * { return &mutex_token; },
    .destroy_mutex = [](void *) {},
    .lock_mutex = [](void *) {},
    .unlock_mutex = [](void *) {},
    .gfx_drivers = [] { return displays; },
    .digi_drivers = [] { return none; },
    .midi_drivers = [] { return none; },
    .keyboard_drivers = [] { return keyboards; },
    .mouse_drivers = [] { return mice; },
    .joystick_drivers = [] { return none; },
    .timer_drivers = [] { return timers_list; }};

}  // namespace

bool harness::RetraceTimerRunning() {
    return std::any_of(std::begin(timers), std::end(timers), [](const Timer &slot) {
        return slot.proc && slot.speed == BPS_TO_TIMER(70);
    });
}

// Replaces the library's list of system drivers in the test binary, so the
// game's own allegro_init() starts on the test drivers. SYSTEM_NONE stays
// available for tests that only need the library's file readers.
_DRIVER_INFO _system_driver_list[] = {
    {HARNESS_ID, &test_system, TRUE}, {SYSTEM_NONE, &system_none, FALSE}, {}};
