// Screen geometry: points, rectangles with exclusive right and bottom edges, and the owner of a GDI region.
#pragma once

#include "engine/platform.h"

struct Point {
    int x;
    int y;

    Point() : x(0), y(0) {}
    Point(int x, int y) : x(x), y(y) {}
    virtual ~Point() = default;
    Point(const Point&) = default;
    Point& operator=(const Point&) = default;

    void set(int newX, int newY) {
        x = newX;
        y = newY;
    }
    bool operator==(const Point& other) const { return x == other.x && y == other.y; }
    bool operator!=(const Point& other) const { return !(*this == other); }
};

// The edge that setWidth/setHeight keep still. Any other value behaves as AnchorStart.
enum Anchor { AnchorStart = 0, AnchorCenter = 1, AnchorEnd = 2 };

struct Rect {
    int left;
    int top;
    int right;
    int bottom;

    Rect() : left(0), top(0), right(0), bottom(0) {}
    Rect(int left, int top, int right, int bottom) : left(left), top(top), right(right), bottom(bottom) {}
    virtual ~Rect() = default;
    Rect(const Rect&) = default;
    Rect& operator=(const Rect&) = default;

    void set(int newLeft, int newTop, int newRight, int newBottom);
    int width() const { return right - left; }
    int height() const { return bottom - top; }
    void offset(int dx, int dy);
    Rect& offsetBy(Point p);
    Rect& offsetBack(Point p);
    Rect offsetCopy(Point p) const;
    int setWidth(int w, Anchor anchor);
    int setHeight(int h, Anchor anchor);
    void include(int otherLeft, int otherTop, int otherRight, int otherBottom);
    // Divisions truncate toward zero, as C++ does: centerX of (-3, 0, 0, 0) is -1.
    int centerX() const { return (left + right) / 2; }
    int centerY() const { return (top + bottom) / 2; }

    bool operator==(const Rect& other) const {
        return left == other.left && top == other.top && right == other.right && bottom == other.bottom;
    }
    bool operator!=(const Rect& other) const { return !(*this == other); }
};

// Owns one GDI region handle (null when it holds nothing). Moving hands the handle on; copying is not allowed.
class Region {
public:
    Region() : handle(nullptr) {}
    Region(Region&& other) noexcept : handle(other.handle) { other.handle = nullptr; }
    Region& operator=(Region&& other) noexcept {
        if (this != &other) {
            reset();
            handle = other.handle;
            other.handle = nullptr;
        }
        return *this;
    }
    Region(const Region&) = delete;
    Region& operator=(const Region&) = delete;
    virtual ~Region() { reset(); }

    // 1 when the region was built (a region held before is deleted); 0, with the handle kept, when the header's
    // rectangle count does not fit in `size` or the system refuses the data.
    int createFromData(const RGNDATA* data, DWORD size);
    int loadResource(HINSTANCE module, const char* name);
    int offset(int dx, int dy);
    void reset();
    // Forgets the handle without deleting it: for a region the system has taken over (SetWindowRgn).
    void release() { handle = nullptr; }

    // Gives the region an empty rectangle when it holds nothing yet; 1 when it now holds a handle.
    int ensureHandle();
    // Makes this region a copy of `source` (RGN_COPY), creating a handle first if needed.
    int copyFrom(const Region& source);
    // Makes this region `source` enlarged `scale` times from the origin: every rectangle's coordinates multiplied.
    // 0, with the handle kept, when `source` holds nothing or the system refuses.
    int scaledFrom(const Region& source, int scale);

    HRGN handle;
};

// The scenes' world is the primary screen, or the desk of several monitors (engine/desk_layout.h), seen at the
// display scale: (width / scale) x (height / scale) scene pixels, each shown as scale x scale screen pixels. The
// primary screen is read at each use: under Wine each reading costs several server round trips. The desk's size
// was taken at start.
int screenWidth();
int screenHeight();
// The world's own size in screen pixels, read the same way: what the character window covers.
Point screenPixels();

// Screen pixels per scene pixel, each way; 1 until set. The program sets it once, before its window is made.
int displayScale();
void setDisplayScale(int scale);
// The largest scale taken: beyond it the scenes' world would shrink below a small window's size.
constexpr int kMaxDisplayScale = 8;
// The scale for a screen of `dpi` dots per inch: dpi / 96 to the nearest whole number, halves rounding up, at
// least 1 (and at most kMaxDisplayScale, for a DPI no screen has).
int scaleForDpi(int dpi);
// The primary screen's DPI as the system tells it now (96 at 100 % scaling).
int primaryScreenDpi();
// Scene pixels to screen pixels and back; the way back rounds down, also left of and above the primary screen.
int toScreen(int scenePixels);
int toScene(int screenPixels);

// While one lives, every screenWidth()/screenHeight() gives the one size it holds, as every reader of frameTick
// gets the tick sampled once a pass: the frame update holds one for its whole run. The screen is read at the first
// use, so a frame that needs no size reads nothing. One made while another lives holds the outer one's size, so a
// frame has one size throughout.
class ScreenSample {
public:
    ScreenSample();
    // Holds `given`, whatever the screen or an outer sample says (tests stand in a display change with it).
    explicit ScreenSample(Point given);
    ScreenSample(const ScreenSample&) = delete;
    ScreenSample& operator=(const ScreenSample&) = delete;
    ~ScreenSample();

    Point size() const;

private:
    const ScreenSample* outer;
    mutable Point held;
    mutable bool read;
};

void bitmapSize(HBITMAP bitmap, int* width, int* height);
BOOL blitBitmap(HDC dc, int x, int y, HBITMAP bitmap, int srcX, int srcY, int width, int height, DWORD rop);
