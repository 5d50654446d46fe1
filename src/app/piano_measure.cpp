#include "app/piano_measure.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <utility>

namespace merlop {

void PianoMeasure::begin(int midi, double rate, std::function<void()> whenFull) {
    whenFull_ = std::move(whenFull);
    midi_ = midi;
    rate_ = rate;
    samples_.clear();
    samples_.reserve(static_cast<std::size_t>(std::max(0.0, rate * kSeconds)) + 1);
}

bool PianoMeasure::full() const {
    return midi_ >= 0 && static_cast<double>(samples_.size()) >= rate_ * kSeconds;
}

void PianoMeasure::takeBlock(const int* samples, int n) {
    if (!taking()) return;
    for (int i = 0; i < n; ++i) samples_.push_back(static_cast<float>(samples[i]));
    if (full() && whenFull_) whenFull_();
}

InharmonicityResult PianoMeasure::measure(double referenceA) {
    InharmonicityOptions options;
    // The key as named: the search for its partials starts there, not an octave off.
    options.nominalF0 = referenceA * std::pow(2.0, (midi_ - 69) / 12.0);
    options.maxSeconds = kSeconds;
    InharmonicityResult result =
        measureInharmonicity(samples_, static_cast<int>(std::lround(rate_)), options);
    samples_.clear();
    midi_ = -1;
    return result;
}

std::string measurementText(int midi, const InharmonicityResult& result) {
    char f0[32];
    char b[32];
    std::snprintf(f0, sizeof f0, "%.3f", result.f0);
    std::snprintf(b, sizeof b, "%.3g", result.b);
    std::string text = fill(translate("PianoMeasure", "%1: f0 %2 Hz, B %3, from %4 partials"),
                            {pianoKeyName(midi), f0, b, std::to_string(result.partials.size())});
    text += "\n\n";
    text += translate("PianoMeasure", "partial   Hz   cents from n x f0");
    text += '\n';
    char line[128];
    for (const InharmonicPartial& p : result.partials) {
        // + 0.0: a deviation that rounds to nothing is never shown as -0.0.
        std::snprintf(line, sizeof line, "%2d   %.2f   %+.1f\n", p.number, p.frequency,
                      std::round(p.cents * 10.0) / 10.0 + 0.0);
        text += line;
    }
    return text;
}

std::vector<KeyMeasurement> withMeasurement(std::vector<KeyMeasurement> list,
                                            const KeyMeasurement& m) {
    list.erase(std::remove_if(list.begin(), list.end(),
                              [&](const KeyMeasurement& k) { return k.midi == m.midi; }),
               list.end());
    list.push_back(m);
    std::sort(list.begin(), list.end(),
              [](const KeyMeasurement& a, const KeyMeasurement& b) { return a.midi < b.midi; });
    return list;
}

}  // namespace merlop
