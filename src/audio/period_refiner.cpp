#include "audio/period_refiner.h"

#include <algorithm>
#include <cmath>
#include <cstddef>
#include <numbers>

namespace merlop {

namespace {

constexpr double kTwoPi = 2.0 * std::numbers::pi;

// Harmonics this far below the strongest one carry no phase worth reading.
constexpr double kWeakestHarmonic = 1.0e-4;

// Further than this from the found period the refinement has gone astray: the search is never
// that far off.
constexpr double kLargestCorrection = 0.01;

}  // namespace

PeriodRefiner::PeriodRefiner(int n) {
    // Segments are at most half a block long.
    if (n > 0) window_.resize(static_cast<std::size_t>(n / 2 + 1) * kMaxSegments);
}

// Segment 0 starts the block; the others start d, d/4, d/16 ... whole periods later, where d is
// as many as leave room for a segment after them.
bool PeriodRefiner::placeSegments(int n, double period, Segments* s) const {
    if (!(period > 2.0) || n < 4.0 * period) return false;
    int cycles = static_cast<int>(n / (3.0 * period));
    if (cycles < 2) cycles = static_cast<int>(n / (2.0 * period));
    s->length = static_cast<int>(std::lround(cycles * period)) - 1;
    int d = static_cast<int>((n - s->length) / period);
    while (d > 0 && std::lround(d * period) + s->length > n) --d;
    if (d < 1 || s->length < 2) return false;

    int baselines[kMaxSegments - 1] = {};
    int count = 0;
    for (int b = d; b >= 1 && count < kMaxSegments - 1; b /= 4) baselines[count++] = b;
    s->count = count + 1;
    s->start[0] = 0;
    for (int j = 0; j < count; ++j) {
        s->start[count - j] = static_cast<int>(std::lround(baselines[j] * period));
    }
    return static_cast<std::size_t>(kMaxSegments) * s->length <= window_.size();
}

// Windows every segment once into the work area, interleaved sample by sample, then runs the
// Goertzel recursions of four harmonics over all four segments together: sixteen independent
// chains the compiler can keep in vector registers.
void PeriodRefiner::measureHarmonics(const int* x, const Segments& s, double omega, int harmonics) {
    constexpr int kS = kMaxSegments;
    const int m = s.length;
    double* y = window_.data();
    // The Hann window of a segment, zero one sample before and after it, by rotation.
    const double step = kTwoPi / (m + 1);
    const double cs = std::cos(step), sn = std::sin(step);
    double c = cs, si = sn;
    for (int i = 0; i < m; ++i) {
        const double w = 0.5 - 0.5 * c;
        for (int j = 0; j < kS; ++j) y[i * kS + j] = j < s.count ? w * x[s.start[j] + i] : 0.0;
        const double next = c * cs - si * sn;
        si = si * cs + c * sn;
        c = next;
    }
    for (int k0 = 0; k0 < harmonics; k0 += kGroup) {
        double coef[kGroup];
        for (int h = 0; h < kGroup; ++h) coef[h] = 2.0 * std::cos((k0 + h + 1) * omega);
        double s1[kGroup][kS] = {}, s2[kGroup][kS] = {};
        for (int i = 0; i < m; ++i) {
            const double* yi = y + static_cast<std::ptrdiff_t>(i) * kS;
            for (int h = 0; h < kGroup; ++h) {
                for (int j = 0; j < kS; ++j) {
                    const double s0 = yi[j] + coef[h] * s1[h][j] - s2[h][j];
                    s2[h][j] = s1[h][j];
                    s1[h][j] = s0;
                }
            }
        }
        for (int h = 0; h < kGroup && k0 + h < harmonics; ++h) {
            const double wk = (k0 + h + 1) * omega;
            const double cw = std::cos(wk), sw = std::sin(wk);
            for (int j = 0; j < s.count; ++j) {
                re_[k0 + h][j] = s1[h][j] - cw * s2[h][j];
                im_[k0 + h][j] = sw * s2[h][j];
            }
        }
    }
}

// The change of omega that segment j's phase advance over segment 0 asks for. Each harmonic's
// reading is weighted by its energy times its number: white noise alone would ask for the square
// of the number, but that leans on the upper partials, which in a string are stretched and in a
// quiet block are the first to drown.
double PeriodRefiner::correction(const Segments& s, int segment, double omega,
                                 int harmonics) const {
    double strongest = 0.0;
    double energy[kMaxHarmonics] = {};
    for (int k = 0; k < harmonics; ++k) {
        energy[k] = std::hypot(re_[k][0], im_[k][0]) * std::hypot(re_[k][segment], im_[k][segment]);
        strongest = std::max(strongest, energy[k]);
    }
    if (!(strongest > 0.0)) return 0.0;
    const double baseline = s.start[segment];
    double num = 0.0, den = 0.0;
    for (int k = 0; k < harmonics; ++k) {
        if (energy[k] < kWeakestHarmonic * strongest) continue;
        const double h = k + 1.0;
        const double advance =
            std::atan2(im_[k][segment] * re_[k][0] - re_[k][segment] * im_[k][0],
                       re_[k][segment] * re_[k][0] + im_[k][segment] * im_[k][0]);
        const double miss = std::remainder(advance - h * omega * baseline, kTwoPi);
        num += energy[k] * miss;
        den += energy[k] * h;
    }
    return den > 0.0 ? num / (den * baseline) : 0.0;
}

double PeriodRefiner::refine(const int* x, int n, double period) {
    Segments s;
    if (x == nullptr || !std::isfinite(period) || !placeSegments(n, period, &s)) return period;
    const double omega0 = kTwoPi / period;
    // Harmonics up to 0.45 of the rate.
    const int harmonics = std::clamp(static_cast<int>(0.45 * period), 1, kMaxHarmonics);
    measureHarmonics(x, s, omega0, harmonics);
    double omega = omega0;
    for (int j = 1; j < s.count; ++j) omega += correction(s, j, omega, harmonics);
    if (!(std::fabs(omega / omega0 - 1.0) < kLargestCorrection)) return period;
    return kTwoPi / omega;
}

}  // namespace merlop
