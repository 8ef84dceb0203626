#include "app/startup.h"

#include <cstdlib>
#include <new>

#include "activities/scene_table.h"
#include "app/main_loop.h"
#include "desktop/character_window.h"
#include "desktop/settings.h"
#include "engine/activity.h"
#include "engine/desk_layout.h"
#include "engine/picker.h"
#include "sound/sound_player.h"
#include "ui/window.h"

CharacterWindow* characterWindow = nullptr;
HINSTANCE moduleInstance = nullptr;

CharacterWindow* newCharacterWindow() {
    return new (std::nothrow) CharacterWindow;
}

SoundPlayer* newSoundPlayer() {
    return new (std::nothrow) SoundPlayer;
}

namespace {

constexpr const char* kMutexName = "RidaMibo2 mibo mutex";
constexpr int kAbsence = 19;

// The generator is never seeded: a time-dependent number of values is thrown away instead.
// The bound is read anew before every comparison.
void discardRandomValues() {
    for (DWORD i = 0; i < GetTickCount() % 10000; ++i)
        rand();
}

// A second start: ask the running instance for one more figure, then leave.
int askRunningInstance() {
    char name[256];
    characterWindow->className(name, sizeof(name));
    HWND running = FindWindowA(name, nullptr);
    DWORD thread = running ? GetWindowThreadProcessId(running, nullptr) : 0;
    // No window (the first instance is restarting): the request goes nowhere.
    if (thread)
        PostThreadMessageA(thread, newCharacterMessage(), 0, 0);
    delete characterWindow;
    characterWindow = nullptr;
    return 0;
}

void startAgain() {
    STARTUPINFOA startup = {};
    startup.cb = sizeof(startup);
    PROCESS_INFORMATION process = {};
    if (CreateProcessA(nullptr, GetCommandLineA(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup, &process)) {
        CloseHandle(process.hThread);
        CloseHandle(process.hProcess);
    }
}

void letGo(HANDLE mutex) {
    if (!mutex)
        return;
    ReleaseMutex(mutex);
    CloseHandle(mutex);
}

} // namespace

int runMibo(HINSTANCE instance, CharacterWindow* (*makeWindow)(), SoundPlayer* (*makePlayer)()) {
    characterWindow = makeWindow();
    if (!characterWindow)
        return -1;
    moduleInstance = instance;

    HANDLE mutex = CreateMutexA(nullptr, FALSE, kMutexName);
    if (GetLastError() == ERROR_ALREADY_EXISTS) {
        // Let go before anything else: a first instance that restarts meanwhile must find no mutex, or it takes
        // itself for a second start and no Mibo is left.
        if (mutex)
            CloseHandle(mutex);
        return askRunningInstance();
    }

    // The figures are drawn at a whole-number scale for the primary screen's DPI, chosen once: a new DPI is a
    // display change, and the program starts again. The same scale on every monitor of the desk.
    setDisplayScale(scaleForDpi(primaryScreenDpi()));
    // Every monitor unless "allScreens" is 0; the layout is taken once, and a new one restarts the program.
    const int32_t allScreens = readAllScreensSetting();
    takeDesk(readDeskLayout(allScreens != 0), allScreens != 0);
    if (!characterWindow->create(moduleInstance, nullptr)) {
        delete characterWindow;
        characterWindow = nullptr;
        letGo(mutex);
        return -1;
    }

    soundPlayer = makePlayer();
    if (readSoundSetting() != 0 && soundPlayer)
        loadSounds(characterWindow->handle);

    setActivityHost(characterWindow);
    discardRandomValues();
    spawn(pickActivity(newFigurePlace(), IdList(), IdList(kAbsence)));

    runMainLoop(*characterWindow);

    // The sound mode is stored before the player that holds it goes.
    const String path = settingsKeyPath();
    writeSetting(HKEY_CURRENT_USER, path.text(), "sound", soundToStore());
    writeSetting(HKEY_CURRENT_USER, path.text(), "allScreens", allScreens);
    delete soundPlayer;
    soundPlayer = nullptr;

    const bool restart = characterWindow->sawDisplayChange();
    setActivityHost(nullptr);
    delete characterWindow;
    characterWindow = nullptr;

    // Given up before the new copy starts, so that it does not take itself for a second instance.
    letGo(mutex);
    if (restart)
        startAgain();
    return 1;
}
