// Helpers for the tests that drive the figure's scenes: real windows to stand on, a stepping loop, seeds.
#pragma once

#include <gtest/gtest.h>

#include <cstdlib>
#include <functional>

#include "app/startup.h"
#include "desktop/character_window.h"
#include "engine/activity.h"
#include "engine/picker.h"
#include "support/test_support.h"

// A plain window at an exact screen place: a top-level popup, or a child button at client coordinates.
class TestWindow {
public:
    explicit TestWindow(Rect at, HWND parent = nullptr) : handle(nullptr) {
        const char* kind = parent ? "BUTTON" : className();
        DWORD style = WS_VISIBLE | (parent ? WS_CHILD : WS_POPUP);
        handle = CreateWindowExA(0, kind, "", style, at.left, at.top, at.width(), at.height(), parent, nullptr,
                                 GetModuleHandleA(nullptr), nullptr);
        if (handle)
            UpdateWindow(handle);
        pumpMessages();
    }
    // Without a window manager Wine waits about 2 s for every unmap (hide, destroy, move off screen). A finished
    // window therefore only loses its shape, which WindowFromPoint respects, and goes when the process ends.
    ~TestWindow() {
        if (handle)
            SetWindowRgn(handle, CreateRectRgn(0, 0, 0, 0), TRUE);
        pumpMessages();
    }
    TestWindow(const TestWindow&) = delete;
    TestWindow& operator=(const TestWindow&) = delete;

    HWND handle;

private:
    static const char* className() {
        static ATOM registered = 0;
        if (!registered) {
            WNDCLASSA wc = {};
            wc.lpfnWndProc = DefWindowProcA;
            wc.hInstance = GetModuleHandleA(nullptr);
            wc.hbrBackground = static_cast<HBRUSH>(GetStockObject(GRAY_BRUSH));
            wc.lpszClassName = "MiboTestSurface";
            registered = RegisterClassA(&wc);
        }
        return "MiboTestSurface";
    }
};

// Restores the fun level and the piano flag a test changes.
class PickerGlobalsScope {
public:
    PickerGlobalsScope() : fun(funLevel), piano(pianoPlaying) {}
    ~PickerGlobalsScope() {
        funLevel = fun;
        pianoPlaying = piano;
    }
    PickerGlobalsScope(const PickerGlobalsScope&) = delete;
    PickerGlobalsScope& operator=(const PickerGlobalsScope&) = delete;

private:
    int32_t fun;
    int32_t piano;
};

// One step at a given tick.
struct Pass {
    int running;
    Rect rect;
};

inline Pass stepAt(Activity& activity, uint32_t tick, Region& shape) {
    frameTick = tick;
    Pass pass = {0, Rect(-1, -1, -1, -1)};
    pass.running = activity.step(pass.rect, shape);
    return pass;
}

// Seeds rand with the first seed whose next draws make `wanted` true, and leaves rand at that seed's start.
inline unsigned seedWhere(const std::function<bool()>& wanted) {
    for (unsigned seed = 1; seed < 100000; ++seed) {
        srand(seed);
        if (wanted()) {
            srand(seed);
            return seed;
        }
    }
    ADD_FAILURE() << "no seed gives the wanted draws";
    return 0;
}

// The slot holding an activity of type T, or null.
template <class T>
T* spawnedOf() {
    for (int slot = 0; slot < kActivitySlots; ++slot) {
        if (auto* found = dynamic_cast<T*>(characterWindow->activityIn(slot)))
            return found;
    }
    return nullptr;
}

// The next rand() value after the picker's draw from `seed` with these lists. An excluded id costs no
// acceptance draw, so comparing this with what follows a scene's own hand-off tells which lists it used.
inline int randAfterPick(unsigned seed, const Rect& where, const IdList& allowed, const IdList& excluded) {
    srand(seed);
    if (drawActivityId(where, allowed, excluded) == kWalkId)
        random(100); // a walk draws its direction too
    return rand();
}

// A walking figure's rectangle standing on the bottom of the screen.
inline Rect walkerOnBottom(int left) {
    return Rect(left, screenHeight() - 83, left + 75, screenHeight());
}

// A figure's rectangle somewhere in the middle of the screen.
inline Rect standing(int left = 400) {
    return Rect(left, 400, left + 75, 483);
}

inline IdList idList(std::initializer_list<int> ids) {
    IdList list;
    for (int id : ids)
        list.append(id);
    return list;
}
