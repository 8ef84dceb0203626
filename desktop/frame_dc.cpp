#include "desktop/frame_dc.h"

HDC HeldWindowDc::of(HWND target) {
    if (target != window)
        close();
    if (!dc && target) {
        dc = GetWindowDC(target);
        window = dc ? target : nullptr;
    }
    return dc;
}

void HeldWindowDc::close() {
    if (dc)
        ReleaseDC(window, dc);
    dc = nullptr;
    window = nullptr;
}

HDC HeldMemoryDc::holding(HDC like, HBITMAP selected) {
    if (selected != bitmap)
        close();
    if (dc || !selected || !like)
        return dc;
    dc = CreateCompatibleDC(like);
    if (!dc)
        return nullptr;
    previous = SelectObject(dc, selected);
    if (!previous) {
        close();
        return nullptr;
    }
    bitmap = selected;
    return dc;
}

void HeldMemoryDc::close() {
    if (dc) {
        if (previous)
            SelectObject(dc, previous);
        DeleteDC(dc);
    }
    dc = nullptr;
    previous = nullptr;
    bitmap = nullptr;
}
