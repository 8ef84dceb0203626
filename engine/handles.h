// Owners of the system's handles that the program keeps past one function. Each frees its handle when it goes and
// can be moved but never copied: a copy would free the handle twice.
#pragma once

#include <utility>

#include "engine/platform.h"

// One handle of type H, freed with Free (nothing is freed for null).
template <class H, void (*Free)(H)>
class Owned {
public:
    Owned() : handle(nullptr) {}
    explicit Owned(H handle) : handle(handle) {}
    Owned(Owned&& other) noexcept : handle(other.take()) {}
    Owned& operator=(Owned&& other) noexcept {
        if (this != &other)
            reset(other.take());
        return *this;
    }
    Owned(const Owned&) = delete;
    Owned& operator=(const Owned&) = delete;
    ~Owned() { reset(); }

    H get() const { return handle; }
    explicit operator bool() const { return handle != nullptr; }
    // Frees what it holds and takes `replacement`.
    void reset(H replacement = nullptr) {
        if (handle)
            Free(handle);
        handle = replacement;
    }
    // Gives the handle up without freeing it.
    H take() { return std::exchange(handle, nullptr); }

private:
    H handle;
};

namespace handles {
inline void deleteBitmap(HBITMAP bitmap) {
    DeleteObject(bitmap);
}
inline void freeLibrary(HMODULE library) {
    FreeLibrary(library);
}
} // namespace handles

using Bitmap = Owned<HBITMAP, handles::deleteBitmap>;
using Library = Owned<HMODULE, handles::freeLibrary>;

// A memory device context with one object selected into it: going, it puts back what the selection replaced, so
// that the selected object is free to be deleted, and then deletes the DC.
class MemoryDc {
public:
    MemoryDc() : dc(nullptr), previous(nullptr) {}
    MemoryDc(MemoryDc&& other) noexcept
        : dc(std::exchange(other.dc, nullptr)), previous(std::exchange(other.previous, nullptr)) {}
    MemoryDc& operator=(MemoryDc&& other) noexcept {
        if (this != &other) {
            close();
            dc = std::exchange(other.dc, nullptr);
            previous = std::exchange(other.previous, nullptr);
        }
        return *this;
    }
    MemoryDc(const MemoryDc&) = delete;
    MemoryDc& operator=(const MemoryDc&) = delete;
    ~MemoryDc() { close(); }

    // A DC compatible with `like` holding `selected` (a DC held before is closed first). False, holding nothing,
    // when either cannot be had.
    bool open(HDC like, HGDIOBJ selected) {
        close();
        if (!like || !selected)
            return false;
        dc = CreateCompatibleDC(like);
        previous = dc ? SelectObject(dc, selected) : nullptr;
        if (!previous)
            close();
        return dc != nullptr;
    }
    void close() {
        if (!dc)
            return;
        if (previous)
            SelectObject(dc, previous);
        DeleteDC(dc);
        dc = nullptr;
        previous = nullptr;
    }
    HDC get() const { return dc; }

private:
    HDC dc;
    HGDIOBJ previous;
};

// The device context of a whole window (GetWindowDC), released when it goes.
class WindowDc {
public:
    WindowDc() : window(nullptr), dc(nullptr) {}
    explicit WindowDc(HWND of) : window(of), dc(of ? GetWindowDC(of) : nullptr) {}
    WindowDc(WindowDc&& other) noexcept
        : window(std::exchange(other.window, nullptr)), dc(std::exchange(other.dc, nullptr)) {}
    WindowDc& operator=(WindowDc&& other) noexcept {
        if (this != &other) {
            close();
            window = std::exchange(other.window, nullptr);
            dc = std::exchange(other.dc, nullptr);
        }
        return *this;
    }
    WindowDc(const WindowDc&) = delete;
    WindowDc& operator=(const WindowDc&) = delete;
    ~WindowDc() { close(); }

    void close() {
        if (dc)
            ReleaseDC(window, dc);
        dc = nullptr;
        window = nullptr;
    }
    HDC get() const { return dc; }
    HWND owner() const { return window; }

private:
    HWND window;
    HDC dc;
};

// One reference to a COM object, released when it goes.
template <class Interface>
class ComPtr {
public:
    ComPtr() : pointer(nullptr) {}
    ComPtr(ComPtr&& other) noexcept : pointer(std::exchange(other.pointer, nullptr)) {}
    ComPtr& operator=(ComPtr&& other) noexcept {
        if (this != &other) {
            reset();
            pointer = std::exchange(other.pointer, nullptr);
        }
        return *this;
    }
    ComPtr(const ComPtr&) = delete;
    ComPtr& operator=(const ComPtr&) = delete;
    ~ComPtr() { reset(); }

    Interface* get() const { return pointer; }
    Interface* operator->() const { return pointer; }
    explicit operator bool() const { return pointer != nullptr; }
    // Releases what it holds; then the place for a creating call to write a new reference into.
    Interface** put() {
        reset();
        return &pointer;
    }
    // Releases what it holds and takes over the reference `replacement`.
    void reset(Interface* replacement = nullptr) {
        if (pointer)
            pointer->Release();
        pointer = replacement;
    }
    // Gives the reference up without releasing it.
    Interface* take() { return std::exchange(pointer, nullptr); }

private:
    Interface* pointer;
};
