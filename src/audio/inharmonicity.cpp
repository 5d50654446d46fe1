#include "audio/inharmonicity.h"

#include <algorithm>
#include <cmath>
#include <cstddef>
#include <numbers>

#include "audio/real_fft.h"
#include "common/translation.h"

namespace merlop {

namespace {

constexpr double kTwoPi = 2.0 * std::numbers::pi;
constexpr double kCentsPerLn = 1200.0 / std::numbers::ln2;
// Zero padding of the search spectrum: peaks a quarter of a natural bin apart stay apart.
constexpr std::size_t kPadding = 4;
// A partial must stand this far above the spectrum's median around it (14 dB; noise alone passes
// it about once in 3e7 bins) ...
constexpr double kFloorRatio = 5.0;
// ... and no more than 80 dB below the strongest partial: below that a clean tone's leakage lies.
constexpr double kDynamicRange = 1.0e-4;
// Partials that fall faster than this (about 100 dB over the sustain) are weighted as if they
// did not.
constexpr double kMaxDecay = 12.0;
// The raised-cosine ends of the refining window, as a fraction of the sustain.
constexpr double kTaper = 0.25;
// A fitted partial further than this from the fit is taken for something else and dropped.
constexpr double kOutlierCents = 5.0;

double predicted(int n, double f0, double b) {
    return n * f0 * std::sqrt(1.0 + std::clamp(b, 0.0, kMaxInharmonicity) * n * n);
}

// The analysed stretch: the hammer's first instant left out, the decay kept.
struct Segment {
    std::size_t start = 0;
    std::size_t length = 0;
};

Segment sustainOf(const std::vector<float>& x, int rate, double maxSeconds) {
    const std::size_t frame = std::max<std::size_t>(1, static_cast<std::size_t>(rate / 100));
    std::size_t loudest = 0;
    double most = -1.0;
    for (std::size_t at = 0; at + frame <= x.size(); at += frame) {
        double energy = 0.0;
        for (std::size_t j = at; j < at + frame; ++j) energy += double{x[j]} * x[j];
        if (energy > most) {
            most = energy;
            loudest = at;
        }
    }
    Segment s;
    s.start = std::min(x.size(), loudest + frame);
    const auto most_samples = static_cast<std::size_t>(std::max(0.0, maxSeconds) * rate);
    s.length = std::min(x.size() - s.start, most_samples);
    return s;
}

// The Hann-windowed sustain and its zero-padded magnitude spectrum.
struct Spectrum {
    std::vector<double> samples;  // the sustain itself
    std::vector<double> windowed;
    std::vector<float> magnitude;  // bins 0 .. size/2 - 1
    double binHz = 0.0;
    double rate = 0.0;
    double windowSum = 0.0;
};

Spectrum spectrumOf(const std::vector<float>& x, const Segment& s, int rate) {
    Spectrum sp;
    sp.rate = rate;
    sp.samples.assign(x.begin() + static_cast<std::ptrdiff_t>(s.start),
                      x.begin() + static_cast<std::ptrdiff_t>(s.start + s.length));
    sp.windowed.resize(s.length);
    for (std::size_t j = 0; j < s.length; ++j) {
        const double w = 0.5 - 0.5 * std::cos(kTwoPi * (j + 0.5) / s.length);
        sp.windowed[j] = w * x[s.start + j];
        sp.windowSum += w;
    }
    unsigned n = 1;
    while (n < kPadding * s.length) n *= 2;
    std::vector<float> data(n, 0.0f);
    for (std::size_t j = 0; j < s.length; ++j) data[j] = static_cast<float>(sp.windowed[j]);
    RealFft(n).forward(data.data());
    sp.magnitude.assign(n / 2, 0.0f);
    for (std::size_t k = 1; k < n / 2; ++k)
        sp.magnitude[k] = std::hypot(data[2 * k], data[2 * k + 1]);
    sp.binHz = static_cast<double>(rate) / n;
    return sp;
}

// |sum x_j e^(-i 2 pi f j / rate)| over x, in double throughout.
double dtftMagnitude(const std::vector<double>& x, double rate, double hz) {
    const double step = -kTwoPi * hz / rate;
    const double c = std::cos(step);
    const double s = std::sin(step);
    double pr = 1.0;
    double pi = 0.0;
    double re = 0.0;
    double im = 0.0;
    for (const double v : x) {
        re += v * pr;
        im += v * pi;
        const double next = pr * c - pi * s;
        pi = pr * s + pi * c;
        pr = next;
    }
    return std::hypot(re, im);
}

double dtftMagnitude(const Spectrum& sp, double hz) {
    return dtftMagnitude(sp.windowed, sp.rate, hz);
}

// How many nepers a partial near hz falls over the sustain: from its level in the two halves.
// Noise in a faint half only makes it seem to fall less.
double decayOf(const Spectrum& sp, double hz) {
    const std::size_t half = sp.samples.size() / 2;
    std::vector<double> a(half);
    std::vector<double> b(half);
    for (std::size_t j = 0; j < half; ++j) {
        const double w = 0.5 - 0.5 * std::cos(kTwoPi * (j + 0.5) / half);
        a[j] = w * sp.samples[j];
        b[j] = w * sp.samples[half + j];
    }
    const double first = dtftMagnitude(a, sp.rate, hz);
    const double second = dtftMagnitude(b, sp.rate, hz);
    if (!(first > 0.0 && second > 0.0)) return 0.0;
    return std::clamp(2.0 * std::log(first / second), 0.0, kMaxDecay);
}

// The sustain weighted by the partial's own envelope, which is what a matched estimate weights
// it by, with short raised-cosine ends against leakage. Any real window leaves the magnitude
// even about the partial's frequency.
std::vector<double> matchedWindow(const Spectrum& sp, double nepers) {
    const std::size_t n = sp.samples.size();
    std::vector<double> out(n);
    for (std::size_t j = 0; j < n; ++j) {
        const double u = (j + 0.5) / n;
        const double edge = std::min(u, 1.0 - u) / (0.5 * kTaper);
        const double taper = edge >= 1.0 ? 1.0 : 0.5 - 0.5 * std::cos(std::numbers::pi * edge);
        out[j] = taper * std::exp(-nepers * u) * sp.samples[j];
    }
    return out;
}

// A decaying sinusoid's windowed spectrum has an even magnitude about its frequency, so
// parabolas through points placed evenly about the estimate have it as their fixed point.
double refinePeak(const Spectrum& sp, double hz) {
    const std::vector<double> x = matchedWindow(sp, decayOf(sp, hz));
    const double h = 0.1 * sp.rate / static_cast<double>(x.size());
    for (int i = 0; i < 8; ++i) {
        const double lo = dtftMagnitude(x, sp.rate, hz - h);
        const double mid = dtftMagnitude(x, sp.rate, hz);
        const double hi = dtftMagnitude(x, sp.rate, hz + h);
        const double curve = lo - 2.0 * mid + hi;
        if (!(curve < 0.0)) break;
        const double offset = std::clamp(0.5 * h * (lo - hi) / curve, -2.0 * h, 2.0 * h);
        hz += offset;
        if (std::abs(offset) < 1.0e-7 * h) break;
    }
    return hz;
}

struct Peak {
    bool found = false;
    double frequency = 0.0;
    double amplitude = 0.0;
};

double medianMagnitude(const Spectrum& sp, std::size_t lo, std::size_t hi) {
    std::vector<float> band(sp.magnitude.begin() + static_cast<std::ptrdiff_t>(lo),
                            sp.magnitude.begin() + static_cast<std::ptrdiff_t>(hi));
    if (band.empty()) return 0.0;
    auto mid = band.begin() + static_cast<std::ptrdiff_t>(band.size() / 2);
    std::nth_element(band.begin(), mid, band.end());
    return *mid;
}

// The strongest true peak (not a slope at the band's edge) between lo and hi Hz that stands
// above the floor measured over the surrounding `around` Hz either side, and above `least`.
Peak findPeak(const Spectrum& sp, double lo, double hi, double around, double least) {
    const std::size_t bins = sp.magnitude.size();
    const auto bin = [&](double hz) {
        return static_cast<std::size_t>(std::clamp(hz / sp.binHz, 1.0, bins - 2.0));
    };
    const std::size_t a = bin(lo);
    const std::size_t b = bin(hi);
    std::size_t best = 0;
    for (std::size_t k = std::max<std::size_t>(a, 1); k <= b && k + 1 < bins; ++k) {
        const float m = sp.magnitude[k];
        if (m > sp.magnitude[k - 1] && m >= sp.magnitude[k + 1] &&
            (best == 0 || m > sp.magnitude[best]))
            best = k;
    }
    Peak p;
    if (best == 0) return p;
    const double centre = best * sp.binHz;
    const double floor = medianMagnitude(sp, bin(centre - around), bin(centre + around));
    const double m = sp.magnitude[best];
    if (m < kFloorRatio * floor || m < least) return p;
    p.found = true;
    p.frequency = refinePeak(sp, centre);
    p.amplitude = 2.0 * dtftMagnitude(sp, p.frequency) / sp.windowSum;
    return p;
}

// The key whose first partials carry the most: a compressed harmonic sum over the 88 keys.
double findNominal(const Spectrum& sp) {
    const double nyquist = sp.rate / 2.0;
    const double semitone = std::pow(2.0, 1.0 / 12.0);
    double bestScore = 0.0;
    double bestHz = 0.0;
    for (int key = 0; key < 88; ++key) {
        const double f = 27.5 * std::pow(semitone, key);
        double score = 0.0;
        for (int n = 1; n <= 8; ++n) {
            const double lo = n * f / std::sqrt(semitone);
            const double hi = n * f * std::sqrt(semitone) * std::sqrt(1.0 + 0.005 * n * n);
            if (hi >= nyquist) break;
            const auto a = static_cast<std::size_t>(lo / sp.binHz);
            const auto b = static_cast<std::size_t>(hi / sp.binHz);
            float most = 0.0f;
            for (std::size_t k = a; k <= b && k < sp.magnitude.size(); ++k)
                most = std::max(most, sp.magnitude[k]);
            score += std::sqrt(most);
        }
        if (score > bestScore) {
            bestScore = score;
            bestHz = f;
        }
    }
    return bestHz;
}

// Walks up the partials, each looked for where the fit of those found so far puts it.
std::vector<InharmonicPartial> trackPartials(const Spectrum& sp, double nominal, int most) {
    std::vector<InharmonicPartial> found;
    const double semitone = std::pow(2.0, 1.0 / 12.0);
    double f0 = nominal;
    double b = 0.0;
    double strongest = 0.0;
    for (int n = 1; n <= most; ++n) {
        double lo = 0.0;
        double hi = 0.0;
        const double at = predicted(n, f0, b);
        if (found.size() < 2) {
            lo = n * f0 / semitone;
            hi = n * f0 * semitone * std::sqrt(1.0 + 0.02 * n * n);
        } else {
            const double spacing = predicted(n + 1, f0, b) - at;
            lo = at - 0.2 * spacing;
            hi = at + 0.2 * spacing;
        }
        // Near half the rate the anti-alias filter of a real recording has taken over.
        if (at >= 0.98 * sp.rate / 2.0) break;
        hi = std::min(hi, 0.99 * sp.rate / 2.0);
        const Peak p = findPeak(sp, lo, hi, 0.5 * f0, kDynamicRange * strongest);
        if (!p.found) continue;
        found.push_back({n, p.frequency, p.amplitude, 0.0});
        strongest = std::max(strongest, p.amplitude);
        if (found.size() == 1) {
            f0 = p.frequency / n;
        } else if (const InharmonicFit fit = fitInharmonicity(found); fit.ok) {
            f0 = fit.f0;
            b = fit.b;
        }
    }
    return found;
}

double centsFromFit(const InharmonicPartial& p, const InharmonicFit& fit) {
    return kCentsPerLn * std::log(p.frequency / predicted(p.number, fit.f0, fit.b));
}

// Drops, one at a time, the partial furthest from the fit of all while it is further than
// kOutlierCents, keeping at least kMinInharmonicPartials.
InharmonicFit robustFit(std::vector<InharmonicPartial>* partials) {
    InharmonicFit fit = fitInharmonicity(*partials);
    while (fit.ok && partials->size() > static_cast<std::size_t>(kMinInharmonicPartials)) {
        auto worst = std::max_element(partials->begin(), partials->end(),
                                      [&](const InharmonicPartial& x, const InharmonicPartial& y) {
                                          return std::abs(centsFromFit(x, fit)) <
                                                 std::abs(centsFromFit(y, fit));
                                      });
        if (std::abs(centsFromFit(*worst, fit)) <= kOutlierCents) break;
        partials->erase(worst);
        fit = fitInharmonicity(*partials);
    }
    return fit;
}

}  // namespace

InharmonicFit fitInharmonicity(const std::vector<InharmonicPartial>& partials) {
    // Weighted line y = a + s x through x = n^2, y = (f/n)^2; a = f0^2, s = f0^2 B.
    double sw = 0.0, sx = 0.0, sy = 0.0, sxx = 0.0, sxy = 0.0;
    for (const InharmonicPartial& p : partials) {
        if (p.number < 1 || !(p.frequency > 0.0)) continue;
        const double n2 = static_cast<double>(p.number) * p.number;
        const double y = p.frequency * p.frequency / n2;
        // Frequency error scales as 1/amplitude, and dy = 2 f / n^2 df.
        const double amp = p.amplitude > 0.0 ? p.amplitude : 1.0;
        const double w = n2 * n2 * amp * amp / (p.frequency * p.frequency);
        sw += w;
        sx += w * n2;
        sy += w * y;
        sxx += w * n2 * n2;
        sxy += w * n2 * y;
    }
    InharmonicFit fit;
    const double det = sw * sxx - sx * sx;
    if (!(sw > 0.0) || !(det > 1.0e-12 * sw * sxx)) return fit;
    const double a = (sxx * sy - sx * sxy) / det;
    const double s = (sw * sxy - sx * sy) / det;
    if (!(a > 0.0) || !std::isfinite(s)) return fit;
    fit.ok = true;
    fit.f0 = std::sqrt(a);
    fit.b = s / a;
    return fit;
}

InharmonicityResult measureInharmonicity(const std::vector<float>& x, int rate,
                                         const InharmonicityOptions& options) {
    InharmonicityResult r;
    if (rate <= 0) {
        r.problem = translate("Inharmonicity", "no sample rate");
        return r;
    }
    const Segment segment = sustainOf(x, rate, options.maxSeconds);
    if (segment.length < static_cast<std::size_t>(rate / 10)) {
        r.problem = translate("Inharmonicity", "less than 0.1 s of sound after its loudest moment");
        return r;
    }
    const Spectrum sp = spectrumOf(x, segment, rate);
    const double nominal = options.nominalF0 > 0.0 ? options.nominalF0 : findNominal(sp);
    if (!(nominal > 0.0)) {
        r.problem = translate("Inharmonicity", "no note found");
        return r;
    }
    const int most = std::clamp(options.maxPartials, 1, kMaxInharmonicPartials);
    r.partials = trackPartials(sp, nominal, most);
    if (r.partials.size() < static_cast<std::size_t>(kMinInharmonicPartials)) {
        r.problem =
            fill(translate("Inharmonicity",
                           "only %1 partials found below half the sample "
                           "rate; B needs at least %2"),
                 {std::to_string(r.partials.size()), std::to_string(kMinInharmonicPartials)});
        return r;
    }
    const InharmonicFit fit = robustFit(&r.partials);
    if (!fit.ok) {
        r.problem = translate("Inharmonicity", "the partials found fit no stiff string");
        return r;
    }
    r.valid = true;
    r.f0 = fit.f0;
    // A harmonic tone in noise can fit a little below 0, which no string has.
    r.b = std::max(0.0, fit.b);
    for (InharmonicPartial& p : r.partials)
        p.cents = kCentsPerLn * std::log(p.frequency / (p.number * fit.f0));
    return r;
}

}  // namespace merlop
