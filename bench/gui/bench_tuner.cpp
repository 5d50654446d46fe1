// One meter update at 1920 x 1080 as a reading reaches it: values changed, then a synchronous
// repaint of the boxes and the bar, offscreen.
#include <benchmark/benchmark.h>

#include <QApplication>

#include "display/qt/meter_window.h"
#include "pitch/pitch_model.h"

namespace {

using namespace merlop;

void BM_MeterWindowReading(benchmark::State& state) {
    PitchModel pitch;
    MeterWindow w(&pitch, false);
    w.resize(1920, 1080 / 2);
    w.show();
    QApplication::processEvents();  // exposed: repaint() then really paints
    int i = 0;
    for (auto _ : state) {
        // Alternate readings, so every update changes the boxes and the bar.
        const float deviation = (i & 1) != 0 ? 0.12f : -0.31f;
        w.showValues(440.0f + deviation, deviation, 57 + (i & 1), (i & 1) != 0 ? "A 4" : "A#4");
        ++i;
    }
}
BENCHMARK(BM_MeterWindowReading)->Unit(benchmark::kMicrosecond);

}  // namespace
