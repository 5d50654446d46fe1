#include "display/qt/strobe_panel.h"

#include <QPaintEvent>
#include <QPainter>
#include <algorithm>

#include "display/qt/frame3d_painter.h"
#include "display/qt/plot_painting.h"

namespace merlop {

namespace {

QRect toQRect(const PixelRect& r) {
    return {r.left, r.top, r.width(), r.height()};
}

// Each pixel is written once: the dark parts around and between the bands, then the bands.
void paintRow(QPainter& painter, const StrobeRowPlan& row, const QColor& dark) {
    const QColor band = toQColor(row.bandColour);
    int x = row.area.left;
    for (const PixelRect& b : row.bands) {
        if (b.left > x)
            painter.fillRect(QRect(x, row.area.top, b.left - x, row.area.height()), dark);
        painter.fillRect(toQRect(b), band);
        x = std::max(x, b.right);
    }
    if (row.area.right > x) {
        painter.fillRect(QRect(x, row.area.top, row.area.right - x, row.area.height()), dark);
    }
}

}  // namespace

void paintStrobe(QPainter& painter, const StrobePlan& plan) {
    const QColor dark = toQColor(plan.background);
    if (plan.rows.empty()) {
        painter.fillRect(QRect(0, 0, plan.width, plan.height), dark);
        return;
    }
    const PixelRect& first = plan.rows.front().area;
    painter.fillRect(QRect(0, 0, first.left, plan.height), dark);
    painter.fillRect(QRect(first.right, 0, plan.width - first.right, plan.height), dark);
    int y = 0;
    for (const StrobeRowPlan& row : plan.rows) {
        painter.fillRect(QRect(row.area.left, y, row.area.width(), row.area.top - y), dark);
        paintRow(painter, row, dark);
        y = row.area.bottom;
    }
    painter.fillRect(QRect(first.left, y, first.width(), plan.height - y), dark);

    // Built once per size: a new font each frame would lay out its glyphs afresh.
    static int fontHeight = -1;
    static QFont font;
    if (fontHeight != plan.labelHeight) {
        font = plotFont(plan.labelHeight, 0);
        fontHeight = plan.labelHeight;
    }
    painter.setFont(font);
    painter.setPen(toQColor(plan.labelColour));
    for (const StrobeRowPlan& row : plan.rows) {
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
