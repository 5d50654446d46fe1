#pragma once

#include <array>

#include "display/colour_table.h"

namespace merlop {

// An inclusive pixel rectangle, as the window layouts compute them.
struct PixelRect {
    int left = 0, top = 0, right = 0, bottom = 0;
    int width() const { return right - left; }
    int height() const { return bottom - top; }
    friend bool operator==(const PixelRect&, const PixelRect&) = default;
};

struct FrameLine {
    int x1, y1, x2, y2;
    Rgb colour;
    int penWidth;
};

// The raised or sunken frame drawn round every display: four lines along the rectangle's own
// coordinates, top, right, bottom, left. Raised has a white top/left and a 2-pixel dark grey
// right/bottom; sunken is dark grey top/left and white right/bottom, 1 pixel each.
std::array<FrameLine, 4> frame3dLines(const PixelRect& r, bool raised);

inline constexpr Rgb kFrameDarkGrey{96, 96, 96};
inline constexpr Rgb kFrameWhite{255, 255, 255};

}  // namespace merlop
