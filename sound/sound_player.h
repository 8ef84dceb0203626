// Sound playback. (Placeholder until the player lands: every request is silent.)
#pragma once

#include <cstdint>

#include "engine/platform.h"

enum class SoundMode : int32_t { Off = 0, DirectSound = 1, Fallback = 2 };

typedef void* SoundHandle;

class SoundPlayer {
public:
    SoundPlayer() : mode(SoundMode::Off) {}
    virtual ~SoundPlayer() = default;
    void play(SoundHandle, int, int) {}

    SoundMode mode;
};

extern SoundHandle soundPiano, soundWyb, soundLup, soundOho, soundHello, soundBat, soundWarc;

// Plays through the one player; nothing when there is none (tests) or sound is off.
void playSound(SoundHandle sound, int pan = 0, int volume = 100);
