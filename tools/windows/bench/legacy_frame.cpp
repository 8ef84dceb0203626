#include "legacy_frame.h"

const char* const kPieceNames[PieceCount] = {
    "activity steps", "shape union", "GetWindowDC + memory DC", "background restore", "figures drawn",
    "background refresh", "shape compared", "SetWindowRgn", "desktop repaint", "InvalidateRect", "blits to screen",
    "display check + shape kept",
};

double framePieces[PieceCount];

void clearFramePieces() {
    for (double& piece : framePieces)
        piece = 0;
}

namespace {

double counterFrequency() {
    static double frequency = 0;
    if (frequency == 0) {
        LARGE_INTEGER f;
        QueryPerformanceFrequency(&f);
        frequency = static_cast<double>(f.QuadPart);
    }
    return frequency;
}

// Adds the time from its construction to its end (or to `next`) to one piece.
class PieceTimer {
public:
    explicit PieceTimer(FramePiece piece) : piece(piece) { QueryPerformanceCounter(&start); }
    ~PieceTimer() { stop(); }
    PieceTimer(const PieceTimer&) = delete;
    PieceTimer& operator=(const PieceTimer&) = delete;

    void next(FramePiece following) {
        stop();
        piece = following;
        QueryPerformanceCounter(&start);
    }

private:
    void stop() {
        LARGE_INTEGER now;
        QueryPerformanceCounter(&now);
        framePieces[piece] += static_cast<double>(now.QuadPart - start.QuadPart) * 1e6 / counterFrequency();
    }
    FramePiece piece;
    LARGE_INTEGER start;
};

class WindowDc {
public:
    explicit WindowDc(HWND window) : window(window), dc(window ? GetWindowDC(window) : nullptr) {}
    ~WindowDc() {
        if (dc)
            ReleaseDC(window, dc);
    }
    WindowDc(const WindowDc&) = delete;
    WindowDc& operator=(const WindowDc&) = delete;

    HWND window;
    HDC dc;
};

class MemoryDc {
public:
    MemoryDc(HDC compatibleWith, HBITMAP bitmap) : dc(CreateCompatibleDC(compatibleWith)), previous(nullptr) {
        if (dc && bitmap)
            previous = SelectObject(dc, bitmap);
    }
    ~MemoryDc() {
        if (!dc)
            return;
        if (previous)
            SelectObject(dc, previous);
        DeleteDC(dc);
    }
    MemoryDc(const MemoryDc&) = delete;
    MemoryDc& operator=(const MemoryDc&) = delete;

    HDC dc;
    HGDIOBJ previous;
};

void copyRect(HDC target, HDC source, const Rect& r) {
    if (r.width() <= 0 || r.height() <= 0)
        return;
    BitBlt(target, r.left, r.top, r.width(), r.height(), source, r.left, r.top, SRCCOPY);
}

} // namespace

LRESULT LegacyCharacterWindow::onTimer(WPARAM) {
    if (closing)
        return 0;
    Region newShape;
    int32_t alive[kActivitySlots] = {};
    int32_t present[kActivitySlots] = {};
    Rect work[kActivitySlots];

    stepActivities(newShape, alive, present);

    PieceTimer timer(PieceOpenDcs);
    {
        WindowDc window(handle);
        MemoryDc composition(window.dc, compositionBitmap);
        if (window.dc && composition.dc && backgroundDc) {
            timer.next(PieceRestore);
            restoreBackground(composition.dc, alive, present, work);
            timer.next(PieceDraw);
            drawActivities(composition.dc, alive);
            timer.next(PieceRefresh);
            refreshBackground(window.dc, newShape, alive, work);
        }
        if (handle) {
            shapeWindow(newShape);
            timer.next(PieceInvalidate);
            InvalidateRect(handle, nullptr, FALSE);
        }
        timer.next(PieceShow);
        if (window.dc && composition.dc)
            showFrame(window.dc, composition.dc, alive, present, work);
        timer.next(PieceCheck);
        if (window.dc)
            checkDisplay(window.dc);

        if (lastShape.ensureHandle())
            lastShape.copyFrom(newShape);
        timer.next(PieceOpenDcs);
    }
    return 0;
}

void LegacyCharacterWindow::stepActivities(Region& newShape, int32_t* alive, int32_t* present) {
    PieceTimer timer(PieceStep);
    for (int i = 0; i < kActivitySlots; ++i) {
        Activity* activity = activities[i];
        if (!activity)
            continue;
        present[i] = 1;
        previousBounds[i] = bounds[i];
        if (activity == grabbed) {
            POINT cursor;
            if (GetCursorPos(&cursor))
                activity->centerOn(Point(cursor.x, cursor.y));
        }
        alive[i] = activity->step(bounds[i], shapes[i]);
        if (previousBounds[i].width() == 0 && previousBounds[i].height() == 0)
            previousBounds[i] = bounds[i];
        if (!alive[i]) {
            if (grabbed == activity)
                grabbed = nullptr;
            delete activity;
            bounds[i] = Rect(0, 0, 0, 0);
            activities[i] = nullptr;
            shapes[i].reset();
            continue;
        }
        wrapAroundSides(i);
        timer.next(PieceUnion);
        if (shapes[i].handle && newShape.ensureHandle()) {
            shapes[i].offset(bounds[i].left, bounds[i].top);
            CombineRgn(newShape.handle, newShape.handle, shapes[i].handle, RGN_OR);
        }
        timer.next(PieceStep);
    }
}

void LegacyCharacterWindow::wrapAroundSides(int slot) {
    int width = screenWidth();
    int half = bounds[slot].width() / 2;
    if (bounds[slot].left > width)
        bounds[slot] = activities[slot]->moveBy(Point(-width - half, 0));
    half = bounds[slot].width() / 2;
    if (bounds[slot].right < 0)
        bounds[slot] = activities[slot]->moveBy(Point(half + width, 0));
}

void LegacyCharacterWindow::restoreBackground(HDC composition, const int32_t* alive, const int32_t* present,
                                              Rect* work) {
    for (int i = 0; i < kActivitySlots; ++i) {
        if (alive[i]) {
            work[i] = bounds[i];
            work[i].include(previousBounds[i].left, previousBounds[i].top, previousBounds[i].right,
                            previousBounds[i].bottom);
            copyRect(composition, backgroundDc, work[i]);
        } else if (present[i]) {
            work[i] = previousBounds[i];
            copyRect(composition, backgroundDc, work[i]);
            previousBounds[i] = Rect(0, 0, 0, 0);
        }
    }
}

void LegacyCharacterWindow::drawActivities(HDC composition, const int32_t* alive) {
    for (int i = 0; i < kActivitySlots; ++i) {
        if (!alive[i])
            continue;
        SelectClipRgn(composition, shapes[i].handle);
        activities[i]->draw(composition, SRCCOPY, TRUE);
    }
    SelectClipRgn(composition, nullptr);
}

void LegacyCharacterWindow::refreshBackground(HDC windowDc, const Region& newShape, const int32_t* alive,
                                              const Rect* work) {
    Region fresh;
    if (!fresh.ensureHandle())
        return;
    if (newShape.handle)
        CombineRgn(fresh.handle, newShape.handle, lastShape.handle, lastShape.handle ? RGN_DIFF : RGN_COPY);
    SelectClipRgn(backgroundDc, fresh.handle);
    for (int i = 0; i < kActivitySlots; ++i) {
        if (alive[i])
            copyRect(backgroundDc, windowDc, work[i]);
    }
    SelectClipRgn(backgroundDc, nullptr);
}

void LegacyCharacterWindow::shapeWindow(const Region& newShape) {
    PieceTimer timer(PieceCompare);
    if (lastShape.handle) {
        RECT box;
        bool unchanged = newShape.handle ? EqualRgn(lastShape.handle, newShape.handle) != 0
                                         : GetRgnBox(lastShape.handle, &box) == NULLREGION;
        if (unchanged)
            return;
    }
    Region vacated;
    int vacatedKind = NULLREGION;
    if (lastShape.handle && vacated.ensureHandle()) {
        vacatedKind = CombineRgn(vacated.handle, lastShape.handle, newShape.handle,
                                 newShape.handle ? RGN_DIFF : RGN_COPY);
    }
    timer.next(PieceSetShape);
    setShape(newShape, FALSE);
    timer.next(PieceRepaint);
    if (vacatedKind != NULLREGION && vacatedKind != ERROR)
        RedrawWindow(GetDesktopWindow(), nullptr, vacated.handle,
                     RDW_INVALIDATE | RDW_ERASE | RDW_FRAME | RDW_ALLCHILDREN);
}

void LegacyCharacterWindow::showFrame(HDC windowDc, HDC composition, const int32_t* alive, const int32_t* present,
                                      const Rect* work) {
    for (int i = 0; i < kActivitySlots; ++i) {
        if (alive[i] || present[i])
            copyRect(windowDc, composition, work[i]);
    }
}

void LegacyCharacterWindow::checkDisplay(HDC windowDc) {
    if (!handle)
        return;
    if (GetDeviceCaps(windowDc, BITSPIXEL) != colourDepth ||
        Point(screenWidth(), screenHeight()) != screenSize)
        displayChanged = 1;
}
