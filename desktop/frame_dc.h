// Device contexts the frame update keeps from one frame to the next.
#pragma once

#include "engine/handles.h"

// The window's own device context (GetWindowDC), kept until close() or the owner's end.
class HeldWindowDc {
public:
    // The DC of `target`, taken on first use; a different window (or none) gives back the one held before.
    HDC of(HWND target);
    void close() { dc.close(); }

private:
    WindowDc dc;
};

// A memory DC with one bitmap selected, kept until close() or the owner's end; closing puts the DC's own
// bitmap back first, so that the selected bitmap is free to be deleted.
class HeldMemoryDc {
public:
    HeldMemoryDc() : bitmap(nullptr) {}

    // A DC compatible with `like` holding `selected`, made on first use; null when either cannot be had.
    HDC holding(HDC like, HBITMAP selected);
    void close();

private:
    HBITMAP bitmap;
    MemoryDc dc;
};
