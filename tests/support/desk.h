// A created character window with the shell, the message boxes, the web link and sound replaced by recorders,
// for the tests of the settings dialog, the tray icon and the system menu.
#pragma once

#include <string>
#include <vector>

#include "desktop/character_window.h"
#include "sound/sound_player.h"
#include "support/test_support.h"

struct TrayCall {
    DWORD message;
    DWORD size;
    HWND window;
    UINT id;
    UINT flags;
    UINT callback;
    HICON icon;
    std::string tip;
};

class Desk {
public:
    // `soundMode`: the player's mode to start with (Fallback plays nothing under test).
    explicit Desk(SoundMode soundMode = SoundMode::Fallback);
    ~Desk();
    Desk(const Desk&) = delete;
    Desk& operator=(const Desk&) = delete;

    CharacterWindow* window() const;

    static std::vector<TrayCall> trayCalls;
    static std::vector<std::string> messageBoxes; // "caption: text"
    static std::vector<std::string> links;

private:
    WindowScope scope;
};
