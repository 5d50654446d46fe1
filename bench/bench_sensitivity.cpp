// What automatic sensitivity reads, next to the fixed threshold: each case runs a generated file
// through the file-mode analysis once, with the sensitivity setting (auto:0) and with automatic
// sensitivity (auto:1). Counters:
//   coverage   per cent of blocks with the right note (a reading of another note counts against)
//   wrong      per cent of blocks with another note
//   false      blocks with any note, for input that holds none
//   until_db   plucks: dB below the onset block's level of the last block read right, with every
//              block before it read right too
// BM_SensitivityCost times one block of a noisy tone as BM_AnalyseBlock does.
#include <benchmark/benchmark.h>

#include <algorithm>
#include <cmath>
#include <cstdint>
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

constexpr double kSeconds = 8.0;
// The tones of the coverage cases: a low string, the middle of a guitar, a violin's A.
constexpr double kTones[] = {82.41, 196.0, 440.0};

int noteOf(double f) {
    return static_cast<int>(std::lround(12.0 * std::log2(f / 13.75)));
}

double rmsDb(const std::vector<float>& x) {
    double sum = 0.0;
    for (float v : x) sum += static_cast<double>(v) * v;
    return 10.0 * std::log10(sum / static_cast<double>(x.size()));
}

struct Score {
    int blocks = 0;
    int right = 0;
    int wrong = 0;
    double untilDb = 0.0;
};

// Every block of the file; expectedHz <= 0 for input without a note.
Score analyse(const std::vector<std::uint8_t>& image, bool autoOn, double expectedHz) {
    WavReader reader;
    if (reader.openBytes(image) != WavStatus::ok) return {};
    Settings settings;
    const CaptureConfig config = bench::fileConfig(settings, reader);
    PitchModel pitch;
    configurePitchModel(pitch, settings, nullptr, 0);
    CycleOptions options;
    options.autoSensitivity = autoOn;
    AnalysisCycle cycle(settings, config, pitch, options);
    cycle.startRun();

    Score s;
    SampleRange range;
    int onset = 0;
    bool unbroken = true;
    while (reader.readBlock(cycle.sampleBuffer(), cycle.length(), &range)) {
        cycle.analyseBuffer(range.max, range.min);
        const int note = cycle.lastReading().note;
        const bool right = expectedHz > 0.0 && note == noteOf(expectedHz);
        s.blocks += 1;
        s.right += right ? 1 : 0;
        s.wrong += note >= 0 && !right ? 1 : 0;
        onset = std::max(onset, range.level());
        unbroken = unbroken && right;
        if (unbroken && onset > 0 && range.level() > 0) {
            s.untilDb = 20.0 * std::log10(static_cast<double>(onset) / range.level());
        }
    }
    return s;
}

void report(benchmark::State& state, const Score& s, bool note) {
    const double blocks = std::max(s.blocks, 1);
    if (note) {
        state.counters["coverage"] = 100.0 * s.right / blocks;
        state.counters["wrong"] = 100.0 * s.wrong / blocks;
    } else {
        state.counters["false"] = s.wrong;
    }
    state.counters["blocks"] = s.blocks;
}

// A harmonic tone at the given signal-to-noise ratio (white noise over the whole band).
void BM_NoisyTone(benchmark::State& state) {
    const double snr = static_cast<double>(state.range(0));
    const bool autoOn = state.range(1) != 0;
    Score total;
    for (auto _ : state) {
        total = {};
        std::uint32_t seed = 3;
        for (const double f : kTones) {
            std::vector<float> x = harmonicTone(f, kSeconds, 11025, 8, 0.5);
            addWhiteNoise(x, rmsDb(x) - snr, ++seed);
            const Score s = analyse(wavImage(x, 11025, 16), autoOn, f);
            total.blocks += s.blocks;
            total.right += s.right;
            total.wrong += s.wrong;
        }
    }
    report(state, total, true);
}
BENCHMARK(BM_NoisyTone)
    ->ArgNames({"snr_db", "auto"})
    ->ArgsProduct({{10, 20}, {0, 1}})
    ->Iterations(1)
    ->Unit(benchmark::kMillisecond);

// A clean harmonic tone peaking at -40 dB of full scale: a quiet interface.
void BM_QuietTone(benchmark::State& state) {
    const int rate = static_cast<int>(state.range(0));
    const int bits = static_cast<int>(state.range(1));
    const bool autoOn = state.range(2) != 0;
    Score total;
    for (auto _ : state) {
        total = {};
        for (const double f : kTones) {
            const std::vector<float> x = harmonicTone(f, kSeconds, rate, 8, 0.01);
            const Score s = analyse(wavImage(x, rate, bits), autoOn, f);
            total.blocks += s.blocks;
            total.right += s.right;
            total.wrong += s.wrong;
        }
    }
    report(state, total, true);
}
BENCHMARK(BM_QuietTone)
    ->ArgNames({"rate", "bits", "auto"})
    ->Args({11025, 8, 0})
    ->Args({11025, 8, 1})
    ->Args({44100, 16, 0})
    ->Args({44100, 16, 1})
    ->Iterations(1)
    ->Unit(benchmark::kMillisecond);

// A plucked string dying away by 60 dB in six seconds over a faint noise floor (-80 dB of full
// scale, 16-bit) or the 8-bit file's own quantisation.
void BM_Pluck(benchmark::State& state) {
    const double f = static_cast<double>(state.range(0));
    const int bits = static_cast<int>(state.range(1));
    const bool autoOn = state.range(2) != 0;
    Score s;
    for (auto _ : state) {
        std::vector<float> x = pluckedString(f, kSeconds, 11025, 0.5, 6.0, 5);
        if (bits == 16) addWhiteNoise(x, -80.0, 9);
        s = analyse(wavImage(x, 11025, bits), autoOn, f);
    }
    report(state, s, true);
    state.counters["until_db"] = s.untilDb;
}
BENCHMARK(BM_Pluck)
    ->ArgNames({"hz", "bits", "auto"})
    ->ArgsProduct({{110, 196, 330}, {16, 8}, {0, 1}})
    ->Iterations(1)
    ->Unit(benchmark::kMillisecond);

enum Noise { kWhite, kPink, kHum50, kHum60, kSilence };

std::vector<float> noise(Noise kind, int rate, double db) {
    std::vector<float> x(static_cast<std::size_t>(kSeconds * rate), 0.0f);
    switch (kind) {
        case kWhite:
            addWhiteNoise(x, db, 21);
            break;
        case kPink:
            addPinkNoise(x, rate, db, 22);
            break;
        case kHum50:
        case kHum60:
            addHum(x, rate, kind == kHum50 ? 50.0 : 60.0, db, 5);
            break;
        case kSilence:
            break;
    }
    return x;
}

// Input without a note from loud to faint, at 11025 and 44100 Hz, 8 and 16 bits.
void BM_NoNote(benchmark::State& state, Noise kind) {
    const bool autoOn = state.range(0) != 0;
    Score total;
    for (auto _ : state) {
        total = {};
        for (const int rate : {11025, 44100}) {
            for (const int bits : {8, 16}) {
                for (const double db : {-10.0, -30.0, -50.0, -70.0}) {
                    const Score s =
                        analyse(wavImage(noise(kind, rate, db), rate, bits), autoOn, -1.0);
                    total.blocks += s.blocks;
                    total.wrong += s.wrong;
                }
            }
        }
    }
    report(state, total, false);
}
#define MERLOP_NO_NOTE(name, kind)           \
    BENCHMARK_CAPTURE(BM_NoNote, name, kind) \
        ->ArgName("auto")                    \
        ->Arg(0)                             \
        ->Arg(1)                             \
        ->Iterations(1)                      \
        ->Unit(benchmark::kMillisecond)
MERLOP_NO_NOTE(white, kWhite);
MERLOP_NO_NOTE(pink, kPink);
MERLOP_NO_NOTE(hum50, kHum50);
MERLOP_NO_NOTE(hum60, kHum60);
MERLOP_NO_NOTE(silence, kSilence);

// Cost of one block of a tone at 10 dB signal-to-noise ratio, on the default 11025 Hz block.
void BM_SensitivityCost(benchmark::State& state) {
    const int n = static_cast<int>(state.range(0));
    const int rate = static_cast<int>(state.range(1));
    Settings settings;
    const CaptureConfig config = bench::blockConfig(settings, n, rate);
    PitchModel pitch;
    configurePitchModel(pitch, settings, nullptr, 0);
    CycleOptions options;
    options.autoSensitivity = state.range(2) != 0;
    AnalysisCycle cycle(settings, config, pitch, options);
    cycle.startRun();

    std::vector<float> x = harmonicTone(196.0, 8.0 * n / rate + 0.01, rate, 8, 0.5);
    addWhiteNoise(x, rmsDb(x) - 10.0);
    std::vector<std::vector<int>> blocks;
    std::vector<SampleRange> ranges;
    for (int b = 0; b < 8; ++b) {
        std::vector<int> block(n);
        SampleRange r;
        for (int i = 0; i < n; ++i) {
            block[i] = static_cast<int>(std::lround(x[b * n + i] * 2047.0));
            r.min = std::min(r.min, block[i]);
            r.max = std::max(r.max, block[i]);
        }
        blocks.push_back(std::move(block));
        ranges.push_back(r);
    }
    std::size_t k = 0;
    for (auto _ : state) {
        cycle.analyseBlock(blocks[k].data(), ranges[k]);
        benchmark::DoNotOptimize(cycle.lastReading());
        k = (k + 1) % blocks.size();
    }
}
BENCHMARK(BM_SensitivityCost)
    ->ArgNames({"n", "rate", "auto"})
    ->ArgsProduct({{2048}, {11025}, {0, 1}})
    ->Args({8192, 44100, 0})
    ->Args({8192, 44100, 1})
    ->Unit(benchmark::kMicrosecond);

}  // namespace
