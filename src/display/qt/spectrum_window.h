#pragma once

#include <QFont>
#include <QImage>
#include <QWidget>
#include <memory>
#include <vector>

#include "audio/analysis_cycle.h"
#include "display/spectrum_image.h"
#include "display/spectrum_scan.h"

namespace merlop {

class Settings;
class MessageBox;

// The spectrum display: level against a note-labelled frequency axis, flat or as a 3D
// waterfall. Each new spectrum is drawn into the plot's index image and reaches the screen at
// once with one image draw; the scales are painted whenever the window is exposed.
class SpectrumWindow : public QWidget, public SpectrumDisplay {
    Q_OBJECT
  public:
    SpectrumWindow(const Settings& settings, const SpectrumBand& band, QWidget* parent = nullptr,
                   MessageBox* errors = nullptr);
    ~SpectrumWindow() override;

    void showSpectrum(const SpectrumAnalyser& analyser) override;
    // level[L] in dB for L = band.loBin..band.hiBin. A different band rebuilds the axes.
    void showLevels(const SpectrumBand& band, const float* level);

    void setPaused(bool paused) { paused_ = paused; }
    bool paused() const { return paused_; }

    // The renderer of the current size; null while the window has no usable plot.
    const SpectrumImage* plot() const { return plot_.get(); }
    // Peaks and valleys of the waterfall history (none in the flat view).
    std::vector<SpectrumExtremum> scanHistory() const;

  protected:
    void resizeEvent(QResizeEvent* event) override;
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;

  private:
    void rebuild();
    QRect imageRect() const;
    void paintPlot(QPainter& p);

    SpectrumViewSettings settings_;
    SpectrumBand band_;
    MessageBox* errors_;
    std::unique_ptr<SpectrumImage> plot_;
    QImage image_;
    QFont font_;
    bool paused_ = false;
};

}  // namespace merlop
