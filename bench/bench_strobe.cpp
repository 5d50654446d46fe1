// Cost of the strobe per block, alone and on top of the analysis of the same block: it may add
// a fifth at most. Same tone, block lengths and rates as BM_AnalyseBlock.
#include <benchmark/benchmark.h>

#include <algorithm>
#include <cmath>
#include <vector>

#include "audio/analysis_cycle.h"
#include "audio/capture_config.h"
#include "audio/strobe_analyser.h"
#include "bench_support.h"
#include "pitch/pitch_model.h"
#include "settings/settings.h"
#include "signals/tone_synth.h"

namespace {

using namespace merlop;

constexpr double kTone = 196.0;

StrobeParams strobeParams(int rate) {
    StrobeParams p;
    p.effectiveRate = static_cast<float>(rate);
    return p;
}

void BM_StrobeBlock(benchmark::State& state) {
    const int n = static_cast<int>(state.range(0));
    const int rate = static_cast<int>(state.range(1));
    const double tone = static_cast<double>(state.range(2));
    const bench::ToneBlocks blocks = bench::toneBlocks(n, rate, tone);
    StrobeAnalyser strobe(strobeParams(rate));
    std::size_t k = 0;
    for (auto _ : state) {
        strobe.analyse(blocks.samples[k].data(), n, tone);
        benchmark::DoNotOptimize(strobe.rows());
        k = (k + 1) % blocks.samples.size();
    }
    state.counters["block_ms"] = 1000.0 * n / rate;
}

// The analysis with the strobe following the note it shows, as the window runs them.
void BM_AnalyseBlockWithStrobe(benchmark::State& state) {
    const int n = static_cast<int>(state.range(0));
    const int rate = static_cast<int>(state.range(1));
    Settings settings;
    const CaptureConfig config = bench::blockConfig(settings, n, rate);
    PitchModel pitch;
    configurePitchModel(pitch, settings, nullptr, 0);
    AnalysisCycle cycle(settings, config, pitch, CycleOptions{});
    cycle.startRun();
    StrobeAnalyser strobe(strobeParams(rate));
    const bench::ToneBlocks blocks = bench::toneBlocks(n, rate, kTone);
    std::size_t k = 0;
    for (auto _ : state) {
        cycle.analyseBlock(blocks.samples[k].data(), blocks.ranges[k]);
        const PitchReading& r = cycle.lastReading();
        strobe.analyse(blocks.samples[k].data(), n,
                       r.note >= 0 ? pitch.frequencyOfNote(r.note, 0.0f) : 0.0);
        benchmark::DoNotOptimize(strobe.rows());
        k = (k + 1) % blocks.samples.size();
    }
    state.counters["block_ms"] = 1000.0 * n / rate;
}

BENCHMARK(BM_StrobeBlock)
    ->ArgsProduct({{2048, 4096, 8192}, {11025, 44100}, {82, 196, 880}})
    ->ArgNames({"n", "rate", "hz"})
    ->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_AnalyseBlockWithStrobe)
    ->ArgsProduct({{512, 1024, 2048, 4096, 8192}, {11025, 44100}})
    ->ArgNames({"n", "rate"})
    ->Unit(benchmark::kMicrosecond);

}  // namespace
