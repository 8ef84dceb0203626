// Reading and writing mono PCM RIFF/WAVE files.
#pragma once

#include <string>

#include "dsp.h"

namespace snd {

// Writes "RIFF", "WAVE", a 16-byte "fmt ", "data" and a LIST/INFO chunk naming the sound.
// Samples are in [-1, 1]; they are dithered (fixed seed) and quantised to 8-bit unsigned or
// 16-bit signed. Returns false when the file cannot be written.
bool writeWave(const std::string& path, const Signal& s, int rate, int bits, const std::string& title);

// Reads a 16-bit or 8-bit PCM file (mono, or the first channel of several).
bool readWave(const std::string& path, Signal& s, int& rate);

}  // namespace snd
