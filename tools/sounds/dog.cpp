// A dog from a source-filter model: glottal pulses (with the irregularity that makes a growl
// rough) and breath noise, shaped by a few resonances of the mouth and throat.
#include <cmath>
#include <fstream>
#include <functional>
#include <sstream>

#include "generators.h"

namespace snd {

bool loadDogScript(const std::string& path, DogScript& script, std::string& error) {
    std::ifstream in(path);
    if (!in) { error = path + ": cannot open"; return false; }
    std::string line;
    int number = 0;
    while (std::getline(in, line)) {
        ++number;
        size_t hash = line.find('#');
        if (hash != std::string::npos) line.erase(hash);
        std::istringstream words(line);
        std::string kind;
        if (!(words >> kind)) continue;
        std::string where = path + ":" + std::to_string(number) + ": ";
        DogEvent e{kind == "bark", 0, 0, 0};
        bool ok = false;
        if (kind == "length") ok = static_cast<bool>(words >> script.seconds) && script.seconds > 0;
        else if (kind == "growl") ok = static_cast<bool>(words >> e.start >> e.length >> e.pitch) && e.length > 0;
        else if (kind == "bark") ok = static_cast<bool>(words >> e.start >> e.pitch);
        if (!ok || e.start < 0 || e.pitch < 0 || e.pitch > 2000) { error = where + "cannot read this line"; return false; }
        if (kind != "length") script.events.push_back(e);
    }
    if (script.events.empty() || script.seconds <= 0) { error = path + ": no events or no length"; return false; }
    return true;
}

namespace {

struct VocalState {
    double pitch;       // Hz
    double level;
    double breath;      // noise share
    double formants[4];
};

// Rosenberg glottal flow over one period, phase in [0, 1).
double glottalFlow(double phase) {
    const double open = 0.45, closing = 0.17;
    if (phase < open) return 0.5 - 0.5 * std::cos(kPi * phase / open);
    if (phase < open + closing) return std::cos(0.5 * kPi * (phase - open) / closing);
    return 0.0;
}

void renderVocal(Signal& out, double rate, double start, double length, double roughness, Random& rng,
                 const std::function<VocalState(double)>& at) {
    const double gains[4] = {1.0, 0.55, 0.3, 0.12};
    const double qs[4] = {2.5, 4.0, 5.0, 6.0};
    Biquad formant[4];
    Biquad breathColour = Biquad::highPass(rate, 600, 0.7);
    double phase = 0, prevFlow = 0, periodGain = 1, periodStretch = 1;
    const size_t first = samples(rate, start);
    const size_t count = samples(rate, length);
    for (size_t i = 0; i < count && first + i < out.size(); ++i) {
        double t = static_cast<double>(i) / rate;
        VocalState s = at(t);
        if (i % 16 == 0)
            for (int k = 0; k < 4; ++k)
                formant[k].retune(Biquad::bandPass(rate, std::fmin(s.formants[k], 0.45 * rate), qs[k]));
        phase += s.pitch * periodStretch / rate;
        if (phase >= 1.0) {
            // A new period: rough voices vary in strength and length from one pulse to the next.
            phase -= 1.0;
            periodGain = 1.0 - roughness * 0.6 * rng.uniform();
            periodStretch = 1.0 + roughness * 0.12 * rng.bipolar();
        }
        double flow = glottalFlow(phase) * periodGain;
        double source = (flow - prevFlow) * rate / (s.pitch * 4.0);   // flow derivative, level-independent of pitch
        prevFlow = flow;
        double noise = breathColour.process(rng.bipolar()) * (0.3 + flow);
        double x = (1 - s.breath) * source + s.breath * noise;
        double y = 0;
        for (int k = 0; k < 4; ++k) y += gains[k] * formant[k].process(x);
        out[first + i] += s.level * y;
    }
}

void growl(Signal& out, double rate, const DogEvent& e, Random& rng) {
    double flutterRate = 24 + 6 * rng.uniform();
    double drift = rng.uniform() * 2 * kPi;
    renderVocal(out, rate, e.start, e.length, 1.0, rng, [&](double t) {
        double rise = std::fmin(1.0, t / 0.15), fall = std::fmin(1.0, (e.length - t) / 0.18);
        double swell = 0.8 + 0.2 * std::sin(2 * kPi * t / e.length * 1.5 + drift);
        // The rolling "rrr": the whole voice pulses a couple of dozen times a second.
        double roll = 0.55 + 0.45 * std::fabs(std::sin(kPi * flutterRate * t));
        VocalState s{e.pitch * (1 + 0.08 * std::sin(kPi * t / e.length)), rise * fall * swell * roll * 0.55, 0.3,
                     {330, 950, 2150, 3300}};
        return s;
    });
}

void bark(Signal& out, double rate, const DogEvent& e, Random& rng) {
    const double length = 0.21;
    renderVocal(out, rate, e.start, length, 0.45, rng, [&](double t) {
        // "w" glide into an open "a": the jaw opens in the first 30 ms and closes again.
        double open = std::fmin(1.0, t / 0.03);
        double closing = std::fmax(0.0, (t - 0.08) / (length - 0.08));
        double f1 = 350 + 450 * open - 250 * closing;
        double pitch = t < 0.03 ? e.pitch * (0.75 + 0.45 * t / 0.03) : e.pitch * (1.2 - 0.55 * (t - 0.03) / (length - 0.03));
        double level = std::fmin(1.0, t / 0.006) * (t < 0.05 ? 1.0 : std::exp(-(t - 0.05) / 0.045));
        VocalState s{pitch, level, 0.25, {f1, 1350 + 350 * open, 2750, 3900}};
        return s;
    });
}

}  // namespace

Signal dog(const DogScript& script, double rate) {
    Signal out(samples(rate, script.seconds), 0.0);
    Random rng(0xD06ull);
    for (const DogEvent& e : script.events) {
        if (e.bark) bark(out, rate, e, rng);
        else growl(out, rate, e, rng);
    }
    addRoom(out, rate, 0.5, 0.12);
    return out;
}

}  // namespace snd
