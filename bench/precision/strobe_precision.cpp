// How true the strobe's rows read: steady tones (sine, harmonic, stretched as a piano's strings)
// detuned by 0.05 to 30 cents either way, clean and in white noise 20 dB down, at the default
// block (2048 samples at 11025 Hz) and at 8192 samples of 44100 Hz. Per group the worst error
// over notes and detunings of every block from the second second on, in cents and as a share of
// the detuning, and the blocks where a row that should move rested.
#include <algorithm>
#include <array>
#include <cmath>
#include <cstdio>
#include <vector>

#include "audio/strobe_analyser.h"
#include "signals/tone_synth.h"

namespace {

using namespace merlop;

enum class Kind { sine, harmonic, stretched, noisy };
constexpr const char* kKindNames[] = {"sine", "harmonic", "stretched", "harmonic, 20 dB SNR"};
constexpr double kB = 0.0008;
constexpr std::array<double, 4> kNotes = {82.4069, 110.0, 440.0, 880.0};
constexpr std::array<double, 10> kDetunings = {0.05, -0.05, 0.3, -0.3, 1, -1, 5, -5, 30, -30};

struct Worst {
    std::array<double, 3> cents{};
    std::array<double, 3> share{};
    int rested = 0;
    int wrongWay = 0;
    int strayRows = 0;  // blocks where a row without a partial moved
};

std::vector<float> toneOf(Kind kind, double f, int rate) {
    if (kind == Kind::sine) return sineTone(f, 5.0, rate, 0.5);
    std::vector<float> x = stretchedTone(f, kind == Kind::stretched ? kB : 0.0, 5.0, rate, 8, 0.5);
    if (kind == Kind::noisy) {
        double power = 0.0;
        for (float v : x) power += static_cast<double>(v) * v;
        addWhiteNoise(x, 10.0 * std::log10(power / x.size()) - 20.0, 3);
    }
    return x;
}

void measure(Kind kind, double note, double cents, int rate, int n, Worst* w) {
    const std::vector<float> x = toneOf(kind, note * std::pow(2.0, cents / 1200.0), rate);
    StrobeParams p;
    p.effectiveRate = static_cast<float>(rate);
    StrobeAnalyser s(p);
    std::vector<int> block(n);
    for (std::size_t at = 0; at + n <= x.size(); at += n) {
        for (int i = 0; i < n; ++i) block[i] = static_cast<int>(std::lround(x[at + i] * 2047.0));
        s.analyse(block.data(), n, note);
        if (static_cast<double>(at) < rate) continue;
        if (kind == Kind::sine) w->strayRows += !s.rows()[1].resting + !s.rows()[2].resting;
        for (int r = 0; r < (kind == Kind::sine ? 1 : 3); ++r) {
            const int k = StrobeAnalyser::kPartials[r];
            const double truth =
                cents + (kind == Kind::stretched ? 600.0 * std::log2(1.0 + kB * k * k) : 0.0);
            const StrobeRow& row = s.rows()[r];
            if (row.resting) {
                ++w->rested;
                continue;
            }
            if (row.cents * truth <= 0.0) ++w->wrongWay;
            const double e = std::fabs(row.cents - truth);
            w->cents[r] = std::max(w->cents[r], e);
            w->share[r] = std::max(w->share[r], e / std::fabs(truth));
        }
    }
}

}  // namespace

int main() {
    const std::array<std::array<int, 2>, 2> formats = {{{11025, 2048}, {44100, 8192}}};
    std::printf(
        "| signal | rate, block | worst error row 1 / 2 / 4, cents | worst share | rested | "
        "wrong way |\n|---|---|---|---|---|---|\n");
    for (const auto& [rate, n] : formats) {
        for (const Kind kind : {Kind::sine, Kind::harmonic, Kind::stretched, Kind::noisy}) {
            Worst w;
            for (const double note : kNotes) {
                for (const double cents : kDetunings) measure(kind, note, cents, rate, n, &w);
            }
            // A sine has no partials 2 and 4.
            char upper[32];
            std::snprintf(upper, sizeof upper, w.strayRows == 0 ? "rest / rest" : "moved %d times",
                          w.strayRows);
            if (kind != Kind::sine)
                std::snprintf(upper, sizeof upper, "%.4f / %.4f", w.cents[1], w.cents[2]);
            std::printf("| %s | %d Hz, %d | %.4f / %s | %.2f %% | %d | %d |\n",
                        kKindNames[static_cast<int>(kind)], rate, n, w.cents[0], upper,
                        100.0 * std::max({w.share[0], w.share[1], w.share[2]}), w.rested,
                        w.wrongWay);
        }
    }
    return 0;
}
