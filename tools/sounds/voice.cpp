#include <algorithm>
#include <cmath>

#include "generators.h"

namespace snd {

Signal littleVoice(const Signal& speech, double speechRate, double rate, double pitch, double seconds) {
    // The speech engine pads its output with silence; keep 10 ms either side of the voice.
    double p = peakOf(speech);
    size_t first = 0, last = speech.size();
    while (first < speech.size() && std::fabs(speech[first]) < 0.02 * p) ++first;
    while (last > first && std::fabs(speech[last - 1]) < 0.02 * p) --last;
    size_t margin = samples(speechRate, 0.01);
    first = first > margin ? first - margin : 0;
    last = std::min(speech.size(), last + margin);
    Signal voice(speech.begin() + static_cast<long>(first), speech.begin() + static_cast<long>(last));
    // The engine stops its last vowel dead; let it die away instead of ending in a click.
    size_t tail = std::min(voice.size(), samples(speechRate, 0.09));
    for (size_t i = 0; i < tail; ++i)
        voice[voice.size() - 1 - i] *= 0.5 - 0.5 * std::cos(kPi * static_cast<double>(i) / static_cast<double>(tail));

    // Reading the recording faster than it was made raises pitch and formants together: a smaller throat.
    Signal out = resample(voice, speechRate / rate * pitch);
    applyFilter(out, Biquad::highPass(rate, 160, 0.7));
    applyFilter(out, Biquad::peak(rate, std::fmin(3000, 0.4 * rate), 1.0, 3.0));
    const size_t lead = samples(rate, 0.01);
    if (out.size() + lead > samples(rate, seconds)) return Signal();
    out.insert(out.begin(), lead, 0.0);
    return out;
}

}  // namespace snd
