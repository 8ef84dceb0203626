#include "engine/desk_layout.h"

#include <algorithm>
#include <cstdlib>

namespace {

bool holds(const Rect& r, int x, int y) {
    return r.left <= x && x < r.right && r.top <= y && y < r.bottom;
}

bool spans(const Rect& r, int x) {
    return r.left <= x && x < r.right;
}

// Beyond a side of the desk the column of that side counts: a figure there is about to be brought round.
int intoColumns(const DeskLayout& desk, int x) {
    const Rect box = deskBox(desk);
    return std::min(std::max(x, box.left), box.right - 1);
}

// The floor of column x nearest to row y (a monitor's bottom with no monitor right below it), or 0 for none.
int nearestFloor(const DeskLayout& desk, int x, int y) {
    int nearest = 0;
    for (const Rect& m : desk.monitors) {
        if (!spans(m, x) || monitorAt(desk, Point(x, m.bottom)) >= 0)
            continue;
        if (nearest == 0 || std::abs(m.bottom - y) < std::abs(nearest - y))
            nearest = m.bottom;
    }
    return nearest;
}

bool isFloor(const DeskLayout& desk, int x, int y) {
    return y != 0 && nearestFloor(desk, x, y) == y;
}

} // namespace

Rect deskBox(const DeskLayout& desk) {
    if (desk.monitors.empty())
        return Rect();
    Rect box = desk.monitors[0];
    for (const Rect& m : desk.monitors)
        box.include(m.left, m.top, m.right, m.bottom);
    return box;
}

DeskLayout deskInScene(const DeskLayout& screen, int scale) {
    const Rect box = deskBox(screen);
    DeskLayout scene;
    scene.primary = screen.primary;
    for (const Rect& m : screen.monitors) {
        scene.monitors.emplace_back((m.left - box.left) / scale, (m.top - box.top) / scale,
                                    (m.right - box.left) / scale, (m.bottom - box.top) / scale);
    }
    return scene;
}

int monitorAt(const DeskLayout& desk, Point p) {
    for (size_t i = 0; i < desk.monitors.size(); ++i) {
        if (holds(desk.monitors[i], p.x, p.y))
            return static_cast<int>(i);
    }
    return -1;
}

bool inGap(const DeskLayout& desk, Point p) {
    return holds(deskBox(desk), p.x, p.y) && monitorAt(desk, p) < 0;
}

int floorBelow(const DeskLayout& desk, int x, int y) {
    if (desk.monitors.empty() || monitorAt(desk, Point(x, y)) >= 0)
        return 0;
    const int column = intoColumns(desk, x);
    int floor = 0;
    for (const Rect& m : desk.monitors) {
        if (spans(m, column) && m.bottom < y)
            floor = std::max(floor, m.bottom);
    }
    return floor;
}

bool meetsWall(const DeskLayout& desk, const Rect& from, const Rect& to) {
    const int dx = to.left - from.left;
    if (dx == 0)
        return false;
    const Point lead(dx > 0 ? to.right - 1 : to.left, to.bottom - 1);
    return monitorAt(desk, Point(from.centerX(), from.bottom - 1)) >= 0 && inGap(desk, lead);
}

Rect ontoFloor(const DeskLayout& desk, const Rect& where) {
    if (desk.monitors.empty())
        return where;
    const Point feet(intoColumns(desk, where.centerX()), where.bottom - 1);
    if (!inGap(desk, feet))
        return where;
    const int floor = nearestFloor(desk, feet.x, where.bottom);
    return floor == 0 ? where : where.offsetCopy(Point(0, floor - where.bottom));
}

int floorShiftAcross(const DeskLayout& desk, const Rect& from, const Rect& to) {
    if (desk.monitors.empty() || !isFloor(desk, intoColumns(desk, from.centerX()), from.bottom))
        return 0;
    const int floor = nearestFloor(desk, intoColumns(desk, to.centerX()), from.bottom);
    return floor == 0 ? 0 : floor - from.bottom;
}

Point newFigurePoint(const DeskLayout& desk, int ordinal) {
    const int count = static_cast<int>(desk.monitors.size());
    if (count == 0)
        return Point();
    // The primary first, then the others in their order.
    int index = static_cast<int>(static_cast<unsigned>(ordinal) % static_cast<unsigned>(count));
    if (index == 0)
        index = desk.primary;
    else if (index <= desk.primary)
        --index;
    const Rect& m = desk.monitors[index];
    return Point(m.centerX(), m.centerY());
}

namespace {

BOOL CALLBACK collectMonitor(HMONITOR monitor, HDC, LPRECT, LPARAM data) {
    DeskLayout& desk = *reinterpret_cast<DeskLayout*>(data);
    MONITORINFO info;
    info.cbSize = sizeof(info);
    if (!GetMonitorInfoA(monitor, &info))
        return TRUE;
    if (info.dwFlags & MONITORINFOF_PRIMARY)
        desk.primary = static_cast<int>(desk.monitors.size());
    const RECT& r = info.rcMonitor;
    desk.monitors.emplace_back(r.left, r.top, r.right, r.bottom);
    return TRUE;
}

DeskLayout takenScreen;
bool takenAll = false;
DeskLayout spreadScene;
Point origin;
DeskLayout primaryOnly;

} // namespace

DeskLayout readDeskLayout(bool allScreens) {
    DeskLayout desk;
    if (allScreens)
        EnumDisplayMonitors(nullptr, nullptr, collectMonitor, reinterpret_cast<LPARAM>(&desk));
    if (desk.monitors.empty()) {
        desk.primary = 0;
        desk.monitors.emplace_back(0, 0, GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN));
    }
    return desk;
}

void takeDesk(const DeskLayout& screen, bool allScreens) {
    takenScreen = screen;
    takenAll = allScreens;
    const Rect box = deskBox(screen);
    origin = deskIsSpread() ? Point(box.left, box.top) : Point();
    spreadScene = deskInScene(screen, displayScale());
}

bool deskIsSpread() {
    return takenScreen.monitors.size() > 1;
}

Point deskOrigin() {
    return origin;
}

Point deskPixels() {
    const Rect box = deskBox(takenScreen);
    return Point(box.width(), box.height());
}

const DeskLayout& sceneDesk() {
    if (deskIsSpread())
        return spreadScene;
    // The primary screen as screenWidth()/screenHeight() have it: a frame's sample, or the screen now.
    primaryOnly.primary = 0;
    primaryOnly.monitors.assign(1, Rect(0, 0, screenWidth(), screenHeight()));
    return primaryOnly;
}

bool deskLayoutChanged() {
    return takenAll && !takenScreen.monitors.empty() && readDeskLayout(true) != takenScreen;
}
