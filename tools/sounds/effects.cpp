// The short noises: a present bursting, a landing in snow, a whip crack.
#include <cmath>

#include "generators.h"

namespace snd {

namespace {

// A sine whose frequency glides exponentially from `from` to `to` over `glide` seconds.
double glideSine(double& phase, double rate, double t, double from, double to, double glide) {
    double f = t >= glide ? to : from * std::pow(to / from, t / glide);
    phase += 2 * kPi * f / rate;
    return std::sin(phase);
}

}  // namespace

Signal presentBurst(double rate, double seconds) {
    Signal out(samples(rate, seconds), 0.0);
    Random rng(0x5759420ull);
    const double at = 0.015;
    Biquad popHigh = Biquad::highPass(rate, 400, 0.7);
    Biquad rumbleLow1 = Biquad::lowPass(rate, 300, 0.7);
    Biquad rumbleLow2 = Biquad::lowPass(rate, 450, 0.7);
    OnePole flutter(rate, 7.0);
    double bodyPhase = 0;
    for (size_t i = samples(rate, at); i < out.size(); ++i) {
        double t = static_cast<double>(i) / rate - at;
        // The pop: a bright crack of noise over a falling "bang" tone.
        double pop = std::exp(-t / 0.005) * popHigh.process(rng.bipolar());
        double body = std::exp(-t / 0.09) * glideSine(bodyPhase, rate, t, 190, 48, 0.12);
        // The rumble: dark noise that swells for a moment and rolls away, unevenly.
        double swell = (1 - std::exp(-t / 0.02)) * std::exp(-t / 0.33);
        double wobble = 0.6 + 4.0 * std::fabs(flutter.process(rng.bipolar()));
        double rumble = swell * wobble * rumbleLow2.process(rumbleLow1.process(rng.bipolar()));
        out[i] = 1.0 * pop + 0.75 * body + 3.5 * rumble;
    }
    // Bits of wrapping paper settling: sparse soft ticks, thinning out.
    Biquad tickTone = Biquad::bandPass(rate, 2600, 1.5);
    Signal ticks(out.size(), 0.0);
    for (double t = at + 0.03; t < 0.95; t += 0.004 + 0.05 * rng.uniform() * (t / 0.4)) {
        size_t start = samples(rate, t);
        double amp = (0.15 + 0.35 * rng.uniform()) * std::exp(-t / 0.4);
        for (size_t k = 0; k < samples(rate, 0.004) && start + k < ticks.size(); ++k)
            ticks[start + k] += amp * rng.bipolar() * std::exp(-static_cast<double>(k) / (0.0008 * rate));
    }
    for (size_t i = 0; i < out.size(); ++i) out[i] += 0.9 * tickTone.process(ticks[i]);
    addRoom(out, rate, 0.6, 0.18);
    return out;
}

Signal snowThud(double rate, double seconds) {
    Signal out(samples(rate, seconds), 0.0);
    Random rng(0x1A9ull);
    Biquad crunch = Biquad::bandPass(rate, 1300, 0.8);
    Biquad puffLow = Biquad::lowPass(rate, 450, 0.7);
    OnePole grains(rate, 180.0);
    double phase = 0;
    const double at = 0.004;
    for (size_t i = samples(rate, at); i < out.size(); ++i) {
        double t = static_cast<double>(i) / rate - at;
        double soft = 1 - std::exp(-t / 0.004);   // snow gives way: no hard edge
        double body = std::exp(-t / 0.04) * glideSine(phase, rate, t, 150, 75, 0.08);
        double puff = std::exp(-t / 0.045) * puffLow.process(rng.bipolar());
        // Crunch: noise chopped by a slow random gate, like flakes packing together.
        double gate = std::fmax(0.0, grains.process(rng.bipolar()) * 6.0);
        double crunchy = std::exp(-t / 0.03) * gate * crunch.process(rng.bipolar());
        out[i] = soft * (0.9 * body + 1.6 * puff + 0.9 * crunchy);
    }
    return out;
}

Signal whipCrack(double rate, double seconds) {
    Signal crack(samples(rate, seconds), 0.0);
    Random rng(0xBA7ull);
    const double swishStart = 0.03, crackAt = 0.15;
    // The crack: the tip's tiny sonic boom, an N-shaped pressure pulse about half a millisecond long,
    // then a hiss of broken-up air and one echo from a nearby wall.
    Biquad hiss = Biquad::highPass(rate, 1800, 0.7);
    const double nWave = 0.0005;
    for (size_t i = samples(rate, crackAt); i < crack.size(); ++i) {
        double t = static_cast<double>(i) / rate - crackAt;
        if (t < nWave) crack[i] += 0.8 * std::sin(2 * kPi * t / nWave) * std::sin(kPi * t / nWave);
        crack[i] += 0.6 * std::exp(-t / 0.009) * hiss.process(rng.bipolar());
    }
    Signal echo(crack.size(), 0.0);
    size_t delay = samples(rate, 0.038);
    Biquad dull = Biquad::lowPass(rate, 2500, 0.7);
    for (size_t i = delay; i < crack.size(); ++i) echo[i] = dull.process(crack[i - delay]);
    for (size_t i = 0; i < crack.size(); ++i) crack[i] += 0.22 * echo[i];
    addRoom(crack, rate, 0.35, 0.2);
    // The boom alone is a needle that would set the level of the whole sound, leaving the crack
    // itself a faint tick next to the other sounds: saturate it, as a close microphone would.
    const double drive = 6.0;
    for (double& x : crack) x = std::tanh(drive * x);
    // The swish before it: air noise through a band that rises as the lash speeds up.
    Biquad band;
    const size_t swishFirst = samples(rate, swishStart);
    for (size_t i = swishFirst; i < samples(rate, crackAt); ++i) {
        double u = (static_cast<double>(i) / rate - swishStart) / (crackAt - swishStart);
        if ((i - swishFirst) % 32 == 0) band.retune(Biquad::bandPass(rate, 500 * std::pow(8.0, u), 1.2));
        crack[i] += 0.5 * u * u * band.process(rng.bipolar());
    }
    return crack;
}

}  // namespace snd
