// The notification-area icon and the one-item system menu through which the settings dialog is reached.
#pragma once

#include <cstddef>

#include "engine/platform.h"

#include <shellapi.h>

constexpr UINT kTrayIconId = 1001;
// The system-menu item that opens the settings dialog.
constexpr UINT kConfigureCommand = 1;

// The first NOTIFYICONDATAA layout (64-character tip), which every shell accepts.
constexpr DWORD kTrayRecordSize = NOTIFYICONDATAA_V1_SIZE;
// MENUITEMINFOA without its last field (hbmpItem), the layout every version of Windows accepts.
constexpr UINT kMenuItemRecordSize = offsetof(MENUITEMINFOA, hbmpItem);

// One icon in the notification area, belonging to a window; removed by remove() (or the destructor).
class TrayIcon {
public:
    TrayIcon() : window(nullptr) {}
    ~TrayIcon() { remove(); }
    TrayIcon(const TrayIcon&) = delete;
    TrayIcon& operator=(const TrayIcon&) = delete;

    void add(HWND owner, UINT callbackMessage, HICON icon, const char* tip);
    // Adds the same icon once more, when the shell's taskbar was created anew and so forgot it.
    void addAgain();
    void remove();
    bool shown() const { return window != nullptr; }

private:
    void notifyAdd();

    HWND window;
    UINT callback;
    HICON picture;
    char text[64];
};

// Empties the window's system menu and gives it the single item "configure mibo" (id 1).
void replaceSystemMenu(HWND window);
