// Cost of analysing one block, per block length, sample rate and Fine tuning off or on.
// "rt_factor" is seconds of audio analysed per second of work: a block must cost well under its
// own duration.
#include <benchmark/benchmark.h>

#include <cmath>
#include <vector>

#include "audio/analysis_cycle.h"
#include "audio/capture_config.h"
#include "bench_support.h"
#include "pitch/pitch_model.h"
#include "settings/settings.h"
#include "signals/tone_synth.h"

namespace {

using namespace merlop;

void BM_AnalyseBlock(benchmark::State& state) {
    const int n = static_cast<int>(state.range(0));
    const int rate = static_cast<int>(state.range(1));
    Settings settings;
    settings.fineTuning = static_cast<int>(state.range(2));
    const CaptureConfig config = bench::blockConfig(settings, n, rate);
    PitchModel pitch;
    configurePitchModel(pitch, settings, nullptr, 0);
    AnalysisCycle cycle(settings, config, pitch, CycleOptions{});
    cycle.startRun();
    const bench::ToneBlocks source = bench::toneBlocks(n, rate, 196.0);

    std::size_t k = 0;
    for (auto _ : state) {
        cycle.analyseBlock(source.samples[k].data(), source.ranges[k]);
        benchmark::DoNotOptimize(cycle.lastReading());
        k = (k + 1) % source.samples.size();
    }
    state.counters["block_ms"] = 1000.0 * n / rate;
    state.counters["rt_factor"] = benchmark::Counter(static_cast<double>(n) / rate,
                                                     benchmark::Counter::kIsIterationInvariantRate);
}

BENCHMARK(BM_AnalyseBlock)
    ->ArgsProduct({{512, 1024, 2048, 4096, 8192}, {11025, 44100}, {0, 1}})
    ->ArgNames({"n", "rate", "fine"})
    ->Unit(benchmark::kMicrosecond);

}  // namespace
