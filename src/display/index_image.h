#pragma once

#include <cstdint>
#include <vector>

namespace merlop {

// An 8-bit image of colour-table indexes, rows padded to a multiple of 4 bytes. A bottom-up
// image keeps its lowest row first in memory; x and y given to the drawing calls are always
// "y downward" from the visible top, as a drawing context would take them.
class IndexImage {
  public:
    IndexImage() = default;
    // Sizes below 1 give an empty image that ignores every drawing call.
    IndexImage(int width, int height, bool bottomUp);

    int width() const { return width_; }
    int height() const { return height_; }
    int stride() const { return stride_; }
    bool bottomUp() const { return bottomUp_; }
    bool empty() const { return bytes_.empty(); }

    const std::uint8_t* bits() const { return bytes_.data(); }
    std::uint8_t* bits() { return bytes_.data(); }
    const std::vector<std::uint8_t>& bytes() const { return bytes_; }

    // Memory row of the visible row y (0 = top).
    std::uint8_t* row(int y) { return bytes_.data() + memoryRow(y) * stride_; }
    const std::uint8_t* row(int y) const { return bytes_.data() + memoryRow(y) * stride_; }

    std::uint8_t at(int x, int y) const { return row(y)[x]; }
    void set(int x, int y, std::uint8_t c) {
        if (x >= 0 && y >= 0 && x < width_ && y < height_) row(y)[x] = c;
    }
    void fill(std::uint8_t c);
    // Same size required; anything else is left alone.
    void copyFrom(const IndexImage& other);

    // A line from (x0, y0) to (x1, y1) as a drawing context's LineTo draws it: the end point is
    // left out. penWidth 2 doubles the line across its run.
    void line(int x0, int y0, int x1, int y1, std::uint8_t c, int penWidth = 1);

  private:
    std::size_t memoryRow(int y) const {
        return static_cast<std::size_t>(bottomUp_ ? height_ - 1 - y : y);
    }

    int width_ = 0;
    int height_ = 0;
    int stride_ = 0;
    bool bottomUp_ = false;
    std::vector<std::uint8_t> bytes_;
};

}  // namespace merlop
