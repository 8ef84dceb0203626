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

// The probe is in scene pixels and the windows in screen pixels: the probe is scaled up to find the window, and
// the window's top edge scaled down, to the scene row whose pixels hold it.
int surfaceBelow(int x, int y, int h) {
    POINT probe = {toScreen(x), toScreen(y)};
    HWND window = topLevelWindowOf(WindowFromPoint(probe));
    RECT r = {0, 0, 0, 0};
    if (window && !GetWindowRect(window, &r))
        r = RECT{0, 0, 0, 0};
    const int top = toScene(r.top);
    // An edge at most h - 1 px above the probe lies between the figure's upper part and its feet.
    if (static_cast<int64_t>(y) - top < h)
        return top;
    if (y > screenHeight())
        return screenHeight();
    return 0;
}
