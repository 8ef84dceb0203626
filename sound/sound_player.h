// Sound playback: the seven built-in sounds, played through DirectSound, or one at a time through
// sndPlaySoundA when no DirectSound device opens.
#pragma once

#include "engine/platform.h"

#include <cstdint>

#include "engine/handles.h"

struct IDirectSound;
struct SoundClip;

// Also the number stored as the "sound" setting.
enum class SoundMode : int32_t { Off = 0, DirectSound = 1, Fallback = 2 };

// A SoundClip in DirectSound mode, the WAVE resource's bytes in Fallback mode, null when off
// or when the sound failed to load.
typedef void* SoundHandle;

class SoundPlayer {
public:
    SoundPlayer();
    virtual ~SoundPlayer();
    SoundPlayer(const SoundPlayer&) = delete;
    SoundPlayer& operator=(const SoundPlayer&) = delete;

    // Opens DirectSound bound to the window, or falls back. Only from mode Off.
    void open(HWND window);
    SoundHandle load(HMODULE module, const char* name, int copies);
    // Fire and forget. Pan in hundredths of a decibel (0 leaves it); of the volume percentage only
    // the low 8 bits count, and anything above 100 is the quietest.
    void play(SoundHandle sound, int32_t pan, int32_t volume);
    // Stops whatever plays now; the sounds stay loaded.
    void stopAll();
    // Switches sound off and frees everything loaded.
    void close();
    void unload(SoundClip* clip);

    SoundMode mode;
    ComPtr<IDirectSound> directSound; // null unless mode is DirectSound
    int32_t clipCount;
    SoundClip** clips; // owned, exactly clipCount entries (some may be null)
};

// The DirectSound volume for a percentage, in hundredths of a decibel: 100 -> 0, 50 -> -1500.
int32_t soundVolume(int32_t percentage);

extern SoundHandle soundPiano, soundWyb, soundLup, soundOho, soundHello, soundBat, soundWarc;

// The one player, made at start-up; null before and after, and when it could not be made.
extern SoundPlayer* soundPlayer;

// The mode of the one player as the "sound" setting stores it; 0 when there is no player.
int32_t currentSoundMode();

// Opens the one player on the window and loads the seven sounds from the program's resources.
void loadSounds(HWND window);

// Plays through the one player; nothing when there is none (tests) or sound is off.
void playSound(SoundHandle sound, int pan = 0, int volume = 100);

// Stops every sound of the one player.
void stopSounds();
