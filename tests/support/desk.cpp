#include "support/desk.h"
#include "engine/seams.h"

#include <gtest/gtest.h>

#include "app/startup.h"
#include "desktop/settings_dialog.h"
#include "desktop/tray_icon.h"
#include "sound/directsound.h"
#include "sound/sound_player.h"

std::vector<TrayCall> Desk::trayCalls;
std::vector<std::string> Desk::messageBoxes;
std::vector<std::string> Desk::links;

namespace {

BOOL WINAPI recordTray(DWORD message, PNOTIFYICONDATAA record) {
    Desk::trayCalls.push_back({message, record->cbSize, record->hWnd, record->uID, record->uFlags,
                               record->uCallbackMessage, record->hIcon, record->szTip});
    return TRUE;
}

int WINAPI recordMessageBox(HWND, LPCSTR text, LPCSTR caption, UINT) {
    Desk::messageBoxes.push_back(std::string(caption) + ": " + text);
    return IDOK;
}

HINSTANCE WINAPI recordLink(HWND, LPCSTR, LPCSTR file, LPCSTR, LPCSTR, INT) {
    Desk::links.push_back(file);
    return reinterpret_cast<HINSTANCE>(33);
}

// No DirectSound device: sound that is switched on plays through the fallback, which tests never hear.
HRESULT WINAPI noDevice(const GUID*, IDirectSound**, IUnknown*) {
    return E_FAIL;
}

} // namespace

Desk::Desk(SoundMode soundMode) {
    trayCalls.clear();
    messageBoxes.clear();
    links.clear();
    gSeams.trayNotify = recordTray;
    gSeams.settingsMessageBox = recordMessageBox;
    gSeams.openLink = recordLink;
    gSeams.directSoundCreate = noDevice;
    moduleInstance = GetModuleHandleA(nullptr);
    soundPlayer = new SoundPlayer;
    if (soundMode != SoundMode::Off)
        loadSounds(nullptr);
    characterWindow->setShowInTaskbar(0); // whatever an earlier test stored: a tool window, as by default
    EXPECT_EQ(1, characterWindow->create(GetModuleHandleA(nullptr), nullptr));
}

Desk::~Desk() {
    if (characterWindow && characterWindow->handle)
        DestroyWindow(characterWindow->handle);
    delete soundPlayer;
    soundPlayer = nullptr;
    int ignored;
    while (LoadFailureCounter::takeQuitMessage(&ignored)) {
    }
}

CharacterWindow* Desk::window() const {
    return characterWindow;
}
