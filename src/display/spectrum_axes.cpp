#include "display/spectrum_axes.h"

#include <algorithm>
#include <cmath>
#include <cstdint>

#include "settings/settings.h"

namespace merlop {

int truncClamped(double v, int lo, int hi) {
    if (!(v >= lo)) return lo;  // NaN too
    if (v >= hi) return hi;
    return static_cast<int>(std::trunc(v));
}

namespace {

constexpr int kBig = 1 << 28;

// Labels that fit per octave at the given character cell width.
int labelsPerOctave(int span, int cellW, double semitones) {
    if (cellW < 1 || !(semitones > 0.0)) return 0;
    return truncClamped(
        static_cast<int>(span / cellW) / (semitones * static_cast<double>(0.083333336f)), -kBig,
        kBig);
}

// Densities from which a name shows, by pitch class from A; sharps never.
constexpr int kNameThreshold[12] = {1, 999, 5, 7, 999, 5, 999, 2, 7, 999, 5, 999};

}  // namespace

SpectrumViewSettings SpectrumViewSettings::from(const Settings& s) {
    SpectrumViewSettings v;
    v.spectrum3D = s.spectrum3D != 0;
    v.frequencyOfA = s.frequencyOfA;
    v.instrumentKey = s.instrumentKey;
    v.analysisWindowMs = s.analysisWindowMs;
    v.freqLowHz = s.freqLowHz;
    v.freqHighHz = s.freqHighHz;
    v.spectrumDbLow = s.spectrumDbLow;
    v.spectrumDbHigh = s.spectrumDbHigh;
    v.viewAngleA = s.viewAngleA;
    v.viewAngleB = s.viewAngleB;
    v.spectrumSustain = s.spectrumSustain;
    v.curveSmoothing = s.curveSmoothing;
    return v;
}

PlotGeometry PlotGeometry::of(int cx, int cy) {
    PlotGeometry g;
    cx = std::max(cx, 0);
    cy = std::max(cy, 0);
    g.fontH = static_cast<int>(std::trunc(0.04 * cy));
    // Small windows keep readable labels once two rows of them take no more than a third of the
    // height; tinier ones have no room for labels at all.
    if (cy >= 6 * kMinLabelCell) g.fontH = std::max(g.fontH, kMinLabelCell);
    g.width = cx;
    g.fontW = g.fontH / 2;
    g.plot.left = 6 * g.fontW;
    g.plot.top = 2;
    g.plot.right = cx - 2;
    g.plot.bottom = static_cast<int>(std::trunc(cy - 2.1 * g.fontH));
    g.plotW = g.plot.right - g.plot.left;
    g.plotH = g.plot.bottom - 2;
    return g;
}

SpectrumAxes::SpectrumAxes(int cx, int cy, const SpectrumViewSettings& s, const SpectrumBand& band)
    : g_(PlotGeometry::of(cx, cy)), band_(band), threeD_(s.spectrum3D) {
    pitch_.setReferenceA(s.frequencyOfA);
    instrumentKey_ = s.instrumentKey;

    // An analyser that could not be set up has no usable band: no columns, axes from the
    // settings alone.
    const bool bandUsable = std::isfinite(band.binWidth) && band.binWidth > 0.0f &&
                            band.loBin >= 1 && band.hiBin >= band.loBin;
    if (!bandUsable) band_ = SpectrumBand{};

    double fLow = s.freqLowHz;
    double fHigh = s.freqHighHz;
    if (bandUsable) {
        fLow = std::max(fLow, (band.loBin - 1.0) * band.binWidth);
        fHigh = std::min(fHigh, (band.hiBin - 1.0) * band.binWidth);
    }
    nvLow_ = pitch_.noteValueOf(static_cast<float>(fLow));
    nvHigh_ = pitch_.noteValueOf(static_cast<float>(fHigh));
    if (!std::isfinite(nvLow_)) nvLow_ = 0.0f;
    if (!(nvHigh_ > nvLow_) || !std::isfinite(nvHigh_)) nvHigh_ = nvLow_ + 1.0f;
    const double semitones = static_cast<double>(nvHigh_) - nvLow_;

    half_ = g_.plotH / 2;
    margin_ = static_cast<int>(std::trunc(0.02 * g_.plotW));
    if (threeD_) {
        depthX_ =
            static_cast<int>(std::trunc(s.viewAngleB * 0.01 * static_cast<int>(g_.plotW / 2)));
        depthY_ =
            static_cast<int>(std::trunc(s.viewAngleA * 0.01 * static_cast<int>(g_.plotH / 4)));
    }
    yMax_ = g_.plot.bottom - margin_;
    x1_ = threeD_ ? g_.plot.left + margin_ : g_.plot.left;
    const int firstX2 = threeD_ ? g_.plot.right - depthX_ - margin_ : g_.plot.right;
    xScale_ = static_cast<float>((firstX2 - x1_ + 1) / semitones);
    x2_ = truncClamped(x1_ + semitones * xScale_ + 0.5, -kBig, kBig);
    xOffset_ = static_cast<float>(x1_ - static_cast<double>(xScale_) * nvLow_ + 0.5);

    dbLow_ = static_cast<float>(s.spectrumDbLow);
    dbHigh_ = static_cast<float>(s.spectrumDbHigh);
    if (!(dbHigh_ > dbLow_)) dbHigh_ = dbLow_ + 1.0f;
    const double range = static_cast<double>(dbHigh_) - dbLow_;
    yScale_ = static_cast<float>((threeD_ ? half_ : g_.plotH) / range);
    yNote_ = static_cast<int>(std::trunc(0.2 * g_.fontH + g_.plot.bottom));

    if (band_.hiBin >= band_.loBin && band_.loBin >= 1) {
        columns_.reserve(band_.hiBin - band_.loBin + 1);
        for (unsigned L = band_.loBin; L <= band_.hiBin; ++L) {
            const float f = static_cast<float>((L - 1.0) * band_.binWidth);
            columns_.push_back(xOfNoteValue(pitch_.noteValueOf(f)));
        }
    }
}

int SpectrumAxes::xOfNoteValue(double v) const {
    return truncClamped(v * xScale_ + xOffset_ + 0.5, -kBig, kBig);
}

double SpectrumAxes::noteValueAtColumn(double x) const {
    return xScale_ != 0.0f ? (x - xOffset_) / xScale_ : 0.0;
}

std::vector<TextItem> SpectrumAxes::dbLabels() const {
    std::vector<TextItem> out;
    const int x0 = g_.fontW / 2;
    out.push_back({"dB", x0, 2});
    // Multiples of 10 from trunc(dbLow) up; the labels rise with the level, so the first one
    // that would cover the caption ends the list (and bounds the loop for any range).
    const auto first = static_cast<std::int64_t>(std::trunc(dbLow_));
    std::int64_t i = first - first % 10;
    if (i < first) i += 10;
    for (int count = 0; i <= dbHigh_ && count < 1000; i += 10, ++count) {
        const int y = truncClamped(g_.plot.bottom - depthY_ - margin_ -
                                       (static_cast<double>(i) - dbLow_) * yScale_ -
                                       static_cast<int>(g_.fontH / 2),
                                   -kBig, kBig);
        if (y <= 2 + g_.fontH) break;
        // Where the levels lie closer than a label's height, those too near the last one shown
        // are left out.
        if (out.size() > 1 && out.back().y - y < g_.fontH) continue;
        const int indent = i < 0 ? 0 : (i == 0 ? 2 * g_.fontW : g_.fontW);
        out.push_back({std::to_string(i), x0 + indent, y});
    }
    return out;
}

int SpectrumAxes::inside(int x, std::size_t characters) const {
    // A label at the top of the scale moves left rather than run off the window; its own
    // character cell more, for glyphs wider than the average.
    const int right = g_.width - static_cast<int>(characters + 1) * g_.fontW;
    return std::max(0, std::min(x, right));
}

std::vector<TextItem> SpectrumAxes::frequencyLabels() const {
    std::vector<TextItem> out;
    const int x0 = g_.fontW / 2;
    out.push_back({"Note", x0, yNote_});
    out.push_back({"Hz", x0, yNote_ + g_.fontH});
    const double semitones = static_cast<double>(nvHigh_) - nvLow_;
    const int noteFit = labelsPerOctave(x2_ - x1_, 3 * g_.fontW, semitones);
    const int hzFit = labelsPerOctave(x2_ - x1_, 6 * g_.fontW, semitones);
    const int tFirst = truncClamped(nvLow_ + 1.0, -kBig, kBig);
    const int tLast = std::min(truncClamped(nvHigh_, -kBig, kBig), tFirst + 2000);
    int hzEnd = 0;
    for (int t = tFirst; t <= tLast; ++t) {
        if (t > nvHigh_) break;
        const int x = xOfNoteValue(t);
        // The names are written ones, so which of them show goes by the written note too.
        const int written = PitchModel::writtenNote(t, instrumentKey_);
        const int threshold = kNameThreshold[((written % 12) + 12) % 12];
        if (noteFit >= threshold) {
            const std::string name = pitch_.noteName(written);
            out.push_back({name, inside(x - g_.fontW / 2, name.size()), yNote_});
        }
        if (hzFit >= threshold) {
            const std::string hz =
                std::to_string(truncClamped(pitch_.frequencyOfNote(t, 0.0f), -kBig, kBig));
            const int n = static_cast<int>(hz.size());
            const int hx = inside(x - (n * g_.fontW) / 2, hz.size());
            if (hx > hzEnd) {
                out.push_back({hz, hx, yNote_ + g_.fontH});
                hzEnd = hx + (n + 1) * g_.fontW;
            }
        }
    }
    return out;
}

}  // namespace merlop
