#include "display/qt/tuner_font.h"

#include <QFontMetrics>
#include <algorithm>
#include <cmath>

namespace merlop {

namespace {
// DejaVu Sans: ascender 1901 + descender 483 font units on a 2048-unit em.
constexpr double kEmPerCell = 2048.0 / 2384.0;
}  // namespace

QFont tunerFont(int height, int width, bool cellHeight) {
    QFont font(QStringLiteral("DejaVu Sans"));
    font.setStyleHint(QFont::SansSerif);
    font.setWeight(QFont::Normal);
    const int px = cellHeight ? static_cast<int>(height * kEmPerCell) : height;
    font.setPixelSize(std::max(1, px));
    if (width > 0) {
        const int natural = QFontMetrics(font).averageCharWidth();
        if (natural > 0) {
            const long stretch = std::lround(100.0 * width / natural);
            font.setStretch(static_cast<int>(std::clamp(stretch, 1L, 4000L)));
        }
    }
    return font;
}

}  // namespace merlop
