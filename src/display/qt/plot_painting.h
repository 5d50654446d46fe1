#pragma once

#include <QFont>
#include <QImage>
#include <QPainter>
#include <vector>

#include "display/index_image.h"
#include "display/spectrum_axes.h"

namespace merlop {

// The labels' font: DejaVu Sans with a character cell (ascent + descent) of fontH pixels,
// squeezed so that an average character is fontW wide.
QFont plotFont(int fontH, int fontW);

// Texts whose positions give the top-left of their cell.
void drawTexts(QPainter& p, const QFont& font, const std::vector<TextItem>& items);

// An indexed image over the core's bytes (no copy), with the display colour table.
QImage wrapIndexImage(const IndexImage& image);

// Light grey client, black plot area and the sunken frame just outside it.
void drawPlotFrame(QPainter& p, const QRect& client, const PlotGeometry& g);

}  // namespace merlop
