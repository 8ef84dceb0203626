#include <climits>

#include <gtest/gtest.h>

#include "engine/geometry.h"
#include "support/test_support.h"

TEST(Rect, SetWidthAndHeightKeepTheirAnchor) {
    struct Row {
        Rect start;
        bool horizontal;
        int size;
        int anchor;
        Rect expected;
    } rows[] = {
        {{0, 0, 75, 83}, true, 10, AnchorCenter, {32, 0, 42, 83}},
        {{0, 0, 75, 83}, true, 76, AnchorCenter, {0, 0, 76, 83}},   // (75 - 76) / 2 truncates to 0
        {{0, 0, 75, 83}, true, 74, AnchorCenter, {0, 0, 74, 83}},   // the odd pixel goes on the right
        {{0, 0, 75, 83}, true, 72, AnchorCenter, {1, 0, 73, 83}},
        {{10, 0, 85, 83}, true, 60, AnchorEnd, {25, 0, 85, 83}},
        {{10, 0, 85, 83}, true, 60, AnchorStart, {10, 0, 70, 83}},
        {{10, 0, 85, 83}, true, 60, 7, {10, 0, 70, 83}},            // unknown anchors keep the start
        {{10, 0, 85, 83}, true, 60, -1, {10, 0, 70, 83}},
        {{-20, 0, -10, 5}, true, 31, AnchorCenter, {-30, 0, 1, 5}},  // (10 - 31) / 2 is -10, not -11
        {{0, 100, 10, 200}, false, 50, AnchorEnd, {0, 150, 10, 200}},
        {{0, 100, 10, 200}, false, 50, AnchorCenter, {0, 125, 10, 175}},
        {{0, 100, 10, 200}, false, 50, AnchorStart, {0, 100, 10, 150}},
        {{0, 100, 10, 200}, false, 0, AnchorEnd, {0, 200, 10, 200}},
    };
    for (const Row& row : rows) {
        Rect r = row.start;
        int result = row.horizontal ? r.setWidth(row.size, static_cast<Anchor>(row.anchor))
                                    : r.setHeight(row.size, static_cast<Anchor>(row.anchor));
        EXPECT_EQ(row.size, result);
        EXPECT_EQ(row.expected, r) << row.start << (row.horizontal ? " width " : " height ") << row.size
                                   << " anchor " << row.anchor;
    }
}

TEST(Rect, CentresTruncateTowardZero) {
    struct Row {
        Rect r;
        int x;
        int y;
    } rows[] = {
        {{-3, 0, 0, 0}, -1, 0},
        {{0, -3, 0, 0}, 0, -1},
        {{0, 0, 75, 83}, 37, 41},
        {{-10, -10, -1, -1}, -5, -5},
        {{-7, 3, 0, 4}, -3, 3},
    };
    for (const Row& row : rows) {
        EXPECT_EQ(row.x, row.r.centerX()) << row.r;
        EXPECT_EQ(row.y, row.r.centerY()) << row.r;
    }
}

TEST(Rect, IncludeOffsetAndCopies) {
    Rect empty;
    empty.include(10, 10, 20, 20);
    EXPECT_EQ(Rect(0, 0, 20, 20), empty);

    Rect grown(5, 5, 10, 10);
    grown.include(-3, 7, 8, 30);
    EXPECT_EQ(Rect(-3, 5, 10, 30), grown);

    Rect original(0, 0, 10, 10);
    Rect moved = original.offsetCopy(Point(5, 5));
    EXPECT_EQ(Rect(5, 5, 15, 15), moved);
    EXPECT_EQ(Rect(0, 0, 10, 10), original);

    Rect r(1, 2, 3, 4);
    r.offsetBy(Point(10, 20)).offsetBack(Point(1, 1));
    EXPECT_EQ(Rect(10, 21, 12, 23), r);
    EXPECT_EQ(2, r.width());
    EXPECT_EQ(-5, Rect(5, 5, 0, 0).width()); // never clamped
}

TEST(Point, ComparisonsLeaveOperandsAlone) {
    Point a(3, 4);
    Point b(3, 5);
    EXPECT_FALSE(a == b);
    EXPECT_TRUE(a != b);
    EXPECT_TRUE(a == Point(3, 4));
    EXPECT_EQ(4, a.y);
    EXPECT_EQ(5, b.y);
}

TEST(Region, OperationsOnAnEmptyRegionFailQuietly) {
    Region region;
    EXPECT_EQ(0, region.offset(0, 0));
    EXPECT_EQ(0, region.offset(5, 5));
    region.reset();
    EXPECT_EQ(nullptr, region.handle);
    EXPECT_EQ(0, region.createFromData(nullptr, 0));
    EXPECT_EQ(nullptr, region.handle);
    EXPECT_EQ(0, region.loadResource(GetModuleHandleA(nullptr), "NO_SUCH_OUTLINE"));
    EXPECT_EQ(nullptr, region.handle);
}

TEST(Region, CreateOffsetCopyAndRelease) {
    struct {
        RGNDATAHEADER header;
        RECT rects[2];
    } data = {{sizeof(RGNDATAHEADER), RDH_RECTANGLES, 2, 32, {0, 0, 10, 4}}, {{2, 0, 5, 2}, {0, 2, 10, 4}}};
    Region region;
    ASSERT_EQ(1, region.createFromData(reinterpret_cast<RGNDATA*>(&data), sizeof data));
    ASSERT_EQ(1, region.offset(100, 50));
    std::vector<Rect> rects = regionRects(region.handle);
    ASSERT_EQ(2u, rects.size());
    EXPECT_EQ(Rect(102, 50, 105, 52), rects[0]);
    EXPECT_EQ(Rect(100, 52, 110, 54), rects[1]);

    Region copy;
    ASSERT_EQ(1, copy.copyFrom(region));
    EXPECT_NE(region.handle, copy.handle);
    EXPECT_EQ(rects.size(), regionRects(copy.handle).size());

    HRGN handed = copy.handle;
    copy.release();
    EXPECT_EQ(nullptr, copy.handle);
    EXPECT_NE(0, DeleteObject(handed)); // release() must not have deleted it
}

namespace {

// A header and room for four rectangles; the tests below vary the header's claims.
struct RegionData {
    RGNDATAHEADER header;
    RECT rects[4];
};

RegionData twoRectangles() {
    return {{sizeof(RGNDATAHEADER), RDH_RECTANGLES, 2, 32, {0, 0, 10, 4}}, {{2, 0, 5, 2}, {0, 2, 10, 4}, {}, {}}};
}

} // namespace

// Data that would have the system read rectangles past the given size is refused; a refused Region keeps what it
// held, and a new region replaces (and deletes) the one held before.
TEST(Region, CreateFromDataChecksTheHeaderAgainstTheSize) {
    const DWORD twoSize = sizeof(RGNDATAHEADER) + 2 * sizeof(RECT);
    struct Row {
        const char* name;
        DWORD headerSize;
        DWORD count;
        DWORD size;
        int ok;
    } rows[] = {
        {"two rectangles", sizeof(RGNDATAHEADER), 2, twoSize, 1},
        {"size larger than needed", sizeof(RGNDATAHEADER), 2, sizeof(RegionData), 1},
        {"no rectangles", sizeof(RGNDATAHEADER), 0, sizeof(RGNDATAHEADER), 1},
        {"one rectangle more than the size holds", sizeof(RGNDATAHEADER), 3, twoSize, 0},
        {"a count whose byte size wraps to 16", sizeof(RGNDATAHEADER), 0x10000001u, twoSize, 0},
        {"size shorter than the header", sizeof(RGNDATAHEADER), 0, sizeof(RGNDATAHEADER) - 1, 0},
        {"header size too small", 8, 2, twoSize, 0},
        {"header size claims room the rectangles need", 40, 2, twoSize, 0},
        {"header size past the end", twoSize + 4, 0, twoSize, 0},
        {"a longer header leaves room for one", 40, 1, twoSize, 1},
    };
    for (const Row& row : rows) {
        RegionData data = twoRectangles();
        Region region;
        ASSERT_EQ(1, region.createFromData(reinterpret_cast<RGNDATA*>(&data), sizeof data)) << row.name;
        HRGN before = region.handle;
        data.header.dwSize = row.headerSize;
        data.header.nCount = row.count;
        EXPECT_EQ(row.ok, region.createFromData(reinterpret_cast<RGNDATA*>(&data), row.size)) << row.name;
        if (row.ok) {
            EXPECT_NE(before, region.handle) << row.name;
            EXPECT_EQ(0u, GetObjectType(before)) << row.name << ": the old region was not deleted";
            EXPECT_EQ(row.count, regionRects(region.handle).size()) << row.name;
        } else {
            EXPECT_EQ(before, region.handle) << row.name;
            EXPECT_EQ(static_cast<DWORD>(OBJ_REGION), GetObjectType(before)) << row.name;
        }
    }
}

TEST(Region, ResetAndDestructionDeleteTheHandle) {
    HRGN first = CreateRectRgn(0, 0, 5, 5);
    HRGN second = CreateRectRgn(0, 0, 5, 5);
    {
        Region owner;
        owner.handle = first;
        owner.reset();
        EXPECT_EQ(nullptr, owner.handle);
        EXPECT_EQ(0u, GetObjectType(first));
        owner.reset(); // nothing held: nothing happens
        owner.handle = second;
    }
    EXPECT_EQ(0u, GetObjectType(second));
}

// Inside a sample every reader gets its size, also through a sample made within it; after it the screen is read
// again.
TEST(Screen, SampleHeldWhileItLives) {
    const Point live(GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN));
    {
        ScreenSample given(Point(live.x + 3, live.y - 2));
        EXPECT_EQ(given.size(), Point(screenWidth(), screenHeight()));
        {
            ScreenSample inner;
            EXPECT_EQ(given.size(), inner.size());
            EXPECT_EQ(given.size(), Point(screenWidth(), screenHeight()));
        }
        EXPECT_EQ(Point(live.x + 3, live.y - 2), Point(screenWidth(), screenHeight()));
    }
    EXPECT_EQ(live, Point(screenWidth(), screenHeight()));
    ScreenSample read;
    EXPECT_EQ(live, read.size());
}

// The nearest whole number to dpi / 96, halves up, at least 1; at most kMaxDisplayScale for a DPI no screen has.
TEST(Screen, ScaleForDpi) {
    const struct {
        int dpi;
        int scale;
    } rows[] = {{96, 1},  {120, 1}, {143, 1}, {144, 2}, {168, 2}, {192, 2},   {239, 2},       {240, 3},
                {288, 3}, {335, 3}, {336, 4}, {0, 1},   {-96, 1}, {768, 8},   {INT_MAX, 8}};
    for (const auto& row : rows)
        EXPECT_EQ(row.scale, scaleForDpi(row.dpi)) << row.dpi << " dpi";
}

// The scenes' world at scale 2: the screen halved, whole pixels both ways, rounding down on either side of 0.
TEST(Screen, SceneAndScreenPixelsAtAScale) {
    ScreenSample given(Point(2049, 1536));
    setDisplayScale(2);
    EXPECT_EQ(Point(1024, 768), Point(screenWidth(), screenHeight()));
    EXPECT_EQ(Point(2049, 1536), screenPixels());
    const struct {
        int screen, scene;
    } rows[] = {{0, 0}, {1, 0}, {2, 1}, {801, 400}, {-1, -1}, {-2, -1}, {-3, -2}};
    for (const auto& row : rows) {
        EXPECT_EQ(row.scene, toScene(row.screen)) << row.screen;
        EXPECT_EQ(row.screen - (row.screen & 1), toScreen(row.scene)) << row.screen;
    }
    setDisplayScale(0); // out of range: taken as 1
    EXPECT_EQ(1, displayScale());
    EXPECT_EQ(Point(2049, 1536), Point(screenWidth(), screenHeight()));
}

TEST(Region, ScaledFromMultipliesEveryRectangle) {
    Region source;
    source.handle = CreateRectRgn(3, 4, 10, 6);
    HRGN second = CreateRectRgn(-5, 6, 1, 9);
    CombineRgn(source.handle, source.handle, second, RGN_OR);
    DeleteObject(second);
    Region scaled;
    ASSERT_EQ(1, scaled.scaledFrom(source, 3));
    Region expected;
    expected.handle = CreateRectRgn(9, 12, 30, 18);
    HRGN part = CreateRectRgn(-15, 18, 3, 27);
    CombineRgn(expected.handle, expected.handle, part, RGN_OR);
    DeleteObject(part);
    EXPECT_TRUE(EqualRgn(expected.handle, scaled.handle));
    EXPECT_EQ(0, scaled.scaledFrom(Region(), 3)); // nothing to scale: the region held is kept
    EXPECT_TRUE(EqualRgn(expected.handle, scaled.handle));
}

TEST(Screen, SizeAndBitmaps) {
    EXPECT_EQ(GetSystemMetrics(SM_CXSCREEN), screenWidth());
    EXPECT_EQ(GetSystemMetrics(SM_CYSCREEN), screenHeight());
    EXPECT_GT(screenWidth(), 0);

    int width = -1;
    int height = -1;
    bitmapSize(nullptr, &width, &height);
    EXPECT_EQ(0, width);
    EXPECT_EQ(0, height);

    HDC screen = GetDC(nullptr);
    HBITMAP source = CreateCompatibleBitmap(screen, 7, 5);
    bitmapSize(source, &width, &height);
    EXPECT_EQ(7, width);
    EXPECT_EQ(5, height);

    // Fill the source with one colour and blit a part of it into a second bitmap at an offset.
    HDC memory = CreateCompatibleDC(screen);
    HGDIOBJ old = SelectObject(memory, source);
    RECT all = {0, 0, 7, 5};
    HBRUSH red = CreateSolidBrush(RGB(200, 10, 10));
    FillRect(memory, &all, red);
    SelectObject(memory, old);

    HBITMAP target = CreateCompatibleBitmap(screen, 20, 20);
    SelectObject(memory, target);
    RECT whole = {0, 0, 20, 20};
    FillRect(memory, &whole, static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH)));
    EXPECT_TRUE(blitBitmap(memory, 10, 10, source, 2, 1, 3, 3, SRCCOPY));
    EXPECT_EQ(RGB(200, 10, 10), GetPixel(memory, 10, 10));
    EXPECT_EQ(RGB(200, 10, 10), GetPixel(memory, 12, 12));
    EXPECT_EQ(RGB(255, 255, 255), GetPixel(memory, 13, 12));
    EXPECT_EQ(RGB(255, 255, 255), GetPixel(memory, 9, 10));
    SelectObject(memory, old);

    // The blit put the source back out of its memory DC: it can be selected elsewhere again.
    HDC other = CreateCompatibleDC(screen);
    HGDIOBJ previous = SelectObject(other, source);
    EXPECT_NE(nullptr, previous);
    SelectObject(other, previous);
    DeleteDC(other);

    DeleteObject(red);
    DeleteObject(target);
    DeleteObject(source);
    DeleteDC(memory);
    ReleaseDC(nullptr, screen);
}
