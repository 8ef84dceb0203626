// One sound in DirectSound mode: the samples of a WAVE resource in a few static buffers, so
// that the same sound can overlap itself.
#pragma once

#include "engine/platform.h"

#include <cstdint>
#include <memory>

#include "engine/handles.h"
#include "sound/directsound.h"

// Made by createClip, freed only by destroyClip.
struct SoundClip {
    const uint8_t* sampleBytes = nullptr; // "data" chunk body inside the locked resource (not owned)
    uint32_t sampleSize = 0;
    int32_t copyCount = 0;
    int32_t current = 0;                                  // the copy the next request tries first
    std::unique_ptr<ComPtr<IDirectSoundBuffer>[]> copies; // exactly copyCount; a copy that could not be made is null
};

// Buffer flags every clip asks for: static, frequency/pan/volume control, accurate position.
constexpr DWORD kWaveBufferFlags = 0x100E2;
// More copies than this are not asked for by anyone; the bound keeps the block size sane.
constexpr int kMaxClipCopies = 64;

SoundClip* createClip(HMODULE module, IDirectSound* directSound, const char* name, int copies, DWORD extraFlags);
void destroyClip(SoundClip* clip);
// Plays a free (or freed) copy; true when it started.
bool playClip(SoundClip* clip, DWORD playFlags, LONG pan, LONG volume);
// The copy to play next, restored and refilled if its memory was lost; null when none can play.
IDirectSoundBuffer* freeCopy(SoundClip* clip);
IDirectSoundBuffer* createWaveBuffer(HMODULE module, IDirectSound* directSound, const char* name, DWORD extraFlags);
bool fillWaveBuffer(IDirectSoundBuffer* buffer, const uint8_t* bytes, uint32_t size);
bool findWaveResource(HMODULE module, const char* name, const uint8_t** format, const uint8_t** data, uint32_t* size);
