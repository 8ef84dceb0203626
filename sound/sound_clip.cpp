#include "engine/platform.h"

#include "sound/sound_clip.h"

#include "sound/directsound.h"

#include <cstring>
#include <new>

#include "sound/wave.h"

bool findWaveResource(HMODULE module, const char* name, const uint8_t** format, const uint8_t** data, uint32_t* size) {
    HRSRC found = FindResourceA(module, name, "WAVE");
    if (!found)
        return false;
    HGLOBAL loaded = LoadResource(module, found);
    if (!loaded)
        return false;
    const void* bytes = LockResource(loaded);
    if (!bytes)
        return false;
    // The parser gets the real size, so a damaged resource cannot lead it past its end.
    return parseWave(bytes, SizeofResource(module, found), format, data, size);
}

bool fillWaveBuffer(IDirectSoundBuffer* buffer, const uint8_t* bytes, uint32_t size) {
    if (!buffer || !bytes || size == 0)
        return false;
    void* part1 = nullptr;
    void* part2 = nullptr;
    DWORD length1 = 0, length2 = 0;
    if (FAILED(buffer->Lock(0, size, &part1, &length1, &part2, &length2, 0)))
        return false;
    // Never copy more than we have, whatever lengths the driver hands back.
    if (length1 > size)
        length1 = size;
    if (length2 > size - length1)
        length2 = size - length1;
    if (part1)
        std::memcpy(part1, bytes, length1);
    if (part2 && length2)
        std::memcpy(part2, bytes + length1, length2);
    buffer->Unlock(part1, length1, part2, length2);
    return true;
}

IDirectSoundBuffer* createWaveBuffer(HMODULE module, IDirectSound* directSound, const char* name, DWORD extraFlags) {
    const uint8_t* format = nullptr;
    const uint8_t* data = nullptr;
    uint32_t size = 0;
    if (!directSound || !findWaveResource(module, name, &format, &data, &size))
        return nullptr;
    // DirectSound reads a whole WAVEFORMATEX, two bytes more than a PCM "fmt " chunk holds:
    // hand it a zero-padded copy. The chunk's size sits just before its body.
    WAVEFORMATEX wave;
    std::memset(&wave, 0, sizeof wave);
    uint32_t formatSize = static_cast<uint32_t>(format[-4]) | (static_cast<uint32_t>(format[-3]) << 8) |
                          (static_cast<uint32_t>(format[-2]) << 16) | (static_cast<uint32_t>(format[-1]) << 24);
    std::memcpy(&wave, format, formatSize < 16 ? formatSize : 16);
    DSBUFFERDESC1 description;
    std::memset(&description, 0, sizeof description);
    description.dwSize = sizeof description; // the 20-byte layout
    description.dwFlags = extraFlags | kWaveBufferFlags;
    description.dwBufferBytes = size;
    description.dwReserved = 0;
    description.lpwfxFormat = &wave;
    IDirectSoundBuffer* buffer = nullptr;
    if (FAILED(directSound->CreateSoundBuffer(reinterpret_cast<LPCDSBUFFERDESC>(&description), &buffer, nullptr)) ||
        !buffer)
        return nullptr;
    if (!fillWaveBuffer(buffer, data, size)) {
        buffer->Release();
        return nullptr;
    }
    return buffer;
}

void destroyClip(SoundClip* clip) {
    delete clip;
}

SoundClip* createClip(HMODULE module, IDirectSound* directSound, const char* name, int copies, DWORD extraFlags) {
    const uint8_t* data = nullptr;
    uint32_t size = 0;
    if (!findWaveResource(module, name, nullptr, &data, &size))
        return nullptr;
    if (copies < 1)
        copies = 1;
    if (copies > kMaxClipCopies)
        copies = kMaxClipCopies;
    SoundClip* clip = new (std::nothrow) SoundClip;
    if (!clip)
        return nullptr;
    clip->copies.reset(new (std::nothrow) ComPtr<IDirectSoundBuffer>[copies]);
    if (!clip->copies) {
        destroyClip(clip);
        return nullptr;
    }
    clip->sampleBytes = data;
    clip->sampleSize = size;
    clip->copyCount = copies;
    clip->copies[0].reset(createWaveBuffer(module, directSound, name, extraFlags));
    // A single copy is kept even when it could not be made: such a clip simply never plays.
    if (copies == 1)
        return clip;
    for (int i = 1; i < copies; ++i) {
        // Duplicates share copy 0's samples where the driver allows it.
        IDirectSoundBuffer* copy = nullptr;
        if (!directSound || FAILED(directSound->DuplicateSoundBuffer(clip->copies[0].get(), &copy)))
            copy = createWaveBuffer(module, directSound, name, extraFlags);
        clip->copies[i].reset(copy);
        if (!copy) {
            destroyClip(clip);
            return nullptr;
        }
    }
    return clip;
}

namespace {

DWORD statusOf(IDirectSoundBuffer* buffer, bool* ok) {
    DWORD status = 0;
    *ok = SUCCEEDED(buffer->GetStatus(&status));
    return *ok ? status : 0;
}

} // namespace

IDirectSoundBuffer* freeCopy(SoundClip* clip) {
    if (!clip || !clip->copies[clip->current])
        return nullptr;
    bool ok;
    DWORD status = statusOf(clip->copies[clip->current].get(), &ok);
    if (status & DSBSTATUS_PLAYING) {
        if (clip->copyCount <= 1)
            return nullptr; // the only copy is busy: drop the request
        clip->current = (clip->current + 1) % clip->copyCount;
        IDirectSoundBuffer* next = clip->copies[clip->current].get();
        if (!next)
            return nullptr;
        DWORD nextStatus = statusOf(next, &ok);
        if (ok) {
            status = nextStatus;
            // Every copy busy: the oldest in turn is cut off and starts again.
            if (status & DSBSTATUS_PLAYING) {
                next->Stop();
                next->SetCurrentPosition(0);
            }
        }
    }
    IDirectSoundBuffer* buffer = clip->copies[clip->current].get();
    if (status & DSBSTATUS_BUFFERLOST) {
        if (FAILED(buffer->Restore()) || !fillWaveBuffer(buffer, clip->sampleBytes, clip->sampleSize))
            return nullptr;
    }
    return buffer;
}

bool playClip(SoundClip* clip, DWORD playFlags, LONG pan, LONG volume) {
    if (!clip)
        return false;
    if ((playFlags & DSBPLAY_LOOPING) && clip->copyCount != 1)
        return false; // only a lone copy may loop
    IDirectSoundBuffer* buffer = freeCopy(clip);
    if (!buffer)
        return false;
    // Zero leaves the copy's earlier setting in force; a fresh buffer is centred and at full volume.
    if (pan != 0)
        buffer->SetPan(pan);
    if (volume != 0)
        buffer->SetVolume(volume);
    return buffer->Play(0, 0, playFlags) == DS_OK;
}
