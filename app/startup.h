// Program start-up and the process-wide objects it creates.
#pragma once

#include "engine/platform.h"

class CharacterWindow;
class SoundPlayer;

extern CharacterWindow* characterWindow;
extern HINSTANCE moduleInstance;
extern SoundPlayer* soundPlayer;

// Makes the one character window; a benchmark build puts a variant of it here.
extern CharacterWindow* (*makeCharacterWindow)();
CharacterWindow* newCharacterWindow();

// Everything WinMain does; returns the process exit code.
int runMibo(HINSTANCE instance);
