#include "display/meter_layout.h"

#include <algorithm>
#include <cmath>
#include <cstdio>

namespace merlop {

namespace {

int trunc(double v) {
    return static_cast<int>(v);
}

constexpr double kSingle015 = 0.15f;
constexpr double kSingle09 = 0.9f;
constexpr double kSingle01 = 0.1f;
constexpr double kSingle005 = 0.05f;
constexpr double kSingle085 = 0.85f;

}  // namespace

// The tallest value font for its width in large read-outs: glyphs at about 45 % of their width.
constexpr double kLargestSqueeze = 4.2;

namespace {

// The box height whose value font (85 % of it) is kMinValuePixels.
constexpr int kMinBoxHeight = (MeterLayout::kMinValuePixels * 100 + 84) / 85;
constexpr int kMinBarHeight = 4;

int take(int& from, int spare, int wanted) {
    const int t = std::clamp(from - spare, 0, std::max(0, wanted));
    from -= t;
    return t;
}

// A short meter gives up its margins, then part of the bar, before its digits become unreadable:
// the reading matters more than the space around it.
void makeRoomForReadouts(MeterLayout& l) {
    int deficit = kMinBoxHeight - (l.boxBottom - l.boxTop);
    if (deficit <= 0) return;
    deficit -= take(l.boxTop, 1, (deficit + 1) / 2);
    int gap = l.bar.top - l.boxBottom;
    deficit -= take(gap, 2, deficit);
    deficit -= take(l.boxTop, 1, deficit);
    int bar = l.bar.height();
    take(bar, kMinBarHeight, deficit);
    l.bar.top = l.bar.bottom - bar;
    l.boxBottom = l.bar.top - gap;
}

}  // namespace

MeterLayout MeterLayout::compute(int width, int height, bool fineTuning, bool large) {
    MeterLayout l;
    l.width = std::max(0, width);
    l.height = std::max(0, height);
    l.fineTuning = fineTuning;
    const double w = l.width;
    const double h = l.height;
    l.fontH = trunc(std::min(kSingle015 * h, 15.0));
    // Small labels keep a readable size while they take no more than a quarter of the height.
    if (l.fontH < kMinLabelCell) l.fontH = std::max(l.fontH, std::min(kMinLabelCell, l.height / 4));
    l.fontW = std::min(l.fontH / 2, l.width / 60);
    l.step = trunc(w * kSingle09 * kSingle01);
    l.left = trunc(kSingle005 * w);
    l.centre = l.left + (10 * l.step) / 2;
    // Large read-outs leave the bar a fifth of the height and the boxes nearly all the rest.
    l.bar = PixelRect{l.left, trunc((large ? 0.75 : 0.6) * h), l.left + 10 * l.step,
                      l.height - l.fontH - 3};
    l.boxTop = trunc((large ? 0.03 : kSingle015) * h);
    l.boxBottom = trunc(l.bar.top - (large ? 0.05 : 0.1) * h);
    makeRoomForReadouts(l);
    const int c = l.centre;
    const int s = l.step;
    // Large read-outs widen the boxes too, so tall digits keep their shape; the captions still
    // fit between them.
    const double note = large ? 2.25 : 3.5;
    const double cents = fineTuning ? (large ? 1.1 : 1.0) : (large ? 0.75 : 0.5);
    l.noteBox = PixelRect{c - 5 * s, l.boxTop, trunc(c - note * s), l.boxBottom};
    l.centsBox = PixelRect{trunc(c - cents * s), l.boxTop, trunc(c + cents * s), l.boxBottom};
    l.frequencyBox =
        PixelRect{trunc(c + (large ? 2.25 : 3.0) * s), l.boxTop, c + 5 * s, l.boxBottom};
    l.large = large;
    l.minHalf = trunc(std::max(2.0, kSingle005 * s));
    const int holdLeft = l.centsBox.right + trunc(0.1 * s) + 6 * l.fontW;
    l.holdBox = PixelRect{holdLeft, l.boxTop, std::max(holdLeft, l.frequencyBox.left - s / 4),
                          l.boxTop + (l.boxBottom - l.boxTop) / 2};
    return l;
}

int MeterLayout::barExtent(float frequency, float deviation) const {
    // Written so that NaN fails both tests.
    const bool shown = frequency > 0.0f && std::fabs(deviation) <= 0.5f;
    if (!shown) return 0;
    int e = trunc(10.0 * step * static_cast<double>(deviation));
    if (std::abs(e) < minHalf) e = minHalf;
    return e;
}

PixelRect MeterLayout::barFill(int e) const {
    if (e < 0) return PixelRect{centre + e, bar.top, centre + minHalf, bar.bottom};
    return PixelRect{centre - minHalf, bar.top, centre + e, bar.bottom};
}

std::array<int, 9> MeterLayout::gridLines() const {
    std::array<int, 9> x{};
    for (int i = 0; i < 9; ++i) x[i] = left + (i + 1) * step;
    return x;
}

int MeterLayout::valueFontHeight() const {
    const int height = trunc(kSingle085 * (boxBottom - boxTop));
    // Squeezed much narrower, the glyphs' strokes would fall apart into blocks.
    return large ? std::min(height, trunc(kLargestSqueeze * valueFontWidth())) : height;
}

int MeterLayout::valueFontWidth() const {
    return frequencyBox.width() / 9;
}

std::string meterFrequencyText(float frequency) {
    if (!std::isfinite(frequency)) return {};
    char text[64];
    std::snprintf(text, sizeof text, "%8.2f", static_cast<double>(frequency));
    return text;
}

std::string meterCentsText(float deviation, bool fineTuning) {
    if (!std::isfinite(deviation)) return {};
    // Readings beyond a few octaves are nonsense; keep the text short and the integer in range.
    const double d = std::clamp(static_cast<double>(deviation), -999.0, 999.0);
    // The sign goes into the same buffer: GCC 12 warns falsely on "+" + std::string at -O2.
    char text[32];
    const char* sign = d >= 0.0 ? "+" : "";
    if (fineTuning) {
        double cents = d * 100.0;
        if (cents == 0.0) cents = 0.0;  // negative zero reads as zero
        std::snprintf(text, sizeof text, "%s%4.1f", sign, cents);
    } else {
        std::snprintf(text, sizeof text, "%s%d", sign, trunc(d * 100.1));
    }
    return text;
}

void MeterModel::showValues(float frequency, float deviation, int note, const std::string& name) {
    frequency_ = frequency;
    deviation_ = deviation;
    note_ = note;
    name_ = name.substr(0, kMaxNameLength);
    dirty_ = true;
}

void MeterModel::setInTuneCents(float cents) {
    inTuneCents_ = cents;
    dirty_ = true;
}

bool MeterModel::inTune() const {
    // The deviation comes rounded as it is shown: the colour agrees with the digits.
    return inTuneCents_ >= 0.0f && note_ >= 0 && frequency_ > 0.0f &&
           std::fabs(static_cast<double>(deviation_)) * 100.0 <= inTuneCents_ + 1e-4;
}

void MeterModel::setHeld(bool held) {
    if (held == held_) return;
    held_ = held;
    fullPending_ = true;
}

MeterModel::Paint MeterModel::beginPaint(const MeterLayout& layout, bool fullRepaint) {
    Paint p;
    p.full = fullRepaint || !paintedOnce_ || fullPending_;
    fullPending_ = false;
    p.held = held_;
    p.inTune = inTune();
    if (p.inTune != shownInTune_) {
        // Every read-out and the bar change colour together.
        shownInTune_ = p.inTune;
        shownFrequency_ = shownDeviation_ = -99.0f;
        shownNote_ = -99;
        shownBar_ = 0;
        dirty_ = true;
    }
    if (p.full) {
        shownFrequency_ = shownDeviation_ = -99.0f;
        shownNote_ = -99;
        shownBar_ = 0;
        p.grid = true;
    }
    if (dirty_ || p.full) {
        const bool haveNote = note_ >= 0;
        if (note_ != shownNote_) {
            shownNote_ = note_;
            p.note = true;
            if (haveNote) p.noteText = name_;
        }
        if (frequency_ != shownFrequency_ || p.full) {
            shownFrequency_ = frequency_;
            p.frequency = true;
            if (haveNote) p.frequencyText = meterFrequencyText(frequency_);
        }
        if (deviation_ != shownDeviation_ || p.full) {
            shownDeviation_ = deviation_;
            p.cents = true;
            if (haveNote) p.centsText = meterCentsText(deviation_, layout.fineTuning);
        }
        const int e = layout.barExtent(frequency_, deviation_);
        p.barExtent = e;
        if (e != shownBar_ || p.full) {
            shownBar_ = e;
            p.bar = true;
            p.grid = true;
        }
        dirty_ = false;
    }
    paintedOnce_ = true;
    return p;
}

}  // namespace merlop
