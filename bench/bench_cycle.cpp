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

struct Source {
    std::vector<std::vector<int>> blocks;
    std::vector<SampleRange> ranges;
};

// Eight consecutive blocks of a guitar-like tone with a little noise, on the 12-bit scale.
Source makeSource(int n, int rate) {
    std::vector<float> x = harmonicTone(196.0, 8.0 * n / rate + 0.01, rate, 8, 0.5);
    addWhiteNoise(x, -40.0);
    Source s;
    for (int b = 0; b < 8; ++b) {
        std::vector<int> block(n);
        SampleRange r;
        for (int i = 0; i < n; ++i) {
            block[i] = static_cast<int>(std::lround(x[b * n + i] * 2047.0));
            r.min = std::min(r.min, block[i]);
            r.max = std::max(r.max, block[i]);
        }
        s.blocks.push_back(std::move(block));
        s.ranges.push_back(r);
    }
    return s;
}

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
    const Source source = makeSource(n, rate);

    std::size_t k = 0;
    for (auto _ : state) {
        cycle.analyseBlock(source.blocks[k].data(), source.ranges[k]);
        benchmark::DoNotOptimize(cycle.lastReading());
        k = (k + 1) % source.blocks.size();
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
