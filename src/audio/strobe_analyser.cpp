#include "audio/strobe_analyser.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <complex>
#include <cstdlib>
#include <numbers>

#include "audio/capture_config.h"

namespace merlop {

namespace {

constexpr double kTwoPi = 2.0 * std::numbers::pi;

// Six periods of the target per segment put the neighbouring partials, a target's width away,
// six bins out: far in the window's stop band, while a partial off by a semitone stays in its
// main lobe. Half a segment between segments lets row 4 run a semitone off before its phase
// steps become ambiguous.
constexpr double kPeriodsPerSegment = 6.0;
constexpr int kShortestSegment = 16;
constexpr int kLongestSegment = 16384;
// Long enough that noise 20 dB down moves a low note by hundredths of a cent, short enough
// that a turned peg shows within a second.
constexpr double kFitSeconds = 1.0;
constexpr int kLeastSegments = 8;
constexpr int kMostFitted = 64;
// Phases further than this (rad, RMS) from their line are noise or a sliding pitch, not a tone.
constexpr double kMostResidual = 0.3;
// A partial 40 dB below the block's peak is distortion or noise, not the instrument's.
constexpr double kRelativeFloor = 0.01;
// Two targets this close are the same note.
constexpr double kSameTarget = 1e-9;

// Four-term Blackman-Harris: side lobes 92 dB down.
std::vector<double> segmentWindow(int length) {
    std::vector<double> w(static_cast<std::size_t>(length));
    const double step = kTwoPi / (length - 1);
    for (int i = 0; i < length; ++i) {
        const double a = step * i;
        w[static_cast<std::size_t>(i)] = 0.35875 - 0.48829 * std::cos(a) +
                                         0.14128 * std::cos(2.0 * a) - 0.01168 * std::cos(3.0 * a);
    }
    return w;
}

double sumOf(const std::vector<double>& v) {
    double s = 0.0;
    for (double x : v) s += x;
    return s;
}

}  // namespace

void StrobePartial::lock(double frequency, double rate, const std::vector<double>& window) {
    segments_.clear();
    rate_ = rate;
    frequency_ = frequency < rate * kHighestAnalysedFraction ? frequency : 0.0;
    windowSum_ = sumOf(window);
    oscillator_.assign(2 * window.size(), 0.0);
    if (frequency_ <= 0.0) return;
    // The oscillator by rotation: a cosine per sample would cost more than the segments of a
    // whole block.
    const double w = kTwoPi * frequency_ / rate_;
    const std::complex<double> turn(std::cos(w), -std::sin(w));
    std::complex<double> osc(1.0, 0.0);
    for (std::size_t i = 0; i < window.size(); ++i) {
        oscillator_[2 * i] = window[i] * osc.real();
        oscillator_[2 * i + 1] = window[i] * osc.imag();
        osc *= turn;
        if ((i & 255U) == 255U) osc /= std::abs(osc);
    }
}

void StrobePartial::addSegment(const double* x, long long start) {
    if (frequency_ <= 0.0) return;
    const std::size_t n = oscillator_.size() / 2;
    // Real and imaginary part side by side, times one sample: a pair the compiler keeps in one
    // vector register, four pairs summed independently so that no sum waits on the last.
    std::array<double, 8> acc{};
    const double* t = oscillator_.data();
    std::size_t k = 0;
    for (; k + 3 < n; k += 4, t += 8) {
        for (std::size_t c = 0; c < 8; ++c) acc[c] += x[k + c / 2] * t[c];
    }
    for (; k < n; ++k, t += 2) {
        acc[0] += x[k] * t[0];
        acc[1] += x[k] * t[1];
    }
    const double re = (acc[0] + acc[2]) + (acc[4] + acc[6]);
    const double im = (acc[1] + acc[3]) + (acc[5] + acc[7]);
    // The reference oscillator's phase at the segment's first sample, in exact turns.
    const double cycles = frequency_ * static_cast<double>(start) / rate_;
    const double reference = kTwoPi * (cycles - std::floor(cycles));
    double phase = std::atan2(im, re) - reference;
    if (!segments_.empty()) {
        const double last = segments_.back().phase;
        const double step = phase - last;
        phase = last + step - kTwoPi * std::floor(step / kTwoPi + 0.5);
    }
    const double centre = (static_cast<double>(start) + 0.5 * static_cast<double>(n - 1)) / rate_;
    segments_.push_back({centre, phase, 2.0 * std::hypot(re, im) / windowSum_});
}

void StrobePartial::keepNewest(std::size_t count) {
    if (segments_.size() > count) {
        segments_.erase(segments_.begin(), segments_.end() - static_cast<std::ptrdiff_t>(count));
    }
}

bool StrobePartial::fit(int count, int least, double* slope, double* phaseAt, double at) const {
    const auto m = static_cast<int>(std::min<std::size_t>(segments_.size(), count));
    if (m < least || m < 2) return false;
    // Overlapping segments share their noise: beyond kMostFitted of them, every stride-th
    // (the newest always) tells as much for less work.
    const std::ptrdiff_t stride = (m + kMostFitted - 1) / kMostFitted;
    const std::ptrdiff_t used = (m - 1) / stride + 1;
    const Segment* last = &segments_.back();
    double meanT = 0.0, meanP = 0.0;
    for (std::ptrdiff_t j = 0; j < used; ++j) {
        meanT += last[-j * stride].time;
        meanP += last[-j * stride].phase;
    }
    meanT /= static_cast<double>(used);
    meanP /= static_cast<double>(used);
    double stt = 0.0, stp = 0.0;
    for (std::ptrdiff_t j = 0; j < used; ++j) {
        const Segment& s = last[-j * stride];
        stt += (s.time - meanT) * (s.time - meanT);
        stp += (s.time - meanT) * (s.phase - meanP);
    }
    if (!(stt > 0.0)) return false;
    const double b = stp / stt;
    double residual = 0.0;
    for (std::ptrdiff_t j = 0; j < used; ++j) {
        const Segment& s = last[-j * stride];
        const double e = s.phase - meanP - b * (s.time - meanT);
        residual += e * e;
    }
    if (!(std::sqrt(residual / static_cast<double>(used)) <= kMostResidual)) return false;
    *slope = b;
    *phaseAt = meanP + b * (at - meanT);
    return true;
}

StrobeAnalyser::StrobeAnalyser(const StrobeParams& params) : params_(params) {
    // The spectrum's bins hold half a sine's amplitude times the window's mean, in dB above
    // its reference level.
    const double windowMean = params.hammingWindow != 0 ? 0.54 : 1.0;
    const double referenceDb = 20.0 * std::log10(std::pow(2.0, params.sampleBits)) - 30.0;
    minAmplitude_ = 2.0 * std::pow(10.0, (params.sensitivityDb + referenceDb) / 20.0) / windowMean;
    for (int r = 0; r < kRows; ++r) rows_[r].partial = kPartials[r];
}

void StrobeAnalyser::reset() {
    target_ = 0.0;
    for (int r = 0; r < kRows; ++r) rest(r, true);
}

void StrobeAnalyser::rest(int r, bool forget) {
    rows_[r].resting = true;
    rows_[r].cents = 0.0;
    rows_[r].rate = 0.0;
    if (forget) partials_[r].clear();
}

void StrobeAnalyser::lock(double targetHz) {
    target_ = targetHz;
    const double periods = kPeriodsPerSegment * params_.effectiveRate / targetHz;
    const int length =
        static_cast<int>(std::clamp(std::lround(periods), static_cast<long>(kShortestSegment),
                                    static_cast<long>(kLongestSegment)));
    window_ = segmentWindow(length);
    hop_ = length / 2;
    buffer_.clear();
    bufferStart_ = 0;
    nextSegment_ = 0;
    heard_ = 0;
    for (int r = 0; r < kRows; ++r) {
        partials_[r].lock(kPartials[r] * targetHz, params_.effectiveRate, window_);
        rest(r, true);
    }
}

void StrobeAnalyser::append(const int* samples, int n) {
    buffer_.insert(buffer_.end(), samples, samples + n);
    heard_ += n;
}

void StrobeAnalyser::segmentBuffer() {
    const auto length = static_cast<long long>(window_.size());
    const long long end = bufferStart_ + static_cast<long long>(buffer_.size());
    for (; nextSegment_ + length <= end; nextSegment_ += hop_) {
        const double* x = buffer_.data() + (nextSegment_ - bufferStart_);
        for (StrobePartial& p : partials_) p.addSegment(x, nextSegment_);
    }
    const long long drop = std::min(nextSegment_, end) - bufferStart_;
    buffer_.erase(buffer_.begin(), buffer_.begin() + static_cast<std::ptrdiff_t>(drop));
    bufferStart_ += drop;
}

void StrobeAnalyser::judgeRow(int r, double peak) {
    StrobePartial& p = partials_[r];
    const auto& segments = p.segments();
    if (!p.audible() || segments.empty()) {
        rest(r, false);
        return;
    }
    // The partial as it sounds at the end of the block.
    const double amplitude = segments.back().amplitude;
    if (amplitude < minAmplitude_ || amplitude < kRelativeFloor * peak) {
        rest(r, true);
        return;
    }
    const double rate = params_.effectiveRate;
    const int span =
        std::max(kLeastSegments, static_cast<int>(std::ceil(kFitSeconds * rate / hop_)));
    const double end = static_cast<double>(heard_) / rate;
    double slope = 0.0, phase = 0.0;
    // The whole span, else its newest part: a pitch that slides or has just settled.
    if (!p.fit(span, kLeastSegments, &slope, &phase, end) &&
        !p.fit(kLeastSegments, kLeastSegments, &slope, &phase, end)) {
        rest(r, false);
        p.keepNewest(kLeastSegments - 1);
        return;
    }
    p.keepNewest(static_cast<std::size_t>(span));
    StrobeRow& row = rows_[r];
    const double drift = slope / kTwoPi;  // Hz off the partial frequency
    const double turns = phase / kTwoPi;
    if (row.resting) phaseOffset_[r] = row.phase - turns;
    row.resting = false;
    row.cents = 1200.0 * std::log2((p.frequency() + drift) / p.frequency());
    row.rate = drift;
    row.phase = phaseOffset_[r] + turns;
}

void StrobeAnalyser::analyse(const int* samples, int n, double targetHz) {
    if (!(targetHz > 0.0 && std::isfinite(targetHz)) || !(params_.effectiveRate > 0.0f) ||
        samples == nullptr || n <= 0) {
        reset();
        return;
    }
    if (std::fabs(targetHz - target_) > kSameTarget * targetHz) lock(targetHz);
    append(samples, n);
    segmentBuffer();
    int peak = 0;
    for (int i = 0; i < n; ++i) peak = std::max(peak, std::abs(samples[i]));
    for (int r = 0; r < kRows; ++r) judgeRow(r, peak);
}

}  // namespace merlop
