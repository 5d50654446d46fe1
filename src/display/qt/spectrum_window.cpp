#include "display/qt/spectrum_window.h"

#include <QMouseEvent>
#include <QPaintEvent>
#include <QPainter>
#include <new>

#include "audio/spectrum_analyser.h"
#include "common/message_box.h"
#include "display/qt/plot_painting.h"
#include "settings/settings.h"

namespace merlop {

SpectrumWindow::SpectrumWindow(const Settings& settings, const SpectrumBand& band, QWidget* parent,
                               MessageBox* errors)
    : QWidget(parent),
      settings_(SpectrumViewSettings::from(settings)),
      band_(band),
      errors_(errors) {
    setAttribute(Qt::WA_OpaquePaintEvent);
    setAccessibleName(tr("Spectrum"));
    setAccessibleDescription(tr("Level of the input over frequency"));
    rebuild();
}

SpectrumWindow::~SpectrumWindow() = default;

void SpectrumWindow::rebuild() {
    image_ = QImage();
    plot_.reset();
    try {
        plot_ = std::make_unique<SpectrumImage>(width(), height(), settings_, band_);
    } catch (const std::bad_alloc&) {
        if (errors_) errors_->show(tr("Not enough memory for").toStdString(), "m_pBitsInit");
        return;
    }
    image_ = wrapIndexImage(plot_->image());
    const SpectrumAxes& a = plot_->axes();
    font_ = plotFont(a.fontH(), a.fontW());
}

QRect SpectrumWindow::imageRect() const {
    if (!plot_) return QRect();
    const SpectrumAxes& a = plot_->axes();
    return QRect(a.plot().left, 2, a.plotW(), a.plotH());
}

void SpectrumWindow::showSpectrum(const SpectrumAnalyser& analyser) {
    if (!analyser.usable()) return;
    showLevels(SpectrumBand{analyser.binWidth(), analyser.loBin(), analyser.hiBin()},
               analyser.shownLevel());
}

void SpectrumWindow::showLevels(const SpectrumBand& band, const float* level) {
    if (!(band == band_)) {
        band_ = band;
        rebuild();
        update();  // new axes: the scales change too
    }
    if (!plot_ || image_.isNull()) return;
    plot_->update(level);
    repaint(imageRect());
}

std::vector<SpectrumExtremum> SpectrumWindow::scanHistory() const {
    if (!plot_ || !plot_->axes().threeD()) return {};
    return scanPeaksAndValleys(plot_->history(), plot_->slices(), plot_->columnCount(),
                               plot_->axes());
}

void SpectrumWindow::resizeEvent(QResizeEvent*) {
    rebuild();
}

void SpectrumWindow::paintPlot(QPainter& p) {
    if (image_.isNull()) return;
    const QRect r = imageRect();
    // The image keeps its lowest row first: draw it flipped.
    p.save();
    p.translate(r.left(), r.top() + r.height());
    p.scale(1.0, -1.0);
    p.drawImage(0, 0, image_);
    p.restore();
    if (auto text = plot_->readout()) {
        p.save();
        p.setClipRect(r);
        p.setPen(QColor(255, 255, 0));
        drawTexts(p, font_, {*text});
        p.restore();
    }
}

void SpectrumWindow::paintEvent(QPaintEvent* event) {
    QPainter p(this);
    const QRect r = imageRect();
    // A new spectrum repaints only the plot; anything else was exposed and gets the scales too.
    if (!plot_ || !r.contains(event->rect())) {
        drawPlotFrame(p, rect(), plot_ ? plot_->axes().geometry() : PlotGeometry::of(0, 0));
        if (plot_ && plot_->axes().fontH() >= 1) {
            p.setPen(Qt::black);
            drawTexts(p, font_, plot_->axes().dbLabels());
            drawTexts(p, font_, plot_->axes().frequencyLabels());
        }
    }
    paintPlot(p);
}

void SpectrumWindow::mousePressEvent(QMouseEvent* event) {
    if (event->button() != Qt::LeftButton || !plot_) return;
    const QPoint pos = event->position().toPoint();
    if (plot_->click(pos.x(), pos.y()) && paused_) {
        plot_->render();
        repaint(imageRect());
    }
}

}  // namespace merlop
