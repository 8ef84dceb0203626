// Frames and outlines loaded from the program's resources, and what Windows makes of the committed RLE4 bitmaps.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <string>
#include <vector>

#include "engine/activity.h"
#include "support/test_support.h"

namespace {

class FrameHolder : public Activity {
public:
    int step(Rect& outRect, Region& outShape) override { return output(outRect, outShape); }
};

// A white 32-bit memory canvas to draw frames on.
class Canvas {
public:
    Canvas(int width, int height) {
        HDC screen = GetDC(nullptr);
        dc = CreateCompatibleDC(screen);
        bitmap = CreateCompatibleBitmap(screen, width, height);
        ReleaseDC(nullptr, screen);
        old = SelectObject(dc, bitmap);
        RECT all = {0, 0, width, height};
        FillRect(dc, &all, static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH)));
    }
    ~Canvas() {
        SelectObject(dc, old);
        DeleteObject(bitmap);
        DeleteDC(dc);
    }
    Canvas(const Canvas&) = delete;
    Canvas& operator=(const Canvas&) = delete;

    HDC dc;
    HBITMAP bitmap;
    HGDIOBJ old;
};

// The resource as stored: BITMAPINFOHEADER, 16 palette entries, RLE4 data.
struct StoredBitmap {
    int width = 0;
    int height = 0;
    COLORREF palette[16] = {};
    std::vector<int> indices; // top-down, -1 where the data left a pixel undefined
};

// A decoder of our own, independent of the system's, so the comparison means something.
bool decodeStoredBitmap(const char* name, StoredBitmap* out) {
    HMODULE module = GetModuleHandleA(nullptr);
    HRSRC resource = FindResourceA(module, name, MAKEINTRESOURCEA(2)); // RT_BITMAP
    if (!resource)
        return false;
    const BYTE* data = static_cast<const BYTE*>(LockResource(LoadResource(module, resource)));
    DWORD size = SizeofResource(module, resource);
    BITMAPINFOHEADER header;
    if (!data || size < sizeof header)
        return false;
    std::memcpy(&header, data, sizeof header);
    if (header.biBitCount != 4 || header.biCompression != BI_RLE4 || header.biHeight <= 0)
        return false;
    const BYTE* colours = data + header.biSize;
    for (int i = 0; i < 16; ++i)
        out->palette[i] = RGB(colours[4 * i + 2], colours[4 * i + 1], colours[4 * i]);
    out->width = header.biWidth;
    out->height = header.biHeight;
    out->indices.assign(size_t(out->width) * size_t(out->height), -1);
    const BYTE* p = colours + 16 * 4;
    const BYTE* end = data + size;
    int x = 0, row = 0;
    auto put = [&](int index) {
        if (x < out->width && row < out->height)
            out->indices[size_t(out->height - 1 - row) * size_t(out->width) + size_t(x)] = index;
        ++x;
    };
    while (p + 2 <= end) {
        BYTE count = p[0], value = p[1];
        p += 2;
        if (count) {
            for (int i = 0; i < count; ++i)
                put(i % 2 ? value & 15 : value >> 4);
        } else if (value == 0) {
            x = 0;
            ++row;
        } else if (value == 1) {
            return true;
        } else if (value == 2) {
            return false; // our frames never skip pixels
        } else {
            int bytes = (value + 1) / 2;
            for (int i = 0; i < value; ++i)
                put(i % 2 ? p[i / 2] & 15 : p[i / 2] >> 4);
            p += bytes + bytes % 2;
        }
    }
    return false;
}

BOOL CALLBACK collectName(HMODULE, LPCSTR, LPSTR name, LONG_PTR list) {
    if (!IS_INTRESOURCE(name))
        reinterpret_cast<std::vector<std::string>*>(list)->push_back(name);
    return TRUE;
}

// Every named bitmap of the program: the frames drawn so far, whatever sets they belong to.
std::vector<std::string> bitmapNames() {
    std::vector<std::string> names;
    EnumResourceNamesA(GetModuleHandleA(nullptr), MAKEINTRESOURCEA(2), collectName, LONG_PTR(&names));
    return names;
}

} // namespace

TEST(Frames, SetsLoadWithTheirSizesPerIndex) {
    struct Row {
        const char* base;
        int count;
        std::vector<Point> sizes;
    } rows[] = {
        {"LECI", 6, {{95, 115}, {95, 115}, {95, 127}, {95, 127}, {95, 127}, {78, 132}}},
        {"leci", 6, {{95, 115}, {95, 115}, {95, 127}, {95, 127}, {95, 127}, {78, 132}}},
        {"IDZIE", 4, {{75, 83}, {75, 83}, {75, 83}, {75, 83}}},
        {"idzie_p_", 4, {{75, 83}, {75, 83}, {75, 83}, {75, 83}}},
        {"Spada", 3, {{82, 98}, {82, 98}, {82, 98}}},
        {"RENSP", 1, {{114, 81}}},
    };
    for (const Row& row : rows) {
        LoadFailureCounter failures;
        FrameHolder holder;
        holder.loadFrames(row.base, row.count);
        ASSERT_EQ(row.count, holder.frameCount) << row.base;
        for (int i = 0; i < row.count; ++i) {
            EXPECT_EQ(row.sizes[size_t(i)], holder.frameSizes[i]) << row.base << " frame " << i;
            EXPECT_NE(nullptr, holder.frameBitmaps[i].get()) << row.base << " frame " << i;
            EXPECT_NE(nullptr, holder.frameRegions[i].handle) << row.base << " frame " << i;
        }
        EXPECT_EQ(0, failures.count()) << row.base;
        int code = 0;
        EXPECT_FALSE(LoadFailureCounter::takeQuitMessage(&code)) << row.base;
    }
}

TEST(Frames, RegionResourceGivesExactlyItsRectangles) {
    Region region;
    ASSERT_EQ(1, region.loadResource(GetModuleHandleA(nullptr), "rgneleven"));
    std::vector<Rect> expected = {
        {2, 0, 5, 2},
        {1, 2, 3, 4}, {4, 2, 6, 4},
        {0, 4, 2, 5}, {3, 4, 4, 5}, {5, 4, 7, 5},
        {0, 5, 7, 8},
        {1, 8, 3, 10}, {4, 8, 6, 10},
        {2, 10, 3, 11}, {4, 10, 5, 11},
    };
    EXPECT_EQ(expected, regionRects(region.handle));
    RECT box;
    EXPECT_EQ(COMPLEXREGION, GetRgnBox(region.handle, &box));
    EXPECT_EQ(Rect(0, 0, 7, 11), Rect(box.left, box.top, box.right, box.bottom));
}

TEST(Frames, MissingFrameReportsOnceAndLoadsTheOthers) {
    LoadFailureCounter failures;
    FrameHolder holder;
    holder.loadFrames("GAPPY", 4);
    EXPECT_EQ(1, failures.count());
    ASSERT_EQ(4, holder.frameCount);
    struct Row {
        int index;
        Point size;
        bool loaded;
    } rows[] = {
        {0, {75, 83}, true},
        {1, {82, 98}, true},
        {2, {0, 0}, false},
        {3, {78, 132}, true},
    };
    for (const Row& row : rows) {
        EXPECT_EQ(row.size, holder.frameSizes[row.index]) << row.index;
        EXPECT_EQ(row.loaded, holder.frameBitmaps[row.index].get() != nullptr) << row.index;
        EXPECT_EQ(row.loaded, holder.frameRegions[row.index].handle != nullptr) << row.index;
    }
    EXPECT_EQ(nullptr, failures.lastOwner());
    EXPECT_EQ("can't load bitmap - not enough memory to load Mibo", failures.lastText());
    EXPECT_EQ("Rida Mibo 1999-Error", failures.lastCaption());
    EXPECT_EQ(static_cast<UINT>(MB_ICONERROR), failures.lastType());
    int code = 0;
    ASSERT_TRUE(LoadFailureCounter::takeQuitMessage(&code));
    EXPECT_EQ(-1, code);
}

// Each of these would have the system read rectangles from beyond the resource.
TEST(Frames, DamagedOutlinesAreRefused) {
    for (const char* name : {"RGNLONGCOUNT", "RGNMANYRECTS", "RGNNOHEADER", "RGNSMALLHEADER", "RGNTINY"}) {
        ASSERT_NE(nullptr, FindResourceA(GetModuleHandleA(nullptr), name, "REGION")) << name;
        Region region;
        EXPECT_EQ(0, region.loadResource(GetModuleHandleA(nullptr), name)) << name;
        EXPECT_EQ(nullptr, region.handle) << name;
    }
}

TEST(Frames, DestroyingTheActivityDeletesEveryBitmapAndOutline) {
    LoadFailureCounter failures;
    auto* holder = new FrameHolder;
    holder->loadFrames("GAPPY", 4);
    std::vector<HGDIOBJ> handles;
    for (int i = 0; i < holder->frameCount; ++i) {
        if (holder->frameBitmaps[i].get())
            handles.push_back(holder->frameBitmaps[i].get());
        if (holder->frameRegions[i].handle)
            handles.push_back(holder->frameRegions[i].handle);
    }
    ASSERT_EQ(6u, handles.size());
    for (HGDIOBJ handle : handles)
        EXPECT_NE(0u, GetObjectType(handle));
    delete holder;
    for (HGDIOBJ handle : handles)
        EXPECT_EQ(0u, GetObjectType(handle)) << handle;
}

// The step hands out the current frame's outline in the shape it is given, reusing its handle; a frame whose
// outline failed to load shows nothing rather than the outline of the frame before.
TEST(Frames, OutputCopiesTheCurrentFramesOutline) {
    LoadFailureCounter failures;
    FrameHolder holder;
    holder.loadFrames("GAPPY", 4);
    holder.rect = Rect(40, 50, 115, 133);
    Rect outRect;
    Region shape;
    HRGN first = nullptr;
    for (int frame : {0, 3, 1, 2}) {
        holder.frame = frame;
        ASSERT_EQ(1, holder.step(outRect, shape)) << frame;
        EXPECT_EQ(holder.rect, outRect) << frame;
        ASSERT_NE(nullptr, shape.handle) << frame;
        if (!first)
            first = shape.handle;
        EXPECT_EQ(first, shape.handle) << frame;
        std::vector<Rect> expected = regionRects(holder.frameRegions[frame].handle);
        EXPECT_EQ(frame == 2, expected.empty()) << frame;
        EXPECT_EQ(expected, regionRects(shape.handle)) << frame;
    }
}

// draw copies the whole current frame, unscaled, with its top-left at the rectangle's corner or at (0, 0).
TEST(Frames, DrawCopiesTheCurrentFrameAtItsRectangle) {
    LoadFailureCounter failures;
    FrameHolder holder;
    holder.loadFrames("GAPPY", 4);
    ASSERT_EQ(1, failures.count()); // frame 3 of GAPPY is missing
    Canvas frameCopy(200, 200);
    struct Row {
        int frame;
        BOOL atRect;
        Point at;
        bool draws;
    } rows[] = {
        {0, TRUE, {10, 20}, true},
        {1, TRUE, {10, 20}, true},
        {3, FALSE, {0, 0}, true},
        {4, TRUE, {10, 20}, false}, // frame == frameCount
        {-1, TRUE, {10, 20}, false},
    };
    for (const Row& row : rows) {
        Canvas canvas(200, 200);
        holder.frame = row.frame;
        holder.rect = Rect(10, 20, 60, 90);
        EXPECT_EQ(row.draws, holder.draw(canvas.dc, SRCCOPY, row.atRect) != 0) << row.frame;
        if (!row.draws) {
            EXPECT_EQ(RGB(255, 255, 255), GetPixel(canvas.dc, 10, 20)) << row.frame;
            continue;
        }
        HGDIOBJ old = SelectObject(frameCopy.dc, holder.frameBitmaps[row.frame].get());
        const Point size = holder.frameSizes[row.frame];
        int faults = 0;
        for (int y = 0; y < size.y; ++y)
            for (int x = 0; x < size.x; ++x)
                faults += GetPixel(canvas.dc, row.at.x + x, row.at.y + y) != GetPixel(frameCopy.dc, x, y);
        SelectObject(frameCopy.dc, old);
        EXPECT_EQ(0, faults) << row.frame;
        // Nothing beyond the frame's own size is touched.
        EXPECT_EQ(RGB(255, 255, 255), GetPixel(canvas.dc, row.at.x + size.x, row.at.y)) << row.frame;
        EXPECT_EQ(RGB(255, 255, 255), GetPixel(canvas.dc, row.at.x, row.at.y + size.y)) << row.frame;
    }
}

// LoadBitmapA must decode every committed frame to exactly the palette colours we encoded, and the frame's REGION
// must hold exactly the pixels that are not the background colour (palette entry 0).
TEST(Frames, SystemDecodesEveryFrameAsEncoded) {
    std::vector<std::string> names = bitmapNames();
    // Every set the scenes load, with its number of frames: a lost frame fails here, not only in its scene.
    const std::pair<const char*, int> sets[] = {
        {"BALON", 1},  {"BALWAN", 6}, {"BOOM", 4},     {"CHOINKA", 4}, {"GALKA", 2}, {"GLASZCZE", 2},
        {"HELLO", 2},  {"IDZIE", 4},  {"IDZIE_P_", 4}, {"KULKA", 2},   {"LECI", 6},  {"NUTKA", 1},
        {"PIANO", 2},  {"PIES", 8},   {"PLACZE", 2},   {"PREZENT", 3}, {"RENIFER", 7}, {"RENSP", 1},
        {"ROWER", 2},  {"SANIE", 2},  {"SPADA", 3},    {"WITA", 2},    {"WOREK", 2},
    };
    for (const auto& [base, count] : sets) {
        for (int i = 1; i <= count; ++i) {
            const std::string frame = base + std::to_string(i);
            EXPECT_NE(names.end(), std::find(names.begin(), names.end(), frame)) << frame;
        }
    }
    HDC screen = GetDC(nullptr);
    HDC memory = CreateCompatibleDC(screen);
    for (const std::string& entry : names) {
        const char* name = entry.c_str();
        StoredBitmap stored;
        ASSERT_TRUE(decodeStoredBitmap(name, &stored)) << name;
        HBITMAP bitmap = LoadBitmapA(GetModuleHandleA(nullptr), name);
        ASSERT_NE(nullptr, bitmap) << name;
        Region region;
        ASSERT_EQ(1, region.loadResource(GetModuleHandleA(nullptr), name)) << name;
        HGDIOBJ old = SelectObject(memory, bitmap);
        int colourFaults = 0, regionFaults = 0, undefined = 0;
        for (int y = 0; y < stored.height; ++y)
            for (int x = 0; x < stored.width; ++x) {
                int index = stored.indices[size_t(y) * size_t(stored.width) + size_t(x)];
                if (index < 0) {
                    ++undefined;
                    continue;
                }
                colourFaults += GetPixel(memory, x, y) != stored.palette[index];
                regionFaults += (PtInRegion(region.handle, x, y) != 0) != (index != 0);
            }
        SelectObject(memory, old);
        DeleteObject(bitmap);
        EXPECT_EQ(0, undefined) << name;
        EXPECT_EQ(0, colourFaults) << name;
        EXPECT_EQ(0, regionFaults) << name;
    }
    DeleteDC(memory);
    ReleaseDC(nullptr, screen);
}

// Both icon groups load at 32 x 32, and their masks make the corners transparent while the face stays opaque:
// drawn on white and on black, a corner shows each background, the middle of the face the same colour on both.
TEST(Frames, IconsDrawWithTransparentCorners) {
    HDC screen = GetDC(nullptr);
    HDC memory = CreateCompatibleDC(screen);
    HBITMAP canvas = CreateCompatibleBitmap(screen, 32, 32);
    HGDIOBJ old = SelectObject(memory, canvas);
    for (int id : {331, 332}) {
        HICON icon = LoadIconA(GetModuleHandleA(nullptr), MAKEINTRESOURCEA(id));
        ASSERT_NE(nullptr, icon) << id;
        ICONINFO info;
        ASSERT_TRUE(GetIconInfo(icon, &info)) << id;
        BITMAP colour;
        ASSERT_TRUE(GetObjectA(info.hbmColor, sizeof colour, &colour)) << id;
        EXPECT_EQ(32, colour.bmWidth) << id;
        EXPECT_EQ(32, colour.bmHeight) << id;
        DeleteObject(info.hbmColor);
        DeleteObject(info.hbmMask);

        COLORREF corner[2], middle[2];
        const COLORREF backgrounds[2] = {RGB(255, 255, 255), RGB(0, 0, 0)};
        for (int i = 0; i < 2; ++i) {
            HBRUSH brush = CreateSolidBrush(backgrounds[i]);
            RECT all = {0, 0, 32, 32};
            FillRect(memory, &all, brush);
            DeleteObject(brush);
            DrawIconEx(memory, 0, 0, icon, 32, 32, 0, nullptr, DI_NORMAL);
            corner[i] = GetPixel(memory, 0, 31);
            middle[i] = GetPixel(memory, 16, 18);
        }
        EXPECT_EQ(backgrounds[0], corner[0]) << id;
        EXPECT_EQ(backgrounds[1], corner[1]) << id;
        EXPECT_EQ(middle[0], middle[1]) << id;
        DestroyIcon(icon);
    }
    SelectObject(memory, old);
    DeleteObject(canvas);
    DeleteDC(memory);
    ReleaseDC(nullptr, screen);
}
