// Helpers shared by the unit tests.
#pragma once

#include <ostream>
#include <string>
#include <vector>

#include "desktop/character_window.h"
#include "engine/activity.h"
#include "engine/desk_layout.h"
#include "engine/geometry.h"

// Gives the test a fresh character window (the owner of the activity slots) and deletes it afterwards,
// with every activity still in it.
class WindowScope {
public:
    WindowScope();
    ~WindowScope();
    WindowScope(const WindowScope&) = delete;
    WindowScope& operator=(const WindowScope&) = delete;
};

// The program's desk is `screen` (screen pixels, every screen taken) for the lifetime of the scope; afterwards the
// primary screen alone again, as in a program that has taken no desk.
class DeskScope {
public:
    explicit DeskScope(const DeskLayout& screen) { takeDesk(screen, true); }
    ~DeskScope() { takeDesk(DeskLayout(), false); }
    DeskScope(const DeskScope&) = delete;
    DeskScope& operator=(const DeskScope&) = delete;
};

// Replaces the load-failure message box with a counter for the lifetime of the scope.
class LoadFailureCounter {
public:
    LoadFailureCounter();
    ~LoadFailureCounter();
    LoadFailureCounter(const LoadFailureCounter&) = delete;
    LoadFailureCounter& operator=(const LoadFailureCounter&) = delete;
    int count() const;
    // What the last message box showed: its owner, text, caption and style.
    HWND lastOwner() const;
    std::string lastText() const;
    std::string lastCaption() const;
    UINT lastType() const;
    // Removes a pending WM_QUIT from the thread's queue; returns its exit code, or 0 when there was none.
    static bool takeQuitMessage(int* exitCode);
};

// The rectangles of a GDI region, in banded order.
std::vector<Rect> regionRects(HRGN region);

// Live GDI objects of this process (bitmaps, regions, DCs, brushes and the like).
int liveGdiObjects();

// Live USER objects of this process: its windows, menus, icons and cursors.
int liveUserObjects();

// Number of occupied activity slots of the character window.
int occupiedSlots();

// Readable rectangles and points in test failure messages.
std::ostream& operator<<(std::ostream& out, const Rect& r);
std::ostream& operator<<(std::ostream& out, const Point& p);

// Delivers what is queued (paint messages and the like), dropping a WM_QUIT that a load failure posts, so that Wine
// has placed and shown the windows before they are probed.
void pumpMessages();

// What the character window keeps to itself, for the tests that stand in a display change or look at its bitmaps.
struct CharacterWindowInsides {
    explicit CharacterWindowInsides(CharacterWindow& window) : window(window) {}
    Point& screenSize() { return window.screenSize; }
    int32_t& colourDepth() { return window.colourDepth; }
    int32_t showInTaskbar() const { return window.showInTaskbar; } // as read: a stored 3 stays 3
    int32_t& displayChanged() { return window.displayChanged; }
    int32_t closing() const { return window.closing; }
    int32_t& dialogOpen() { return window.dialogOpen; }
    HDC backgroundDc() const { return window.backgroundDc.get(); }
    HBITMAP compositionBitmap() const { return window.compositionBitmap.get(); }

    CharacterWindow& window;
};
