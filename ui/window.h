// A thin object layer over native windows: one Window object per native window, one shared window procedure
// that finds the object by its handle and calls its virtual hooks.
#pragma once

#include "engine/platform.h"

#include "engine/geometry.h"

// Room the class-name and title buffers are made with.
constexpr int kWindowTextRoom = 200;

class Window {
public:
    Window();
    Window(const Window&) = delete;
    Window& operator=(const Window&) = delete;

    // The virtual slots, in their fixed order.
    virtual void initialPlacement(int& x, int& y, int& width, int& height);
    // 1 when the native window now exists, 0 when it could not be made or already exists.
    virtual int create(HINSTANCE instance, Window* parent);
    virtual ~Window();
    // Runs after the native window exists and before it is first shown.
    virtual void afterCreate();
    virtual HBRUSH backgroundBrush();
    virtual DWORD extendedStyle();
    virtual DWORD style();
    virtual HICON icon();
    virtual UINT classStyle();
    // Every message without a slot of its own; WM_DESTROY takes the window out of the table.
    virtual LRESULT defaultHandler(UINT message, WPARAM wParam, LPARAM lParam);
    virtual LRESULT onInitMenu(WPARAM menu);
    virtual LRESULT onInitMenuPopup(WPARAM menu, int position, int windowMenu);
    virtual int showCommand();
    virtual void onMouseMove(int x, int y, WPARAM keys);
    virtual void onLeftButtonUp(int x, int y, WPARAM keys);
    virtual void onLeftButtonDown(int x, int y, WPARAM keys);
    virtual void onRightButtonUp(int x, int y, WPARAM keys);
    virtual void onRightButtonDown(int x, int y, WPARAM keys);
    virtual void paint(HDC dc, const RECT& area);
    // Both write at most `room` characters including the terminator and return the buffer.
    virtual char* className(char* buffer, int room);
    virtual char* windowTitle(char* buffer, int room);
    virtual HCURSOR cursor();
    virtual LRESULT onActivateApp(WPARAM wParam, LPARAM lParam);
    virtual LRESULT onChar(WPARAM wParam, LPARAM lParam);
    virtual LRESULT onClose();
    virtual LRESULT onCreate(LPARAM createParameters);
    virtual LRESULT onEraseBackground(WPARAM dc);
    virtual void onDestroy();
    virtual LRESULT onTimer(WPARAM timerId);
    virtual LRESULT onKeyUp(WPARAM key);
    virtual LRESULT onKeyDown(WPARAM key);
    virtual LRESULT onPaint(WPARAM wParam);
    // Non-zero lets Windows carry the command out; 0 swallows it.
    virtual LRESULT onSysCommand(WPARAM command, LPARAM lParam, int y);

    // Gives the window a copy of `region` as its shape; the caller keeps its own region.
    int setShape(const Region& region, BOOL redraw);

    HINSTANCE instance;
    Window* parent;
    HWND handle;
};

// Every Window of the process that has a native window, with the handles in a parallel array.
class WindowTable {
public:
    WindowTable() : objects(nullptr), handles(nullptr), count(0) {}
    WindowTable(const WindowTable&) = delete;
    WindowTable& operator=(const WindowTable&) = delete;
    ~WindowTable();

    // 0 when the arrays cannot grow (the table is then unchanged).
    int add(Window* object, HWND handle);
    // Removes the last entry of `object`, if any.
    void remove(Window* object);
    Window* find(HWND handle) const;

    Window** objects;
    HWND* handles;
    unsigned count;
};

extern WindowTable windowTable;

LRESULT CALLBACK windowProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);
