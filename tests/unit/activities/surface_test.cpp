#include <gtest/gtest.h>

#include "activities/surface.h"
#include "support/scene_helpers.h"

// Probes against real windows at known places on the test display (no window manager moves them).
TEST(Surface, TopEdgesOfRealWindows) {
    const int height = screenHeight();
    TestWindow ledge(Rect(100, 300, 400, 500));
    TestWindow dialog(Rect(500, 200, 800, 600));
    ASSERT_NE(nullptr, ledge.handle);
    ASSERT_NE(nullptr, dialog.handle);
    TestWindow control(Rect(50, 250, 200, 300), dialog.handle); // screen (550, 450) to (700, 500)
    ASSERT_NE(nullptr, control.handle);
    TestWindow oddLedge(Rect(850, 301, 1000, 400)); // at scale 2: scene (425, 150) to (500, 200)
    ASSERT_NE(nullptr, oddLedge.handle);

    // At scale 2 the probe is in scene pixels, half the screen's: the screen is height / 2 scene pixels tall.
    struct Row {
        const char* label;
        int scale;
        int x, y, h;
        int expected;
    } rows[] = {
        {"edge h - 1 px above the probe", 1, 200, 300 + 97, 98, 300},
        {"edge h px above the probe", 1, 200, 300 + 98, 98, 0},
        {"probe on the edge itself", 1, 200, 300, 98, 300},
        {"edge 5 px above the probe", 1, 399, 305, 98, 300},
        {"control 10 px above: its window's edge is 260 px up", 1, 600, 460, 98, 0},
        {"control judged by its window, which a tall figure reaches", 1, 600, 460, 300, 200},
        {"bare desktop, well below the top", 1, 50, 400, 98, 0},
        {"bare desktop near the top: its edge is 0", 1, 50, 50, 98, 0},
        {"bottom row of the screen", 1, 50, height - 1, 98, 0},
        {"probe on the screen's bottom edge", 1, 50, height, 98, 0},
        {"probe just below the screen", 1, 50, height + 1, 98, height},
        {"probe far below the screen", 1, 200, height + 5000, 98, height},
        {"probe beside the screen", 1, -50, 400, 98, 0},
        {"scale 2: the edge halved", 2, 100, 150 + 97, 98, 150},
        {"scale 2: edge h px above the probe", 2, 100, 150 + 98, 98, 0},
        {"scale 2: a probe left of the window finds none", 2, 40, 160, 98, 0},
        {"scale 2: an odd edge goes to the scene row that holds it", 2, 450, 151, 98, 150},
        {"scale 2: probe just below the screen", 2, 50, height / 2 + 1, 98, height / 2},
    };
    for (const Row& row : rows) {
        setDisplayScale(row.scale);
        EXPECT_EQ(row.expected, surfaceBelow(row.x, row.y, row.h)) << row.label;
    }
    setDisplayScale(1);
}

TEST(Surface, TopLevelWindowOf) {
    TestWindow outer(Rect(100, 100, 400, 400));
    ASSERT_NE(nullptr, outer.handle);
    TestWindow inner(Rect(10, 10, 200, 200), outer.handle);
    TestWindow innermost(Rect(5, 5, 50, 50), inner.handle);
    struct Row {
        const char* label;
        HWND window;
        HWND expected;
    } rows[] = {
        {"a top-level window is its own", outer.handle, outer.handle},
        {"a child", inner.handle, outer.handle},
        {"a grandchild", innermost.handle, outer.handle},
        {"the desktop", GetDesktopWindow(), GetDesktopWindow()},
        {"no window", nullptr, nullptr},
    };
    for (const Row& row : rows)
        EXPECT_EQ(row.expected, topLevelWindowOf(row.window)) << row.label;
}

TEST(Surface, AWindowGoneLeavesNothingToStandOn) {
    int edge;
    {
        TestWindow ledge(Rect(100, 300, 400, 500));
        edge = surfaceBelow(200, 310, 98);
    }
    EXPECT_EQ(300, edge);
    EXPECT_EQ(0, surfaceBelow(200, 310, 98));
}
