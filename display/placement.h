// Where the picture goes among the monitors, and how large a window is: the
// rules over a list of monitors, apart from any system.
#pragma once

#include "display/monitors.h"

// The monitor named `name`, else the primary, else the first.
int ChooseMonitor(const MonitorList &list, const char *name);

// The monitor holding the point (x, y), else -1.
int MonitorHolding(const MonitorList &list, int x, int y);

// The largest whole scale whose window fills at most 90% of a width x height
// monitor either way; 1 at least.
int FittingScale(int width, int height);

// The largest whole scale up to `asked` whose window lies wholly within a
// width x height monitor; 1 at least.
int LargestWholly(int asked, int width, int height);
