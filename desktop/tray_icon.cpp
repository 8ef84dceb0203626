#include "desktop/tray_icon.h"

#include <cstring>

#include "engine/resource_ids.h"
#include "engine/seams.h"
#include "text/string.h"

void TrayIcon::add(HWND owner, UINT callbackMessage, HICON icon, const char* tip) {
    window = owner;
    callback = callbackMessage;
    picture = icon;
    strncpy(text, tip ? tip : "", sizeof(text) - 1);
    text[sizeof(text) - 1] = 0;
    notifyAdd();
}

void TrayIcon::addAgain() {
    if (window)
        notifyAdd();
}

void TrayIcon::notifyAdd() {
    NOTIFYICONDATAA record = {};
    record.cbSize = kTrayRecordSize;
    record.hWnd = window;
    record.uID = kTrayIconId;
    record.uFlags = NIF_MESSAGE | NIF_ICON | NIF_TIP;
    record.uCallbackMessage = callback;
    record.hIcon = picture;
    memcpy(record.szTip, text, sizeof(text));
    gSeams.trayNotify(NIM_ADD, &record); // no shell, no tray: nothing to do about it
}

void TrayIcon::remove() {
    if (!window)
        return;
    NOTIFYICONDATAA record = {};
    record.cbSize = kTrayRecordSize;
    record.hWnd = window;
    record.uID = kTrayIconId;
    record.uFlags = 0;
    gSeams.trayNotify(NIM_DELETE, &record);
    window = nullptr;
}

void replaceSystemMenu(HWND window) {
    HMENU menu = GetSystemMenu(window, FALSE);
    if (!menu)
        return;
    // The standard system menu has fewer than ten items.
    for (int removed = 0; removed < 10 && RemoveMenu(menu, 0, MF_BYPOSITION); ++removed) {
    }
    String label;
    label.loadString(IDS_CONFIGURE);
    MENUITEMINFOA item = {};
    item.cbSize = kMenuItemRecordSize;
    item.fMask = MIIM_ID | MIIM_TYPE | MIIM_DATA;
    item.fType = MFT_STRING;
    item.wID = kConfigureCommand;
    item.dwTypeData = label.text();
    item.cch = static_cast<UINT>(label.length());
    InsertMenuItemA(menu, 0, TRUE, &item);
}
