// The settings dialog: fun level, sound, taskbar visibility, the maker's web address and the shutdown button.
// Changes take effect in memory when the dialog is closed with OK or shutdown; they are stored at exit.
#pragma once

#include "ui/dialog.h"

// Control ids of the template "DIALOG_INNE".
constexpr int kShutdownButton = 1010;
constexpr int kFunLevelSlider = 1012;
constexpr int kSoundBox = 1013;
constexpr int kTaskbarBox = 1015;
constexpr int kLinkButton = 1017;
// What runMessageLoop returns after the shutdown button.
constexpr int kShutdownResult = 1010;

class SettingsDialog : public Dialog {
public:
    int confirmClose() override;
    INT_PTR onCommand(HWND control, WPARAM wParam, int notificationCode) override;
    INT_PTR onInitDialog() override;

private:
    void applySound();
    void applyTaskbar();
};

// The template the character window opens; tests name a missing one to see the failure.
extern const char* settingsDialogTemplate;

// The message boxes of the dialog and of the character window go through here; tests count them instead.
extern int(WINAPI* settingsMessageBox)(HWND owner, LPCSTR text, LPCSTR caption, UINT type);
// Opens the web address; tests record it instead of starting a browser.
extern HINSTANCE(WINAPI* openLink)(HWND owner, LPCSTR verb, LPCSTR file, LPCSTR parameters, LPCSTR directory,
                                   INT show);
