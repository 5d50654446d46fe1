#pragma once

#include <cstddef>
#include <string>
#include <vector>

#include "display/frame3d.h"
#include "pitch/pitch_model.h"

namespace merlop {

class Settings;

// What the spectrum window reads of the settings, taken once at construction.
struct SpectrumViewSettings {
    bool spectrum3D = true;
    int frequencyOfA = 440;
    int instrumentKey = 0;
    int analysisWindowMs = 200;
    int freqLowHz = 20;
    int freqHighHz = 1200;
    int spectrumDbLow = -36;
    int spectrumDbHigh = 30;
    int viewAngleA = 0;
    int viewAngleB = 30;
    int spectrumSustain = 5;  // seconds
    int curveSmoothing = 0;

    static SpectrumViewSettings from(const Settings& s);
};

// The analysed band as the spectrum analyser reports it. Index L stands for (L - 1) * binWidth.
struct SpectrumBand {
    float binWidth = 0.0f;
    unsigned loBin = 0;
    unsigned hiBin = 0;
    friend bool operator==(const SpectrumBand&, const SpectrumBand&) = default;
};

// A text and the top-left corner of its cell, in client coordinates.
struct TextItem {
    std::string text;
    int x = 0;
    int y = 0;
    friend bool operator==(const TextItem&, const TextItem&) = default;
};

// Geometry shared by the spectrum and wave form windows for a client size.
struct PlotGeometry {
    int width = 0;
    int fontH = 0, fontW = 0;
    PixelRect plot;  // left, top = 2, right, bottom
    int plotW = 0, plotH = 0;

    static PlotGeometry of(int cx, int cy);
    // Labels in a smaller cell (a font under 9 pixels) are not read.
    static constexpr int kMinLabelCell = 11;
};

// Axes of the spectrum window for one client size: plot rectangle, frequency and level scales,
// the frequency-to-column table and the scale labels.
class SpectrumAxes {
  public:
    SpectrumAxes(int cx, int cy, const SpectrumViewSettings& settings, const SpectrumBand& band);

    const PlotGeometry& geometry() const { return g_; }
    const PixelRect& plot() const { return g_.plot; }
    int fontH() const { return g_.fontH; }
    int fontW() const { return g_.fontW; }
    int plotW() const { return g_.plotW; }
    int plotH() const { return g_.plotH; }
    int half() const { return half_; }
    int margin() const { return margin_; }
    int depthX() const { return depthX_; }
    int depthY() const { return depthY_; }
    int yMax() const { return yMax_; }
    int x1() const { return x1_; }
    int x2() const { return x2_; }
    float xScale() const { return xScale_; }
    float xOffset() const { return xOffset_; }
    float dbLow() const { return dbLow_; }
    float dbHigh() const { return dbHigh_; }
    float yScale() const { return yScale_; }
    int yNote() const { return yNote_; }
    float nvLow() const { return nvLow_; }
    float nvHigh() const { return nvHigh_; }
    bool threeD() const { return threeD_; }
    const SpectrumBand& band() const { return band_; }
    const PitchModel& pitch() const { return pitch_; }
    int instrumentKey() const { return instrumentKey_; }

    // Client column of a note value.
    int xOfNoteValue(double v) const;
    // Note value at a client column.
    double noteValueAtColumn(double x) const;
    // Column of every spectrum index loBin..hiBin (entry 0 is loBin).
    const std::vector<int>& columns() const { return columns_; }

    // "dB" caption and the level labels.
    std::vector<TextItem> dbLabels() const;
    // "Note" and "Hz" captions, note names and frequencies along the axis.
    std::vector<TextItem> frequencyLabels() const;

  private:
    // x moved left as far as a label of that many characters needs to stay in the window.
    int inside(int x, std::size_t characters) const;

    PlotGeometry g_;
    SpectrumBand band_;
    PitchModel pitch_;
    bool threeD_ = false;
    int instrumentKey_ = 0;
    int half_ = 0, margin_ = 0, depthX_ = 0, depthY_ = 0, yMax_ = 0;
    int x1_ = 0, x2_ = 0;
    float xScale_ = 0.0f, xOffset_ = 0.0f;
    float dbLow_ = 0.0f, dbHigh_ = 1.0f, yScale_ = 0.0f;
    int yNote_ = 0;
    float nvLow_ = 0.0f, nvHigh_ = 1.0f;
    std::vector<int> columns_;
};

// trunc() into an int, with NaN and out-of-range values pinned to the given bounds.
int truncClamped(double v, int lo, int hi);

}  // namespace merlop
