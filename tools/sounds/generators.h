// The generators of the program's seven sounds. Each returns raw samples at the given rate;
// main.cpp applies the common clean-up (finish) and writes the file.
#pragma once

#include <string>
#include <vector>

#include "dsp.h"

namespace snd {

struct TuneNote {
    double startBeat;
    double beats;
    int midi;
    double velocity;
};

struct Tune {
    double tempo = 120;      // quarter notes a minute
    int meter = 4;           // beats a bar, checked at every '|'
    double seconds = 0;      // length of the finished file
    std::vector<TuneNote> notes;
};

// Reads the small note-list notation of art/sounds/*.tune. On failure `error` names the line.
bool loadTune(const std::string& path, Tune& tune, std::string& error);
Signal renderPiano(const Tune& tune, double rate);

Signal presentBurst(double rate, double seconds);   // "wyb": a pop and a short rumble
Signal snowThud(double rate, double seconds);       // "lup": landing softly in snow
Signal whipCrack(double rate, double seconds);      // "bat"

struct DogEvent {
    bool bark;
    double start;
    double length;   // growls only
    double pitch;    // fundamental in Hz
};

struct DogScript {
    double seconds = 0;
    std::vector<DogEvent> events;
};

bool loadDogScript(const std::string& path, DogScript& script, std::string& error);
Signal dog(const DogScript& script, double rate);   // "warc"

// Speech from the speech engine made into a little voice: silence trimmed, pitch and formants
// raised by `pitch` (a resampling, so it also gets shorter), rumble filtered out. Empty when the
// result would not fit into `seconds`.
Signal littleVoice(const Signal& speech, double speechRate, double rate, double pitch, double seconds);

}  // namespace snd
