#pragma once

#include <QColor>
#include <QPainter>
#include <QRgb>
#include <QVector>

#include "display/colour_table.h"
#include "display/frame3d.h"

namespace merlop {

inline QColor toQColor(Rgb c) {
    return QColor(c.r, c.g, c.b);
}

// The display colour table as Qt wants it for a QImage::Format_Indexed8 image.
const QVector<QRgb>& qtColourTable();

// Draws the shared 3D frame with the painter's current state otherwise untouched.
void drawFrame3D(QPainter& painter, const PixelRect& r, bool raised);

}  // namespace merlop
