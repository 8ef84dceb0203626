// A piano from additive partials: stretched (inharmonic) overtones, two slightly detuned strings
// per note for the beating and the two-stage decay of a real piano, a felt-hammer thump at the
// onset and a damper at the key release.
#include <cctype>
#include <cmath>
#include <fstream>
#include <sstream>

#include "generators.h"

namespace snd {

namespace {

bool parsePitch(const std::string& text, int& midi) {
    static const int steps[] = {9, 11, 0, 2, 4, 5, 7};   // A B C D E F G
    if (text.size() < 2 || text[0] < 'A' || text[0] > 'G') return false;
    int pitch = steps[text[0] - 'A'];
    size_t at = 1;
    if (text[at] == '#') { ++pitch; ++at; }
    else if (text[at] == 'b') { --pitch; ++at; }
    if (at + 1 != text.size() || text[at] < '0' || text[at] > '8') return false;
    midi = 12 * (text[at] - '0' + 1) + pitch;
    return true;
}

// "E5", "E5:2", "C4+E4+G4:0.5", "r:2" (rest).
bool parseToken(const std::string& token, std::vector<int>& pitches, double& beats) {
    pitches.clear();
    beats = 1.0;
    std::string head = token;
    size_t colon = token.find(':');
    if (colon != std::string::npos) {
        head = token.substr(0, colon);
        char* end = nullptr;
        std::string number = token.substr(colon + 1);
        beats = std::strtod(number.c_str(), &end);
        if (number.empty() || *end != '\0' || !(beats > 0) || beats > 64) return false;
    }
    if (head == "r") return true;
    std::stringstream parts(head);
    std::string part;
    while (std::getline(parts, part, '+')) {
        int midi;
        if (!parsePitch(part, midi)) return false;
        pitches.push_back(midi);
    }
    return !pitches.empty();
}

}  // namespace

bool loadTune(const std::string& path, Tune& tune, std::string& error) {
    std::ifstream in(path);
    if (!in) { error = path + ": cannot open"; return false; }
    std::string line;
    int number = 0;
    double velocity = -1, beat = 0, barStart = 0;
    while (std::getline(in, line)) {
        ++number;
        std::string where = path + ":" + std::to_string(number) + ": ";
        // A comment starts with '#' at the start of a word ('#' inside a word is a sharp).
        for (size_t hash = line.find('#'); hash != std::string::npos; hash = line.find('#', hash + 1))
            if (hash == 0 || std::isspace(static_cast<unsigned char>(line[hash - 1]))) { line.erase(hash); break; }
        std::istringstream words(line);
        std::string word;
        if (!(words >> word)) continue;
        if (word == "tempo" || word == "meter" || word == "length" || word == "voice") {
            double value;
            if (word == "voice") { std::string name; words >> name; }
            if (!(words >> value) || value <= 0) { error = where + "bad value for " + word; return false; }
            if (word == "tempo") tune.tempo = value;
            if (word == "meter") tune.meter = static_cast<int>(value);
            if (word == "length") tune.seconds = value;
            if (word == "voice") { velocity = value; beat = barStart = 0; }
            continue;
        }
        if (velocity < 0) { error = where + "notes before the first 'voice' line"; return false; }
        do {
            if (word == "|") {
                if (std::fabs(beat - barStart - tune.meter) > 1e-9) {
                    error = where + "bar of " + std::to_string(beat - barStart) + " beats";
                    return false;
                }
                barStart = beat;
                continue;
            }
            std::vector<int> pitches;
            double beats;
            if (!parseToken(word, pitches, beats)) { error = where + "cannot read '" + word + "'"; return false; }
            for (int midi : pitches) tune.notes.push_back({beat, beats, midi, velocity});
            beat += beats;
        } while (words >> word);
    }
    if (tune.notes.empty() || tune.seconds <= 0) { error = path + ": no notes or no length"; return false; }
    return true;
}

namespace {

void addNote(Signal& out, double rate, double start, double held, int midi, double velocity, Random& rng) {
    const double f0 = 440.0 * std::pow(2.0, (midi - 69) / 12.0);
    const double inharmonicity = 0.0004 * std::pow(2.0, (midi - 60) / 24.0);
    const double sustain = 2.6 * std::pow(2.0, -(midi - 48) / 24.0);   // treble dies sooner
    const double hammerCorner = 700.0 + 2600.0 * velocity;              // harder blow, brighter tone
    const double strikePoint = 1.0 / 7.7;
    const double release = 0.07;
    const size_t first = samples(rate, start);
    const size_t count = samples(rate, held + 8 * release);
    const size_t heldCount = samples(rate, held);
    const double attack = 0.0015 * rate;
    // Louder partials to the bass are balanced so the left hand does not boom.
    const double level = velocity * std::pow(2.0, -(60 - midi) / 36.0) * 0.2;
    for (int n = 1; n <= 24; ++n) {
        double fn = n * f0 * std::sqrt(1.0 + inharmonicity * n * n);
        if (fn > 0.45 * rate) break;
        double amp = std::fabs(std::sin(kPi * n * strikePoint)) / n / (1.0 + (fn / hammerCorner) * (fn / hammerCorner));
        double tau = sustain / (1.0 + 0.15 * (n - 1) + (fn / 2500.0) * (fn / 2500.0));
        for (int string = 0; string < 2; ++string) {
            double cents = (string ? 1.0 : -1.0) * (0.6 + 0.8 * rng.uniform());
            double f = fn * std::pow(2.0, cents / 1200.0);
            double phase = 2 * kPi * rng.uniform();
            double w = 2 * kPi * f / rate;
            for (size_t i = 0; i < count && first + i < out.size(); ++i) {
                double t = static_cast<double>(i) / rate;
                double env = 0.7 * std::exp(-t / (0.25 * tau)) + 0.3 * std::exp(-t / tau);
                if (i < attack) env *= 0.5 - 0.5 * std::cos(kPi * i / attack);
                if (i > heldCount) env *= std::exp(-static_cast<double>(i - heldCount) / (release * rate));
                out[first + i] += level * amp * env * std::sin(phase + w * static_cast<double>(i));
            }
        }
    }
    // Felt on steel: a short knock of band-limited noise at the onset.
    Biquad knock = Biquad::bandPass(rate, std::fmin(2.5 * f0, 0.4 * rate), 0.9);
    const size_t knockCount = samples(rate, 0.03);
    for (size_t i = 0; i < knockCount && first + i < out.size(); ++i) {
        double t = static_cast<double>(i) / rate;
        out[first + i] += level * 0.35 * velocity * std::exp(-t / 0.005) * knock.process(rng.bipolar());
    }
}

}  // namespace

Signal renderPiano(const Tune& tune, double rate) {
    Signal out(samples(rate, tune.seconds), 0.0);
    Random rng(0x9A9A0001ull);
    const double beatSeconds = 60.0 / tune.tempo;
    const double lead = 0.02;
    for (const TuneNote& note : tune.notes) {
        // A player leans on the first beat of a bar and keeps the notes slightly detached.
        double position = std::fmod(note.startBeat, tune.meter);
        double accent = position < 1e-9 ? 1.08 : (std::fmod(position, 2.0) < 1e-9 ? 1.0 : 0.92);
        double velocity = std::fmin(1.0, note.velocity * accent * (0.97 + 0.06 * rng.uniform()));
        double start = lead + note.startBeat * beatSeconds;
        double held = note.beats * beatSeconds * 0.9;
        addNote(out, rate, start, held, note.midi, velocity, rng);
    }
    addRoom(out, rate, 0.9, 0.12);
    return out;
}

}  // namespace snd
