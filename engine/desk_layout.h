// The desk: the monitors the figures live on, each monitor's bottom edge a floor. The scenes' world is the desk's
// bounding box; where monitors differ in size or are offset, parts of that box belong to no monitor (gaps).
#pragma once

#include <cstdint>
#include <vector>

#include "engine/geometry.h"

struct DeskLayout {
    std::vector<Rect> monitors;
    int primary = 0; // index into monitors

    bool operator==(const DeskLayout& other) const { return primary == other.primary && monitors == other.monitors; }
    bool operator!=(const DeskLayout& other) const { return !(*this == other); }
};

// The bounding box of every monitor; (0, 0, 0, 0) for none.
Rect deskBox(const DeskLayout& desk);
// The same layout with its box's top-left corner at (0, 0) and every pixel taken `scale` times smaller (rounding
// down): the scenes' world of a desk given in screen pixels.
DeskLayout deskInScene(const DeskLayout& screen, int scale);
// The monitor holding `p`, or -1.
int monitorAt(const DeskLayout& desk, Point p);
// Inside the desk's box, but on no monitor.
bool inGap(const DeskLayout& desk, Point p);
// The floor that carries a figure whose probe (a point just below its feet) is at (x, y), or 0 when none does:
// a probe on a monitor is carried by nothing but windows; below a monitor's bottom (beside the desk, the column of
// its nearest side) the lowest bottom above the probe carries it, which puts a figure in a gap back on the floor it
// came through. A probe in a gap above a monitor has no floor: the figure falls onto that monitor.
int floorBelow(const DeskLayout& desk, int x, int y);
// True when a figure walking from `from` to `to` would put its leading foot into a gap from a monitor: the
// neighbour's floor is higher, and it meets a wall.
bool meetsWall(const DeskLayout& desk, const Rect& from, const Rect& to);
// A figure whose feet are in a gap, put onto the nearest floor of its column (in the column of the desk's nearest
// side when it is beyond one); any other rectangle as it is.
Rect ontoFloor(const DeskLayout& desk, const Rect& where);
// The vertical move that takes a figure brought round from one side of the desk (`from`, beyond one side) to the
// other (`to`) from the floor it stood on to the nearest floor there; 0 for a figure that stood on no floor.
int floorShiftAcross(const DeskLayout& desk, const Rect& from, const Rect& to);
// Where the `ordinal`-th new figure appears (0 first): the centres of the monitors in turn, the primary's first.
Point newFigurePoint(const DeskLayout& desk, int ordinal);

// The monitors as the system tells them now, in screen pixels: all of them, or (allScreens false) the primary only.
DeskLayout readDeskLayout(bool allScreens);

// The desk the program runs on, taken once at start (a new layout restarts the program). Until it is taken, and
// while it has one monitor, the desk is the primary screen, read as screenWidth() and screenHeight() are.
void takeDesk(const DeskLayout& screen, bool allScreens);
// More than one monitor: the world is the desk.
bool deskIsSpread();
// The screen pixel of the scenes' (0, 0): the desk's top-left corner, left of or above the primary screen's where a
// monitor lies there.
Point deskOrigin();
// The size of the spread desk's box in screen pixels.
Point deskPixels();
// The desk in scene pixels.
const DeskLayout& sceneDesk();
// True when the system's layout is no longer the one taken at start; only where every screen was taken (with the
// primary screen only, its size tells every change).
bool deskLayoutChanged();
