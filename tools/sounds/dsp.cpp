#include "dsp.h"

#include <algorithm>
#include <cmath>

namespace snd {

uint64_t Random::next() {
    state_ ^= state_ >> 12;
    state_ ^= state_ << 25;
    state_ ^= state_ >> 27;
    return state_ * 0x2545F4914F6CDD1Dull;
}

double Random::uniform() { return static_cast<double>(next() >> 11) * (1.0 / 9007199254740992.0); }

double Random::bipolar() { return uniform() * 2.0 - 1.0; }

double Random::gaussian() {
    // Box-Muller; the +1e-300 keeps log() away from zero.
    double u = uniform() + 1e-300;
    double v = uniform();
    return std::sqrt(-2.0 * std::log(u)) * std::cos(2.0 * kPi * v);
}


Biquad Biquad::lowPass(double rate, double freq, double q) {
    double w = 2 * kPi * freq / rate, c = std::cos(w), alpha = std::sin(w) / (2 * q);
    Biquad f;
    double a0 = 1 + alpha;
    f.b0_ = (1 - c) / 2 / a0; f.b1_ = (1 - c) / a0; f.b2_ = (1 - c) / 2 / a0;
    f.a1_ = -2 * c / a0; f.a2_ = (1 - alpha) / a0;
    return f;
}

Biquad Biquad::highPass(double rate, double freq, double q) {
    double w = 2 * kPi * freq / rate, c = std::cos(w), alpha = std::sin(w) / (2 * q);
    Biquad f;
    double a0 = 1 + alpha;
    f.b0_ = (1 + c) / 2 / a0; f.b1_ = -(1 + c) / a0; f.b2_ = (1 + c) / 2 / a0;
    f.a1_ = -2 * c / a0; f.a2_ = (1 - alpha) / a0;
    return f;
}

Biquad Biquad::bandPass(double rate, double freq, double q) {
    double w = 2 * kPi * freq / rate, c = std::cos(w), alpha = std::sin(w) / (2 * q);
    Biquad f;
    double a0 = 1 + alpha;
    f.b0_ = alpha / a0; f.b1_ = 0; f.b2_ = -alpha / a0;
    f.a1_ = -2 * c / a0; f.a2_ = (1 - alpha) / a0;
    return f;
}

Biquad Biquad::peak(double rate, double freq, double q, double gainDb) {
    double a = std::pow(10.0, gainDb / 40), w = 2 * kPi * freq / rate, c = std::cos(w);
    double alpha = std::sin(w) / (2 * q);
    Biquad f;
    double a0 = 1 + alpha / a;
    f.b0_ = (1 + alpha * a) / a0; f.b1_ = -2 * c / a0; f.b2_ = (1 - alpha * a) / a0;
    f.a1_ = -2 * c / a0; f.a2_ = (1 - alpha / a) / a0;
    return f;
}

double Biquad::process(double x) {
    double y = b0_ * x + b1_ * x1_ + b2_ * x2_ - a1_ * y1_ - a2_ * y2_;
    x2_ = x1_; x1_ = x; y2_ = y1_; y1_ = y;
    return y;
}

void Biquad::retune(const Biquad& other) {
    b0_ = other.b0_; b1_ = other.b1_; b2_ = other.b2_; a1_ = other.a1_; a2_ = other.a2_;
}

OnePole::OnePole(double rate, double freq) : k_(1.0 - std::exp(-2 * kPi * freq / rate)) {}

void applyFilter(Signal& s, Biquad f) {
    for (double& x : s) x = f.process(x);
}

void addRoom(Signal& s, double rate, double roomSeconds, double wet) {
    // Comb delays in mutually prime-ish ratios so their echoes do not pile up into a pitch.
    const double combDelays[] = {0.0297, 0.0371, 0.0411, 0.0437};
    const double allpassDelays[] = {0.0050, 0.0017};
    Signal out(s.size(), 0.0);
    for (double d : combDelays) {
        size_t n = std::max<size_t>(1, static_cast<size_t>(d * rate));
        double g = std::pow(0.001, d / roomSeconds);   // -60 dB after roomSeconds
        std::vector<double> line(n, 0.0);
        OnePole damp(rate, 2500.0);
        size_t at = 0;
        for (size_t i = 0; i < s.size(); ++i) {
            double y = line[at];
            line[at] = s[i] + g * damp.process(y);
            at = (at + 1) % n;
            out[i] += y * 0.25;
        }
    }
    for (double d : allpassDelays) {
        size_t n = std::max<size_t>(1, static_cast<size_t>(d * rate));
        std::vector<double> line(n, 0.0);
        size_t at = 0;
        const double g = 0.7;
        for (double& x : out) {
            double delayed = line[at];
            double v = x + g * delayed;
            line[at] = v;
            at = (at + 1) % n;
            x = delayed - g * v;
        }
    }
    for (size_t i = 0; i < s.size(); ++i) s[i] += wet * out[i];
}

Signal resample(const Signal& s, double factor) {
    // Windowed sinc; when raising pitch the cut-off follows the new Nyquist so nothing folds back.
    const int taps = 16;
    double cutoff = factor > 1.0 ? 1.0 / factor : 1.0;
    size_t n = static_cast<size_t>(static_cast<double>(s.size()) / factor);
    Signal out(n, 0.0);
    for (size_t i = 0; i < n; ++i) {
        double pos = static_cast<double>(i) * factor;
        long centre = static_cast<long>(std::floor(pos));
        double sum = 0.0;
        for (long k = centre - taps + 1; k <= centre + taps; ++k) {
            if (k < 0 || k >= static_cast<long>(s.size())) continue;
            double t = pos - static_cast<double>(k);
            double x = t * cutoff;
            double sinc = std::fabs(x) < 1e-12 ? 1.0 : std::sin(kPi * x) / (kPi * x);
            double window = 0.5 + 0.5 * std::cos(kPi * t / (taps + 1));
            sum += s[static_cast<size_t>(k)] * sinc * window * cutoff;
        }
        out[i] = sum;
    }
    return out;
}

double peakOf(const Signal& s) {
    double p = 0.0;
    for (double x : s) p = std::max(p, std::fabs(x));
    return p;
}

double meanOf(const Signal& s) {
    if (s.empty()) return 0.0;
    double sum = 0.0;
    for (double x : s) sum += x;
    return sum / static_cast<double>(s.size());
}

size_t samples(double rate, double seconds) { return static_cast<size_t>(std::lround(rate * seconds)); }

void finish(Signal& s, double rate, size_t length, double fadeInSeconds, double fadeOutSeconds, double peak) {
    applyFilter(s, Biquad::highPass(rate, 25.0, 0.707));
    s.resize(length, 0.0);
    // Fade window; the offset removed is the window-weighted mean, so that after the fades the
    // mean is exactly zero and both ends still land on silence.
    Signal window(length, 1.0);
    size_t in = std::min(length, samples(rate, fadeInSeconds));
    size_t out = std::min(length, samples(rate, fadeOutSeconds));
    for (size_t i = 0; i < in; ++i) window[i] *= 0.5 - 0.5 * std::cos(kPi * static_cast<double>(i) / in);
    for (size_t i = 0; i < out; ++i) window[length - 1 - i] *= 0.5 - 0.5 * std::cos(kPi * static_cast<double>(i) / out);
    double weighted = 0.0, weights = 0.0;
    for (size_t i = 0; i < length; ++i) {
        weighted += window[i] * s[i];
        weights += window[i];
    }
    double offset = weights > 0 ? weighted / weights : 0.0;
    for (size_t i = 0; i < length; ++i) s[i] = window[i] * (s[i] - offset);
    double p = peakOf(s);
    if (p > 0) for (double& x : s) x *= peak / p;
}

}  // namespace snd
