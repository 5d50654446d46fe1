#include "display/qt/plot_painting.h"

#include <QFontMetrics>
#include <algorithm>
#include <cmath>

#include "display/qt/frame3d_painter.h"

namespace merlop {

QFont plotFont(int fontH, int fontW) {
    QFont f(QStringLiteral("DejaVu Sans"));
    f.setStyleHint(QFont::SansSerif);
    f.setWeight(QFont::Normal);
    f.setPixelSize(std::max(fontH, 1));
    // The height is the whole character cell, as the labels' rows are spaced by it.
    const int cell = QFontMetrics(f).height();
    if (cell > fontH && fontH > 0) {
        f.setPixelSize(std::max(1, static_cast<int>(std::lround(double(fontH) * fontH / cell))));
    }
    const int natural = QFontMetrics(f).averageCharWidth();
    if (natural > 0 && fontW > 0) {
        f.setStretch(std::clamp(static_cast<int>(std::lround(100.0 * fontW / natural)), 1, 4000));
    }
    return f;
}

void drawTexts(QPainter& p, const QFont& font, const std::vector<TextItem>& items) {
    p.setFont(font);
    const int ascent = QFontMetrics(font).ascent();
    for (const TextItem& t : items) {
        p.drawText(t.x, t.y + ascent, QString::fromStdString(t.text));
    }
}

QImage wrapIndexImage(const IndexImage& image) {
    if (image.empty()) return QImage();
    QImage q(image.bits(), image.width(), image.height(), image.stride(), QImage::Format_Indexed8);
    q.setColorTable(qtColourTable());
    return q;
}

void drawPlotFrame(QPainter& p, const QRect& client, const PlotGeometry& g) {
    p.fillRect(client, QColor(192, 192, 192));
    if (g.plotW < 1 || g.plotH < 1) return;
    p.fillRect(QRect(g.plot.left, g.plot.top, g.plotW, g.plotH), Qt::black);
    drawFrame3D(p, PixelRect{g.plot.left - 1, g.plot.top - 1, g.plot.right, g.plot.bottom}, false);
}

}  // namespace merlop
