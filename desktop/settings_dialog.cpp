#include "desktop/settings_dialog.h"

#include <shellapi.h>

#include "desktop/character_window.h"
#include "engine/picker.h"
#include "engine/resource_ids.h"
#include "engine/seams.h"
#include "sound/sound_player.h"
#include "text/string.h"

namespace {

bool soundOn() {
    return soundPlayer && soundPlayer->mode != SoundMode::Off;
}

} // namespace

INT_PTR SettingsDialog::onInitDialog() {
    Dialog::onInitDialog();
    SendDlgItemMessageA(handle, IDC_FUN_LEVEL, TBM_SETRANGE, TRUE, MAKELPARAM(1, 5));
    SendDlgItemMessageA(handle, IDC_FUN_LEVEL, TBM_SETPOS, TRUE, funLevel);
    if (soundOn())
        SendDlgItemMessageA(handle, IDC_SOUND, BM_SETCHECK, BST_CHECKED, 0);
    if (window.showsInTaskbar())
        SendDlgItemMessageA(handle, IDC_TASKBAR, BM_SETCHECK, BST_CHECKED, 0);
    return 1;
}

INT_PTR SettingsDialog::onCommand(HWND control, WPARAM wParam, int notificationCode) {
    switch (LOWORD(wParam)) {
    case IDC_SHUTDOWN:
        // WM_CLOSE applies the settings through confirmClose, as OK does.
        result = kShutdownResult;
        SendMessageA(handle, WM_CLOSE, 0, 0);
        return 0;
    case IDC_LINK: {
        String address;
        address.loadString(IDS_WEB_ADDRESS);
        gSeams.openLink(handle, nullptr, address.text(), nullptr, nullptr, SW_SHOW); // no browser: nothing happens
        break;
    }
    default:
        break;
    }
    return Dialog::onCommand(control, wParam, notificationCode);
}

int SettingsDialog::confirmClose() {
    setFunLevel(static_cast<int32_t>(SendDlgItemMessageA(handle, IDC_FUN_LEVEL, TBM_GETPOS, 0, 0)));
    applySound();
    applyTaskbar();
    return 1;
}

void SettingsDialog::applySound() {
    bool ticked = SendDlgItemMessageA(handle, IDC_SOUND, BM_GETCHECK, 0, 0) == BST_CHECKED;
    if (!soundPlayer)
        return;
    if (soundPlayer->mode != SoundMode::Off && !ticked)
        soundPlayer->close();
    else if (soundPlayer->mode == SoundMode::Off && ticked)
        loadSounds(owner); // opens sound again and reloads all seven
}

// Switched on, the window leaves the tool-window style and shows in the taskbar at once. Switched off, it
// keeps its taskbar button: the tool-window style is given only when the window is created, at the next start.
void SettingsDialog::applyTaskbar() {
    bool ticked = SendDlgItemMessageA(handle, IDC_TASKBAR, BM_GETCHECK, 0, 0) == BST_CHECKED;
    if (ticked) {
        LONG_PTR style = GetWindowLongPtrA(owner, GWL_EXSTYLE);
        bool wasToolWindow = (style & WS_EX_TOOLWINDOW) != 0;
        if (wasToolWindow)
            style -= WS_EX_TOOLWINDOW;
        SetWindowLongPtrA(owner, GWL_EXSTYLE, style);
        // The shell adds a taskbar button when a window is shown, not when its style changes.
        if (wasToolWindow && IsWindowVisible(owner)) {
            ShowWindow(owner, SW_HIDE);
            ShowWindow(owner, SW_SHOWNA);
        }
    } else if (window.showsInTaskbar()) {
        String text;
        text.loadString(IDS_TASKBAR_AFTER_RESTART);
        gSeams.settingsMessageBox(handle, text.text(), "info", MB_OK);
    }
    window.setShowInTaskbar(ticked);
}
