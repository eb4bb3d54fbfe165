// The rules that choose a monitor and a window's scale.

#include "display/placement.h"

#include <algorithm>
#include <cstring>

#include "display/picture.h"

namespace {

constexpr int FIT_PERCENT = 90;  // of the monitor a window may fill either way

}  // namespace

int ChooseMonitor(const MonitorList &list, const char *name) {
    int primary = 0;
    for (int i = list.Count - 1; i >= 0; --i) {
        if (name[0] && std::strcmp(list.Each[i].Name, name) == 0) {
            return i;
        }
        primary = list.Each[i].Primary ? i : primary;
    }
    return primary;
}

int MonitorHolding(const MonitorList &list, int x, int y) {
    for (int i = 0; i < list.Count; ++i) {
        const Monitor &m = list.Each[i];
        if (x >= m.X && x < m.X + m.W && y >= m.Y && y < m.Y + m.H) {
            return i;
        }
    }
    return -1;
}

int FittingScale(int width, int height) {
    const int across = width * FIT_PERCENT / (100 * PICTURE_W);
    const int down = height * FIT_PERCENT / (100 * PICTURE_H);
    return std::max(1, std::min(across, down));
}

int LargestWholly(int asked, int width, int height) {
    return std::max(1, std::min({asked, width / PICTURE_W, height / PICTURE_H}));
}
