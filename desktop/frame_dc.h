// Device contexts the frame update keeps from one frame to the next, each released by its owner.
#pragma once

#include "engine/platform.h"

// The window's own device context (GetWindowDC), kept until close() or the owner's end.
class HeldWindowDc {
public:
    HeldWindowDc() : window(nullptr), dc(nullptr) {}
    ~HeldWindowDc() { close(); }
    HeldWindowDc(const HeldWindowDc&) = delete;
    HeldWindowDc& operator=(const HeldWindowDc&) = delete;

    // The DC of `target`, taken on first use; a different window (or none) gives back the one held before.
    HDC of(HWND target);
    void close();

private:
    HWND window;
    HDC dc;
};

// A memory DC with one bitmap selected, kept until close() or the owner's end; closing puts the DC's own
// bitmap back first, so that the selected bitmap is free to be deleted.
class HeldMemoryDc {
public:
    HeldMemoryDc() : bitmap(nullptr), dc(nullptr), previous(nullptr) {}
    ~HeldMemoryDc() { close(); }
    HeldMemoryDc(const HeldMemoryDc&) = delete;
    HeldMemoryDc& operator=(const HeldMemoryDc&) = delete;

    // A DC compatible with `like` holding `selected`, made on first use; null when either cannot be had.
    HDC holding(HDC like, HBITMAP selected);
    void close();

private:
    HBITMAP bitmap;
    HDC dc;
    HGDIOBJ previous;
};
