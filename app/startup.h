// Program start-up and the process-wide objects it creates.
#pragma once

#include <cstdint>

#include "engine/platform.h"

class CharacterWindow;
class SoundPlayer;

extern CharacterWindow* characterWindow;
extern HINSTANCE moduleInstance;
extern SoundPlayer* soundPlayer;

// Makes the one character window; a benchmark build puts a variant of it here.
extern CharacterWindow* (*makeCharacterWindow)();
CharacterWindow* newCharacterWindow();
// Makes the one sound player; null when it cannot be made (tests put one here that fails).
extern SoundPlayer* (*makeSoundPlayer)();
SoundPlayer* newSoundPlayer();

// The "sound" value stored at exit: the mode the player ran in or, when no player could be made, the value read at
// start, so that a start without a player does not store silence for every later one.
int32_t soundToStore();

// Everything WinMain does; returns the process exit code.
int runMibo(HINSTANCE instance);
