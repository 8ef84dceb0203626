// Program start-up and the process-wide objects it creates.
#pragma once

#include "engine/platform.h"

class CharacterWindow;
class SoundPlayer;

extern CharacterWindow* characterWindow;
extern HINSTANCE moduleInstance;

// The makers of the one character window and the one sound player (null when it cannot be made).
CharacterWindow* newCharacterWindow();
SoundPlayer* newSoundPlayer();

// Everything WinMain does; returns the process exit code. Tests hand in makers of their own.
int runMibo(HINSTANCE instance, CharacterWindow* (*makeWindow)() = newCharacterWindow,
            SoundPlayer* (*makePlayer)() = newSoundPlayer);
