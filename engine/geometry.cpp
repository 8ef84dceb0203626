#include "engine/geometry.h"

#include <algorithm>

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

} // namespace

int screenWidth() {
    return heldSample ? heldSample->size().x : GetSystemMetrics(SM_CXSCREEN);
}

int screenHeight() {
    return heldSample ? heldSample->size().y : GetSystemMetrics(SM_CYSCREEN);
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
        held = outer ? outer->size() : Point(GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN));
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
