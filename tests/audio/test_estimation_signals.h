#pragma once

#include <algorithm>
#include <cmath>
#include <numbers>
#include <random>
#include <vector>

namespace merlop::testsignals {

// Consecutive blocks of a continuous test signal on the 12-bit scale: an optional band-limited
// sawtooth, optional mains hum with harmonics 1..6 and optional white noise.
class SignalSource {
  public:
    SignalSource(double rate, unsigned seed) : rate_(rate), rng_(seed) {}

    // Sawtooth of the given fundamental; amplitude of the fundamental line on the 12-bit scale.
    SignalSource& sawtooth(double frequency, double fundamentalAmplitude) {
        toneFrequency_ = frequency;
        toneAmplitude_ = fundamentalAmplitude;
        return *this;
    }
    // Hum lines 1..harmonics, each the given number of dB below the tone's fundamental, with
    // random phases.
    SignalSource& hum(double frequency, double dbBelowTone, int harmonics = 6) {
        humFrequency_ = frequency;
        humAmplitude_ = toneAmplitude_ * std::pow(10.0, -dbBelowTone / 20.0);
        humPhases_.clear();
        std::uniform_real_distribution<double> phase(0.0, 2.0 * std::numbers::pi);
        for (int k = 0; k < harmonics; ++k) humPhases_.push_back(phase(rng_));
        return *this;
    }
    SignalSource& noise(double sigma) {
        noiseSigma_ = sigma;
        return *this;
    }

    std::vector<int> block(int n) {
        std::vector<int> out(static_cast<size_t>(n));
        std::normal_distribution<double> gauss(0.0, 1.0);
        for (int i = 0; i < n; ++i, ++t_) {
            const double t = static_cast<double>(t_) / rate_;
            double v = 0.0;
            if (toneFrequency_ > 0.0) {
                for (int h = 1; h * toneFrequency_ < 0.5 * rate_; ++h) {
                    v += toneAmplitude_ / h *
                         std::sin(2.0 * std::numbers::pi * h * toneFrequency_ * t);
                }
            }
            for (size_t k = 0; k < humPhases_.size(); ++k) {
                const double f = (k + 1.0) * humFrequency_;
                if (f >= 0.5 * rate_) break;
                v += humAmplitude_ * std::sin(2.0 * std::numbers::pi * f * t + humPhases_[k]);
            }
            if (noiseSigma_ > 0.0) v += noiseSigma_ * gauss(rng_);
            out[static_cast<size_t>(i)] = std::clamp(static_cast<int>(std::lround(v)), -2048, 2047);
        }
        return out;
    }

  private:
    double rate_;
    std::mt19937 rng_;
    long long t_ = 0;
    double toneFrequency_ = 0.0;
    double toneAmplitude_ = 0.0;
    double humFrequency_ = 0.0;
    double humAmplitude_ = 0.0;
    std::vector<double> humPhases_;
    double noiseSigma_ = 0.0;
};

// n samples of a sine of the given period in samples.
inline std::vector<int> sineBlock(int n, double period, double amplitude, double phase = 0.0) {
    std::vector<int> out(static_cast<size_t>(n));
    for (int i = 0; i < n; ++i) {
        out[static_cast<size_t>(i)] = static_cast<int>(
            std::lround(amplitude * std::sin(2.0 * std::numbers::pi * i / period + phase)));
    }
    return out;
}

}  // namespace merlop::testsignals
