#pragma once

#include <QFont>
#include <QImage>
#include <QWidget>
#include <memory>

#include "audio/analysis_cycle.h"
#include "display/wave_trace.h"

namespace merlop {

class Settings;
class MessageBox;

// The wave form display: the latest block's samples, four periods across, standing still for
// a steady tone. Each block reaches the screen at once with one image draw.
class WaveFormWindow : public QWidget, public WaveDisplay {
    Q_OBJECT
  public:
    // capacity: samples per input block.
    WaveFormWindow(const Settings& settings, int capacity, QWidget* parent = nullptr,
                   MessageBox* errors = nullptr);
    ~WaveFormWindow() override;

    void showWave(const int* samples, int n, float period) override;

    const WaveTrace* trace() const { return trace_.get(); }

  protected:
    void resizeEvent(QResizeEvent* event) override;
    void paintEvent(QPaintEvent* event) override;

  private:
    void rebuild();
    QRect imageRect() const;

    int capacity_;
    int dbHigh_;
    MessageBox* errors_;
    std::unique_ptr<WaveTrace> trace_;
    QImage image_;
    QFont font_;
};

}  // namespace merlop
