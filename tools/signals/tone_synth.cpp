#include "signals/tone_synth.h"

#include <algorithm>
#include <cmath>
#include <fstream>
#include <numbers>
#include <random>

#include "audio/riff_wave.h"
#include "common/atomic_file.h"
#include "common/byte_order.h"

namespace merlop {

namespace {

constexpr double kTwoPi = 2.0 * std::numbers::pi;

std::size_t sampleCountOf(double seconds, int rate) {
    if (!(seconds > 0.0) || rate <= 0) return 0;
    return static_cast<std::size_t>(seconds * rate);
}

// Uniform in [-1, 1) from the raw generator output, so the sequence is the same everywhere
// (the standard distributions are not specified bit for bit).
double uniform(std::mt19937& gen) {
    return static_cast<double>(gen()) / 2147483648.0 - 1.0;
}

void normalisePeak(std::vector<float>& x, double amplitude) {
    float peak = 0.0f;
    for (float v : x) peak = std::max(peak, std::fabs(v));
    if (peak <= 0.0f) return;
    const double g = amplitude / peak;
    for (float& v : x) v = static_cast<float>(v * g);
}

}  // namespace

std::vector<double> partialSum(const std::vector<Partial>& partials, double rate, long long first,
                               std::size_t count) {
    std::vector<double> sum(count, 0.0);
    if (!(rate > 0.0)) return sum;
    for (const Partial& p : partials) {
        if (!(p.frequency < 0.5 * rate)) continue;
        const double w = kTwoPi * p.frequency / rate;
        for (std::size_t i = 0; i < count; ++i) {
            sum[i] +=
                p.amplitude *
                std::sin(w * static_cast<double>(first + static_cast<long long>(i)) + p.phase);
        }
    }
    return sum;
}

std::vector<float> sineTone(double frequency, double seconds, int rate, double amplitude) {
    const std::vector<double> sum =
        partialSum({{frequency, amplitude, 0.0}}, rate, 0, sampleCountOf(seconds, rate));
    return std::vector<float>(sum.begin(), sum.end());
}

std::vector<float> harmonicTone(double frequency, double seconds, int rate, int harmonics,
                                double amplitude) {
    std::vector<Partial> partials;
    for (int k = 1; k <= harmonics; ++k) partials.push_back({k * frequency, 1.0 / k, 0.0});
    const std::vector<double> sum = partialSum(partials, rate, 0, sampleCountOf(seconds, rate));
    std::vector<float> x(sum.begin(), sum.end());
    normalisePeak(x, amplitude);
    return x;
}

std::vector<float> stretchedTone(double frequency, double inharmonicity, double seconds, int rate,
                                 int partials, double amplitude) {
    std::vector<Partial> list;
    for (int k = 1; k <= partials; ++k) {
        const double stretch = std::sqrt(1.0 + inharmonicity * k * k);
        list.push_back({k * frequency * stretch, 1.0 / k, 0.0});
    }
    const std::vector<double> sum = partialSum(list, rate, 0, sampleCountOf(seconds, rate));
    std::vector<float> x(sum.begin(), sum.end());
    normalisePeak(x, amplitude);
    return x;
}

std::vector<float> pluckedString(double frequency, double seconds, int rate, double amplitude,
                                 double decaySeconds, std::uint32_t seed) {
    std::vector<float> x(sampleCountOf(seconds, rate));
    if (x.empty() || !(frequency > 0.0) || frequency >= 0.45 * rate) return x;

    // The loop: a delay line, a two-point loss filter (1 - S) + S z^-1, a gain and a first-order
    // allpass that supplies the fractional rest of the period.
    const double w = kTwoPi * frequency / rate;
    const double period = static_cast<double>(rate) / frequency;
    // Gain per period that lets the fundamental fall by 60 dB in decaySeconds.
    const double target =
        decaySeconds > 0.0 ? std::pow(10.0, -3.0 / (decaySeconds * frequency)) : 0.5;
    // S = 0.5 is the classic average; a high note needs a gentler filter or it dies at once.
    // |H(w)|^2 = 1 - 2 S (1 - S) (1 - cos w); pick S so the filter alone loses no more than the
    // target allows.
    const double q = (1.0 - target * target) / (2.0 * (1.0 - std::cos(w)));
    const double stretch = q >= 0.25 ? 0.5 : (1.0 - std::sqrt(1.0 - 4.0 * q)) / 2.0;
    const double filterGain =
        std::sqrt(1.0 - 2.0 * stretch * (1.0 - stretch) * (1.0 - std::cos(w)));
    const double gain = std::min(1.0, target / filterGain);
    const double filterDelay =
        std::atan2(stretch * std::sin(w), 1.0 - stretch + stretch * std::cos(w)) / w;

    int delay = static_cast<int>(std::floor(period - filterDelay - 0.1));
    if (delay < 2) delay = 2;
    const double fraction = period - filterDelay - delay;
    // This coefficient gives the allpass exactly `fraction` samples of delay at the fundamental.
    const double c = std::sin(w * (1.0 - fraction) / 2.0) / std::sin(w * (1.0 + fraction) / 2.0);

    std::mt19937 gen(seed);
    std::vector<double> line(delay);
    for (double& v : line) v = uniform(gen);
    double previous = 0.0;  // last value leaving the delay line
    double apIn = 0.0;      // allpass input one sample back
    double apOut = 0.0;     // allpass output one sample back
    std::size_t head = 0;
    for (std::size_t i = 0; i < x.size(); ++i) {
        const double out = line[head];
        const double filtered = ((1.0 - stretch) * out + stretch * previous) * gain;
        previous = out;
        const double shifted = c * filtered + apIn - c * apOut;
        apIn = filtered;
        apOut = shifted;
        line[head] = shifted;
        head = head + 1 == line.size() ? 0 : head + 1;
        x[i] = static_cast<float>(out);
    }
    normalisePeak(x, amplitude);
    return x;
}

std::vector<float> stiffStringTone(const StiffString& s, double seconds, int rate,
                                   double amplitude) {
    const std::size_t count = sampleCountOf(seconds, rate);
    std::vector<double> sum(count, 0.0);
    for (int n = 1; n <= s.partials; ++n) {
        const double f = n * s.frequency * std::sqrt(1.0 + s.b * n * n);
        if (!(f < 0.5 * rate) ||
            std::find(s.missing.begin(), s.missing.end(), n) != s.missing.end())
            continue;
        // A rotating phasor in double: exact enough over minutes, far cheaper than sin per sample.
        const double w = kTwoPi * f / rate;
        const double decay = std::exp(-std::log(1000.0) * std::sqrt(n) / (s.decaySeconds * rate));
        const double rc = std::cos(w) * decay;
        const double rs = std::sin(w) * decay;
        // Spread phases keep the sum's peak, and so its scaling, unremarkable.
        double re = std::cos(0.7 * n * n) / n;
        double im = std::sin(0.7 * n * n) / n;
        for (std::size_t i = 0; i < count; ++i) {
            sum[i] += im;
            const double next = re * rc - im * rs;
            im = re * rs + im * rc;
            re = next;
        }
    }
    std::vector<float> x(sum.begin(), sum.end());
    normalisePeak(x, amplitude);
    return x;
}

double rmsDb(const std::vector<float>& x) {
    double power = 0.0;
    for (const float v : x) power += double{v} * v;
    return 10.0 * std::log10(power / static_cast<double>(std::max<std::size_t>(x.size(), 1)));
}

void addWhiteNoise(std::vector<float>& x, double db, std::uint32_t seed) {
    // A uniform variable on [-a, a] has an RMS of a / sqrt(3).
    const double a = std::pow(10.0, db / 20.0) * std::sqrt(3.0);
    std::mt19937 gen(seed);
    for (float& v : x) v = static_cast<float>(v + a * uniform(gen));
}

void addPinkNoise(std::vector<float>& x, int rate, double db, std::uint32_t seed) {
    // Octave-spaced first-order low passes of one white source, each weighted by the square
    // root of its corner: their sum falls at 3 dB per octave between the lowest and highest
    // corner.
    constexpr int kStages = 12;
    std::mt19937 gen(seed);
    std::vector<double> noise(x.size());
    double state[kStages] = {};
    double corner[kStages];
    for (int k = 0; k < kStages; ++k) {
        const double hz = std::min(10.0 * std::pow(2.0, k), 0.45 * rate);
        corner[k] = 1.0 - std::exp(-kTwoPi * hz / std::max(rate, 1));
    }
    double power = 0.0;
    for (double& v : noise) {
        const double w = uniform(gen);
        v = 0.0;
        for (int k = 0; k < kStages; ++k) {
            state[k] += corner[k] * (w - state[k]);
            v += state[k] / std::sqrt(corner[k]);
        }
        power += v * v;
    }
    if (noise.empty() || !(power > 0.0)) return;
    const double g =
        std::pow(10.0, db / 20.0) / std::sqrt(power / static_cast<double>(noise.size()));
    for (std::size_t i = 0; i < x.size(); ++i) x[i] = static_cast<float>(x[i] + g * noise[i]);
}

void addHum(std::vector<float>& x, int rate, double mainsHz, double db, int harmonics) {
    const double a = std::pow(10.0, db / 20.0);
    std::vector<Partial> partials;
    for (int k = 1; k <= harmonics; ++k) partials.push_back({k * mainsHz, a, 0.0});
    const std::vector<double> hum = partialSum(partials, rate, 0, x.size());
    for (std::size_t i = 0; i < x.size(); ++i) x[i] = static_cast<float>(x[i] + hum[i]);
}

void scaleDb(std::vector<float>& x, double db) {
    const double g = std::pow(10.0, db / 20.0);
    for (float& v : x) v = static_cast<float>(v * g);
}

std::vector<std::uint8_t> wavImage(const std::vector<float>& x, int rate, int bits) {
    const int width = bits == 8 ? 1 : 2;
    const auto dataBytes = static_cast<std::uint32_t>(x.size() * width);
    std::vector<std::uint8_t> out(kCanonicalHeaderBytes + static_cast<std::size_t>(dataBytes));
    std::uint8_t* p = out.data();
    writeCanonicalHeader(p, static_cast<std::uint32_t>(rate), width * 8, dataBytes);
    p += kCanonicalHeaderBytes;
    for (float v : x) {
        const double c = std::clamp(static_cast<double>(v), -1.0, 1.0);
        if (width == 1) {
            *p++ = static_cast<std::uint8_t>(std::lround(c * 127.0) + 128);
        } else {
            le::put16(p, static_cast<std::uint32_t>(std::lround(c * 32767.0)) & 0xFFFF);
            p += 2;
        }
    }
    return out;
}

bool writeWav(const std::string& path, const std::vector<float>& x, int rate, int bits,
              int* error) {
    const std::vector<std::uint8_t> image = wavImage(x, rate, bits);
    const int code = replaceFile(
        path, std::string_view(reinterpret_cast<const char*>(image.data()), image.size()));
    if (error != nullptr) *error = code;
    return code == 0;
}

}  // namespace merlop
