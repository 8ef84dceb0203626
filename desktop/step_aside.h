// Stepping aside: while a full-screen window of another program is in front, the session is locked or
// disconnected, the screen saver runs, the display is off or the machine sleeps, no figure shows, no sound plays
// and no frame is made. The scenes' clock stands still meanwhile.
#pragma once

#include <cstdint>

#include "engine/handles.h"

// What SHQueryUserNotificationState answers for a full-screen program in front (QUNS_BUSY,
// QUNS_RUNNING_D3D_FULL_SCREEN) and for the presentation mode (QUNS_PRESENTATION_MODE).
constexpr int kShellBusy = 2;
constexpr int kShellDirect3dFullScreen = 3;
constexpr int kShellPresentation = 4;

// Whether `foreground` counts as a full-screen window of another program: a visible window of a process other than
// `ownProcess` that covers the whole of `screen` (the primary screen, or on a desk of several monitors the one the
// window is on, in screen pixels), or any such window while the shell reports a full-screen program or the
// presentation mode (`shellState`, 0 when unknown). Never our own window (a figure being dragged makes it the
// foreground window), the desktop or the shell's own windows, and never a maximised window that keeps its caption:
// that is an ordinary window whose frame merely lies beyond the screen.
bool isFullScreenOfAnotherProgram(HWND foreground, DWORD ownProcess, const RECT& screen, int shellState);

class StepAside {
public:
    // Each a bit of `reasons`.
    enum Reason : uint32_t {
        FullScreen = 1,   // a full-screen window of another program in front
        Locked = 2,       // the session is locked
        Disconnected = 4, // the session's console or remote connection is gone
        ScreenSaver = 8,
        DisplayOff = 16,
        Asleep = 32, // the machine is about to sleep or hibernate
    };
    static constexpr uint32_t kPollInterval = 1000;       // ms between looks at the foreground window
    static constexpr uint32_t kRegistrationRetry = 10000; // ms between attempts at a registration that failed

    StepAside();
    ~StepAside();
    StepAside(const StepAside&) = delete;
    StepAside& operator=(const StepAside&) = delete;

    // Asks for the session and display notifications of `window`; what the system lacks is skipped, what fails
    // is tried again from poll().
    void registerFor(HWND window);
    // Gives the notifications up; the window is going.
    void unregister();
    // WM_WTSSESSION_CHANGE and WM_POWERBROADCAST; false for any other message.
    bool onMessage(UINT message, WPARAM wParam, LPARAM lParam);

    // True when a second has passed since the last poll (or there was none).
    bool pollDue(uint32_t now) const;
    // Milliseconds until the next poll is due, at most kPollInterval.
    uint32_t untilPoll(uint32_t now) const;
    // Looks at the foreground window and the screen saver, and tries failed registrations again.
    void poll(uint32_t now);

    // Sets or clears one reason at `now`: the first reason stops the scenes' clock, the last one gone starts it again.
    void setReason(Reason reason, bool on, uint32_t now);
    // Adds the time aside so far to the paused time; called while aside, so that a pause of any length (beyond the
    // 49.7 days after which the tick wraps, too) is counted in pieces that never overflow.
    void countPause(uint32_t now);
    // The scenes' clock at the real tick `now`: the real tick less all the time spent aside, standing still while
    // aside. Unsigned arithmetic, so it wraps as the tick does.
    uint32_t sceneClock(uint32_t now) const { return (reasons ? pauseMark : now) - pausedTime; }
    bool wanted() const { return reasons != 0; }

    // Whether the figures are out of sight now: the main loop hides them, and shows them again once nothing
    // wants them aside.
    bool isAway() const { return away; }
    void setAway(bool hidden) { away = hidden; }
    // A second start asked for a new figure while aside: it appears once Mibo is back.
    void keepFigureForLater() { ++waitingFigures; }
    // True, counting it off, when a figure asked for while aside is still waiting: one appears a pass.
    bool takeWaitingFigure();

    uint32_t reasons;
    // All the time spent aside, modulo 2^32 ms.
    uint32_t pausedTime;
    // The tick up to which the pause is counted.
    uint32_t pauseMark;

private:
    void tryRegistrations(uint32_t now);

    bool away;
    int32_t waitingFigures;

    HWND window;
    bool polled;
    uint32_t lastPoll;
    uint32_t lastRegistrationTry;
    Library sessionLibrary;
    bool sessionRegistered;
    void* displayNotification;
};
