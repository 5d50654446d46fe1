#include "display/spectrum_image.h"

#include <algorithm>
#include <cmath>
#include <cstring>

namespace merlop {

namespace {

// Levels enter the running sum within these bounds: NaN and -inf count as "below the range",
// +inf stays finite so the sum never turns into inf - inf.
constexpr double kLevelCeiling = 1.0e6;

}  // namespace

SpectrumImage::SpectrumImage(int cx, int cy, const SpectrumViewSettings& s,
                             const SpectrumBand& band)
    : axes_(cx, cy, s, band),
      image_(axes_.plotW(), axes_.plotH(), true),
      background_(axes_.plotW(), axes_.plotH(), true) {
    halfWidth_ =
        std::max(0, truncClamped(s.curveSmoothing * static_cast<double>(axes_.xScale()) * 4.0 * 0.5,
                                 0, 1 << 28));
    n_ = std::max(0, axes_.x2() - axes_.x1() + 1);
    if (axes_.threeD()) {
        build3D(s);
    } else {
        slices_ = 1;
        xOff_.assign(1, 0);
    }
    points_.reserve(axes_.columns().size());
}

void SpectrumImage::build3D(const SpectrumViewSettings& s) {
    const int available = axes_.half() - axes_.depthY() - axes_.margin();
    // A window setting of 0 ms or a sustain below one cycle still keeps one slice.
    const double cycles = s.analysisWindowMs > 0
                              ? static_cast<double>(s.spectrumSustain) / s.analysisWindowMs * 1000.0
                              : 1.0;
    const int u = std::max(1, truncClamped(cycles, 1, 1 << 28));
    if (available < 1 || n_ < 1) {
        slices_ = 0;
        step_ = 0;
        n_ = std::max(n_, 0);
        return;
    }
    if (u < available) {
        step_ = available / u;
        slices_ = available / step_;
    } else {
        step_ = 1;
        slices_ = available;
    }
    xOff_.resize(slices_);
    for (int i = 0; i < slices_; ++i) {
        xOff_[i] = static_cast<int>(std::trunc(static_cast<double>(i) * axes_.depthX() / slices_));
    }
    yOff_.resize(n_);
    for (int j = 0; j < n_; ++j) {
        yOff_[j] = static_cast<int>(std::trunc(static_cast<double>(n_ - j) / n_ * axes_.depthY()));
    }
    history_.assign(static_cast<std::size_t>(slices_) * n_, -1);
    marks_.assign(std::max(axes_.plotW(), 0), -1);
    buildFloor();
}

void SpectrumImage::buildFloor() {
    if (background_.empty()) return;
    const int m = axes_.margin();
    const int dX = axes_.depthX();
    const int dY = axes_.depthY();
    const int back = (slices_ - 1) * step_;
    // Corners, y up from the image bottom: front-left, front-right, back-right, back-left.
    const int px[4] = {m, m + n_, m + n_ + dX, m + dX};
    const int py[4] = {m + dY, m, m + back, m + dY + back};
    const int minX = std::max(0, *std::min_element(px, px + 4));
    const int maxX = std::min(background_.width() - 1, *std::max_element(px, px + 4));
    for (int x = minX; x <= maxX; ++x) {
        int lo = 1 << 30;
        int hi = -(1 << 30);
        for (int e = 0; e < 4; ++e) {
            const int ax = px[e], ay = py[e], bx = px[(e + 1) % 4], by = py[(e + 1) % 4];
            if (x < std::min(ax, bx) || x > std::max(ax, bx)) continue;
            if (ax == bx) {
                lo = std::min({lo, ay, by});
                hi = std::max({hi, ay, by});
                continue;
            }
            const int y = ay + (x - ax) * (by - ay) / (bx - ax);
            lo = std::min(lo, y);
            hi = std::max(hi, y);
        }
        lo = std::max(lo, 0);
        hi = std::min(hi, background_.height() - 1);
        std::uint8_t* p = background_.bits() + static_cast<std::size_t>(lo) * background_.stride();
        for (int y = lo; y <= hi; ++y, p += background_.stride()) p[x] = kFloor;
    }
}

const std::vector<ColumnPoint>& SpectrumImage::columnLevels(const float* level) {
    points_.clear();
    const std::vector<int>& col = axes_.columns();
    if (!level || col.empty()) return points_;
    const unsigned lo0 = axes_.band().loBin;
    const double dbLow = axes_.dbLow();
    const double dbHigh = axes_.dbHigh();
    const int x1 = axes_.x1();
    const int x2 = axes_.x2();
    const auto value = [&](std::size_t k) {
        const double v = level[lo0 + k];
        if (!(v >= dbLow - 1.0)) return dbLow - 1.0;
        return std::min(v, kLevelCeiling);
    };
    const std::size_t count = col.size();
    std::size_t wlo = 0, whi = 0;
    double sum = 0.0;
    int prevX = x1 - 1;
    for (std::size_t k = 0; k < count; ++k) {
        const int x = col[k];
        if (x < x1 || x >= x2 || x <= prevX) continue;
        const int lowBound = std::max(x - halfWidth_, x1);
        const int highBound = std::min(x + halfWidth_, x2);
        while (whi < count && col[whi] <= highBound) sum += value(whi++);
        while (wlo < whi && col[wlo] < lowBound) sum -= value(wlo++);
        const double n = static_cast<double>(whi - wlo);
        double avg = n > 0 ? std::trunc(sum / n) : dbLow - 1.0;
        int h = 0;
        if (avg >= dbLow) {
            avg = std::min(avg, dbHigh);
            h = truncClamped(std::min((avg - dbLow) * axes_.yScale(), double(axes_.yMax())), 0,
                             1 << 28);
        }
        points_.push_back({x, h});
        prevX = x;
    }
    return points_;
}

void SpectrumImage::update(const float* level) {
    columnLevels(level);
    if (!axes_.threeD()) {
        draw2D();
        return;
    }
    if (slices_ < 1 || n_ < 1) {
        image_.copyFrom(background_);
        return;
    }
    age();
    fillNewest();
    render();
}

void SpectrumImage::draw2D() {
    image_.copyFrom(background_);
    if (points_.empty()) return;
    const int x1 = axes_.x1();
    const int yMax = axes_.yMax();
    int penX = 0, penY = yMax;
    for (std::size_t k = 1; k < points_.size(); ++k) {
        const ColumnPoint& p = points_[k];
        const ColumnPoint& q = points_[k - 1];
        if (p.x == q.x && p.h == q.h) continue;
        const int x = p.x - x1;
        const int y = yMax - p.h;
        image_.line(penX, penY, x, y, kCurve, 2);
        penX = x;
        penY = y;
    }
}

void SpectrumImage::age() {
    const int d = slices_ >= 2 ? xOff_[slices_ - 1] - xOff_[slices_ - 2] : 0;
    for (int k = slices_ - 2; k >= 1; --k) xOff_[k + 1] = xOff_[k] + d;
    if (slices_ >= 2) xOff_[1] = d;
    if (slices_ >= 2) {
        std::memmove(history_.data() + n_, history_.data(),
                     sizeof(int) * static_cast<std::size_t>(slices_ - 1) * n_);
    }
    if (marker_.slice >= 0) {
        ++marker_.slice;
        if (marker_.slice >= slices_) {
            marker_ = Marker{};
        } else {
            marker_.column += d;
            marker_.height += step_;
        }
    }
}

void SpectrumImage::fillNewest() {
    if (points_.empty()) return;
    int* row = history_.data();
    const int x1 = axes_.x1();
    const auto put = [&](int x, int h) {
        const int j = x - x1;
        if (j >= 0 && j < n_) row[j] = h;
    };
    put(points_[0].x, points_[0].h);
    for (std::size_t k = 1; k < points_.size(); ++k) {
        const ColumnPoint a = points_[k - 1];
        const ColumnPoint b = points_[k];
        const double slope = static_cast<double>(b.h - a.h) / (b.x - a.x);
        const double offset = a.h - a.x * slope;
        for (int x = a.x + 1; x < b.x; ++x) {
            put(x, static_cast<int>(std::trunc(x * slope + offset)));
        }
        put(b.x, b.h);
    }
}

void SpectrumImage::putHeight(int col, int height, std::uint8_t c) {
    const int r = axes_.margin() + height;
    if (r >= 0 && r < image_.height()) {
        image_.bits()[static_cast<std::size_t>(r) * image_.stride() + col] = c;
    }
}

std::uint8_t SpectrumImage::sliceColour(int i) const {
    return static_cast<std::uint8_t>(239 - (130 * i) / std::max(slices_, 1));
}

void SpectrumImage::render() {
    image_.copyFrom(background_);
    if (image_.empty() || slices_ < 1 || n_ < 1) return;
    std::fill(marks_.begin(), marks_.end(), -1);
    for (int i = 0; i < slices_; ++i) renderSlice(i);
    drawMarker();
}

// Draws slice i over the slices before it: its outline, and its fill where it rises above them.
void SpectrumImage::renderSlice(int i) {
    const int plotW = image_.width();
    const int rows = image_.height();
    const int margin = axes_.margin();
    const std::size_t stride = image_.stride();
    std::uint8_t* bits = image_.bits();
    const std::uint8_t c = sliceColour(i);
    const int* t = history_.data() + static_cast<std::size_t>(i) * n_;
    const int lift = i * step_;
    int l = lift + yOff_[0];
    const int colBase = xOff_[i] + margin;
    for (int j = 0; j < n_; ++j) {
        const int col = colBase + j;
        if (col < 0 || col >= plotW) continue;
        const int base = yOff_[j] + lift;
        const int y = t[j] + base;
        const int low = std::max(marks_[col], base);
        if (y <= low) continue;
        putHeight(col, y, kOutline);
        if (y - low > 1) {
            l = std::min(l, base + (j + 1 < n_ ? t[j + 1] : 0));
            // Rows strictly between low and y, clipped to the image.
            const int from = std::max(low + 1 + margin, 0);
            const int to = std::min(y - 1 + margin, rows - 1);
            const int edge = l + margin;  // rows above this are outline
            std::uint8_t* p = bits + static_cast<std::size_t>(from) * stride + col;
            for (int r = from; r <= to; ++r, p += stride) *p = r > edge ? kOutline : c;
        }
        marks_[col] = y;
        l = y;
    }
}

void SpectrumImage::drawMarker() {
    if (marker_.slice < 0) return;
    const int cx = marker_.column;
    const int cy = axes_.margin() + marker_.height;  // rows from the bottom
    const int h = image_.height();
    for (int k = -5; k <= 5; ++k) {
        image_.set(cx + k, h - 1 - cy, kMarker);
        image_.set(cx, h - 1 - (cy + k), kMarker);
    }
}

std::optional<TextItem> SpectrumImage::readout() const {
    if (marker_.slice < 0) return std::nullopt;
    return TextItem{marker_.text, axes_.plot().left + marker_.column,
                    2 + axes_.yMax() - marker_.height};
}

bool SpectrumImage::click(int x, int y) {
    if (!axes_.threeD() || slices_ < 1 || n_ < 1) return false;
    const int dx = x - axes_.plot().left;
    const int need = axes_.yMax() - y;
    for (int i = 0; i < slices_; ++i) {
        const int j = dx - xOff_[i] - axes_.margin();
        if (j < 0 || j >= n_) continue;
        const int t = heightAt(i, j);
        const int top = t + yOff_[j] + i * step_;
        if (t > 0 && top >= need) {
            const double v = axes_.noteValueAtColumn(axes_.plot().left + axes_.margin() +
                                                     static_cast<double>(j));
            const PitchModel& pm = axes_.pitch();
            int note = -1;
            float deviation = 0.0f;
            pm.splitNoteValue(static_cast<float>(v), &note, &deviation);
            const float f = pm.frequencyOfNote(note, deviation);
            marker_.slice = i;
            marker_.column = dx;
            marker_.height = top;
            const int sounding = pm.nearestNote(f, &deviation);
            const std::string name =
                sounding < 0
                    ? " "
                    : pm.noteName(PitchModel::writtenNote(sounding, axes_.instrumentKey()));
            marker_.text = std::to_string(truncClamped(f, -(1 << 30), 1 << 30)) + " Hz " + name;
            return true;
        }
    }
    return false;
}

}  // namespace merlop
