#include "desktop/character_window.h"

#include <algorithm>
#include <cstdio>
#include <utility>

#include "desktop/settings.h"
#include "desktop/settings_dialog.h"
#include "engine/desk_layout.h"
#include "engine/picker.h"
#include "engine/resource_ids.h"
#include "engine/seams.h"
#include "sound/sound_player.h"
#include "text/string.h"

namespace {

void copyRect(HDC target, HDC source, const Rect& r) {
    if (r.width() <= 0 || r.height() <= 0)
        return;
    BitBlt(target, r.left, r.top, r.width(), r.height(), source, r.left, r.top, SRCCOPY);
}

// The scenes' rectangle r from the composition onto the screen, each pixel as a square of displayScale() screen
// pixels: nearest-neighbour, no smoothing. At scale 1 a plain copy.
void copyToScreen(HDC screen, HDC composition, const Rect& r) {
    const int scale = displayScale();
    if (scale == 1)
        return copyRect(screen, composition, r);
    if (r.width() <= 0 || r.height() <= 0)
        return;
    SetStretchBltMode(screen, COLORONCOLOR);
    StretchBlt(screen, toScreen(r.left), toScreen(r.top), toScreen(r.width()), toScreen(r.height()), composition,
               r.left, r.top, r.width(), r.height(), SRCCOPY);
}

// The screen's pixels under the scenes' rectangle r into the remembered background, one of each square of
// displayScale() screen pixels. At scale 1 a plain copy.
void copyFromScreen(HDC background, HDC screen, const Rect& r) {
    const int scale = displayScale();
    if (scale == 1)
        return copyRect(background, screen, r);
    if (r.width() <= 0 || r.height() <= 0)
        return;
    SetStretchBltMode(background, COLORONCOLOR);
    StretchBlt(background, r.left, r.top, r.width(), r.height(), screen, toScreen(r.left), toScreen(r.top),
               toScreen(r.width()), toScreen(r.height()), SRCCOPY);
}

Rect boxOf(const RECT& r) {
    return Rect(r.left, r.top, r.right, r.bottom);
}

// SetWindowRgn without a redraw (SWP_NOREDRAW) leaves on Windows what the shrinking shape uncovers unpainted:
// the windows below must be asked to repaint it. Under Wine every window is an X window, and the X server itself
// exposes what a shrinking shape uncovers to whatever lies below, which repaints it: there the request would only
// repaint the desktop window a second time (a server round trip here, and a paint in Wine's desktop process).
bool uncoveredRepaintsItself() {
    HMODULE ntdll = GetModuleHandleA("ntdll.dll");
    return ntdll && GetProcAddress(ntdll, "wine_get_version");
}

} // namespace

CharacterWindow::CharacterWindow()
    : showInTaskbar(0), closing(0), displayChanged(0), colourDepth(0), dialogOpen(0), trayMessage(0),
      largeIcon(nullptr), smallIcon(nullptr), grabbed(nullptr), activities(), pictures(), taskbarCreatedMessage(0),
      repaintUncovered(1), quietFor(0) {
    largeIcon = LoadIconA(GetModuleHandleA(nullptr), MAKEINTRESOURCEA(IDI_LARGE));
    smallIcon = LoadIconA(GetModuleHandleA(nullptr), MAKEINTRESOURCEA(IDI_SMALL));

    String path = settingsKeyPath();
    int32_t level = kDefaultFunLevel;
    if (!readSetting(HKEY_CURRENT_USER, path.text(), "funlevel", &level))
        level = kDefaultFunLevel;
    setFunLevel(level);
    if (!readSetting(HKEY_CURRENT_USER, path.text(), "taskbar", &showInTaskbar))
        showInTaskbar = kDefaultTaskbar;
}

// The DCs let go of the bitmaps before these are deleted: the members go in the reverse order of their declaration.
CharacterWindow::~CharacterWindow() {
    if (activityHost() == this)
        setActivityHost(nullptr); // nothing is handed to a window that is going
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

// Over the whole desk: its top-left corner, left of or above the primary screen's where a monitor lies there, is the
// scenes' (0, 0).
void CharacterWindow::initialPlacement(int& x, int& y, int& width, int& height) {
    x = deskOrigin().x;
    y = deskOrigin().y;
    const Point screen = screenPixels();
    width = screen.x;
    height = screen.y;
}

void CharacterWindow::afterCreate() {
    setUpShell();
    aside.registerFor(handle);
    // The window is not shown yet, so what this DC reads is what lies under it.
    WindowDc window(handle);
    if (!window.get())
        return;
    // The background and the composition hold the scenes' world, one pixel per scene pixel.
    const int width = screenWidth();
    const int height = screenHeight();
    backgroundBitmap.reset(CreateCompatibleBitmap(window.get(), width, height));
    compositionBitmap.reset(CreateCompatibleBitmap(window.get(), width, height));
    if (backgroundDc.open(window.get(), backgroundBitmap.get()))
        copyFromScreen(backgroundDc.get(), window.get(), Rect(0, 0, width, height));
    screenSize = screenPixels();
    colourDepth = GetDeviceCaps(window.get(), BITSPIXEL);
    repaintUncovered = uncoveredRepaintsItself() ? 0 : 1;
    displayChanged = 0;
}

void CharacterWindow::setUpShell() {
    trayMessage = RegisterWindowMessageA("notify_mibo_icon");
    taskbarCreatedMessage = RegisterWindowMessageA("TaskbarCreated");
    String tip;
    tip.loadString(IDS_CONFIGURE);
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
    // Sent to every top-level window after a change of the display mode, with the new depth: the one place the depth
    // is read after the start. Under Wine a depth that another process changed shows nowhere else anyway: a DC, kept
    // or new, and EnumDisplaySettings still read the old.
    // A monitor added, removed or moved announces itself the same way, with the depth unchanged: the layout is
    // looked at then, never in a frame.
    if (message == WM_DISPLAYCHANGE && (static_cast<int32_t>(wParam) != colourDepth || deskLayoutChanged()))
        displayChanged = 1;
    // A new DPI may call for another scale: the figures start again at the scale it gives, as after a new mode.
    if (message == kDpiChangedMessage)
        displayChanged = 1;
    if (aside.onMessage(message, wParam, lParam))
        return TRUE;
    // Windows ends the process once this returns: the settings are stored now, as at an orderly exit.
    if (message == WM_ENDSESSION && wParam) {
        writeSettings();
        writeSetting(HKEY_CURRENT_USER, settingsKeyPath().text(), "sound", soundToStore());
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

// A figure let go where no monitor is goes onto the nearest floor.
void CharacterWindow::onLeftButtonUp(int, int, WPARAM) {
    if (grabbed && deskIsSpread())
        grabbed->moveBy(Point(0, ontoFloor(sceneDesk(), grabbed->rect).bottom - grabbed->rect.bottom));
    grabbed = nullptr;
    ReleaseCapture();
}

void CharacterWindow::onLeftButtonDown(int x, int y, WPARAM) {
    grabbed = nullptr;
    for (int i = 0; i < kActivitySlots; ++i) {
        if (activities[i] && shapes[i].handle && PtInRegion(shapes[i].handle, toScene(x), toScene(y))) {
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
        SettingsDialog dialog(*this);
        if (!dialog.create(GetModuleHandleA(nullptr), gSeams.settingsDialogTemplate, handle)) {
            String text;
            text.loadString(IDS_NO_DIALOG);
            gSeams.settingsMessageBox(handle, text.text(), "error", MB_ICONERROR);
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
    title.loadString(IDS_PRODUCT);
    snprintf(buffer, static_cast<size_t>(room), "%s%s", title.text(), kClassNameSuffix);
    return buffer;
}

char* CharacterWindow::windowTitle(char* buffer, int room) {
    if (!buffer || room <= 0)
        return buffer;
    String title;
    title.loadString(IDS_PRODUCT);
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
    windowDc.close(); // the window's DCs go with the window
    aside.unregister();
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

void CharacterWindow::removeActivity(int slot) {
    if (grabbed == activities[slot])
        grabbed = nullptr;
    delete activities[slot];
    activities[slot] = nullptr;
    bounds[slot] = Rect();
    previousBounds[slot] = Rect();
    shapes[slot].reset();
    pictures[slot] = nullptr;
}

LRESULT CharacterWindow::onTimer(WPARAM) {
    quietFor = 0;
    if (closing)
        return 0;
    // The screen's size, read at most once a frame: each reading is a call through the system, and a frame needs
    // the same size throughout. Every reader in this frame update (the activities too) gets this sample.
    const ScreenSample screen;
    Region newShape;
    int32_t alive[kActivitySlots] = {};
    int32_t changed[kActivitySlots] = {};
    Rect work[kActivitySlots];

    const int anyChanged = stepActivities(alive, changed);
    uniteShapes(alive, newShape);
    // Nothing to draw where no figure changed its picture or place: such a frame copies nothing. Where moreover no
    // outline shows, in this frame or the last (every figure in a pause out of sight), it makes no call through
    // the system at all; the display check then waits for a frame that shows something.
    const int shows = shapeShows(newShape) || shapeShows(lastShape);

    HDC window = anyChanged || shows ? windowDc.of(handle) : nullptr;
    HDC composition = window ? compositionDc.holding(window, compositionBitmap.get()) : nullptr;
    if (anyChanged && window && composition && backgroundDc.get()) {
        restoreBackground(composition, alive, changed, work);
        drawActivities(composition, alive);
        refreshBackground(window, newShape);
    }
    // No InvalidateRect: the WM_PAINT it brought painted nothing (the figures are copied onto the window below),
    // and cost the frame an invalidation, a message and a BeginPaint/EndPaint through the system.
    // Where nothing shows, now or before, the window keeps the empty shape it has.
    bool shaped = handle != nullptr;
    if (handle && (anyChanged || shows))
        shaped = shapeWindow(newShape);
    if (anyChanged && window && composition)
        showFrame(window, composition, changed, work);
    if (shows)
        checkDisplay(screen.size());
    if (!anyChanged && !shows)
        quietFor = quietTime();

    // Only a shape the window has is remembered: after a refused one the next frame sets it again, whether the
    // figures move or not. newShape ends here: its region becomes the remembered one instead of being copied.
    if (!shaped)
        return 0;
    if (newShape.handle) {
        lastShape = std::move(newShape);
    } else if (lastShape.ensureHandle()) {
        SetRectRgn(lastShape.handle, 0, 0, 0, 0);
    }
    return 0;
}

// Until the first figure can change, at most a second (a message wakes the loop sooner anyway), and only when that
// is longer than a frame: the loop then wakes in time for the pass in which the figure changes.
uint32_t CharacterWindow::quietTime() const {
    // On the scenes' clock, which stands still while Mibo is aside.
    const uint32_t now = aside.sceneClock(GetTickCount());
    int64_t quiet = 1000;
    for (const Activity* activity : activities) {
        if (activity)
            quiet = std::min<int64_t>(quiet, static_cast<int32_t>(activity->quietUntil() + 1 - now));
    }
    return quiet > 50 ? static_cast<uint32_t>(quiet) : 0;
}

int CharacterWindow::shapeShows(const Region& shape) {
    RECT box;
    return shape.handle && GetRgnBox(shape.handle, &box) != NULLREGION ? 1 : 0;
}

// A slot changed when its figure finished, moved, or shows another picture: only then does its rectangle need
// drawing and copying. A figure that neither moved nor changed its picture shows the very pixels it showed.
int CharacterWindow::stepActivities(int32_t* alive, int32_t* changed) {
    int anyChanged = 0;
    for (int i = 0; i < kActivitySlots; ++i) {
        Activity* activity = activities[i];
        if (!activity)
            continue;
        previousBounds[i] = bounds[i];
        if (activity == grabbed) {
            POINT cursor;
            if (GetCursorPos(&cursor))
                activity->centerOn(Point(toScene(cursor.x - deskOrigin().x), toScene(cursor.y - deskOrigin().y)));
        }
        alive[i] = activity->step(bounds[i], shapes[i]);
        const int moved = bounds[i] != previousBounds[i];
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
            pictures[i] = nullptr;
            changed[i] = 1;
            anyChanged = 1;
            continue;
        }
        // A figure that has not moved was inside the sides last frame, or brought back then: only a move can take
        // it beyond a side, so only then is the screen's width needed.
        if (moved)
            wrapAroundSides(i);
        if (moved && deskIsSpread())
            keepOutOfGaps(i);
        shapes[i].offset(bounds[i].left, bounds[i].top);
        const HBITMAP picture = activity->frame >= 0 && activity->frame < activity->frameCount
                                    ? activity->frameBitmaps[activity->frame].get()
                                    : nullptr;
        if (moved || picture != pictures[i]) {
            pictures[i] = picture;
            changed[i] = 1;
            anyChanged = 1;
        }
    }
    return anyChanged;
}

// At the desk's outer sides. A figure that stood on a floor comes back standing on the nearest floor of the other
// side, which on a desk of monitors of different heights lies higher or lower.
void CharacterWindow::wrapAroundSides(int slot) {
    const int width = screenWidth();
    const Rect before = bounds[slot];
    int half = bounds[slot].width() / 2;
    if (bounds[slot].left > width)
        bounds[slot] = activities[slot]->moveBy(Point(-width - half, 0));
    half = bounds[slot].width() / 2;
    if (bounds[slot].right < 0)
        bounds[slot] = activities[slot]->moveBy(Point(half + width, 0));
    if (deskIsSpread() && bounds[slot] != before) {
        const int rise = floorShiftAcross(sceneDesk(), before, bounds[slot]);
        if (rise != 0)
            bounds[slot] = activities[slot]->moveBy(Point(0, rise));
    }
}

// Nothing shows below a floor where no monitor is: a figure that walked, rode, flew or landed there is put back on
// that floor. Above a monitor a gap is left alone: what stands there falls onto the monitor, what flies goes on.
void CharacterWindow::keepOutOfGaps(int slot) {
    const Rect& r = bounds[slot];
    const DeskLayout& desk = sceneDesk();
    const int floor = floorBelow(desk, r.centerX(), r.bottom);
    if (floor != 0 && inGap(desk, Point(r.centerX(), r.bottom - 1)))
        bounds[slot] = activities[slot]->moveBy(Point(0, floor - r.bottom));
}

// The live outlines are OR-ed in pairs, then the pairs in pairs, and so on: each outline's rectangles are merged
// about log2(n) times, where adding them one after another into one growing shape merges the whole shape
// again for every figure. newShape keeps no region when no live activity has an outline.
void CharacterWindow::uniteShapes(const int32_t* alive, Region& newShape) {
    HRGN level[kActivitySlots];
    int count = 0;
    for (int i = 0; i < kActivitySlots; ++i) {
        if (alive[i] && shapes[i].handle)
            level[count++] = shapes[i].handle;
    }
    if (count == 0 || !newShape.ensureHandle())
        return;
    if (count == 1) {
        CombineRgn(newShape.handle, level[0], nullptr, RGN_COPY);
        return;
    }
    Region partial[kActivitySlots - 1]; // n outlines take n - 1 merges
    int used = 0;
    while (count > 1) {
        int merged = 0;
        for (int k = 0; k + 1 < count; k += 2) {
            Region& into = partial[used++];
            if (!into.ensureHandle())
                return;
            CombineRgn(into.handle, level[k], level[k + 1], RGN_OR);
            level[merged++] = into.handle;
        }
        if (count % 2)
            level[merged++] = level[count - 1];
        count = merged;
    }
    // The last merge made the whole shape: newShape takes it over.
    newShape = std::move(partial[used - 1]);
}

void CharacterWindow::restoreBackground(HDC composition, const int32_t* alive, const int32_t* changed, Rect* work) {
    for (int i = 0; i < kActivitySlots; ++i) {
        if (!changed[i])
            continue;
        if (alive[i]) {
            work[i] = bounds[i];
            work[i].include(previousBounds[i].left, previousBounds[i].top, previousBounds[i].right,
                            previousBounds[i].bottom);
            copyRect(composition, backgroundDc.get(), work[i]);
        } else {
            work[i] = previousBounds[i];
            copyRect(composition, backgroundDc.get(), work[i]);
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

// The screen still shows the previous frame: inside `fresh` it shows what lies under the arriving figures.
// Every outline lies inside its figure's rectangle, so `fresh` lies inside the live figures' work rectangles,
// and one copy of its bounding box through the clip reads the same pixels as one copy per figure would.
void CharacterWindow::refreshBackground(HDC windowDc, const Region& newShape) {
    if (!newShape.handle)
        return; // nothing arrives
    Region fresh;
    if (!fresh.ensureHandle())
        return;
    CombineRgn(fresh.handle, newShape.handle, lastShape.handle, lastShape.handle ? RGN_DIFF : RGN_COPY);
    RECT box;
    if (GetRgnBox(fresh.handle, &box) == NULLREGION)
        return;
    SelectClipRgn(backgroundDc.get(), fresh.handle);
    copyFromScreen(backgroundDc.get(), windowDc, boxOf(box));
    SelectClipRgn(backgroundDc.get(), nullptr);
}
// Only this frame's outlines: the strip a figure has just left would otherwise show the remembered background,
// which reads back black under Wine and on compositing desktops. Redrawing the whole full-screen window after
// each change of shape costs most of a frame's time; only what lies beneath the vacated strip needs repainting,
// and that is asked for directly.
bool CharacterWindow::shapeWindow(const Region& newShape) {
    // Figures standing still (or none at all) keep the outline: the window already has exactly this shape.
    if (lastShape.handle) {
        RECT box;
        bool unchanged = newShape.handle ? EqualRgn(lastShape.handle, newShape.handle) != 0
                                         : GetRgnBox(lastShape.handle, &box) == NULLREGION;
        if (unchanged)
            return true;
    }
    Region vacated;
    int vacatedKind = NULLREGION;
    if (lastShape.handle && vacated.ensureHandle()) {
        vacatedKind =
            CombineRgn(vacated.handle, lastShape.handle, newShape.handle, newShape.handle ? RGN_DIFF : RGN_COPY);
    }
    // Refused, the window keeps its old shape: nothing is vacated.
    if (!setScreenShape(newShape))
        return false;
    if (repaintUncovered && vacatedKind != NULLREGION && vacatedKind != ERROR)
        repaintBelow(vacated);
    return true;
}

// The outlines, in scene pixels, as the window's shape in screen pixels.
bool CharacterWindow::setScreenShape(const Region& sceneShape) {
    if (displayScale() == 1 || !sceneShape.handle)
        return setShape(sceneShape, FALSE) != 0;
    Region screenShape;
    return screenShape.scaledFrom(sceneShape, displayScale()) && setShape(screenShape, FALSE);
}

// Asks the windows below to repaint what the scenes' region `uncovered` showed.
void CharacterWindow::repaintBelow(const Region& uncovered) {
    Region screenArea;
    const Region& area = displayScale() == 1 ? uncovered : screenArea;
    if (displayScale() != 1 && !screenArea.scaledFrom(uncovered, displayScale()))
        return;
    RedrawWindow(GetDesktopWindow(), nullptr, area.handle, RDW_INVALIDATE | RDW_ERASE | RDW_FRAME | RDW_ALLCHILDREN);
}

// One copy per changed rectangle; one copy of the rectangles' bounding box measured slower (234 against 175 ms with
// 255 figures). Under Wine the first copy after a new shape also pays for the window DC's clipping, which Wine
// rebuilds from the whole shape one rectangle at a time: with 255 walking figures that is most of the frame, and
// the copies themselves take microseconds.
void CharacterWindow::showFrame(HDC windowDc, HDC composition, const int32_t* changed, const Rect* work) {
    for (int i = 0; i < kActivitySlots; ++i) {
        if (changed[i])
            copyToScreen(windowDc, composition, work[i]);
    }
}

// Only the size: a new colour depth or monitor layout is announced by the WM_DISPLAYCHANGE every top-level window
// gets (see defaultHandler), where reading them each frame cost calls through the system under Wine.
void CharacterWindow::checkDisplay(Point screen) {
    if (handle && screen != screenSize)
        displayChanged = 1;
}

bool CharacterWindow::hideFigures() {
    if (grabbed && GetCapture() == handle)
        ReleaseCapture();
    grabbed = nullptr;
    stopSounds();
    if (!handle)
        return true;
    if (!setShape(Region(), FALSE))
        return false;
    // The window remembers the empty shape it took, so the first frame back shapes it anew and reads the background
    // under the figures afresh; and it forgets the pictures shown, so that frame draws and copies every figure, moved
    // or not.
    for (HBITMAP& picture : pictures)
        picture = nullptr;
    if (lastShape.handle) {
        repaintBelow(lastShape);
        SetRectRgn(lastShape.handle, 0, 0, 0, 0);
    }
    return true;
}
