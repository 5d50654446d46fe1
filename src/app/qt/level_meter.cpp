#include "app/qt/level_meter.h"

#include <QFontMetrics>
#include <QPainter>
#include <algorithm>
#include <cmath>

namespace merlop {

QString LevelMeter::clipText() {
    return tr("CLIP");
}

LevelMeter::LevelMeter(QWidget* parent) : QWidget(parent) {
    setObjectName(QStringLiteral("levelMeter"));
    setToolTip(tr("Input level (peak, dB of full scale)"));
    setAttribute(Qt::WA_OpaquePaintEvent);
}

QSize LevelMeter::sizeHint() const {
    const QFontMetrics m(font());
    return {m.horizontalAdvance(QStringLiteral("-60 dBFS ") + clipText()) + 90, m.height()};
}

void LevelMeter::showLevel(const LevelReading& level) {
    const bool changed = level.shown != level_.shown || level.clipped != level_.clipped ||
                         std::lround(level.peakDbfs) != std::lround(level_.peakDbfs);
    level_ = level;
    setVisible(level.shown);
    if (changed) update();
}

void LevelMeter::paintEvent(QPaintEvent*) {
    QPainter p(this);
    p.fillRect(rect(), palette().window());
    const QFontMetrics m(font());
    const int clipWidth = m.horizontalAdvance(clipText()) + 6;
    const int textWidth = m.horizontalAdvance(QStringLiteral("-60 dBFS")) + 6;
    const QRect bar(1, 3, std::max(0, width() - clipWidth - textWidth - 4), height() - 6);
    p.fillRect(bar, Qt::black);
    const float db = std::clamp(level_.peakDbfs, kFloorDbfs, 0.0f);
    const int filled = static_cast<int>(std::lround(bar.width() * (db - kFloorDbfs) / -kFloorDbfs));
    // Green while there is room, yellow near the top, red for the last 3 dB.
    const auto xOf = [&](float at) {
        return bar.left() + static_cast<int>(bar.width() * (at - kFloorDbfs) / -kFloorDbfs);
    };
    const int yellow = xOf(-12.0f);
    const int red = xOf(-3.0f);
    const int end = bar.left() + filled;
    p.fillRect(
        QRect(QPoint(bar.left(), bar.top()), QPoint(std::min(end, yellow) - 1, bar.bottom())),
        QColor(0, 200, 0));
    if (end > yellow) {
        p.fillRect(QRect(QPoint(yellow, bar.top()), QPoint(std::min(end, red) - 1, bar.bottom())),
                   QColor(230, 200, 0));
    }
    if (end > red) {
        p.fillRect(QRect(QPoint(red, bar.top()), QPoint(end - 1, bar.bottom())), QColor(255, 0, 0));
    }
    p.setPen(palette().windowText().color());
    const QString value = level_.peakDbfs <= kFloorDbfs
                              ? QStringLiteral("-inf dBFS")
                              : QStringLiteral("%1 dBFS").arg(std::lround(level_.peakDbfs));
    p.drawText(QRect(bar.right() + 4, 0, textWidth, height()), Qt::AlignVCenter | Qt::AlignLeft,
               value);
    const QRect clip(width() - clipWidth, 2, clipWidth - 1, height() - 4);
    if (level_.clipped) {
        p.fillRect(clip, QColor(255, 0, 0));
        p.setPen(Qt::white);
    } else {
        p.setPen(palette().mid().color());
    }
    p.drawText(clip, Qt::AlignCenter, clipText());
}

}  // namespace merlop
