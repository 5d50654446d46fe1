// Cost of one spectrum or wave form update at 1920 x 1080, core only.
#include <benchmark/benchmark.h>

#include <cmath>
#include <vector>

#include "display/spectrum_image.h"
#include "display/wave_trace.h"

namespace {

using namespace merlop;

void BM_Waterfall3D(benchmark::State& state) {
    SpectrumViewSettings s;
    const SpectrumBand band{11025.0f / 2048.0f, 4, 223};
    SpectrumImage w(1920, 1080, s, band);
    std::vector<float> level(1025);
    for (std::size_t i = 0; i < level.size(); ++i) {
        level[i] = static_cast<float>(-20.0 + 40.0 * std::sin(i * 0.05));
    }
    for (auto _ : state) {
        w.update(level.data());
        benchmark::DoNotOptimize(w.image().bits());
    }
}
BENCHMARK(BM_Waterfall3D)->Unit(benchmark::kMicrosecond);

void BM_WaveTrace(benchmark::State& state) {
    const int n = 2048;
    WaveTrace w(1920, 1080, n, 30);
    std::vector<int> block(n);
    for (int i = 0; i < n; ++i) block[i] = static_cast<int>(1500 * std::sin(i * 0.25));
    for (auto _ : state) {
        w.showWave(block.data(), n, 25.13f);
        benchmark::DoNotOptimize(w.image().bits());
    }
}
BENCHMARK(BM_WaveTrace)->Unit(benchmark::kMicrosecond);

}  // namespace
