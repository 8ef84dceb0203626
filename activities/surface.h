// The surface a figure can stand on: the top edge of the window under its feet, or the bottom of the screen.
#pragma once

#include "engine/platform.h"

// The y of a surface for a probe at (x, y) just below a figure h px tall, or 0 when nothing carries it.
int surfaceBelow(int x, int y, int h);

// The top-level ancestor of `window` (a top-level window is its own; null stays null).
HWND topLevelWindowOf(HWND window);
