#include "display/note_buttons.h"

#include <algorithm>

#include "common/translation.h"

namespace merlop {

namespace {

constexpr int kRow[12] = {1, 0, 1, 0, 1, 1, 0, 1, 0, 1, 0, 1};
constexpr int kHalfColumn[12] = {0, 1, 2, 3, 4, 6, 7, 8, 9, 10, 11, 12};
constexpr double kKeyWidthFactor = 0.12857142f;  // 0.9 / 7

int trunc(double v) {
    return static_cast<int>(v);
}

}  // namespace

TunerLayout TunerLayout::compute(int cx, int cy, int buttonCount) {
    TunerLayout l;
    cx = std::max(0, cx);
    cy = std::max(0, cy);
    l.meterHeight = cx < 2 * cy ? trunc(0.4 * cy) : trunc(0.5 * cy);
    const int m = l.meterHeight;
    l.meter = PixelRect{0, 0, cx, m};
    l.piano = PixelRect{0, m, cx, cy};
    const int a = cy - m;
    if (buttonCount == 1) {
        const int bw = trunc(0.8 * cx);
        const int left = (cx - bw) / 2;
        const int top = trunc(0.2 * a + m);
        l.buttons.push_back(PixelRect{left, top, left + bw, top + trunc(0.6 * a)});
    } else if (buttonCount == 12) {
        const int kw = trunc(cx * kKeyWidthFactor);
        const int s = trunc(std::min(static_cast<double>(static_cast<int>(a * 5 / 11)), 0.7 * kw));
        const int r = trunc(1.2 * s);
        const int y0 = trunc(m + static_cast<int>(a / 2) - 1.1 * s);
        const int x0 = trunc((0.1 * cx - s + kw) / 2);
        for (int i = 0; i < 12; ++i) {
            const int h = kHalfColumn[i];
            const bool natural = kRow[i] == 1;
            const int left = natural ? x0 + (h / 2) * kw : trunc(x0 + h * 0.5 * kw);
            const int top = y0 + kRow[i] * r;
            l.buttons.push_back(PixelRect{left, top, left + s, top + s});
        }
    }
    return l;
}

ButtonFont noteButtonFont(int w, int h, int style, int labelLength) {
    ButtonFont f;
    f.height = trunc(0.85 * h);
    switch (style) {
        case 0:
            f.width = w / std::max(6, labelLength + 1);
            break;
        case 1:
        case 2:
            f.width = trunc(0.35 * w);
            break;
        case 4:
            f.width = w / 4;
            break;
        default:
            f.width = style > 0 ? w / style : 0;
            f.height = trunc(0.7 * h);
            break;
    }
    return f;
}

std::string calibrationCaption(int seconds) {
    // The number right-aligned in three columns, so it never moves as it counts down.
    std::string number;
    if (seconds >= 10 && seconds <= 99) number += " ";
    if (seconds >= 0 && seconds <= 9) number += "  ";
    number += std::to_string(seconds);
    return fill(translate("Calibration", "Calibration  %1 seconds"), {number});
}

}  // namespace merlop
