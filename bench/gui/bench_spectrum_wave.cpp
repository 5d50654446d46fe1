// One spectrum (3D) or wave form update at 1920 x 1080 as the window does it: renderer, then a
// synchronous repaint of the plot, offscreen.
#include <benchmark/benchmark.h>

#include <QApplication>
#include <cmath>
#include <vector>

#include "display/qt/spectrum_window.h"
#include "display/qt/wave_form_window.h"
#include "settings/settings.h"

namespace {

using namespace merlop;

void BM_SpectrumWindow3D(benchmark::State& state) {
    Settings settings;
    const SpectrumBand band{11025.0f / 2048.0f, 4, 223};
    SpectrumWindow w(settings, band);
    w.resize(1920, 1080);
    w.show();
    QApplication::processEvents();  // exposed: repaint() then really paints
    std::vector<float> level(1025);
    for (std::size_t i = 0; i < level.size(); ++i) {
        level[i] = static_cast<float>(-20.0 + 40.0 * std::sin(i * 0.05));
    }
    for (auto _ : state) w.showLevels(band, level.data());
}
BENCHMARK(BM_SpectrumWindow3D)->Unit(benchmark::kMicrosecond);

void BM_WaveFormWindow(benchmark::State& state) {
    Settings settings;
    const int n = 2048;
    WaveFormWindow w(settings, n);
    w.resize(1920, 1080);
    w.show();
    QApplication::processEvents();  // exposed: repaint() then really paints
    std::vector<int> block(n);
    for (int i = 0; i < n; ++i) block[i] = static_cast<int>(1500 * std::sin(i * 0.25));
    for (auto _ : state) w.showWave(block.data(), n, 25.13f);
}
BENCHMARK(BM_WaveFormWindow)->Unit(benchmark::kMicrosecond);

}  // namespace

int main(int argc, char** argv) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    return 0;
}
