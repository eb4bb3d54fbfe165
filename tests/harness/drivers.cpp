// Test drivers for Allegro: a system driver that offers only the drivers
// below, a display whose retrace captures the back buffer, a keyboard fed by
// the script, a scripted mouse, and a timer whose rest lets the player act.

#include <allegro.h>
#include <allegro/internal/aintern.h>

#include "tests/harness/script.h"

namespace {

constexpr int HARNESS_ID = AL_ID('T', 'E', 'S', 'T');

// Display: the screen is a memory bitmap; vsync is where a frame is presented.
// There is a full-screen and a windowed one, so a test can refuse either.
BITMAP *DisplayInit(int w, int h, int, int, int depth) {
    if (harness::DisplayFails(gfx_driver->windowed)) {
        return nullptr;
    }
    BITMAP *bmp = create_bitmap_ex(depth, w, h);
    gfx_driver->w = w;
    gfx_driver->h = h;
    return bmp;
}
void DisplayExit(BITMAP *) {}
void DisplayVsync() {
    harness::OnRetrace();
}
void DisplayPalette(const RGB *, int, int, int) {}

GFX_DRIVER MakeDisplay(int id, bool windowed) {
    GFX_DRIVER driver = {};
    driver.id = id;
    driver.name = driver.desc = driver.ascii_name = windowed ? "Test window" : "Test display";
    driver.init = DisplayInit;
    driver.exit = DisplayExit;
    driver.vsync = DisplayVsync;
    driver.set_palette = DisplayPalette;
    driver.linear = TRUE;
    driver.windowed = windowed;
    return driver;
}
GFX_DRIVER display = MakeDisplay(HARNESS_ID, false);
GFX_DRIVER window = MakeDisplay(AL_ID('T', 'W', 'I', 'N'), true);

// Keyboard: presses arrive through the library's own key handlers.
int KeyboardInit() {
    return 0;
}
void KeyboardExit() {}

KEYBOARD_DRIVER MakeKeyboard() {
    KEYBOARD_DRIVER driver = {};
    driver.id = HARNESS_ID;
    driver.name = driver.desc = driver.ascii_name = "Test keyboard";
    driver.autorepeat = FALSE;
    driver.init = KeyboardInit;
    driver.exit = KeyboardExit;
    return driver;
}
KEYBOARD_DRIVER keyboard = MakeKeyboard();

// Mouse: movement is handed out as mickeys.
int MouseInit() {
    return 3;
}
void MouseExit() {}
void MouseMickeys(int *x, int *y) {
    harness::TakeMickeys(x, y);
}

MOUSE_DRIVER MakeMouse() {
    MOUSE_DRIVER driver = {};
    driver.id = HARNESS_ID;
    driver.name = driver.desc = driver.ascii_name = "Test mouse";
    driver.init = MouseInit;
    driver.exit = MouseExit;
    driver.get_mickeys = MouseMickeys;
    return driver;
}
MOUSE_DRIVER mouse = MakeMouse();

// Timer: no clock runs; a rest is the moment the player presses the next key,
// and a busy wait that yields (the movie player's) lets each timer tick once.
constexpr int TIMER_SLOTS = 8;
void (*installed[TIMER_SLOTS])() = {};

int TimerInit() {
    return 0;
}
void TimerExit() {}
int TimerInstall(void (*proc)(), long) {
    for (auto &slot : installed) {
        if (!slot || slot == proc) {
            slot = proc;
            return 0;
        }
    }
    return -1;
}
void TimerRemove(void (*proc)()) {
    for (auto &slot : installed) {
        slot = slot == proc ? nullptr : slot;
    }
}
void TickTimers() {
    for (auto *proc : installed) {
        if (proc) {
            proc();
        }
    }
}
void TimerRest(unsigned int, void (*)()) {
    harness::OnRest();
}

TIMER_DRIVER MakeTimer() {
    TIMER_DRIVER driver = {};
    driver.id = HARNESS_ID;
    driver.name = driver.desc = driver.ascii_name = "Test timer";
    driver.init = TimerInit;
    driver.exit = TimerExit;
    driver.install_int = TimerInstall;
    driver.remove_int = TimerRemove;
    driver.rest = TimerRest;
    return driver;
}
TIMER_DRIVER timer = MakeTimer();

_DRIVER_INFO display_list[] = {
    {HARNESS_ID, &display, TRUE}, {AL_ID('T', 'W', 'I', 'N'), &window, TRUE}, {0, nullptr, 0}};
_DRIVER_INFO keyboard_list[] = {{HARNESS_ID, &keyboard, TRUE}, {0, nullptr, 0}};
_DRIVER_INFO mouse_list[] = {{HARNESS_ID, &mouse, TRUE}, {0, nullptr, 0}};
_DRIVER_INFO timer_list[] = {{HARNESS_ID, &timer, TRUE}, {0, nullptr, 0}};
_DRIVER_INFO no_drivers[] = {{0, nullptr, 0}};

int SystemInit() {
    return 0;
}
void SystemExit() {}
void SystemMessage(const char *text) {
    harness::OnMessage(text);
}
int SystemCloseButton(void (*proc)()) {
    harness::OnCloseButtonCallback(proc);
    return 0;
}
// Nothing runs on another thread here, so the library's locks need not lock.
int mutex_token;
void *CreateMutex() {
    return &mutex_token;
}
void MutexNoOp(void *) {}

_DRIVER_INFO *Displays() {
    return display_list;
}
_DRIVER_INFO *Keyboards() {
    return keyboard_list;
}
_DRIVER_INFO *Mice() {
    return mouse_list;
}
_DRIVER_INFO *Timers() {
    return timer_list;
}
_DRIVER_INFO *NoDrivers() {
    return no_drivers;
}

SYSTEM_DRIVER MakeSystem() {
    SYSTEM_DRIVER driver = {};
    driver.id = HARNESS_ID;
    driver.name = driver.desc = driver.ascii_name = "Test system";
    driver.init = SystemInit;
    driver.exit = SystemExit;
    driver.message = SystemMessage;
    driver.set_close_button_callback = SystemCloseButton;
    driver.yield_timeslice = TickTimers;
    driver.create_mutex = CreateMutex;
    driver.destroy_mutex = MutexNoOp;
    driver.lock_mutex = MutexNoOp;
    driver.unlock_mutex = MutexNoOp;
    driver.gfx_drivers = Displays;
    driver.digi_drivers = NoDrivers;
    driver.midi_drivers = NoDrivers;
    driver.keyboard_drivers = Keyboards;
    driver.mouse_drivers = Mice;
    driver.joystick_drivers = NoDrivers;
    driver.timer_drivers = Timers;
    return driver;
}
SYSTEM_DRIVER test_system = MakeSystem();

}  // namespace

// Replaces the library's list of system drivers in the test binary, so the
// game's own allegro_init() starts on the test drivers. SYSTEM_NONE stays
// available for tests that only need the library's file readers.
_DRIVER_INFO _system_driver_list[] = {
    {HARNESS_ID, &test_system, TRUE},
    {SYSTEM_NONE, &system_none, FALSE},
    {0, nullptr, 0},
};
