// mibo-sounds: writes one of the program's WAVE files.
//   mibo-sounds piano TUNE OUT            the tune on the piano (8-bit 8000 Hz)
//   mibo-sounds wyb|lup|bat OUT           the synthesised noises
//   mibo-sounds warc SCRIPT OUT           the dog, from its script of growls and barks
//   mibo-sounds voice NAME SPEECH OUT     "oho" or "hello" from the speech engine's recording
#include <cstdio>
#include <cstring>
#include <string>

#include "generators.h"
#include "wave_file.h"

namespace {

// Format, length and fades of each sound; formats and lengths are what the program expects.
struct Format {
    const char* name;
    int rate;
    int bits;
    double seconds;
    double fadeIn;
    double fadeOut;
    const char* title;
};

const Format kFormats[] = {
    {"piano", 8000, 8, 19.5, 0.004, 0.30, "Jingle Bells on the piano"},
    {"wyb", 11025, 8, 1.4, 0.002, 0.20, "a present bursting"},
    {"lup", 11025, 8, 0.16, 0.002, 0.03, "landing in snow"},
    {"oho", 11025, 8, 0.4, 0.004, 0.02, "oho!"},
    {"hello", 22050, 8, 1.2, 0.004, 0.02, "hello!"},
    {"bat", 44100, 16, 0.5, 0.003, 0.06, "a whip crack"},
    {"warc", 22050, 8, 7.0, 0.01, 0.20, "a dog growling and barking"},
};

// Pitch factor of the little voices; their recordings are made slow so that the result keeps a
// natural pace.
const double kVoicePitch = 1.3;

int fail(const std::string& message) {
    std::fprintf(stderr, "mibo-sounds: %s\n", message.c_str());
    return 1;
}

const Format* findFormat(const char* name) {
    for (const Format& f : kFormats)
        if (std::strcmp(f.name, name) == 0) return &f;
    return nullptr;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc < 3) return fail("usage: mibo-sounds piano TUNE OUT | wyb|lup|bat OUT | warc SCRIPT OUT | voice NAME SPEECH OUT");
    std::string kind = argv[1];
    const Format* format = findFormat(kind == "voice" ? argv[2] : argv[1]);
    if (!format) return fail("unknown sound '" + kind + "'");
    const double rate = format->rate;
    snd::Signal s;
    std::string out, error;
    if (kind == "piano" && argc == 4) {
        snd::Tune tune;
        if (!snd::loadTune(argv[2], tune, error)) return fail(error);
        s = snd::renderPiano(tune, rate);
        out = argv[3];
    } else if (kind == "warc" && argc == 4) {
        snd::DogScript script;
        if (!snd::loadDogScript(argv[2], script, error)) return fail(error);
        s = snd::dog(script, rate);
        out = argv[3];
    } else if (kind == "voice" && argc == 5) {
        snd::Signal speech;
        int speechRate = 0;
        if (!snd::readWave(argv[3], speech, speechRate) || speechRate <= 0) return fail(std::string(argv[3]) + ": not a PCM WAVE file");
        s = snd::littleVoice(speech, speechRate, rate, kVoicePitch, format->seconds);
        if (s.empty()) return fail(std::string(argv[3]) + ": the voice is longer than " + std::to_string(format->seconds) + " s");
        out = argv[4];
    } else if (argc == 3 && (kind == "wyb" || kind == "lup" || kind == "bat")) {
        s = kind == "wyb" ? snd::presentBurst(rate, format->seconds)
          : kind == "lup" ? snd::snowThud(rate, format->seconds)
                          : snd::whipCrack(rate, format->seconds);
        out = argv[2];
    } else {
        return fail("wrong arguments for '" + kind + "'");
    }
    // A little headroom below full scale keeps the dither from ever touching the rails.
    snd::finish(s, rate, snd::samples(rate, format->seconds), format->fadeIn, format->fadeOut, 0.97);
    if (!snd::writeWave(out, s, format->rate, format->bits, format->title)) return fail(out + ": cannot write");
    return 0;
}
