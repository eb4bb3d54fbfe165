// The desktop's monitors and the game's window among them. Each system has a
// file of its own (monitors_x11.cpp, monitors_windows.cpp); where the system
// cannot tell, the whole desktop is one monitor.
#pragma once

constexpr int MOST_MONITORS = 16;
constexpr int MONITOR_NAME_ROOM = 32;

// One monitor: its name as the system gives it ("DP-1"; "" for the whole
// desktop), its rectangle on the desktop, and whether it is the primary.
struct Monitor {
    char Name[MONITOR_NAME_ROOM];
    int X, Y, W, H;
    bool Primary;
};

struct MonitorList {
    Monitor Each[MOST_MONITORS];
    int Count;
};

// Lists the monitors, at least one.
void ListMonitors(MonitorList &list);

// The monitor a full screen can cover, of those listed, when `chosen` is
// wanted: the system may only know how to cover its primary.
int CoverableMonitor(const MonitorList &list, int chosen);

// The graphics card that covers one monitor with a width x height screen.
int CoveringCard();

// Readies the next mode's window before the mode is set: covering monitor m,
// or a width x height window centred on it.
void PlaceNextWindow(const Monitor &m, bool cover, int width, int height);

// Finishes what the mode set began: a covering window is raised above the
// others and keeps the keyboard and the pointer; a window is centred on m.
void SettleWindow(const Monitor &m, bool cover);

// The centre of the game's window on the desktop; false when there is none.
bool FindWindowCentre(int *x, int *y);
