#include "sound/sound_player.h"

#include "app/startup.h"

SoundHandle soundPiano, soundWyb, soundLup, soundOho, soundHello, soundBat, soundWarc;

void playSound(SoundHandle sound, int pan, int volume) {
    if (soundPlayer)
        soundPlayer->play(sound, pan, volume);
}
