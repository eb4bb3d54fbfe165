// Monitors under Windows, as the system lists them. The library's DirectX
// full screen knows only the primary monitor, so that is the one it covers;
// its window it centres on the primary after every mode set, so the game
// moves it to the monitor it belongs on.

#include "display/monitors.h"

#include <allegro.h>
#include <winalleg.h>

#include <cstdio>

namespace {

BOOL CALLBACK AddMonitor(HMONITOR handle, HDC, LPRECT, LPARAM data) {
    auto &list = *reinterpret_cast<MonitorList *>(data);
    MONITORINFOEXA info = {};
    info.cbSize = sizeof info;
    if (list.Count < MOST_MONITORS && GetMonitorInfoA(handle, &info)) {
        Monitor &m = list.Each[list.Count++];
        std::snprintf(m.Name, sizeof m.Name, "%s", info.szDevice);
        m.X = info.rcMonitor.left, m.Y = info.rcMonitor.top;
        m.W = info.rcMonitor.right - info.rcMonitor.left;
        m.H = info.rcMonitor.bottom - info.rcMonitor.top;
        m.Primary = (info.dwFlags & MONITORINFOF_PRIMARY) != 0;
    }
    return TRUE;
}

}  // namespace

void ListMonitors(MonitorList &list) {
    list.Count = 0;
    EnumDisplayMonitors(nullptr, nullptr, AddMonitor, reinterpret_cast<LPARAM>(&list));
    if (list.Count == 0) {
        int w = 0, h = 0;
        get_desktop_resolution(&w, &h);
        list.Count = 1;
        list.Each[0] = {"", 0, 0, w, h, true};
    }
}

int CoverableMonitor(const MonitorList &list, int chosen) {
    for (int i = 0; i < list.Count; ++i) {
        if (list.Each[i].Primary) {
            return i;
        }
    }
    return chosen;
}

int CoveringCard() {
    return GFX_AUTODETECT_FULLSCREEN;
}

void PlaceNextWindow(const Monitor &, bool, int, int) {}

void SettleWindow(const Monitor &m, bool cover) {
    HWND window = win_get_window();
    RECT frame;
    if (cover || !window || !GetWindowRect(window, &frame)) {
        return;
    }
    const int w = frame.right - frame.left, h = frame.bottom - frame.top;
    SetWindowPos(window, nullptr, m.X + (m.W - w) / 2, m.Y + (m.H - h) / 2, 0, 0,
                 SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}

bool FindWindowCentre(int *x, int *y) {
    HWND window = win_get_window();
    RECT frame;
    if (!gfx_driver || !is_windowed_mode() || !window || !GetWindowRect(window, &frame)) {
        return false;
    }
    *x = (frame.left + frame.right) / 2;
    *y = (frame.top + frame.bottom) / 2;
    return true;
}
