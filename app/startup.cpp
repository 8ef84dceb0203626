#include "app/startup.h"

#include "desktop/character_window.h"
#include "sound/sound_player.h"

CharacterWindow* characterWindow = nullptr;
HINSTANCE moduleInstance = nullptr;
SoundPlayer* soundPlayer = nullptr;

int runMibo(HINSTANCE instance) {
    moduleInstance = instance;
    characterWindow = new CharacterWindow;
    delete characterWindow;
    return 1;
}
