// The settings dialog: fun level, sound, taskbar visibility, the maker's web address and the shutdown button.
// Changes take effect in memory when the dialog is closed with OK or shutdown; they are stored at exit.
#pragma once

#include "engine/resource_ids.h"
#include "ui/dialog.h"

class CharacterWindow;

// What runMessageLoop returns after the shutdown button.
constexpr int kShutdownResult = IDC_SHUTDOWN;

class SettingsDialog : public Dialog {
public:
    // The dialog of `window`, whose taskbar setting it shows and changes.
    explicit SettingsDialog(CharacterWindow& window) : window(window) {}

    int confirmClose() override;
    INT_PTR onCommand(HWND control, WPARAM wParam, int notificationCode) override;
    INT_PTR onInitDialog() override;

private:
    void applySound();
    void applyTaskbar();

    CharacterWindow& window;
};
