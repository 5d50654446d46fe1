#pragma once

#include <string>
#include <vector>

#include "display/index_image.h"
#include "display/spectrum_axes.h"

namespace merlop {

// The wave form window's plot for one client size: the samples of the latest block, stretched
// so that up to four periods fill the width, phase-locked from block to block, drawn in magenta
// into a top-down index image of plotW x plotH.
class WaveTrace {
  public:
    static constexpr std::uint8_t kTrace = 253;  // (255, 0, 255)
    static constexpr int kMissesBeforeBlank = 4;

    // capacity: samples per input block.
    WaveTrace(int cx, int cy, int capacity, int spectrumDbHigh);

    const PlotGeometry& geometry() const { return g_; }
    const IndexImage& image() const { return image_; }
    float fullScale() const { return fullScale_; }
    float period() const { return period_; }
    float phase() const { return phase_; }
    int missCount() const { return missCount_; }
    // Samples drawn by the last redraw.
    const std::vector<int>& trace() const { return trace_; }
    int traceLength() const { return m_; }

    // "-a", "  0" and "a" down the left side, a the full scale as a power of two.
    std::vector<TextItem> scaleLabels() const;

    // One block: its samples, length and period in samples (0 or less: none found). Returns
    // true when the plot was redrawn.
    bool showWave(const int* samples, int blockLength, float period);

  private:
    void draw(int n);

    PlotGeometry g_;
    int capacity_ = 0;
    long long labelA_ = 0;
    float fullScale_ = 1.0f;
    float period_ = -1.0f;
    float phase_ = 0.0f;
    int missCount_ = 0;
    int m_ = 0;
    std::vector<int> trace_;
    IndexImage image_;
};

}  // namespace merlop
