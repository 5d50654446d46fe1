#include "audio/spectrum_analyser.h"

#include <algorithm>
#include <climits>
#include <cmath>
#include <cstddef>
#include <new>
#include <numbers>

#include "audio/cycle_analyser.h"

namespace merlop {

namespace {

// Analogue weighting curves; only their ratio to the value at 1 kHz is used.
double weightingCurve(int type, double f) {
    const double s = f * f;
    const double upper = 12200.0 * 12200.0;
    const double low = 424.3600157165529;  // 20.6 Hz pole
    switch (type) {
        case 1:
            return std::pow(12200.0, 4) * s * s /
                   (std::sqrt(s + 544496.446030274) * std::sqrt(s + 11599.289342651377) *
                    (s + upper) * (s + low));
        case 2:
            return std::pow(12200.0, 3) * f * s /
                   (std::sqrt(s + 25122.25) * (s + upper) * (s + low));
        case 3:
            return upper * s / ((s + upper) * (s + low));
        default:
            return 1.0;
    }
}

int truncToInt(double v) {
    if (!(v > INT_MIN)) return INT_MIN;
    if (!(v < INT_MAX)) return INT_MAX;
    return static_cast<int>(std::trunc(v));
}

// Multiplies spectrum index c of a 1-based packed transform (data[2c - 1], data[2c]) by g.
void scaleBin(float* data, int c, double g) {
    float* bin = data + std::ptrdiff_t{2} * c - 1;
    bin[0] = static_cast<float>(bin[0] * g);
    bin[1] = static_cast<float>(bin[1] * g);
}

// The cepstral lag of the fundamental among the found peaks (ascending lags) of cep, whose
// highest is at top; 0 when the harmonics do not confirm one.
int fundamentalLag(const int* cep, const int* peaks, int found, int top) {
    const int strong = truncToInt(0.8 * cep[top]);

    // The highest peak may sit at a multiple of the period: look for a strong peak at a whole
    // fraction of its lag.
    int h = 1;
    int b = top;
    int next = 1;
    for (int i = 0; i < found && peaks[i] < top; ++i) {
        next = i + 1;
        const int lag = peaks[i];
        if (cep[lag] <= strong) continue;
        h = harmonicIndex(top, lag);
        if (h > 1) {
            b = lag;
            break;
        }
    }
    // Confirm with strong peaks at 2b, 3b, ... up to the highest one.
    int wanted = 2;
    long long limit = 3LL * b;
    for (int i = next; i < found && peaks[i] <= limit; ++i) {
        const int lag = peaks[i];
        if (cep[lag] > strong && harmonicIndex(lag, b) == wanted) {
            if (wanted == h + 1) break;
            ++wanted;
            limit += b;
        }
    }
    if (wanted != h + 1 || b <= 0) return 0;
    return b;
}

}  // namespace

SpectrumAnalyser::SpectrumAnalyser(const SpectrumParams& params)
    : sampleBits_(params.sampleBits),
      effectiveRate_(params.effectiveRate),
      threshold_(params.sensitivityDb),
      baseThreshold_(params.sensitivityDb),
      maxLevel_(params.sensitivityDb),
      freqLow_(static_cast<unsigned>(std::max(params.analysisLowHz, 0))),
      freqHigh_(static_cast<unsigned>(std::max(params.analysisHighHz, 0))),
      rangeLowHz_(params.freqLowHz),
      rangeHighHz_(params.freqHighHz),
      humFrequency_(params.humFrequency),
      hamming_(params.hammingWindow),
      weightingType_(params.weighting) {
    referenceLevel_ = static_cast<float>(20.0 * std::log10(std::pow(2.0, sampleBits_)) - 30.0);
    for (int k = 0; k < kHumHarmonics; ++k) {
        humLevel_[k] = truncToInt(threshold_);
        humIndex_[k] = 0;
    }

    // Largest power of two not above N. Blocks of a few samples are valid: their band is empty,
    // so they read as silence.
    long long size = 1;
    while (params.analysisLength >= size) size *= 2;
    size /= 2;
    if (size < 1 || !(effectiveRate_ > 0.0f) || !std::isfinite(effectiveRate_)) {
        makeUnusable();
        return;
    }
    const unsigned n = static_cast<unsigned>(size);
    binWidth_ = static_cast<float>(static_cast<double>(effectiveRate_) / n);

    const double loEdge = std::trunc(static_cast<double>(freqLow_) / binWidth_ + 0.5);
    loBin_ = static_cast<unsigned>(std::clamp(loEdge, 2.0, std::max(2.0, static_cast<double>(n))));
    double hiEdge = std::trunc(static_cast<double>(freqHigh_) / binWidth_ + 1.0);
    if (hiEdge <= loBin_) hiEdge = loBin_ + 1.0;
    const unsigned lastBin = n / 2;
    hiBin_ = static_cast<unsigned>(std::min(hiEdge, static_cast<double>(lastBin)));

    try {
        fft_ = RealFft(n);
        work_.assign(n + 1, threshold_);
        shapeWork_.assign(n + 1, 0.0f);
        cepstrum_.assign(n + 1, 0.0f);
        ints_.assign(n, 0);
        peaks_.assign(n, 0);
        weight_.assign(n / 2 + 1, 1.0f);
        if (hamming_ != 0) window_.resize(n);
    } catch (const std::bad_alloc&) {
        makeUnusable();
        return;
    }
    if (!fft_.usable()) {
        makeUnusable();
        return;
    }
    fftSize_ = n;

    // A Hamming window centred on the block; computed once, it was a fifth of the per-block cost.
    const double a0 = 0.54f, a1 = 0.46f;
    const double half = static_cast<unsigned>(n / 2);
    for (unsigned i = 0; i < window_.size(); ++i) {
        window_[i] = a0 + a1 * std::cos((i - half) * 2.0 * std::numbers::pi / n);
    }

    if (weightingType_ >= 1 && weightingType_ <= 3) {
        const double reference = weightingCurve(weightingType_, 1000.0);
        // Each index is weighted at the frequency it stands for.
        for (unsigned i = loBin_; i <= hiBin_; ++i) {
            const double ratio = weightingCurve(weightingType_, (i - 1.0) * binWidth_) / reference;
            weight_[i] = static_cast<float>(ratio * ratio);
        }
    }
}

void SpectrumAnalyser::makeUnusable() {
    fftSize_ = 0;
    loBin_ = 0;
    hiBin_ = 0;
    fft_ = RealFft(0);
    work_.clear();
    shapeWork_.clear();
    cepstrum_.clear();
    ints_.clear();
    peaks_.clear();
    weight_.clear();
    window_.clear();
}

void SpectrumAnalyser::computeSpectrum(const int* samples) {
    if (fftSize_ == 0 || samples == nullptr) return;
    threshold_ = baseThreshold_;
    const unsigned n = fftSize_;
    float* data = work_.data() + 1;
    if (!window_.empty()) {
        for (unsigned i = 0; i < n; ++i) data[i] = static_cast<float>(samples[i] * window_[i]);
    } else {
        for (unsigned i = 0; i < n; ++i) data[i] = static_cast<float>(samples[i]);
    }
    fft_.forward(data);

    maxLevel_ = threshold_;
    const double floorPower =
        std::pow(10.0, (static_cast<double>(threshold_) + referenceLevel_) * 0.1);
    // In place: level[i] is written after bin i - 1, at level[2i - 1] and level[2i], is read.
    float* level = work_.data();
    for (std::size_t i = 1; i <= n / 2; ++i) {
        double value = threshold_;
        if (i <= hiBin_) {
            const double re = level[2 * i - 1];
            const double im = level[2 * i];
            double power = re * re + im * im;
            if (weightingType_ > 0) power *= weight_[i];
            if (power >= floorPower) value = 10.0 * std::log10(power) - referenceLevel_;
        }
        const float stored = static_cast<float>(value);
        if (i >= loBin_ && stored > maxLevel_) maxLevel_ = stored;
        level[i] = stored;
    }
    level[0] = threshold_;
}

void SpectrumAnalyser::setThreshold(float db) {
    threshold_ = db;
    maxLevel_ = db;
    if (fftSize_ == 0) return;
    float* level = work_.data();
    level[0] = db;
    for (unsigned i = 1; i <= fftSize_ / 2; ++i) {
        level[i] = std::max(level[i], db);
        if (i >= loBin_ && level[i] > maxLevel_) maxLevel_ = level[i];
    }
}

void SpectrumAnalyser::keepShown(float floorDb) {
    if (fftSize_ == 0) return;
    shown_.resize(fftSize_ / 2 + 1);
    shown_[0] = floorDb;
    for (unsigned i = 1; i <= fftSize_ / 2; ++i) shown_[i] = std::max(work_[i], floorDb);
}

void SpectrumAnalyser::detectHum() {
    detectedHumFrequency_ = -1;
    for (int k = 0; k < kHumHarmonics; ++k) {
        humLevel_[k] = truncToInt(threshold_);
        humIndex_[k] = 0;
    }
    if (fftSize_ == 0) return;

    const int h = humFrequency_;
    auto expected = [&](int k) {
        return truncToInt(std::floor(static_cast<double>(k) * h / binWidth_ + 0.5) + 1.0);
    };
    // Indexes covering 0..300 Hz, and far enough for a turn one index past the fifth harmonic
    // (at 60 Hz that harmonic sits right at 300 Hz); never past the spectrum.
    const double wanted =
        std::max(std::trunc(300.0 / binWidth_ + 1.0), expected(kHumHarmonics) + 3.0);
    const unsigned bins = fftSize_ / 2 + 1;
    const int m = static_cast<int>(std::min(wanted, static_cast<double>(bins)));
    const float* level = work_.data();
    ints_[0] = truncToInt(threshold_);
    for (int i = 1; i < m; ++i) ints_[i] = truncToInt(level[i] * 100.0);
    int found = 0, lowest = 0, highest = 0, highestPos = 0;
    findExtrema(1, 0, ints_.data(), m, peaks_.data(), &found, &lowest, &highest, &highestPos);

    const int first = expected(1);
    for (int p = 0; p < found; ++p) {
        if (std::abs(peaks_[p] - first) < 2) {
            humIndex_[0] = peaks_[p];
            humLevel_[0] = truncToInt(level[peaks_[p]]);
        }
    }
    if (humIndex_[0] == 0) return;
    detectedHumFrequency_ = h;
    for (int k = 2; k <= kHumHarmonics; ++k) {
        const int e = expected(k);
        for (int p = 0; p < found; ++p) {
            if (std::abs(peaks_[p] - e) < 2) {
                humIndex_[k - 1] = peaks_[p];
                humLevel_[k - 1] = truncToInt(level[peaks_[p]]);
                break;
            }
        }
    }
}

// Packed layout: [0] DC, [1] Nyquist, then re/im pairs holding the in-band levels above the
// threshold as real values.
void SpectrumAnalyser::fillCepstrumInput(float* packed) const {
    const unsigned n = fftSize_;
    const float* level = work_.data();
    packed[0] = 0.0f;
    packed[1] = 0.0f;
    for (std::size_t k = 2; k <= n / 2; ++k) {
        const double diff = static_cast<double>(level[k]) - threshold_;
        const bool inBand = k >= loBin_ && k < hiBin_;
        packed[2 * (k - 1)] = inBand && diff >= 0.0 ? static_cast<float>(diff) : 0.0f;
        packed[2 * (k - 1) + 1] = 0.0f;
    }
}

// Found hum lines would own the cepstrum: clears them out of it. False when nothing but hum is
// left.
bool SpectrumAnalyser::removeHumLines(float* packed) const {
    const unsigned n = fftSize_;
    for (int k = 0; k < kHumHarmonics; ++k) {
        const int centre = humIndex_[k];
        if (centre <= 0) continue;
        for (int c = centre - 1; c <= centre + 1; ++c) {
            if (c >= 2 && c <= static_cast<int>(n / 2)) packed[std::ptrdiff_t{2} * (c - 1)] = 0.0f;
        }
    }
    // What is left next to a removed line is the skirt of the windowed hum; if nothing else is
    // left, the block holds hum alone and there is nothing to read.
    bool somethingElse = false;
    for (std::size_t k = 2; k <= n / 2 && !somethingElse; ++k) {
        if (packed[2 * (k - 1)] <= 0.0f) continue;
        somethingElse = true;
        for (int h = 0; h < kHumHarmonics; ++h) {
            if (humIndex_[h] > 0 && std::abs(static_cast<int>(k) - humIndex_[h]) <= 2) {
                somethingElse = false;
                break;
            }
        }
    }
    return somethingElse;
}

void SpectrumAnalyser::coarseFrequency(int humFilter, float* frequency) {
    *frequency = -1.0f;
    // Fewer than four samples leave no index inside the band to take a cepstrum of.
    if (fftSize_ < 4) return;
    if (!(maxLevel_ > threshold_)) return;

    detectedHumFrequency_ = -1;
    if (humFilter != 0) detectHum();

    const unsigned n = fftSize_;
    float* packed = cepstrum_.data() + 1;
    fillCepstrumInput(packed);
    if (humFilter != 0 && detectedHumFrequency_ > 0 && !removeHumLines(packed)) return;
    fft_.inverse(packed);
    int* cep = ints_.data();
    for (unsigned j = 0; j < n; ++j) cep[j] = truncToInt(packed[j]);

    int found = 0, lowest = 0, highest = 0, top = 0;
    findExtrema(1, 0, cep, static_cast<int>(n / 4), peaks_.data(), &found, &lowest, &highest, &top);
    if (found == 0 || cep[top] <= 1) return;
    const int b = fundamentalLag(cep, peaks_.data(), found, top);
    if (b <= 0) return;

    const float f = static_cast<float>(static_cast<double>(effectiveRate_) / b);
    if (f < rangeLowHz_ || f > rangeHighHz_) return;
    if (std::fabs(static_cast<double>(f) - detectedHumFrequency_) <= 3.0) return;
    *frequency = f;
}

// Lowers the found hum lines and their skirts, each by its level above the threshold, no
// less for a higher harmonic; `data` as in shapeAroundFrequency.
void SpectrumAnalyser::notchHum(float* data, int half) const {
    const double bw = binWidth_;
    const double g0 =
        std::pow(10.0, -std::min(20.0, humLevel_[0] - static_cast<double>(threshold_)) / 20.0);
    const int w = truncToInt(10.0 / bw);
    for (int k = 0; k < kHumHarmonics; ++k) {
        if (!(humLevel_[k] > threshold_)) continue;
        const double depth = (1.0 - g0) * k * 0.2 + g0;
        const double gain = std::min(
            depth,
            std::pow(10.0, -std::min(20.0, humLevel_[k] - static_cast<double>(threshold_)) / 20.0));
        const double centreEdge = std::floor((k + 1.0) * detectedHumFrequency_ / bw + 0.5) + 1.0;
        if (centreEdge > half + static_cast<double>(w)) continue;
        const int centre = static_cast<int>(centreEdge);
        // Only indexes inside the band matter: the rest is zeroed below.
        const int from = std::max(centre - w, 1);
        const int to = std::min({centre + w, static_cast<int>(hiBin_), half});
        for (int c = from; c <= to; ++c) {
            scaleBin(data, c, (1.0 - gain) * std::abs(c - centre) / (w + 1.0) + gain);
        }
    }
}

void SpectrumAnalyser::shapeAroundFrequency(float frequency, int n, const int* in, int* out) {
    if (fftSize_ == 0 || n != static_cast<int>(fftSize_) || in == nullptr || out == nullptr) return;
    if (!(frequency > 0.0f) || !std::isfinite(frequency)) return;
    if (n == 1) {
        out[0] = 0;  // a lone sample is all DC, which lies outside every band
        return;
    }
    float* data = shapeWork_.data();  // 1-based: index c at data[2c - 1], data[2c]
    for (int i = 0; i < n; ++i) data[i + 1] = static_cast<float>(in[i]);
    fft_.forward(data + 1);

    const int half = n / 2;
    const double bw = binWidth_;
    if (detectedHumFrequency_ > 0) notchHum(data, half);

    const double lo = std::trunc(1.5 * frequency / bw);
    const double hi = std::trunc(6.0 * frequency / bw);
    const double floorGain = std::pow(10.0, -(static_cast<double>(maxLevel_) - threshold_) / 20.0);
    for (int c = 1; c <= half; ++c) {
        if (c < static_cast<int>(loBin_) || c > static_cast<int>(hiBin_)) {
            scaleBin(data, c, 0.0);
        } else if (c <= lo) {
            // kept
        } else if (c <= hi) {
            scaleBin(data, c, 1.0 - (c - lo) / (hi - lo + 1.0) * (1.0 - floorGain));
        } else {
            scaleBin(data, c, floorGain);
        }
    }

    fft_.inverse(data + 1);
    for (int i = 0; i < n; ++i) {
        out[i] = truncToInt(std::floor(static_cast<double>(data[i + 1]) + 0.5));
    }
}

}  // namespace merlop
