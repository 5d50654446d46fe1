// How steady and how true the tuner's reading is with Fine tuning on: steady tones at many
// frequencies, both usual formats, clean and in white noise, and plucked strings. Each case runs
// through the file-mode analysis as merlop-cli analyse does; the table gives, per group, the
// median and worst over the frequencies.
//
//   sd     per-block standard deviation of the raw reading, cents
//   crb    the Cramer-Rao bound of one block for that signal and noise, cents
//   bias   mean raw reading minus the true pitch, cents
//   p2p    peak-to-peak of the shown (smoothed, 0.1-cent) reading over 5 s, tones from 60 Hz
//   cover  fraction of blocks with a reading
#include <algorithm>
#include <cmath>
#include <cstdio>
#include <numbers>
#include <string>
#include <vector>

#include "audio/analysis_cycle.h"
#include "audio/capture_config.h"
#include "audio/wav_reader.h"
#include "bench_support.h"
#include "pitch/pitch_model.h"
#include "settings/settings.h"
#include "signals/tone_synth.h"

namespace {

using namespace merlop;

constexpr double kCentsPerLn = 1200.0 / std::numbers::ln2;
constexpr double kSettleSeconds = 1.0;
constexpr double kShownSeconds = 5.0;

enum class Kind { sine, harmonic, noFundamental };

struct Format {
    int rate;
    int bits;
};

struct Stats {
    double sd = 0.0;
    double crb = 0.0;
    double bias = 0.0;
    double p2p = 0.0;
    double coverage = 0.0;
    double worstError = 0.0;  // largest |raw - true| of a block, cents
};

std::vector<Partial> partialsOf(Kind kind, double f) {
    std::vector<Partial> p;
    if (kind == Kind::sine) return {{f, 1.0, 0.3}};
    for (int k = kind == Kind::harmonic ? 1 : 2; k <= 8; ++k)
        p.push_back({k * f, 1.0 / k, 0.7 * k});
    return p;
}

// The partials' sum scaled to a peak of 0.5; *scale receives the factor.
std::vector<float> toneOf(const std::vector<Partial>& partials, int rate, double seconds,
                          double* scale) {
    const std::vector<double> sum =
        partialSum(partials, rate, 0, static_cast<std::size_t>(seconds * rate));
    double peak = 0.0;
    for (double v : sum) peak = std::max(peak, std::fabs(v));
    *scale = 0.5 / peak;
    std::vector<float> x(sum.size());
    for (std::size_t i = 0; i < sum.size(); ++i) x[i] = static_cast<float>(sum[i] * *scale);
    return x;
}

// One block's bound: 12 / (N (N^2 - 1) sum_k k^2 SNR_k) for the angular frequency, SNR_k the
// k-th partial's A^2 / (2 sigma^2); sigma^2 the added noise plus the quantisation step^2 / 12.
double boundCents(const std::vector<Partial>& partials, double scale, double noiseRms, int bits,
                  int rate, int n) {
    // Deeper files reach the analysis on its 12-bit scale.
    const double step = bits == 8 ? 1.0 / 127.0 : 1.0 / 2048.0;
    const double var = noiseRms * noiseRms + step * step / 12.0;
    double info = 0.0;
    for (const Partial& p : partials) {
        if (p.frequency >= 0.5 * rate) continue;
        const double k = p.frequency / partials.front().frequency;
        const double a = p.amplitude * scale;
        info += k * k * a * a / (2.0 * var);
    }
    const double nn = n;
    const double varW = 12.0 / (nn * (nn * nn - 1.0) * info);
    return kCentsPerLn * std::sqrt(varW) /
           (2.0 * std::numbers::pi * partials.front().frequency / rate);
}

struct Run {
    std::vector<double> rawCents;  // per block, NaN without a reading
    std::vector<double> shownCents;
    std::vector<int> levels;
    int blockLength = 0;
};

// Readings of x against the true pitch f: raw cents per block and shown cents (note and
// deviation back to cents off f).
Run analyse(const std::vector<float>& x, const Format& format, double f) {
    const std::vector<std::uint8_t> image = wavImage(x, format.rate, format.bits);
    WavReader reader;
    Run run;
    if (reader.openBytes(image) != WavStatus::ok) return run;
    Settings settings;
    settings.fineTuning = 1;
    const CaptureConfig config = bench::fileConfig(settings, reader);
    PitchModel pitch;
    configurePitchModel(pitch, settings, nullptr, 0);
    AnalysisCycle cycle(settings, config, pitch, CycleOptions{});
    cycle.startRun();
    run.blockLength = cycle.length();
    SampleRange range;
    const double nan = std::nan("");
    while (reader.readBlock(cycle.sampleBuffer(), cycle.length(), &range)) {
        cycle.analyseBuffer(range.max, range.min);
        const float raw = cycle.rawFrequency();
        run.levels.push_back(range.level());
        run.rawCents.push_back(raw > 0.0f ? kCentsPerLn * std::log(raw / f) : nan);
        const PitchReading& r = cycle.lastReading();
        run.shownCents.push_back(
            r.note >= 0 ? kCentsPerLn * std::log(pitch.frequencyOfNote(r.note, 0.0f) / f) +
                              std::round(r.deviation * 1000.0) / 10.0
                        : nan);
    }
    return run;
}

// Stats over the blocks from `from` on; a block more than 50 cents off (an octave slip) counts as
// no reading.
Stats statsOf(const Run& run, std::size_t from, std::size_t shownFrom, std::size_t shownTo) {
    Stats s;
    double sum = 0.0, sum2 = 0.0;
    int count = 0;
    std::size_t blocks = 0;
    for (std::size_t i = from; i < run.rawCents.size(); ++i, ++blocks) {
        const double c = run.rawCents[i];
        if (!(std::fabs(c) < 50.0)) continue;
        sum += c;
        sum2 += c * c;
        ++count;
        s.worstError = std::max(s.worstError, std::fabs(c));
    }
    s.coverage = blocks > 0 ? static_cast<double>(count) / blocks : 0.0;
    s.bias = count > 0 ? sum / count : nan("");
    s.sd = count > 1 ? std::sqrt(std::max(0.0, (sum2 - sum * sum / count) / (count - 1))) : 0.0;
    double lo = 1e9, hi = -1e9;
    bool gap = false;  // a missing reading or a slip on screen: as unsteady as it gets
    for (std::size_t i = shownFrom; i < shownTo && i < run.shownCents.size(); ++i) {
        const double c = run.shownCents[i];
        gap = gap || !(std::fabs(c) < 50.0);
        lo = std::min(lo, c);
        hi = std::max(hi, c);
    }
    s.p2p = !gap && hi >= lo ? hi - lo : 99.0;
    return s;
}

double median(std::vector<double> v) {
    if (v.empty()) return nan("");
    std::sort(v.begin(), v.end());
    const std::size_t m = v.size() / 2;
    return v.size() % 2 != 0 ? v[m] : 0.5 * (v[m - 1] + v[m]);
}

double worst(const std::vector<double>& v) {
    double w = 0.0;
    for (double x : v) w = std::max(w, std::fabs(x));
    return w;
}

// 24 frequencies log-spaced from 40 to 1100 Hz; they fall at arbitrary fractions of a cent off
// the notes.
std::vector<double> frequencies() {
    std::vector<double> f;
    f.reserve(24);
    for (int i = 0; i < 24; ++i) f.push_back(40.0 * std::pow(1100.0 / 40.0, i / 23.0));
    return f;
}

bool verbose = false;  // -v: a line per case too

void toneGroup(Kind kind, const char* kindName, const Format& format, double snrDb) {
    std::vector<double> sd, crb, bias, p2p, cover;
    for (double f : frequencies()) {
        // Without the fundamental, above 400 Hz one harmonic at most is left inside the analysed
        // band.
        if (kind == Kind::noFundamental && f > 400.0) continue;
        const std::vector<Partial> partials = partialsOf(kind, f);
        double scale = 1.0;
        std::vector<float> x =
            toneOf(partials, format.rate, kSettleSeconds + kShownSeconds, &scale);
        double rms = 0.0;
        for (const Partial& p : partials) {
            if (p.frequency < 0.5 * format.rate) rms += p.amplitude * p.amplitude / 2.0;
        }
        rms = std::sqrt(rms) * scale;
        double noiseRms = 0.0;
        if (snrDb < 200.0) {
            noiseRms = rms * std::pow(10.0, -snrDb / 20.0);
            addWhiteNoise(x, 20.0 * std::log10(noiseRms), 11);
        }
        const Run run = analyse(x, format, f);
        const auto perSecond = static_cast<double>(format.rate) / run.blockLength;
        const auto settle = static_cast<std::size_t>(std::ceil(kSettleSeconds * perSecond));
        const auto end = settle + static_cast<std::size_t>(kShownSeconds * perSecond);
        const Stats s = statsOf(run, 1, settle, end);
        sd.push_back(s.sd);
        crb.push_back(
            boundCents(partials, scale, noiseRms, format.bits, format.rate, run.blockLength));
        bias.push_back(s.bias);
        if (f >= 60.0) p2p.push_back(s.p2p);
        cover.push_back(s.coverage);
        if (verbose) {
            std::printf("  %8.3f Hz  sd %.4f  crb %.4f  bias %+.4f  p2p %.2f  cover %.2f\n", f,
                        s.sd, crb.back(), s.bias, s.p2p, s.coverage);
        }
    }
    const std::string noise =
        snrDb < 200.0 ? std::to_string(static_cast<int>(snrDb)) + " dB" : "clean";
    std::printf(
        "| %-14s | %5d/%-2d | %-6s | %6.3f | %6.3f | %7.4f | %6.3f | %6.3f | %5.2f | %5.2f | %5.2f "
        "|\n",
        kindName, format.rate, format.bits, noise.c_str(), median(sd), worst(sd), median(crb),
        median(bias), worst(bias), median(p2p), worst(p2p),
        *std::min_element(cover.begin(), cover.end()));
}

// Plucked strings: the worst raw and shown error over the blocks of the first second that have a
// reading, after the attack's block; and the worst raw error of those at least kLoud peak to peak
// (on the 12-bit scale: eight steps of an 8-bit file), as a string dies into the last bits.
void plucks(const Format& format) {
    constexpr int kLoud = 128;
    std::vector<double> raw, loud, shown;
    int blocks = 0, read = 0;
    for (double f : {82.41, 110.0, 146.83, 196.0, 246.94, 329.63, 440.0, 659.26}) {
        std::vector<float> x = pluckedString(f, 1.5, format.rate, 0.5);
        const Run run = analyse(x, format, f);
        const auto perSecond = static_cast<double>(format.rate) / run.blockLength;
        const auto end = static_cast<std::size_t>(std::ceil(perSecond)) + 1;
        double r = 0.0, l = 0.0, s = 0.0;
        for (std::size_t i = 1; i < end && i < run.rawCents.size(); ++i) {
            ++blocks;
            if (!(std::fabs(run.rawCents[i]) < 50.0)) continue;
            ++read;
            r = std::max(r, std::fabs(run.rawCents[i]));
            if (run.levels[i] >= kLoud) l = std::max(l, std::fabs(run.rawCents[i]));
            if (std::fabs(run.shownCents[i]) < 50.0) s = std::max(s, std::fabs(run.shownCents[i]));
        }
        raw.push_back(r);
        loud.push_back(l);
        shown.push_back(s);
        if (verbose) {
            std::printf("  %7.2f Hz raw", f);
            for (std::size_t i = 0; i < end && i < run.rawCents.size(); ++i) {
                std::printf(" %+.3f (%d)", run.rawCents[i], run.levels[i]);
            }
            std::printf("\n");
        }
    }
    std::printf(
        "| plucks 82..659 Hz | %5d/%-2d | raw error worst %.3f, median %.3f; level >= %d "
        "worst %.3f | shown error worst %.2f | cover %.2f |\n",
        format.rate, format.bits, worst(raw), median(raw), kLoud, worst(loud), worst(shown),
        static_cast<double>(read) / blocks);
}

}  // namespace

int main(int argc, char** argv) {
    verbose = argc > 1 && std::string(argv[1]) == "-v";
    std::printf(
        "| tone           | rate/bits | noise  | sd med | sd max | crb med | bias md | "
        "|bias| max | p2p md | p2p max | cover |\n");
    std::printf("|---|---|---|---|---|---|---|---|---|---|---|\n");
    const Format formats[] = {{11025, 8}, {44100, 16}};
    const struct {
        Kind kind;
        const char* name;
    } kinds[] = {{Kind::sine, "sine"},
                 {Kind::harmonic, "harmonic 1-8"},
                 {Kind::noFundamental, "harmonic 2-8"}};
    for (const auto& k : kinds) {
        for (const Format& format : formats) {
            for (double snr : {1000.0, 20.0, 10.0}) toneGroup(k.kind, k.name, format, snr);
        }
    }
    for (const Format& format : formats) plucks(format);
    plucks({11025, 16});
    return 0;
}
