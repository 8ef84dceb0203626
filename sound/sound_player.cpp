#include "engine/platform.h"

#include "sound/sound_player.h"

#include "sound/directsound.h"

#include <new>

#include "engine/seams.h"
#include "sound/sound_clip.h"

SoundPlayer* soundPlayer = nullptr;
SoundHandle soundPiano, soundWyb, soundLup, soundOho, soundHello, soundBat, soundWarc;

namespace {

struct BuiltInSound {
    SoundHandle* handle;
    const char* name;
    int copies;
};

// Load order matters to nobody but is fixed; the copies are how often each may overlap itself.
const BuiltInSound kBuiltInSounds[] = {
    {&soundPiano, "piano", 6}, {&soundWyb, "wyb", 3}, {&soundLup, "lup", 2},   {&soundOho, "oho", 3},
    {&soundHello, "hello", 3}, {&soundBat, "bat", 3}, {&soundWarc, "warc", 3},
};

} // namespace

SoundPlayer::SoundPlayer() : mode(SoundMode::Off), clipCount(0), clips(nullptr) {}

SoundPlayer::~SoundPlayer() {
    close();
    delete[] clips;
}

void SoundPlayer::open(HWND window) {
    // Opening twice would orphan the open device and the clips the handles point at.
    if (mode != SoundMode::Off)
        return;
    if (FAILED(gSeams.directSoundCreate(nullptr, directSound.put(), nullptr)))
        directSound.take(); // not a reference
    if (directSound) {
        if (FAILED(directSound->SetCooperativeLevel(window, DSSCL_NORMAL))) {
            directSound.reset();
            mode = SoundMode::Off;
        } else {
            mode = SoundMode::DirectSound;
        }
    }
    if (mode == SoundMode::Off)
        mode = SoundMode::Fallback;
}

SoundHandle SoundPlayer::load(HMODULE module, const char* name, int copies) {
    if (mode == SoundMode::DirectSound) {
        SoundClip* clip = createClip(module, directSound.get(), name, copies, DSBCAPS_GLOBALFOCUS);
        SoundClip** grown = new (std::nothrow) SoundClip*[clipCount + 1];
        if (!grown) {
            destroyClip(clip);
            return nullptr;
        }
        for (int32_t i = 0; i < clipCount; ++i)
            grown[i] = clips[i];
        grown[clipCount] = clip;
        delete[] clips;
        clips = grown;
        ++clipCount;
        return clip;
    }
    if (mode == SoundMode::Fallback) {
        HRSRC found = FindResourceA(module, name, "WAVE");
        HGLOBAL loaded = found ? LoadResource(module, found) : nullptr;
        return loaded ? LockResource(loaded) : nullptr;
    }
    return nullptr;
}

int32_t soundVolume(int32_t percentage) {
    int32_t v = percentage & 0xFF;
    if (v > 100)
        v = 0;
    return (v - 100) * 30;
}

void SoundPlayer::play(SoundHandle sound, int32_t pan, int32_t volume) {
    if (mode == SoundMode::DirectSound) {
        if (sound)
            playClip(static_cast<SoundClip*>(sound), 0, pan, soundVolume(volume));
    } else if (mode == SoundMode::Fallback) {
        // One sound at a time: a new call cuts off the last, and a null handle only stops it.
        sndPlaySoundA(static_cast<LPCSTR>(sound), SND_ASYNC | SND_MEMORY);
    }
}

void SoundPlayer::stopAll() {
    if (mode == SoundMode::DirectSound) {
        for (int32_t i = 0; i < clipCount; ++i) {
            if (!clips[i])
                continue;
            for (int32_t copy = 0; copy < clips[i]->copyCount; ++copy) {
                IDirectSoundBuffer* buffer = clips[i]->copies[copy].get();
                if (!buffer)
                    continue;
                buffer->Stop();
                buffer->SetCurrentPosition(0);
            }
        }
    } else if (mode == SoundMode::Fallback) {
        sndPlaySoundA(nullptr, 0); // a null sound stops the one that plays
    }
}

void SoundPlayer::close() {
    if (mode == SoundMode::DirectSound) {
        while (clipCount != 0)
            unload(clips[0]);
        directSound.reset();
        mode = SoundMode::Off;
    } else if (mode == SoundMode::Fallback) {
        mode = SoundMode::Off; // the handles point into resources: nothing to free
    }
}

void SoundPlayer::unload(SoundClip* clip) {
    if (mode != SoundMode::DirectSound)
        return;
    // Every entry equal to the clip goes, so one call also clears all the null entries.
    int32_t kept = 0;
    for (int32_t i = 0; i < clipCount; ++i)
        if (clips[i] != clip)
            ++kept;
    SoundClip** shrunk = kept ? new (std::nothrow) SoundClip*[kept] : nullptr;
    // Without memory for the smaller array the gaps are closed in place instead.
    SoundClip** target = kept && !shrunk ? clips : shrunk;
    int32_t at = 0;
    for (int32_t i = 0; i < clipCount; ++i)
        if (clips[i] != clip)
            target[at++] = clips[i];
    if (target != clips) {
        delete[] clips;
        clips = target;
    }
    clipCount = kept;
    destroyClip(clip);
}

int32_t currentSoundMode() {
    return soundPlayer ? static_cast<int32_t>(soundPlayer->mode) : 0;
}

void loadSounds(HWND window) {
    if (!soundPlayer)
        return;
    soundPlayer->open(window);
    for (const BuiltInSound& sound : kBuiltInSounds)
        *sound.handle = soundPlayer->load(GetModuleHandleA(nullptr), sound.name, sound.copies);
}

void playSound(SoundHandle sound, int pan, int volume) {
    if (soundPlayer)
        soundPlayer->play(sound, pan, volume);
}

void stopSounds() {
    if (soundPlayer)
        soundPlayer->stopAll();
}
