#include "desktop/character_window.h"

#include <cstdio>

#include "desktop/settings.h"
#include "desktop/settings_dialog.h"
#include "engine/picker.h"
#include "sound/sound_player.h"
#include "text/string.h"

namespace {

// The window's device context, released on scope exit.
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

// A memory DC with one bitmap selected; the DC is deleted on scope exit (the bitmap stays its owner's).
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

CharacterWindow::CharacterWindow()
    : showInTaskbar(0), closing(0), displayChanged(0), colourDepth(0), compositionBitmap(nullptr),
      backgroundDc(nullptr), dialogOpen(0), trayMessage(0), largeIcon(nullptr), smallIcon(nullptr), grabbed(nullptr),
      activities(), backgroundBitmap(nullptr), taskbarCreatedMessage(0) {
    largeIcon = LoadIconA(GetModuleHandleA(nullptr), MAKEINTRESOURCEA(331));
    smallIcon = LoadIconA(GetModuleHandleA(nullptr), MAKEINTRESOURCEA(332));

    String path = settingsKeyPath();
    if (!readSetting(HKEY_CURRENT_USER, path.text(), "funlevel", &funLevel))
        funLevel = kDefaultFunLevel;
    if (!readSetting(HKEY_CURRENT_USER, path.text(), "taskbar", &showInTaskbar))
        showInTaskbar = kDefaultTaskbar;
}

CharacterWindow::~CharacterWindow() {
    // Deleting the DC first frees the background bitmap from its selection, so the bitmap can go next.
    if (backgroundDc)
        DeleteDC(backgroundDc);
    backgroundDc = nullptr;
    if (backgroundBitmap)
        DeleteObject(backgroundBitmap);
    if (compositionBitmap)
        DeleteObject(compositionBitmap);
    backgroundBitmap = nullptr;
    compositionBitmap = nullptr;

    grabbed = nullptr;
    for (Activity*& activity : activities) {
        delete activity;
        activity = nullptr;
    }
    // largeIcon and smallIcon come from LoadIconA and are shared: the system owns them, nothing to free.

    writeSettings();
}

void CharacterWindow::writeSettings() {
    String path = settingsKeyPath();
    writeSetting(HKEY_CURRENT_USER, path.text(), "funlevel", funLevel);
    writeSetting(HKEY_CURRENT_USER, path.text(), "taskbar", showInTaskbar);
}

void CharacterWindow::initialPlacement(int& x, int& y, int& width, int& height) {
    x = 0;
    y = 0;
    width = screenWidth();
    height = screenHeight();
}

void CharacterWindow::afterCreate() {
    setUpShell();
    // The window is not shown yet, so what this DC reads is what lies under it.
    WindowDc window(handle);
    if (!window.dc)
        return;
    int width = screenWidth();
    int height = screenHeight();
    backgroundBitmap = CreateCompatibleBitmap(window.dc, width, height);
    compositionBitmap = CreateCompatibleBitmap(window.dc, width, height);
    backgroundDc = CreateCompatibleDC(window.dc);
    if (backgroundDc && backgroundBitmap) {
        SelectObject(backgroundDc, backgroundBitmap);
        BitBlt(backgroundDc, 0, 0, width, height, window.dc, 0, 0, SRCCOPY);
    }
    screenSize = Point(width, height);
    colourDepth = GetDeviceCaps(window.dc, BITSPIXEL);
    displayChanged = 0;
}

void CharacterWindow::setUpShell() {
    trayMessage = RegisterWindowMessageA("notify_mibo_icon");
    taskbarCreatedMessage = RegisterWindowMessageA("TaskbarCreated");
    String tip;
    tip.loadString(6);
    trayIcon.add(handle, trayMessage, largeIcon, tip.text());
    SendMessageA(handle, WM_SETICON, ICON_BIG, reinterpret_cast<LPARAM>(largeIcon));
    SendMessageA(handle, WM_SETICON, ICON_SMALL, reinterpret_cast<LPARAM>(smallIcon));
    replaceSystemMenu(handle);
}

LRESULT CharacterWindow::defaultHandler(UINT message, WPARAM wParam, LPARAM lParam) {
    if (trayMessage != 0 && message == trayMessage) {
        onTrayCallback(lParam);
        return 0;
    }
    if (taskbarCreatedMessage != 0 && message == taskbarCreatedMessage) {
        trayIcon.addAgain();
        return 0;
    }
    // Windows ends the process once this returns: the settings are stored now, as at an orderly exit.
    if (message == WM_ENDSESSION && wParam) {
        writeSettings();
        writeSetting(HKEY_CURRENT_USER, settingsKeyPath().text(), "sound", currentSoundMode());
        return 0;
    }
    return Window::defaultHandler(message, wParam, lParam);
}

// The mouse message that happened over the icon; only a press opens the dialog.
void CharacterWindow::onTrayCallback(LPARAM mouseMessage) {
    if (mouseMessage == WM_LBUTTONDOWN || mouseMessage == WM_RBUTTONDOWN)
        onRightButtonDown(0, 0, 0);
}

LRESULT CharacterWindow::onSysCommand(WPARAM command, LPARAM lParam, int y) {
    if (LOWORD(command) != kConfigureCommand)
        return Window::onSysCommand(command, lParam, y);
    Point at(LOWORD(lParam), y & 0xFFFF); // where the menu was used; the dialog does not need it
    onRightButtonDown(at.x, at.y, 0);
    return 0;
}

HBRUSH CharacterWindow::backgroundBrush() {
    return nullptr; // Windows must never erase the figures
}

DWORD CharacterWindow::extendedStyle() {
    return showInTaskbar ? WS_EX_TOPMOST : (WS_EX_TOOLWINDOW | WS_EX_TOPMOST);
}

DWORD CharacterWindow::style() {
    return WS_POPUP | WS_BORDER | WS_SYSMENU;
}

HICON CharacterWindow::icon() {
    return smallIcon;
}

LRESULT CharacterWindow::onInitMenu(WPARAM) {
    return 0;
}

void CharacterWindow::onLeftButtonUp(int, int, WPARAM) {
    grabbed = nullptr;
    ReleaseCapture();
}

void CharacterWindow::onLeftButtonDown(int x, int y, WPARAM) {
    grabbed = nullptr;
    for (int i = 0; i < kActivitySlots; ++i) {
        if (activities[i] && shapes[i].handle && PtInRegion(shapes[i].handle, x, y)) {
            grabbed = activities[i];
            SetCapture(handle);
            return;
        }
    }
}

void CharacterWindow::onRightButtonDown(int, int, WPARAM) {
    if (dialogOpen)
        return;
    dialogOpen = 1;
    {
        SettingsDialog dialog;
        if (!dialog.create(GetModuleHandleA(nullptr), settingsDialogTemplate, handle)) {
            String text;
            text.loadString(4);
            settingsMessageBox(handle, text.text(), "error", MB_ICONERROR);
        }
        // The figures stand still meanwhile: the main loop does not run.
        if (dialog.runMessageLoop() == kShutdownResult && handle)
            PostMessageA(handle, WM_CLOSE, 0, 0);
    }
    dialogOpen = 0;
}

char* CharacterWindow::className(char* buffer, int room) {
    if (!buffer || room <= 0)
        return buffer;
    String title;
    title.loadString(2);
    snprintf(buffer, static_cast<size_t>(room), "%s%s", title.text(), kClassNameSuffix);
    return buffer;
}

char* CharacterWindow::windowTitle(char* buffer, int room) {
    if (!buffer || room <= 0)
        return buffer;
    String title;
    title.loadString(2);
    snprintf(buffer, static_cast<size_t>(room), "%s", title.text());
    return buffer;
}

HCURSOR CharacterWindow::cursor() {
    return LoadCursorA(nullptr, IDC_SIZEALL);
}

LRESULT CharacterWindow::onClose() {
    MoveWindow(handle, 0, 0, 0, 0, TRUE);
    closing = 1;
    trayIcon.remove();
    DestroyWindow(handle);
    return 0;
}

void CharacterWindow::onDestroy() {
    PostQuitMessage(0);
    handle = nullptr;
}

void CharacterWindow::addActivity(Activity* activity) {
    if (!activity)
        return;
    for (Activity*& slot : activities) {
        if (!slot) {
            slot = activity;
            return;
        }
    }
    delete activity;
}

LRESULT CharacterWindow::onTimer(WPARAM) {
    if (closing)
        return 0;
    Region newShape;
    int32_t alive[kActivitySlots] = {};
    int32_t present[kActivitySlots] = {};
    Rect work[kActivitySlots];

    stepActivities(newShape, alive, present);

    WindowDc window(handle);
    MemoryDc composition(window.dc, compositionBitmap);
    if (window.dc && composition.dc && backgroundDc) {
        restoreBackground(composition.dc, alive, present, work);
        drawActivities(composition.dc, alive);
        refreshBackground(window.dc, newShape, alive, work);
    }
    if (handle) {
        shapeWindow(newShape);
        InvalidateRect(handle, nullptr, FALSE);
    }
    if (window.dc && composition.dc)
        showFrame(window.dc, composition.dc, alive, present, work);
    if (window.dc)
        checkDisplay(window.dc);

    if (lastShape.ensureHandle())
        lastShape.copyFrom(newShape);
    return 0;
}

void CharacterWindow::stepActivities(Region& newShape, int32_t* alive, int32_t* present) {
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
        // Just added: treat it as if it had been here already, so no strip from (0, 0) is repainted.
        if (previousBounds[i].width() == 0 && previousBounds[i].height() == 0)
            previousBounds[i] = bounds[i];
        if (!alive[i]) {
            // A later activity may be allocated at the same address: never leave it grabbed by accident.
            if (grabbed == activity)
                grabbed = nullptr;
            delete activity;
            bounds[i] = Rect(0, 0, 0, 0);
            activities[i] = nullptr;
            shapes[i].reset();
            continue;
        }
        wrapAroundSides(i);
        if (shapes[i].handle && newShape.ensureHandle()) {
            shapes[i].offset(bounds[i].left, bounds[i].top);
            CombineRgn(newShape.handle, newShape.handle, shapes[i].handle, RGN_OR);
        }
    }
}

void CharacterWindow::wrapAroundSides(int slot) {
    int width = screenWidth();
    int half = bounds[slot].width() / 2;
    if (bounds[slot].left > width)
        bounds[slot] = activities[slot]->moveBy(Point(-width - half, 0));
    half = bounds[slot].width() / 2;
    if (bounds[slot].right < 0)
        bounds[slot] = activities[slot]->moveBy(Point(half + width, 0));
}

void CharacterWindow::restoreBackground(HDC composition, const int32_t* alive, const int32_t* present, Rect* work) {
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

void CharacterWindow::drawActivities(HDC composition, const int32_t* alive) {
    for (int i = 0; i < kActivitySlots; ++i) {
        if (!alive[i])
            continue;
        SelectClipRgn(composition, shapes[i].handle);
        activities[i]->draw(composition, SRCCOPY, TRUE);
    }
    SelectClipRgn(composition, nullptr);
}

void CharacterWindow::refreshBackground(HDC windowDc, const Region& newShape, const int32_t* alive,
                                        const Rect* work) {
    // The screen still shows the previous frame: inside `fresh` it shows what lies under the arriving figures.
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

// Only this frame's outlines: the strip a figure has just left would otherwise show the remembered background,
// which reads back black under Wine and on compositing desktops. Redrawing the whole full-screen window after
// each change of shape costs most of a frame's time; only what lies beneath the vacated strip needs repainting,
// and that is asked for directly.
void CharacterWindow::shapeWindow(const Region& newShape) {
    // Figures standing still (or none at all) keep the outline: the window already has exactly this shape.
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
    setShape(newShape, FALSE);
    if (vacatedKind != NULLREGION && vacatedKind != ERROR)
        RedrawWindow(GetDesktopWindow(), nullptr, vacated.handle,
                     RDW_INVALIDATE | RDW_ERASE | RDW_FRAME | RDW_ALLCHILDREN);
}

void CharacterWindow::showFrame(HDC windowDc, HDC composition, const int32_t* alive, const int32_t* present,
                                const Rect* work) {
    for (int i = 0; i < kActivitySlots; ++i) {
        if (alive[i] || present[i])
            copyRect(windowDc, composition, work[i]);
    }
}

void CharacterWindow::checkDisplay(HDC windowDc) {
    if (!handle)
        return;
    if (GetDeviceCaps(windowDc, BITSPIXEL) != colourDepth ||
        Point(screenWidth(), screenHeight()) != screenSize)
        displayChanged = 1;
}
