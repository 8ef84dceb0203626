// The one full-screen, top-most window in which every activity is stepped, composed and shown,
// cut each frame to the outlines of what it shows.
#pragma once

#include <cstdint>

#include "desktop/frame_dc.h"
#include "desktop/step_aside.h"
#include "desktop/tray_icon.h"
#include "engine/activity.h"
#include "engine/handles.h"
#include "ui/window.h"

constexpr int kActivitySlots = 255;

// Sent to a window whose monitor's DPI changed (WM_DPICHANGED, Windows 8.1 and later).
constexpr UINT kDpiChangedMessage = 0x02E0;

// Appended to the product name to make the window class name a second instance looks for.
constexpr const char* kClassNameSuffix = "17989126331";

class CharacterWindow : public Window, public ActivityHost {
public:
    CharacterWindow();
    ~CharacterWindow() override;

    void initialPlacement(int& x, int& y, int& width, int& height) override;
    void afterCreate() override;
    HBRUSH backgroundBrush() override;
    DWORD extendedStyle() override;
    DWORD style() override;
    HICON icon() override;
    // Catches the tray callback, the re-created taskbar, a new colour depth, the end of the Windows session and the
    // session and power notifications that make the figures step aside.
    LRESULT defaultHandler(UINT message, WPARAM wParam, LPARAM lParam) override;
    LRESULT onInitMenu(WPARAM menu) override;
    void onLeftButtonUp(int x, int y, WPARAM keys) override;
    void onLeftButtonDown(int x, int y, WPARAM keys) override;
    void onRightButtonDown(int x, int y, WPARAM keys) override;
    char* className(char* buffer, int room) override;
    char* windowTitle(char* buffer, int room) override;
    HCURSOR cursor() override;
    LRESULT onClose() override;
    void onDestroy() override;
    // The frame update; the main loop calls it once per pass. Returns 0.
    LRESULT onTimer(WPARAM timerId) override;
    // The system menu's one item opens the settings dialog; every other command is left to Windows.
    LRESULT onSysCommand(WPARAM command, LPARAM lParam, int y) override;

    // Stores the activity in the first free slot; with every slot taken the newcomer is destroyed.
    void addActivity(Activity* activity) override;
    // Destroys the activity in `slot`, if any, and forgets what the slot showed.
    void removeActivity(int slot);

    // Stores the fun level and the taskbar setting.
    void writeSettings();
    bool showsInTaskbar() const { return showInTaskbar != 0; }
    // The setting as the settings dialog leaves it; the window's style is the dialog's to change.
    void setShowInTaskbar(bool show) { showInTaskbar = show ? 1 : 0; }

    // True once the screen's size, colour depth or DPI changed: the program then ends and starts itself again.
    bool sawDisplayChange() const { return displayChanged != 0; }
    // Milliseconds the main loop may sleep after this frame (0: none), when nothing shows and no figure can change
    // before then.
    uint32_t quietAfterFrame() const { return quietFor; }
    // Why the figures are out of sight, if they are; the main loop acts on it.
    StepAside& stepAside() { return aside; }
    // Takes every figure out of sight: an empty window shape, no sound, no figure held by the mouse. False when the
    // window refused the empty shape (it is asked again on the next pass).
    bool hideFigures();

    // What slot `slot` holds (null for none), and its rectangle, outline and last rectangle in the scenes' pixels.
    Activity* activityIn(int slot) const { return activities[slot]; }
    const Rect& boundsOf(int slot) const { return bounds[slot]; }
    const Rect& previousBoundsOf(int slot) const { return previousBounds[slot]; }
    const Region& shapeOf(int slot) const { return shapes[slot]; }
    // The figure being dragged, if any.
    const Activity* grabbedActivity() const { return grabbed; }
    // The registered message with which the tray icon reports the mouse.
    UINT trayCallbackMessage() const { return trayMessage; }
    HICON trayIconPicture() const { return largeIcon; }

private:
    // The tests' look at the state behind the frame update (tests/support), the one way in from outside.
    friend struct CharacterWindowInsides;

    void setUpShell();
    void onTrayCallback(LPARAM mouseMessage);
    // Steps of the frame update, in the order they run.
    // Returns 1 when some slot changed.
    int stepActivities(int32_t* alive, int32_t* changed);
    void wrapAroundSides(int slot);
    void keepOutOfGaps(int slot);
    void uniteShapes(const int32_t* alive, Region& newShape);
    void restoreBackground(HDC composition, const int32_t* alive, const int32_t* changed, Rect* work);
    void drawActivities(HDC composition, const int32_t* alive);
    void refreshBackground(HDC windowDc, const Region& newShape);
    // True when the window has this shape now (set, or already had it).
    bool shapeWindow(const Region& newShape);
    bool setScreenShape(const Region& sceneShape);
    void showFrame(HDC windowDc, HDC composition, const int32_t* changed, const Rect* work);
    void checkDisplay(Point screen);
    // Asks the windows below to repaint what the scenes' region `uncovered` showed (on Windows the window system
    // leaves it unpainted when a shape shrinks).
    void repaintBelow(const Region& uncovered);
    static int shapeShows(const Region& shape);
    uint32_t quietTime() const;

    int32_t showInTaskbar;
    int32_t closing;
    int32_t displayChanged;
    Point screenSize;
    int32_t colourDepth;
    Bitmap compositionBitmap;
    // Holds backgroundBitmap for the window's whole life; declared after it, so it lets go of it first.
    Bitmap backgroundBitmap;
    MemoryDc backgroundDc;
    int32_t dialogOpen;
    uint32_t trayMessage;
    // Icon groups 331 and 332, shared icons that the system owns.
    HICON largeIcon;
    HICON smallIcon;
    Activity* grabbed;
    Region lastShape;
    Rect bounds[kActivitySlots];
    Rect previousBounds[kActivitySlots];
    Region shapes[kActivitySlots];
    Activity* activities[kActivitySlots];
    HBITMAP pictures[kActivitySlots]; // the frame each slot's figure showed last; null for none
    TrayIcon trayIcon;
    // Broadcast by the shell when its taskbar is created anew.
    UINT taskbarCreatedMessage;
    // 1 where the windows below must be asked to repaint what a shrinking shape uncovers (Windows), 0 where the
    // window system exposes it to them by itself (Wine: X windows).
    int32_t repaintUncovered;
    uint32_t quietFor;
    StepAside aside;

    // Kept from frame to frame: taking them anew each frame costs more than the frame's drawing.
    HeldWindowDc windowDc;
    HeldMemoryDc compositionDc;
};
