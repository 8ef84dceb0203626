#include "activities/surface.h"

#include <cstdint>

#include "engine/geometry.h"

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

int surfaceBelow(int x, int y, int h) {
    POINT probe = {x, y};
    HWND window = topLevelWindowOf(WindowFromPoint(probe));
    RECT r = {0, 0, 0, 0};
    if (window && !GetWindowRect(window, &r))
        r = RECT{0, 0, 0, 0};
    // An edge at most h - 1 px above the probe lies between the figure's upper part and its feet.
    if (static_cast<int64_t>(y) - r.top < h)
        return r.top;
    if (y > screenHeight())
        return screenHeight();
    return 0;
}
