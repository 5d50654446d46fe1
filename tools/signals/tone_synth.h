#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

namespace merlop {

// Test signals as floating-point samples on the full scale -1..1, and their PCM WAV images.
// Every generator is deterministic: the random ones take an explicit seed.

// One sine component of a test signal.
struct Partial {
    double frequency = 0.0;  // Hz
    double amplitude = 0.0;  // peak
    double phase = 0.0;      // radians at sample 0
};

// The sum of the partials at samples first .. first+count-1; partials at or above half the rate
// are left out, as a sampled signal cannot hold them. Every generator below is built on this.
std::vector<double> partialSum(const std::vector<Partial>& partials, double rate, long long first,
                               std::size_t count);

// Sine of the given peak amplitude.
std::vector<float> sineTone(double frequency, double seconds, int rate, double amplitude);

// Sawtooth-like tone: harmonics 1..harmonics with amplitudes 1/k (those at or above the Nyquist
// frequency left out), scaled so that its peak equals amplitude.
std::vector<float> harmonicTone(double frequency, double seconds, int rate, int harmonics,
                                double amplitude);

// Partials of a stiff string: partial k at k x frequency x sqrt(1 + B k^2) with amplitude 1/k
// (those at or above the Nyquist frequency left out), scaled so that its peak equals amplitude.
// B = 0 gives harmonicTone.
std::vector<float> stretchedTone(double frequency, double inharmonicity, double seconds, int rate,
                                 int partials, double amplitude);

// Plucked string (Karplus-Strong) excited by a burst of noise from `seed`, its loop tuned to the
// exact fundamental, which dies away by 60 dB in `decaySeconds` (higher partials faster). Scaled
// so that its peak equals amplitude.
std::vector<float> pluckedString(double frequency, double seconds, int rate, double amplitude,
                                 double decaySeconds = 3.0, std::uint32_t seed = 1);

// A struck stiff string: partials n = 1..partials at n f sqrt(1 + B n^2), those at or above half
// the rate and those listed in `missing` left out, of amplitude 1/n, each dying away
// exponentially, partial n by 60 dB in decaySeconds / sqrt(n).
struct StiffString {
    double frequency = 440.0;  // f, Hz
    double b = 0.0;            // inharmonicity B, 0 to 0.05
    int partials = 16;
    double decaySeconds = 4.0;
    std::vector<int> missing;
};

// The string's sound scaled so that its peak equals amplitude.
std::vector<float> stiffStringTone(const StiffString& s, double seconds, int rate,
                                   double amplitude);

// RMS level of x in dB relative to full scale (-inf for silence).
double rmsDb(const std::vector<float>& x);

// Adds white noise whose RMS level is `db` relative to full scale.
void addWhiteNoise(std::vector<float>& x, double db, std::uint32_t seed = 7);

// Adds pink noise (3 dB less power per octave, from about 10 Hz up) whose RMS level is `db`
// relative to full scale.
void addPinkNoise(std::vector<float>& x, int rate, double db, std::uint32_t seed = 11);

// Adds mains hum: the fundamental and harmonics 2..harmonics, each of peak level `db` relative
// to full scale.
void addHum(std::vector<float>& x, int rate, double mainsHz, double db, int harmonics = 5);

// Multiplies every sample by 10^(db/20).
void scaleDb(std::vector<float>& x, double db);

// The canonical 44-byte-header PCM mono WAV image of x at 8 or 16 bits; samples beyond the full
// scale are clipped.
std::vector<std::uint8_t> wavImage(const std::vector<float>& x, int rate, int bits);

// Writes wavImage(x, rate, bits) to path, whole or not at all; false when the file cannot be
// written (*error, when given, then holds the errno).
bool writeWav(const std::string& path, const std::vector<float>& x, int rate, int bits,
              int* error = nullptr);

}  // namespace merlop
