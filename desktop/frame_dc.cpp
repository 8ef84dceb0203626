#include "desktop/frame_dc.h"

HDC HeldWindowDc::of(HWND target) {
    if (target != dc.owner())
        dc.close();
    if (!dc.get() && target)
        dc = WindowDc(target);
    return dc.get();
}

HDC HeldMemoryDc::holding(HDC like, HBITMAP selected) {
    if (selected != bitmap)
        close();
    if (dc.get() || !selected || !like)
        return dc.get();
    if (!dc.open(like, selected))
        return nullptr;
    bitmap = selected;
    return dc.get();
}

void HeldMemoryDc::close() {
    dc.close();
    bitmap = nullptr;
}
