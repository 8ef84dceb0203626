#include "engine/geometry.h"

#include <algorithm>
#include <cstdint>
#include <vector>

#include "engine/desk_layout.h"
#include "engine/region_data.h"

void Rect::set(int newLeft, int newTop, int newRight, int newBottom) {
    left = newLeft;
    top = newTop;
    right = newRight;
    bottom = newBottom;
}

void Rect::offset(int dx, int dy) {
    left += dx;
    right += dx;
    top += dy;
    bottom += dy;
}

Rect& Rect::offsetBy(Point p) {
    offset(p.x, p.y);
    return *this;
}

Rect& Rect::offsetBack(Point p) {
    offset(-p.x, -p.y);
    return *this;
}

Rect Rect::offsetCopy(Point p) const {
    Rect copy(*this);
    copy.offset(p.x, p.y);
    return copy;
}

// AnchorCenter shifts by (old - new) / 2 truncated, so an odd pixel is gained or lost on the right.
int Rect::setWidth(int w, Anchor anchor) {
    int old = width();
    if (anchor == AnchorCenter)
        offset((old - w) / 2, 0);
    else if (anchor == AnchorEnd)
        offset(old - w, 0);
    right = left + w;
    return w;
}

int Rect::setHeight(int h, Anchor anchor) {
    int old = height();
    if (anchor == AnchorCenter)
        offset(0, (old - h) / 2);
    else if (anchor == AnchorEnd)
        offset(0, old - h);
    bottom = top + h;
    return h;
}

// No special case for an empty rectangle: including into (0,0,0,0) keeps the origin corner.
void Rect::include(int otherLeft, int otherTop, int otherRight, int otherBottom) {
    left = std::min(left, otherLeft);
    top = std::min(top, otherTop);
    right = std::max(right, otherRight);
    bottom = std::max(bottom, otherBottom);
}

int Region::createFromData(const RGNDATA* data, DWORD size) {
    // Wine's ExtCreateRegion reads nCount rectangles whatever size says: refuse data that would run past it.
    if (!regionDataFits(reinterpret_cast<const uint8_t*>(data), size))
        return 0;
    HRGN created = ExtCreateRegion(nullptr, size, data);
    if (!created)
        return 0;
    reset(); // a handle held before would otherwise leak
    handle = created;
    return 1;
}

int Region::offset(int dx, int dy) {
    if (!handle)
        return 0;
    return OffsetRgn(handle, dx, dy) == ERROR ? 0 : 1;
}

void Region::reset() {
    if (handle)
        DeleteObject(handle);
    handle = nullptr;
}

int Region::ensureHandle() {
    if (!handle)
        handle = CreateRectRgn(0, 0, 0, 0);
    return handle ? 1 : 0;
}

int Region::scaledFrom(const Region& source, int scale) {
    if (!source.handle)
        return 0;
    const DWORD size = GetRegionData(source.handle, 0, nullptr);
    if (size < sizeof(RGNDATAHEADER))
        return 0;
    std::vector<uint8_t> bytes(size);
    RGNDATA* data = reinterpret_cast<RGNDATA*>(bytes.data());
    if (GetRegionData(source.handle, size, data) != size)
        return 0;
    RECT* rects = reinterpret_cast<RECT*>(data->Buffer);
    for (DWORD i = 0; i < data->rdh.nCount; ++i)
        rects[i] = RECT{rects[i].left * scale, rects[i].top * scale, rects[i].right * scale, rects[i].bottom * scale};
    RECT& bound = data->rdh.rcBound;
    bound = RECT{bound.left * scale, bound.top * scale, bound.right * scale, bound.bottom * scale};
    return createFromData(data, size);
}

int Region::copyFrom(const Region& source) {
    if (!ensureHandle())
        return 0;
    if (!source.handle) {
        // A frame whose outline failed to load shows nothing rather than the previous frame's outline.
        SetRectRgn(handle, 0, 0, 0, 0);
        return 0;
    }
    return CombineRgn(handle, source.handle, nullptr, RGN_COPY) == ERROR ? 0 : 1;
}

namespace {

// The innermost live sample; null outside a frame update.
const ScreenSample* heldSample = nullptr;

int scale = 1;

} // namespace

int displayScale() {
    return scale;
}

void setDisplayScale(int newScale) {
    scale = std::min(std::max(newScale, 1), kMaxDisplayScale);
}

int scaleForDpi(int dpi) {
    const int64_t nearest = (static_cast<int64_t>(dpi) + 48) / 96;
    return static_cast<int>(std::min<int64_t>(std::max<int64_t>(nearest, 1), kMaxDisplayScale));
}

int toScreen(int scenePixels) {
    return scenePixels * scale;
}

int toScene(int screenPixels) {
    const int quotient = screenPixels / scale;
    return quotient * scale > screenPixels ? quotient - 1 : quotient;
}

// Windows 8.1 and later tell each monitor's own DPI (shcore's GetDpiForMonitor); before, every screen has the one
// system DPI, which the screen's device context tells.
int primaryScreenDpi() {
    using GetDpiForMonitorFunction = HRESULT(WINAPI*)(HMONITOR, int, UINT*, UINT*);
    HMODULE shcore = LoadLibraryA("shcore.dll");
    auto getDpiForMonitor = shcore ? reinterpret_cast<GetDpiForMonitorFunction>(
                                         reinterpret_cast<void*>(GetProcAddress(shcore, "GetDpiForMonitor")))
                                   : nullptr;
    UINT dpiX = 0;
    UINT dpiY = 0;
    constexpr int kEffectiveDpi = 0;
    const bool told = getDpiForMonitor && getDpiForMonitor(MonitorFromPoint(POINT{0, 0}, MONITOR_DEFAULTTOPRIMARY),
                                                           kEffectiveDpi, &dpiX, &dpiY) == S_OK;
    if (shcore)
        FreeLibrary(shcore);
    if (told)
        return static_cast<int>(dpiY);
    HDC screen = GetDC(nullptr);
    const int dpi = screen ? GetDeviceCaps(screen, LOGPIXELSY) : 96;
    if (screen)
        ReleaseDC(nullptr, screen);
    return dpi;
}

namespace {

// The primary screen's size as the system tells it now. Under Wine every look at the display's layout costs three
// server requests (a check of its display cache): GetSystemMetrics takes one look for the width and one for the
// height, GetMonitorInfo one for both. So the primary monitor's handle is kept; where it no longer names the
// primary monitor (the layout changed), the size comes from GetSystemMetrics and the handle is looked up anew.
Point primaryScreenSize() {
    static HMONITOR primary = nullptr;
    MONITORINFO info;
    info.cbSize = sizeof(info);
    if (primary && GetMonitorInfoA(primary, &info) && (info.dwFlags & MONITORINFOF_PRIMARY))
        return Point(info.rcMonitor.right - info.rcMonitor.left, info.rcMonitor.bottom - info.rcMonitor.top);
    primary = MonitorFromPoint(POINT{0, 0}, MONITOR_DEFAULTTOPRIMARY);
    return Point(GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN));
}

// Where the world is the desk, its size was taken at start, and a new layout restarts the program.
Point worldSize() {
    return deskIsSpread() ? deskPixels() : primaryScreenSize();
}

} // namespace

Point screenPixels() {
    return heldSample ? heldSample->size() : worldSize();
}

int screenWidth() {
    return screenPixels().x / scale;
}

int screenHeight() {
    return screenPixels().y / scale;
}

ScreenSample::ScreenSample() : outer(heldSample), held(), read(false) {
    heldSample = this;
}

ScreenSample::ScreenSample(Point given) : outer(heldSample), held(given), read(true) {
    heldSample = this;
}

ScreenSample::~ScreenSample() {
    heldSample = outer; // samples end in the reverse order of their making
}

Point ScreenSample::size() const {
    if (!read) {
        held = outer ? outer->size() : worldSize();
        read = true;
    }
    return held;
}

void bitmapSize(HBITMAP bitmap, int* width, int* height) {
    BITMAP info{};
    if (!bitmap || GetObjectA(bitmap, sizeof info, &info) == 0) {
        *width = 0;
        *height = 0;
        return;
    }
    *width = info.bmWidth;
    *height = info.bmHeight;
}

// One memory DC for every copy of a bitmap, made on first use and kept for the process's life: making and
// deleting a DC for each figure drawn costs more than the copy itself. The bitmap is deselected after each
// copy, so that its owner can delete it at any time.
BOOL blitBitmap(HDC dc, int x, int y, HBITMAP bitmap, int srcX, int srcY, int width, int height, DWORD rop) {
    static HDC memory = CreateCompatibleDC(nullptr);
    if (!memory)
        return FALSE;
    HGDIOBJ previous = SelectObject(memory, bitmap);
    if (!previous)
        return FALSE;
    BOOL result = BitBlt(dc, x, y, width, height, memory, srcX, srcY, rop);
    SelectObject(memory, previous);
    return result;
}
