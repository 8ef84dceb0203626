#include "ui/window.h"

#include <cstdio>
#include <cstring>
#include <new>

#include "engine/seams.h"
#include "text/string.h"

WindowTable windowTable;

WindowTable::~WindowTable() {
    delete[] objects;
    delete[] handles;
}

int WindowTable::add(Window* object, HWND handle) {
    Window** grownObjects = new (std::nothrow) Window*[count + 1];
    HWND* grownHandles = new (std::nothrow) HWND[count + 1];
    if (!grownObjects || !grownHandles) {
        delete[] grownObjects;
        delete[] grownHandles;
        return 0;
    }
    if (count > 0) {
        memcpy(grownObjects, objects, sizeof(Window*) * count);
        memcpy(grownHandles, handles, sizeof(HWND) * count);
    }
    grownObjects[count] = object;
    grownHandles[count] = handle;
    delete[] objects;
    delete[] handles;
    objects = grownObjects;
    handles = grownHandles;
    ++count;
    return 1;
}

void WindowTable::remove(Window* object) {
    for (unsigned i = count; i-- > 0;) {
        if (objects[i] != object)
            continue;
        for (unsigned j = i + 1; j < count; ++j) {
            objects[j - 1] = objects[j];
            handles[j - 1] = handles[j];
        }
        --count;
        return;
    }
}

Window* WindowTable::find(HWND handle) const {
    for (unsigned i = 0; i < count; ++i) {
        if (handles[i] == handle)
            return objects[i];
    }
    return nullptr;
}

Window::Window() : instance(nullptr), parent(nullptr), handle(nullptr) {}

Window::~Window() {
    if (handle)
        DestroyWindow(handle);
}

void Window::initialPlacement(int& x, int& y, int& width, int& height) {
    x = 100;
    y = 100;
    width = 500;
    height = 400;
}

int Window::create(HINSTANCE newInstance, Window* newParent) {
    if (handle)
        return 0;
    instance = newInstance;

    String name;
    String title;
    name.reserve(kWindowTextRoom);
    title.reserve(kWindowTextRoom);
    if (!name.text() || !title.text())
        return 0;
    className(name.text(), kWindowTextRoom);
    windowTitle(title.text(), kWindowTextRoom);

    WNDCLASSA windowClass = {};
    windowClass.style = classStyle();
    windowClass.lpfnWndProc = windowProc;
    windowClass.hInstance = instance;
    windowClass.hIcon = icon();
    windowClass.hCursor = cursor();
    windowClass.hbrBackground = backgroundBrush();
    windowClass.lpszClassName = name.text();
    RegisterClassA(&windowClass); // an already registered class is simply reused

    int x, y, width, height;
    initialPlacement(x, y, width, height);
    parent = newParent;
    HWND nativeParent = parent ? parent->handle : nullptr;
    HWND created = CreateWindowExA(extendedStyle(), name.text(), title.text(), style(), x, y, width, height,
                                   nativeParent, nullptr, instance, this);
    handle = created;
    if (!handle)
        return 0;
    // Before ShowWindow: whatever afterCreate reads from the screen does not contain this window yet.
    afterCreate();
    ShowWindow(handle, showCommand());
    UpdateWindow(handle);
    return 1;
}

void Window::afterCreate() {}

HBRUSH Window::backgroundBrush() {
    return reinterpret_cast<HBRUSH>(static_cast<INT_PTR>(COLOR_MENU + 1));
}

DWORD Window::extendedStyle() {
    return WS_EX_WINDOWEDGE | WS_EX_CLIENTEDGE;
}

DWORD Window::style() {
    return WS_POPUP | WS_VISIBLE | WS_CAPTION | WS_SYSMENU | WS_THICKFRAME | WS_MINIMIZEBOX | WS_MAXIMIZEBOX;
}

HICON Window::icon() {
    return LoadIconA(instance, MAKEINTRESOURCEA(32512));
}

UINT Window::classStyle() {
    return CS_VREDRAW | CS_HREDRAW;
}

LRESULT Window::defaultHandler(UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_DESTROY) {
        onDestroy();
        windowTable.remove(this);
        return 0;
    }
    return DefWindowProcA(handle, message, wParam, lParam);
}

LRESULT Window::onInitMenu(WPARAM) {
    return 1;
}

LRESULT Window::onInitMenuPopup(WPARAM, int, int) {
    return 1;
}

int Window::showCommand() {
    return SW_SHOW;
}

void Window::onMouseMove(int, int, WPARAM) {}
void Window::onLeftButtonUp(int, int, WPARAM) {}
void Window::onLeftButtonDown(int, int, WPARAM) {}
void Window::onRightButtonUp(int, int, WPARAM) {}
void Window::onRightButtonDown(int, int, WPARAM) {}
void Window::paint(HDC, const RECT&) {}

// The name has always been printed from the format "VeltoWindowClass%1": the unfinished
// conversion prints nothing, so the text is VeltoWindowClass alone.
char* Window::className(char* buffer, int room) {
    if (buffer && room > 0)
        snprintf(buffer, static_cast<size_t>(room), "%s", "VeltoWindowClass");
    return buffer;
}

char* Window::windowTitle(char* buffer, int room) {
    return className(buffer, room);
}

HCURSOR Window::cursor() {
    return LoadCursorA(nullptr, IDC_ARROW);
}

LRESULT Window::onActivateApp(WPARAM, LPARAM) {
    return 1;
}

LRESULT Window::onChar(WPARAM, LPARAM) {
    return 1;
}

LRESULT Window::onClose() {
    DestroyWindow(handle);
    return 0;
}

LRESULT Window::onCreate(LPARAM) {
    return 0;
}

LRESULT Window::onEraseBackground(WPARAM dc) {
    DefWindowProcA(handle, WM_ERASEBKGND, dc, 0);
    return 0;
}

void Window::onDestroy() {
    handle = nullptr;
}

LRESULT Window::onTimer(WPARAM) {
    return 1;
}

LRESULT Window::onKeyUp(WPARAM) {
    return 1;
}

LRESULT Window::onKeyDown(WPARAM) {
    return 1;
}

LRESULT Window::onPaint(WPARAM) {
    PAINTSTRUCT ps;
    HDC dc = BeginPaint(handle, &ps);
    if (dc) {
        paint(dc, ps.rcPaint);
        EndPaint(handle, &ps);
    }
    return 0;
}

LRESULT Window::onSysCommand(WPARAM, LPARAM, int) {
    return 1;
}

int Window::setShape(const Region& region, BOOL redraw) {
    Region copy;
    if (!copy.ensureHandle())
        return 0;
    if (region.handle)
        CombineRgn(copy.handle, copy.handle, region.handle, RGN_OR);
    int result = gSeams.setWindowRegion(handle, copy.handle, redraw);
    // Windows owns a region once SetWindowRgn has accepted it; a refused one is still ours to delete.
    if (result)
        copy.release();
    return result;
}

namespace {

// Mouse coordinates as the messages carry them: two unsigned 16-bit halves of lParam.
int lowWord(LPARAM value) {
    return static_cast<int>(static_cast<DWORD>(value) & 0xFFFF);
}

int highWord(LPARAM value) {
    return static_cast<int>((static_cast<DWORD>(value) >> 16) & 0xFFFF);
}

} // namespace

LRESULT CALLBACK windowProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_CREATE) {
        const CREATESTRUCTA* creation = reinterpret_cast<const CREATESTRUCTA*>(lParam);
        Window* object = static_cast<Window*>(creation->lpCreateParams);
        if (!object || !windowTable.add(object, hwnd))
            return -1;
        object->handle = hwnd;
    }
    Window* window = windowTable.find(hwnd);
    if (!window)
        return DefWindowProcA(hwnd, message, wParam, lParam);

    switch (message) {
    case WM_CREATE:
        return window->onCreate(lParam);
    case WM_PAINT:
        return window->onPaint(wParam);
    case WM_CLOSE:
        return window->onClose();
    case WM_ERASEBKGND:
        return window->onEraseBackground(wParam);
    case WM_ACTIVATEAPP:
        return window->onActivateApp(wParam, lParam);
    case WM_KEYDOWN:
        return window->onKeyDown(wParam);
    case WM_KEYUP:
        return window->onKeyUp(wParam);
    case WM_CHAR:
        return window->onChar(wParam, lParam);
    case WM_SYSCOMMAND:
        if (window->onSysCommand(wParam, lParam, highWord(lParam)))
            return DefWindowProcA(hwnd, WM_SYSCOMMAND, wParam, lParam);
        return 0;
    case WM_TIMER:
        return window->onTimer(wParam);
    case WM_INITMENU:
        return window->onInitMenu(wParam);
    case WM_INITMENUPOPUP:
        return window->onInitMenuPopup(wParam, lowWord(lParam), highWord(lParam));
    case WM_MOUSEMOVE:
        window->onMouseMove(lowWord(lParam), highWord(lParam), wParam);
        return 0;
    case WM_LBUTTONDOWN:
        window->onLeftButtonDown(lowWord(lParam), highWord(lParam), wParam);
        return 0;
    case WM_LBUTTONUP:
        window->onLeftButtonUp(lowWord(lParam), highWord(lParam), wParam);
        return 0;
    case WM_RBUTTONDOWN:
        window->onRightButtonDown(lowWord(lParam), highWord(lParam), wParam);
        return 0;
    case WM_RBUTTONUP:
        window->onRightButtonUp(lowWord(lParam), highWord(lParam), wParam);
        return 0;
    default:
        return window->defaultHandler(message, wParam, lParam);
    }
}
