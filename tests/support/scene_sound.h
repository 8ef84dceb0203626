// The one sound player on a fake DirectSound device with the scenes' sounds loaded:
// "piano" (6 copies), "bat" and "warc" (3 each).
#pragma once

#include "app/startup.h"
#include "engine/seams.h"
#include "sound/sound_clip.h"
#include "sound/sound_player.h"
#include "sound_fakes.h"

namespace scene_sound {
inline FakeDirectSound*& device() {
    static FakeDirectSound* current = nullptr;
    return current;
}
inline HRESULT WINAPI createFakeDevice(const GUID*, IDirectSound** out, IUnknown*) {
    *out = device();
    return DS_OK;
}
} // namespace scene_sound

class SceneSoundScope {
public:
    SceneSoundScope() : savedFactory(gSeams.directSoundCreate) {
        scene_sound::device() = &fake;
        gSeams.directSoundCreate = scene_sound::createFakeDevice;
        saved[0] = soundPiano;
        saved[1] = soundBat;
        saved[2] = soundWarc;
        player.open(nullptr);
        soundPiano = player.load(GetModuleHandleA(nullptr), "piano", 6);
        soundBat = player.load(GetModuleHandleA(nullptr), "bat", 3);
        soundWarc = player.load(GetModuleHandleA(nullptr), "warc", 3);
        soundPlayer = &player;
    }
    ~SceneSoundScope() {
        soundPlayer = nullptr;
        player.close();
        soundPiano = saved[0];
        soundBat = saved[1];
        soundWarc = saved[2];
        gSeams.directSoundCreate = savedFactory;
        scene_sound::device() = nullptr;
    }
    SceneSoundScope(const SceneSoundScope&) = delete;
    SceneSoundScope& operator=(const SceneSoundScope&) = delete;

    // Plays of a sound, over all its copies.
    static int playsOf(SoundHandle sound) {
        const SoundClip* clip = static_cast<const SoundClip*>(sound);
        int plays = 0;
        for (int i = 0; clip && i < clip->copyCount; ++i)
            plays += static_cast<FakeBuffer*>(clip->copies[i].get())->plays;
        return plays;
    }

    FakeDirectSound fake;
    SoundPlayer player;

private:
    decltype(Seams::directSoundCreate) savedFactory;
    SoundHandle saved[3];
};
