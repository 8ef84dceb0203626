// Small signal-processing kit shared by the sound generators. Everything is deterministic:
// noise comes from a seeded generator, never from the clock.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

namespace snd {

using Signal = std::vector<double>;

constexpr double kPi = 3.14159265358979323846;

// xorshift64*: fast, and the same sequence on every machine for a given seed.
class Random {
public:
    explicit Random(uint64_t seed) : state_(seed ? seed : 0x9E3779B97F4A7C15ull) {}
    uint64_t next();
    double uniform();           // [0, 1)
    double bipolar();           // [-1, 1)
    double gaussian();
private:
    uint64_t state_;
};

// Second-order filter (direct form I), coefficients after R. Bristow-Johnson's cookbook.
class Biquad {
public:
    static Biquad lowPass(double rate, double freq, double q);
    static Biquad highPass(double rate, double freq, double q);
    static Biquad bandPass(double rate, double freq, double q);   // 0 dB peak gain
    static Biquad peak(double rate, double freq, double q, double gainDb);
    double process(double x);
    // Takes another filter's coefficients and keeps this one's state: a glide without clicks.
    void retune(const Biquad& other);
    void reset() { x1_ = x2_ = y1_ = y2_ = 0; }
private:
    double b0_ = 1, b1_ = 0, b2_ = 0, a1_ = 0, a2_ = 0;
    double x1_ = 0, x2_ = 0, y1_ = 0, y2_ = 0;
};

// One-pole smoother / low-pass.
class OnePole {
public:
    OnePole(double rate, double freq);
    double process(double x) { y_ += k_ * (x - y_); return y_; }
private:
    double k_;
    double y_ = 0;
};

void applyFilter(Signal& s, Biquad f);
// Small Schroeder room: a few combs in parallel, two all-passes in series; mixes wet into s.
void addRoom(Signal& s, double rate, double roomSeconds, double wet);
// Resampling by linear-phase windowed-sinc interpolation; factor > 1 raises pitch and shortens.
Signal resample(const Signal& s, double factor);

// Final clean-up every sound gets: DC removed, peak normalised to `peak`,
// raised-cosine fades at both ends, exact length.
void finish(Signal& s, double rate, size_t length, double fadeInSeconds, double fadeOutSeconds, double peak);

double peakOf(const Signal& s);
double meanOf(const Signal& s);
size_t samples(double rate, double seconds);

}  // namespace snd
