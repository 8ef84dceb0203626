#include "activities/surface.h"

#include <cstdint>

#include "engine/desk_layout.h"

HWND topLevelWindowOf(HWND window) {
    if (!window)
        return nullptr;
    HWND desktop = GetDesktopWindow();
    HWND parent = GetParent(window);
    // For an owned popup GetParent answers the owner: such a popup is judged by its owner's window.
    while (parent && parent != desktop) {
        window = parent;
        parent = GetParent(window);
    }
    return window;
}

// The probe is in scene pixels and the windows in screen pixels: the probe is scaled up and moved to the desk's
// origin to find the window, and the window's top edge brought back to the scene row whose pixels hold it.
int surfaceBelow(int x, int y, int h) {
    const Point origin = deskOrigin();
    POINT probe = {toScreen(x) + origin.x, toScreen(y) + origin.y};
    HWND window = topLevelWindowOf(WindowFromPoint(probe));
    // No window counts as one at the scenes' (0, 0, 0, 0).
    RECT r = {origin.x, origin.y, origin.x, origin.y};
    if (window && !GetWindowRect(window, &r))
        r = RECT{origin.x, origin.y, origin.x, origin.y};
    const int top = toScene(r.top - origin.y);
    // An edge at most h - 1 px above the probe lies between the figure's upper part and its feet.
    if (static_cast<int64_t>(y) - top < h)
        return top;
    return floorBelow(sceneDesk(), x, y);
}
