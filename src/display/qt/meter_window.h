#pragma once

#include <QWidget>
#include <string>

#include "display/meter_layout.h"

class QPainter;

namespace merlop {

class PitchModel;

// Draws one meter paint: the whole window when plan.full, then the read-outs and bar it names.
void paintMeter(QPainter& painter, const MeterLayout& layout, const MeterModel::Paint& plan);

// The cent bar meter above the note buttons or keyboard. A new reading repaints at once, and
// only the boxes and the bar; any other exposure repaints the whole window.
class MeterWindow : public QWidget {
  public:
    // large: read-outs for full screen (MeterLayout::compute).
    MeterWindow(const PitchModel* pitch, bool fineTuning, QWidget* parent = nullptr,
                bool large = false);

    void showValues(float frequency, float deviation, int note, const std::string& name);
    // See MeterModel::setInTuneCents.
    void setInTuneCents(float cents);
    // Shows or takes away the "HOLD" mark.
    void setHeld(bool held);

    const MeterLayout& layout() const { return layout_; }
    const MeterModel& model() const { return model_; }
    int fullPaints() const { return fullPaints_; }
    int valuePaints() const { return valuePaints_; }

  protected:
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;

  private:
    bool fineTuning_;
    bool large_;
    MeterLayout layout_;
    MeterModel model_;
    bool layoutChanged_ = true;
    int fullPaints_ = 0;
    int valuePaints_ = 0;
};

}  // namespace merlop
