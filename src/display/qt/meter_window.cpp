#include "display/qt/meter_window.h"

#include <QPaintEvent>
#include <QPainter>
#include <QRegion>

#include "display/qt/frame3d_painter.h"
#include "display/qt/tuner_font.h"

namespace merlop {

namespace {

const QColor kGrey(192, 192, 192);
const QColor kRed(255, 0, 0);

QRect toQRect(const PixelRect& r) {
    return QRect(r.left, r.top, r.width(), r.height());
}

void fill(QPainter& p, const PixelRect& r, const QColor& c) {
    if (r.width() > 0 && r.height() > 0) p.fillRect(toQRect(r), c);
}

// Text with its cell's top-left corner at (x, y).
void textAt(QPainter& p, int x, int y, const QString& text) {
    p.drawText(QRect(x, y, 10000, 10000), Qt::AlignLeft | Qt::AlignTop | Qt::TextDontClip, text);
}

void valueText(QPainter& p, const PixelRect& box, const std::string& text) {
    if (text.empty() || box.width() <= 0 || box.height() <= 0) return;
    p.save();
    p.setClipRect(toQRect(box), Qt::IntersectClip);
    p.setPen(kRed);
    p.drawText(toQRect(box), Qt::AlignHCenter | Qt::AlignTop, QString::fromStdString(text));
    p.restore();
}

}  // namespace

void paintMeter(QPainter& p, const MeterLayout& l, const MeterModel::Paint& plan) {
    if (plan.full) {
        p.fillRect(QRect(0, 0, l.width, l.height), kGrey);
        drawFrame3D(p, l.bar, false);
        fill(p, l.bar, Qt::black);
        if (l.fontH > 0) {
            p.setFont(tunerFont(l.fontH, l.fontW, true));
            p.setPen(Qt::black);
            for (int i = 0; i < 11; ++i) {
                textAt(p, l.left - l.fontW + i * l.step, l.bar.bottom + l.fontH / 4,
                       QString::fromLatin1(MeterLayout::kScaleLabels[i]));
            }
        }
        fill(p, l.centsBox, Qt::black);
        drawFrame3D(p, l.centsBox, false);
        fill(p, l.frequencyBox, Qt::black);
        drawFrame3D(p, l.frequencyBox, false);
        fill(p, l.noteBox, Qt::black);
        drawFrame3D(p, l.noteBox, false);
        if (l.fontH > 0) {
            const int y = l.boxBottom - l.fontH;
            const auto after = [&](const PixelRect& box) {
                return static_cast<int>(0.1 * l.step + box.right);
            };
            textAt(p, after(l.frequencyBox), y, QStringLiteral("Hz"));
            textAt(p, after(l.noteBox), y, QStringLiteral("Note/Octave"));
            textAt(p, after(l.centsBox), y, QStringLiteral("Cents"));
        }
    }

    const int valueHeight = l.valueFontHeight();
    if (valueHeight > 0) p.setFont(tunerFont(valueHeight, l.valueFontWidth(), false));
    const bool text = valueHeight > 0;
    if (plan.note) {
        fill(p, l.noteBox, Qt::black);
        if (text) valueText(p, l.noteBox, plan.noteText);
    }
    if (plan.frequency) {
        fill(p, l.frequencyBox, Qt::black);
        if (text) valueText(p, l.frequencyBox, plan.frequencyText);
    }
    if (plan.cents) {
        fill(p, l.centsBox, Qt::black);
        if (text) valueText(p, l.centsBox, plan.centsText);
    }
    if (plan.bar) {
        fill(p, l.bar, Qt::black);
        if (plan.barExtent != 0) fill(p, l.barFill(plan.barExtent), kRed);
    }
    if (plan.grid && l.bar.height() > 0) {
        p.setPen(QPen(QColor(0, 255, 0), 1));
        for (int x : l.gridLines()) {
            if (x >= l.bar.right) break;
            p.drawLine(x, l.bar.top, x, l.bar.bottom - 1);
        }
        p.setPen(QPen(QColor(255, 255, 0), 1));
        p.drawLine(l.centre, l.bar.top, l.centre, l.bar.bottom - 1);
    }
}

MeterWindow::MeterWindow(const PitchModel* /*pitch*/, bool fineTuning, QWidget* parent)
    : QWidget(parent), fineTuning_(fineTuning) {
    setAttribute(Qt::WA_OpaquePaintEvent);
    layout_ = MeterLayout::compute(width(), height(), fineTuning_);
}

void MeterWindow::resizeEvent(QResizeEvent*) {
    layout_ = MeterLayout::compute(width(), height(), fineTuning_);
    layoutChanged_ = true;
}

void MeterWindow::showValues(float frequency, float deviation, int note, const std::string& name) {
    model_.showValues(frequency, deviation, note, name);
    QRegion region;
    for (const PixelRect& r :
         {layout_.bar, layout_.noteBox, layout_.frequencyBox, layout_.centsBox}) {
        region += toQRect(r);
    }
    repaint(region);
}

void MeterWindow::paintEvent(QPaintEvent* event) {
    // Value updates always end at the bar's bottom; anything else is an exposure.
    const bool full =
        layoutChanged_ || event->region().boundingRect().bottom() != layout_.bar.bottom - 1;
    layoutChanged_ = false;
    QPainter painter(this);
    const MeterModel::Paint plan = model_.beginPaint(layout_, full);
    ++(plan.full ? fullPaints_ : valuePaints_);
    paintMeter(painter, layout_, plan);
}

}  // namespace merlop
