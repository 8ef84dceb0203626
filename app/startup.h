// Program start-up and the process-wide objects it creates.
#pragma once

#include "engine/platform.h"

class CharacterWindow;
class SoundPlayer;

extern CharacterWindow* characterWindow;
extern HINSTANCE moduleInstance;
extern SoundPlayer* soundPlayer;

// Everything WinMain does; returns the process exit code.
int runMibo(HINSTANCE instance);
