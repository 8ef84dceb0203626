#include "desktop/step_aside.h"

#include <cstring>

#include "engine/desk_layout.h"
#include "engine/geometry.h"

namespace {

// The display's power state in WM_POWERBROADCAST/PBT_POWERSETTINGCHANGE: a DWORD, 0 off, 1 on, 2 dimmed.
const GUID kConsoleDisplayState = {0x6fe69556, 0x704a, 0x47a0, {0x8f, 0x24, 0xc2, 0x8d, 0x93, 0x6f, 0xda, 0x47}};

typedef BOOL(WINAPI* RegisterSession)(HWND, DWORD);
typedef BOOL(WINAPI* UnregisterSession)(HWND);
typedef void*(WINAPI* RegisterPower)(HANDLE, const GUID*, DWORD);
typedef BOOL(WINAPI* UnregisterPower)(void*);
typedef HRESULT(WINAPI* QueryShellState)(int*);

// Every facility below is looked up at run time: older systems lack them, and a missing one is skipped.
template <typename Function>
Function lookUp(HMODULE module, const char* name) {
    return module ? reinterpret_cast<Function>(reinterpret_cast<void*>(GetProcAddress(module, name))) : nullptr;
}

// The shell's verdict on the foreground program (QUNS_*), 0 when the system does not give one.
int shellState() {
    static const QueryShellState query =
        lookUp<QueryShellState>(GetModuleHandleA("shell32.dll"), "SHQueryUserNotificationState");
    int state = 0;
    if (!query || FAILED(query(&state)))
        return 0;
    return state;
}

DWORD processOf(HWND window) {
    DWORD process = 0;
    if (window)
        GetWindowThreadProcessId(window, &process);
    return process;
}

// The desktop and the shell's windows: the taskbars, the desktop's icon windows and whatever else the shell's
// process shows.
bool isShellWindow(HWND window) {
    if (window == GetDesktopWindow())
        return true;
    HWND shell = GetShellWindow();
    if (shell && (window == shell || processOf(window) == processOf(shell)))
        return true;
    char name[32] = {};
    GetClassNameA(window, name, sizeof(name));
    static const char* const kShellClasses[] = {"Progman", "WorkerW", "Shell_TrayWnd", "Shell_SecondaryTrayWnd"};
    for (const char* shellClass : kShellClasses) {
        if (strcmp(name, shellClass) == 0)
            return true;
    }
    return false;
}

bool coversScreen(HWND window, const RECT& screen) {
    if (!IsWindowVisible(window) || IsIconic(window))
        return false;
    RECT r;
    if (!GetWindowRect(window, &r) || r.left > screen.left || r.top > screen.top || r.right < screen.right ||
        r.bottom < screen.bottom)
        return false;
    LONG style = GetWindowLongA(window, GWL_STYLE);
    return !(IsZoomed(window) && (style & WS_CAPTION) == WS_CAPTION);
}

// The monitor that holds most of `window`, in screen pixels.
RECT monitorOf(HWND window) {
    MONITORINFO info;
    info.cbSize = sizeof(info);
    if (!GetMonitorInfoA(MonitorFromWindow(window, MONITOR_DEFAULTTONEAREST), &info))
        return RECT{0, 0, GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN)};
    return info.rcMonitor;
}

} // namespace

bool isFullScreenOfAnotherProgram(HWND foreground, DWORD ownProcess, const RECT& screen, int shellState) {
    if (!foreground || !IsWindow(foreground) || processOf(foreground) == ownProcess || isShellWindow(foreground))
        return false;
    // The shell sees exclusive Direct3D programs and the presentation mode, which the window's size may not show.
    // Under Wine it answers the same whatever runs, so the size decides there on its own.
    if (shellState == kShellBusy || shellState == kShellDirect3dFullScreen || shellState == kShellPresentation)
        return true;
    return coversScreen(foreground, screen);
}

StepAside::StepAside()
    : reasons(0), pausedTime(0), pauseMark(0), away(false), waitingFigures(0), window(nullptr), polled(false),
      lastPoll(0), lastRegistrationTry(0), sessionRegistered(false), displayNotification(nullptr) {}

StepAside::~StepAside() {
    unregister();
}

void StepAside::registerFor(HWND owner) {
    unregister();
    window = owner;
    if (!window)
        return;
    sessionLibrary.reset(LoadLibraryA("wtsapi32.dll"));
    tryRegistrations(GetTickCount());
}

// Right after log-on the session service may not be running yet, and the registration fails: it is tried again
// every kRegistrationRetry ms from poll().
void StepAside::tryRegistrations(uint32_t now) {
    lastRegistrationTry = now;
    if (!sessionRegistered) {
        RegisterSession registerSession =
            lookUp<RegisterSession>(sessionLibrary.get(), "WTSRegisterSessionNotification");
        sessionRegistered = registerSession && registerSession(window, 0 /* NOTIFY_FOR_THIS_SESSION */);
    }
    if (!displayNotification) {
        RegisterPower registerPower =
            lookUp<RegisterPower>(GetModuleHandleA("user32.dll"), "RegisterPowerSettingNotification");
        if (registerPower)
            displayNotification = registerPower(window, &kConsoleDisplayState, DEVICE_NOTIFY_WINDOW_HANDLE);
    }
}

void StepAside::unregister() {
    if (sessionRegistered) {
        UnregisterSession unregisterSession =
            lookUp<UnregisterSession>(sessionLibrary.get(), "WTSUnRegisterSessionNotification");
        if (unregisterSession)
            unregisterSession(window);
    }
    if (displayNotification) {
        UnregisterPower unregisterPower =
            lookUp<UnregisterPower>(GetModuleHandleA("user32.dll"), "UnregisterPowerSettingNotification");
        if (unregisterPower)
            unregisterPower(displayNotification);
    }
    sessionLibrary.reset();
    sessionRegistered = false;
    displayNotification = nullptr;
    window = nullptr;
}

bool StepAside::onMessage(UINT message, WPARAM wParam, LPARAM lParam) {
    const uint32_t now = GetTickCount();
    if (message == WM_WTSSESSION_CHANGE) {
        switch (wParam) {
        case WTS_SESSION_LOCK:
        case WTS_SESSION_UNLOCK:
            setReason(Locked, wParam == WTS_SESSION_LOCK, now);
            break;
        case WTS_CONSOLE_DISCONNECT:
        case WTS_REMOTE_DISCONNECT:
        case WTS_CONSOLE_CONNECT:
        case WTS_REMOTE_CONNECT:
            setReason(Disconnected, wParam == WTS_CONSOLE_DISCONNECT || wParam == WTS_REMOTE_DISCONNECT, now);
            break;
        default:
            break;
        }
        return true;
    }
    if (message != WM_POWERBROADCAST)
        return false;
    if (wParam == PBT_POWERSETTINGCHANGE && lParam) {
        const POWERBROADCAST_SETTING* setting = reinterpret_cast<const POWERBROADCAST_SETTING*>(lParam);
        if (IsEqualGUID(setting->PowerSetting, kConsoleDisplayState) && setting->DataLength >= sizeof(DWORD)) {
            DWORD state;
            memcpy(&state, setting->Data, sizeof(state));
            setReason(DisplayOff, state == 0, now); // dimmed still shows the figures
        }
    } else if (wParam == PBT_APMSUSPEND) {
        // The tick goes on counting while the machine sleeps: without this the scenes would jump by the whole night.
        setReason(Asleep, true, now);
    } else if (wParam == PBT_APMRESUMESUSPEND || wParam == PBT_APMRESUMEAUTOMATIC) {
        setReason(Asleep, false, now);
    }
    return true;
}

bool StepAside::pollDue(uint32_t now) const {
    return !polled || now - lastPoll >= kPollInterval;
}

uint32_t StepAside::untilPoll(uint32_t now) const {
    return pollDue(now) ? 0 : kPollInterval - (now - lastPoll);
}

void StepAside::poll(uint32_t now) {
    polled = true;
    lastPoll = now;
    if (window && (!sessionRegistered || !displayNotification) && now - lastRegistrationTry >= kRegistrationRetry)
        tryRegistrations(now);

    HWND foreground = GetForegroundWindow();
    // The primary screen's size in one look at the display layout (outside a frame update it is read live). On a
    // desk of several monitors, the monitor the window is on: a full-screen program on any of them hides every
    // figure.
    RECT screen = {0, 0, 0, 0};
    if (foreground && deskIsSpread()) {
        screen = monitorOf(foreground);
    } else if (foreground) {
        const Point size = screenPixels();
        screen = RECT{0, 0, size.x, size.y};
    }
    bool fullScreen =
        foreground && isFullScreenOfAnotherProgram(foreground, GetCurrentProcessId(), screen, shellState());
    setReason(FullScreen, fullScreen, now);
    BOOL saver = FALSE;
    setReason(ScreenSaver, SystemParametersInfoA(SPI_GETSCREENSAVERRUNNING, 0, &saver, 0) && saver, now);
}

void StepAside::setReason(Reason reason, bool on, uint32_t now) {
    const uint32_t before = reasons;
    reasons = on ? reasons | reason : reasons & ~static_cast<uint32_t>(reason);
    if (!before && reasons) {
        pauseMark = now;
    } else if (before && !reasons) {
        pausedTime += now - pauseMark;
        pauseMark = now;
    }
}

void StepAside::countPause(uint32_t now) {
    if (!reasons)
        return;
    pausedTime += now - pauseMark;
    pauseMark = now;
}

bool StepAside::takeWaitingFigure() {
    if (waitingFigures <= 0)
        return false;
    --waitingFigures;
    return true;
}
