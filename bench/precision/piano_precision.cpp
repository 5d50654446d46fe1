// How true the inharmonicity measurement is: struck stiff strings of known f0 and B, 1 s at
// 44100 Hz, clean and in white noise 20 dB below the tone (RMS), each noisy case over several
// noise seeds. Then the stretched targets of a typical stiffness curve at the A keys and C8 for
// each octave rule.
//
//   f0 err   worst |measured f0 - true f0|, cents (rms over the seeds in brackets)
//   f0 crb   the Cramer-Rao bound on f0 for that signal and noise, as a standard deviation
//   B err    worst |measured B / true B - 1|, per cent (rms in brackets)
//   B crb    the bound on B, per cent
//   partials fewest partials the fit used
#include <algorithm>
#include <cmath>
#include <cstdio>
#include <vector>

#include "audio/inharmonicity.h"
#include "pitch/piano_keys.h"
#include "pitch/stretch_tuning.h"
#include "signals/tone_synth.h"

namespace {

using namespace merlop;

constexpr int kRate = 44100;
constexpr int kSeeds = 10;

struct Errors {
    double f0Cents = 0.0;
    double bPercent = 0.0;
    double f0Square = 0.0;
    double bSquare = 0.0;
    int runs = 0;
    int partials = 99;
    bool failed = false;
};

// The bound for f0 and B of stiffStringTone(s, 1 s, 0.5) in white noise `snr` dB below it, each
// partial's amplitude and phase unknown and its decay known: the Fisher information of each
// partial's frequency, sum_t A(t)^2 (t - tbar)^2 (2 pi)^2 / (2 sigma^2) with tbar the A^2-weighted
// mean time, carried to (f0, B) through f_n = n f0 sqrt(1 + B n^2). Standard deviations in cents
// and per cent.
void bound(const StiffString& s, double snr, double* f0Cents, double* bPercent) {
    const std::vector<float> x = stiffStringTone(s, 1.0, kRate, 0.5);
    double power = 0.0;
    for (const float v : x) power += double{v} * v;
    const double sigma2 = power / x.size() / std::pow(10.0, snr / 10.0);
    // The tone's scale: its peak over that of the same partials at amplitude 1/n.
    std::vector<double> unscaled(x.size(), 0.0);
    double j00 = 0.0, j01 = 0.0, j11 = 0.0;
    std::vector<std::vector<double>> envelopes;
    std::vector<int> numbers;
    for (int n = 1; n <= s.partials; ++n) {
        const double f = n * s.frequency * std::sqrt(1.0 + s.b * n * n);
        if (!(f < 0.5 * kRate)) continue;
        const double a = std::log(1000.0) * std::sqrt(n) / s.decaySeconds;
        std::vector<double> e(x.size());
        for (std::size_t i = 0; i < x.size(); ++i) {
            const double t = static_cast<double>(i) / kRate;
            e[i] = std::exp(-a * t) / n;
            unscaled[i] += e[i] * std::sin(2.0 * M_PI * f * t + 0.7 * n * n);
        }
        envelopes.push_back(std::move(e));
        numbers.push_back(n);
    }
    double peak = 0.0;
    for (const double v : unscaled) peak = std::max(peak, std::abs(v));
    const double g = 0.5 / peak;
    for (std::size_t k = 0; k < numbers.size(); ++k) {
        double w = 0.0, wt = 0.0, wtt = 0.0;
        for (std::size_t i = 0; i < x.size(); ++i) {
            const double t = static_cast<double>(i) / kRate;
            const double a2 = g * g * envelopes[k][i] * envelopes[k][i];
            w += a2;
            wt += a2 * t;
            wtt += a2 * t * t;
        }
        // A sine of amplitude A carries A^2 / 2 of power: half the information of a complex one.
        const double info = (wtt - wt * wt / w) * 2.0 * M_PI * M_PI / sigma2;
        const int n = numbers[k];
        const double root = std::sqrt(1.0 + s.b * n * n);
        const double dF = n * root;
        const double dB = n * s.frequency * n * n / (2.0 * root);
        j00 += info * dF * dF;
        j01 += info * dF * dB;
        j11 += info * dB * dB;
    }
    const double det = j00 * j11 - j01 * j01;
    *f0Cents = 1200.0 / std::log(2.0) * std::sqrt(j11 / det) / s.frequency;
    *bPercent = 100.0 * std::sqrt(j00 / det) / s.b;
}

void measureOnce(const StiffString& s, double snr, unsigned seed, Errors* e) {
    std::vector<float> x = stiffStringTone(s, 1.0, kRate, 0.5);
    if (snr < 200.0) addWhiteNoise(x, rmsDb(x) - snr, seed);
    InharmonicityOptions o;
    o.nominalF0 = s.frequency;
    const InharmonicityResult r = measureInharmonicity(x, kRate, o);
    if (!r.valid) {
        e->failed = true;
        return;
    }
    const double f0Cents = 1200.0 * std::log2(r.f0 / s.frequency);
    const double bPercent = 100.0 * (r.b / s.b - 1.0);
    e->f0Cents = std::max(e->f0Cents, std::abs(f0Cents));
    e->bPercent = std::max(e->bPercent, std::abs(bPercent));
    e->f0Square += f0Cents * f0Cents;
    e->bSquare += bPercent * bPercent;
    ++e->runs;
    e->partials = std::min(e->partials, static_cast<int>(r.partials.size()));
}

// One line of the table: one key, one B, clean or in noise.
void measurementRow(const char* key, double hz, double b, double snr) {
    StiffString s;
    s.frequency = hz;
    s.b = b;
    Errors e;
    const bool noisy = snr < 200.0;
    for (int seed = 0; seed < (noisy ? kSeeds : 1); ++seed) measureOnce(s, snr, 100 + seed, &e);
    if (e.failed) {
        std::printf("| %s | %.3f | %g | %s | failed | | | | |\n", key, hz, b,
                    noisy ? "20 dB" : "clean");
    } else if (!noisy) {
        std::printf("| %s | %.3f | %g | clean | %.4f | | %.3f | | %d |\n", key, hz, b, e.f0Cents,
                    e.bPercent, e.partials);
    } else {
        double f0Bound = 0.0;
        double bBound = 0.0;
        bound(s, snr, &f0Bound, &bBound);
        std::printf("| %s | %.3f | %g | 20 dB | %.4f (%.4f) | %.4f | %.3f (%.3f) | %.3f | %d |\n",
                    key, hz, b, e.f0Cents, std::sqrt(e.f0Square / e.runs), f0Bound, e.bPercent,
                    std::sqrt(e.bSquare / e.runs), bBound, e.partials);
    }
}

void measurementTable() {
    std::printf(
        "| key | f0 Hz | B | noise | f0 err (cents) | f0 crb | B err (%%) | B crb (%%) | "
        "partials |\n");
    std::printf("|---|---|---|---|---|---|---|---|---|\n");
    const struct {
        const char* key;
        double hz;
    } keys[] = {{"A0", 27.5}, {"A2", 110.0}, {"A4", 440.0}, {"C6", 1046.502}, {"C8", 4186.009}};
    for (const auto& k : keys) {
        for (const double b : {1e-4, 1e-3, 1e-2}) {
            for (const double snr : {1000.0, 20.0}) measurementRow(k.key, k.hz, b, snr);
        }
    }
}

void stretchTable() {
    const std::vector<KeyStiffness> curve = {
        {21, 6e-4}, {45, 1.5e-4}, {69, 4e-4}, {84, 1.5e-3}, {108, 2e-2}};
    std::printf("\nStretch, cents from equal temperament at A 440, for B ");
    for (const KeyStiffness& k : curve) std::printf("%s=%g ", pianoKeyName(k.midi).c_str(), k.b);
    std::printf("\n\n| octave |");
    const int shown[] = {21, 33, 45, 57, 69, 81, 93, 105, 108};
    for (const int m : shown) std::printf(" %s |", pianoKeyName(m).c_str());
    std::printf("\n|---|");
    for (std::size_t i = 0; i < std::size(shown); ++i) std::printf("---|");
    std::printf("\n");
    for (const OctaveRule rule :
         {OctaveRule::twoOne, OctaveRule::fourTwo, OctaveRule::sixThree, OctaveRule::mix}) {
        const StretchResult r = computeStretch(curve, 440.0, rule);
        std::printf("| %s |", octaveRuleName(rule));
        for (const int m : shown)
            std::printf(" %+.2f |", r.targets[static_cast<std::size_t>(m - 21)].cents);
        std::printf("\n");
    }
}

}  // namespace

int main() {
    measurementTable();
    stretchTable();
    return 0;
}
