#include "display/index_image.h"

#include <algorithm>
#include <cstdlib>
#include <cstring>

namespace merlop {

IndexImage::IndexImage(int width, int height, bool bottomUp) : bottomUp_(bottomUp) {
    if (width < 1 || height < 1) return;
    width_ = width;
    height_ = height;
    stride_ = (width + 3) / 4 * 4;
    bytes_.assign(static_cast<std::size_t>(stride_) * static_cast<std::size_t>(height), 0);
}

void IndexImage::fill(std::uint8_t c) {
    std::fill(bytes_.begin(), bytes_.end(), c);
}

void IndexImage::copyFrom(const IndexImage& other) {
    if (other.bytes_.size() == bytes_.size() && !bytes_.empty()) {
        std::memcpy(bytes_.data(), other.bytes_.data(), bytes_.size());
    }
}

void IndexImage::line(int x0, int y0, int x1, int y1, std::uint8_t c, int penWidth) {
    if (bytes_.empty()) return;
    // Coordinates far outside come from wild inputs; keep the step count bounded.
    const auto limit = [](int v, int n) { return std::clamp(v, -4 * n - 4, 5 * n + 4); };
    x0 = limit(x0, width_);
    x1 = limit(x1, width_);
    y0 = limit(y0, height_);
    y1 = limit(y1, height_);
    const int dx = std::abs(x1 - x0);
    const int dy = std::abs(y1 - y0);
    const int sx = x0 < x1 ? 1 : -1;
    const int sy = y0 < y1 ? 1 : -1;
    const bool xMajor = dx >= dy;
    int err = dx - dy;
    int x = x0;
    int y = y0;
    while (x != x1 || y != y1) {
        set(x, y, c);
        if (penWidth > 1) {
            if (xMajor) {
                set(x, y + 1, c);
            } else {
                set(x + 1, y, c);
            }
        }
        const int e2 = 2 * err;
        if (e2 > -dy) {
            err -= dy;
            x += sx;
        }
        if (e2 < dx) {
            err += dx;
            y += sy;
        }
    }
}

}  // namespace merlop
