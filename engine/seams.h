// Everything that tests and benchmarks replace, in one place: the calls through the system that would block on a
// message box, start a browser, touch the real tray, shape a real window or open a sound device, and the wait of the
// frame clock. Each starts as the real thing; the program itself never changes them.
#pragma once

#include <cstdint>

#include "engine/platform.h"

#include <shellapi.h>

struct IDirectSound;
struct IUnknown;

struct Seams {
    // The message box that reports frames that could not be loaded.
    int(WINAPI* loadFailureMessageBox)(HWND owner, LPCSTR text, LPCSTR caption, UINT type);
    // The message boxes of the settings dialog and of the character window.
    int(WINAPI* settingsMessageBox)(HWND owner, LPCSTR text, LPCSTR caption, UINT type);
    // Opens the maker's web address.
    HINSTANCE(WINAPI* openLink)(HWND owner, LPCSTR verb, LPCSTR file, LPCSTR parameters, LPCSTR directory, INT show);
    // Hands the tray icon to the shell.
    BOOL(WINAPI* trayNotify)(DWORD message, PNOTIFYICONDATAA record);
    // Gives a window its shape.
    int(WINAPI* setWindowRegion)(HWND window, HRGN region, BOOL redraw);
    // Opens the sound device.
    HRESULT(WINAPI* directSoundCreate)(const GUID* device, IDirectSound** directSound, IUnknown* outer);
    // Waits for the next frame: sleepUntil (a benchmark compares spinUntil).
    void (*frameWait)(uint32_t deadline);
    // The dialog template the character window opens (a test names a missing one).
    const char* settingsDialogTemplate;
};

extern Seams gSeams;

// Waits until GetTickCount() has reached `deadline` (unsigned, wrap-safe) without holding the processor.
void sleepUntil(uint32_t deadline);
// Polls GetTickCount() until `deadline`: one core at 100 %. Only the CPU benchmark uses it, for comparison.
void spinUntil(uint32_t deadline);
