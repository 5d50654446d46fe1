#pragma once

#include <QWidget>
#include <vector>

#include "display/strobe_view.h"

class QPainter;

namespace merlop {

void paintStrobe(QPainter& painter, const StrobePlan& plan);

// The strobe's band rows. It keeps no clock of its own: the caller hands it each block's rows and
// moves the bands on between blocks with advance(), from whatever timer drives it.
class StrobePanel : public QWidget {
    Q_OBJECT

  public:
    explicit StrobePanel(QWidget* parent = nullptr);

    // The rows as the strobe measured them after a block; repaints.
    void setRows(const std::vector<StrobeRowState>& rows);
    // Moves every moving row on by its rate for `seconds`; resting rows stand. Repaints when a
    // band moved.
    void advance(double seconds);
    // Every row rests where it stands.
    void rest();

    const std::vector<StrobeRowState>& rows() const { return rows_; }
    StrobePlan plan() const { return planStrobe(width(), height(), rows_); }

    QSize sizeHint() const override { return {600, 200}; }
    QSize minimumSizeHint() const override { return {120, 40}; }

  protected:
    void paintEvent(QPaintEvent* event) override;

  private:
    std::vector<StrobeRowState> rows_;
};

}  // namespace merlop
