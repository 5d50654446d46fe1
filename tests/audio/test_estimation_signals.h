#pragma once

#include <algorithm>
#include <cmath>
#include <numbers>
#include <random>
#include <vector>

#include "signals/tone_synth.h"

namespace merlop::testsignals {

// Consecutive blocks, on the 12-bit scale and continuous across blocks, of a band-limited sawtooth
// (amplitude of its fundamental given), optional mains hum lines 1..harmonics at dbBelow the tone's
// fundamental with random phases, and white noise.
class SignalSource {
  public:
    SignalSource(double rate, unsigned seed, double tone, double amplitude, double noise = 0.0)
        : rate_(rate), rng_(seed), tone_(tone), amplitude_(amplitude), noise_(noise) {}

    SignalSource& hum(double frequency, double dbBelow, int harmonics) {
        std::uniform_real_distribution<double> phase(0.0, 2.0 * std::numbers::pi);
        for (int k = 1; k <= harmonics; ++k) {
            lines_.push_back(
                {k * frequency, amplitude_ * std::pow(10.0, -dbBelow / 20.0), phase(rng_)});
        }
        return *this;
    }

    std::vector<int> block(int n) {
        std::vector<Partial> partials;
        for (int h = 1; tone_ > 0.0 && h * tone_ < 0.5 * rate_; ++h) {
            partials.push_back({h * tone_, amplitude_ / h, 0.0});
        }
        partials.insert(partials.end(), lines_.begin(), lines_.end());
        const std::vector<double> sum =
            partialSum(partials, rate_, t_, static_cast<std::size_t>(n));
        t_ += n;
        std::vector<int> out(static_cast<size_t>(n));
        std::normal_distribution<double> gauss(0.0, noise_ > 0.0 ? noise_ : 1.0);
        for (int i = 0; i < n; ++i) {
            const double v = sum[static_cast<size_t>(i)] + (noise_ > 0.0 ? gauss(rng_) : 0.0);
            out[static_cast<size_t>(i)] = std::clamp(static_cast<int>(std::lround(v)), -2048, 2047);
        }
        return out;
    }

  private:
    double rate_;
    std::mt19937 rng_;
    double tone_, amplitude_, noise_;
    std::vector<Partial> lines_;
    long long t_ = 0;
};

// n samples of a sine with the given period in samples.
inline std::vector<int> sineBlock(int n, double period, double amplitude, double phase = 0.0) {
    const std::vector<double> sum =
        partialSum({{1.0 / period, amplitude, phase}}, 1.0, 0, static_cast<std::size_t>(n));
    std::vector<int> out(sum.size());
    for (std::size_t i = 0; i < sum.size(); ++i) out[i] = static_cast<int>(std::lround(sum[i]));
    return out;
}

}  // namespace merlop::testsignals
