#include "display/qt/frame3d_painter.h"

#include <QPen>

namespace merlop {

const QVector<QRgb>& qtColourTable() {
    static const QVector<QRgb> table = [] {
        QVector<QRgb> t;
        t.reserve(256);
        for (const Rgb& c : displayColourTable()) t.push_back(qRgb(c.r, c.g, c.b));
        return t;
    }();
    return table;
}

void drawFrame3D(QPainter& painter, const PixelRect& r, bool raised) {
    painter.save();
    for (const FrameLine& l : frame3dLines(r, raised)) {
        QPen pen(toQColor(l.colour));
        pen.setWidth(l.penWidth);
        pen.setCapStyle(Qt::SquareCap);
        painter.setPen(pen);
        painter.drawLine(l.x1, l.y1, l.x2, l.y2);
    }
    painter.restore();
}

}  // namespace merlop
