#include "display/qt/strobe_panel.h"

#include <QPaintEvent>
#include <QPainter>

#include "display/qt/frame3d_painter.h"
#include "display/qt/plot_painting.h"

namespace merlop {

namespace {

QRect toQRect(const PixelRect& r) {
    return {r.left, r.top, r.width(), r.height()};
}

}  // namespace

void paintStrobe(QPainter& painter, const StrobePlan& plan) {
    painter.fillRect(QRect(0, 0, plan.width, plan.height), toQColor(plan.background));
    const QFont font = plotFont(plan.labelHeight, 0);
    painter.setFont(font);
    painter.setPen(toQColor(plan.labelColour));
    for (const StrobeRowPlan& row : plan.rows) {
        const QColor band = toQColor(row.bandColour);
        for (const PixelRect& b : row.bands) painter.fillRect(toQRect(b), band);
        painter.drawText(toQRect(row.label), Qt::AlignCenter, QString::fromStdString(row.text));
    }
}

StrobePanel::StrobePanel(QWidget* parent) : QWidget(parent) {
    setAttribute(Qt::WA_OpaquePaintEvent);
    for (const int partial : {1, 2, 4}) rows_.push_back({partial, true, 0.0, 0.0});
}

void StrobePanel::setRows(const std::vector<StrobeRowState>& rows) {
    rows_ = rows;
    update();
}

void StrobePanel::advance(double seconds) {
    bool moved = false;
    for (StrobeRowState& r : rows_) {
        if (r.resting || r.rate == 0.0 || !(seconds > 0.0)) continue;
        r.phase += r.rate * seconds;
        moved = true;
    }
    if (moved) update();
}

void StrobePanel::rest() {
    for (StrobeRowState& r : rows_) {
        r.resting = true;
        r.rate = 0.0;
    }
    update();
}

void StrobePanel::paintEvent(QPaintEvent* /*event*/) {
    QPainter p(this);
    paintStrobe(p, plan());
}

}  // namespace merlop
