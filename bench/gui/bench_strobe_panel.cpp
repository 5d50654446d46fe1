// One strobe frame at 1920 x 1080: the plan and its painting into an image, as the window's
// animation timer asks for some 30 times a second. It must stay well under a millisecond.
#include <benchmark/benchmark.h>

#include <QApplication>
#include <QImage>
#include <QPainter>
#include <vector>

#include "display/qt/strobe_panel.h"

namespace {

using namespace merlop;

void BM_StrobeFrame(benchmark::State& state) {
    QImage image(1920, 1080, QImage::Format_RGB32);
    std::vector<StrobeRowState> rows = {
        {1, false, 0.0, 0.11}, {2, false, 0.0, 0.22}, {4, state.range(0) != 0, 0.0, 0.44}};
    for (auto _ : state) {
        for (StrobeRowState& r : rows) r.phase += r.rate / 30.0;
        QPainter p(&image);
        paintStrobe(p, planStrobe(image.width(), image.height(), rows));
        p.end();
        benchmark::DoNotOptimize(image.constBits());
    }
}
BENCHMARK(BM_StrobeFrame)->Arg(0)->Arg(1)->ArgName("resting4")->Unit(benchmark::kMicrosecond);

// The panel itself as the window shows it: advance, then a synchronous repaint.
void BM_StrobePanelAdvance(benchmark::State& state) {
    StrobePanel panel;
    panel.resize(1920, 1080);
    panel.show();
    QApplication::processEvents();  // exposed: repaint() then really paints
    panel.setRows({{1, false, 0.0, 0.11}, {2, false, 0.0, 0.22}, {4, false, 0.0, 0.44}});
    for (auto _ : state) {
        panel.advance(1.0 / 30.0);
        panel.repaint();
    }
}
BENCHMARK(BM_StrobePanelAdvance)->Unit(benchmark::kMicrosecond);

}  // namespace
