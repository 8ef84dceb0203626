// One sound in DirectSound mode: the samples of a WAVE resource in a few static buffers, so
// that the same sound can overlap itself.
#pragma once

#include "engine/platform.h"

#include <cstdint>

struct IDirectSound;
struct IDirectSoundBuffer;

// Allocated zero-filled in one block: this header, then `copyCount` buffer pointers (`copies`
// points just past the header). Freed only by destroyClip.
struct SoundClip {
    const uint8_t* sampleBytes;   // "data" chunk body inside the locked resource (not owned)
    uint32_t sampleSize;
    int32_t copyCount;
    int32_t current;              // the copy the next request tries first
    IDirectSoundBuffer** copies;  // owned
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
