#include "display/qt/wave_form_window.h"

#include <QPaintEvent>
#include <QPainter>
#include <new>

#include "common/message_box.h"
#include "display/qt/plot_painting.h"
#include "settings/settings.h"

namespace merlop {

WaveFormWindow::WaveFormWindow(const Settings& settings, int capacity, QWidget* parent,
                               MessageBox* errors)
    : QWidget(parent), capacity_(capacity), dbHigh_(settings.spectrumDbHigh), errors_(errors) {
    setAttribute(Qt::WA_OpaquePaintEvent);
    setAccessibleName(tr("Wave form"));
    setAccessibleDescription(tr("The input signal over time"));
    rebuild();
}

WaveFormWindow::~WaveFormWindow() = default;

void WaveFormWindow::rebuild() {
    image_ = QImage();
    trace_.reset();
    try {
        trace_ = std::make_unique<WaveTrace>(width(), height(), capacity_, dbHigh_);
    } catch (const std::bad_alloc&) {
        if (errors_) errors_->show(tr("not enough mmero for").toStdString(), "iW");
        return;
    }
    image_ = wrapIndexImage(trace_->image());
    font_ = plotFont(trace_->geometry().fontH, trace_->geometry().fontW);
}

QRect WaveFormWindow::imageRect() const {
    if (!trace_) return QRect();
    const PlotGeometry& g = trace_->geometry();
    return QRect(g.plot.left, 2, g.plotW, g.plotH);
}

void WaveFormWindow::showWave(const int* samples, int n, float period) {
    if (!trace_) return;
    if (trace_->showWave(samples, n, period)) repaint(imageRect());
}

void WaveFormWindow::resizeEvent(QResizeEvent*) {
    rebuild();
}

void WaveFormWindow::paintEvent(QPaintEvent* event) {
    QPainter p(this);
    const QRect r = imageRect();
    if (!trace_ || !r.contains(event->rect())) {
        const PlotGeometry g = trace_ ? trace_->geometry() : PlotGeometry::of(0, 0);
        drawPlotFrame(p, rect(), g);
        if (trace_ && g.fontH >= 1) {
            p.setPen(Qt::black);
            drawTexts(p, font_, trace_->scaleLabels());
        }
    }
    if (!image_.isNull()) p.drawImage(r.topLeft(), image_);
}

}  // namespace merlop
