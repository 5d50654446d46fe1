#pragma once

#include <algorithm>
#include <cmath>
#include <numbers>
#include <random>
#include <vector>

namespace merlop::testsignals {

// Consecutive blocks on the 12-bit scale of a band-limited sawtooth (amplitude of its
// fundamental given), optional mains hum lines 1..harmonics at dbBelow the tone's fundamental
// with random phases, and white noise.
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
        std::vector<int> out(static_cast<size_t>(n));
        std::normal_distribution<double> gauss(0.0, noise_ > 0.0 ? noise_ : 1.0);
        for (int& v : out) {
            const double w = 2.0 * std::numbers::pi * static_cast<double>(t_++) / rate_;
            double sum = noise_ > 0.0 ? gauss(rng_) : 0.0;
            for (int h = 1; h * tone_ < 0.5 * rate_ && tone_ > 0.0; ++h) {
                sum += amplitude_ / h * std::sin(w * h * tone_);
            }
            for (const Line& l : lines_) sum += l.amplitude * std::sin(w * l.frequency + l.phase);
            v = std::clamp(static_cast<int>(std::lround(sum)), -2048, 2047);
        }
        return out;
    }

  private:
    struct Line {
        double frequency, amplitude, phase;
    };
    double rate_;
    std::mt19937 rng_;
    double tone_, amplitude_, noise_;
    std::vector<Line> lines_;
    long long t_ = 0;
};

// n samples of a sine with the given period in samples.
inline std::vector<int> sineBlock(int n, double period, double amplitude, double phase = 0.0) {
    std::vector<int> out(static_cast<size_t>(n));
    for (int i = 0; i < n; ++i) {
        out[static_cast<size_t>(i)] = static_cast<int>(
            std::lround(amplitude * std::sin(2.0 * std::numbers::pi * i / period + phase)));
    }
    return out;
}

}  // namespace merlop::testsignals
