#pragma once

#include <optional>
#include <string>
#include <vector>

#include "display/index_image.h"
#include "display/spectrum_axes.h"

namespace merlop {

// A point of the level curve: client column and height in pixels above the base line.
struct ColumnPoint {
    int x = 0;
    int h = 0;
    friend bool operator==(const ColumnPoint&, const ColumnPoint&) = default;
};

// The spectrum window's plot for one client size: the flat curve or the 3D waterfall with its
// history, drawn into a bottom-up index image of plotW x plotH.
class SpectrumImage {
  public:
    static constexpr std::uint8_t kFloor = 2;
    static constexpr std::uint8_t kMarker = 3;
    static constexpr std::uint8_t kOutline = 109;
    static constexpr std::uint8_t kCurve = 1;

    struct Marker {
        int slice = -1;  // -1: none
        int column = 0;  // image column
        int height = 0;  // pixel rows above row margin
        std::string text;
    };

    SpectrumImage(int cx, int cy, const SpectrumViewSettings& settings, const SpectrumBand& band);

    const SpectrumAxes& axes() const { return axes_; }
    const IndexImage& image() const { return image_; }
    const IndexImage& background() const { return background_; }

    // One new spectrum: level[L] in dB for L = loBin..hiBin (1-based, as the analyser keeps it).
    // A null array draws nothing.
    void update(const float* level);
    // Draws the history again without ageing (a click while paused).
    void render();
    // A click at a client point; true when it marked a point of the waterfall.
    bool click(int x, int y);

    // The curve's points for a level array, the smoothing applied.
    const std::vector<ColumnPoint>& columnLevels(const float* level);

    int slices() const { return slices_; }
    int step() const { return step_; }
    int columnCount() const { return n_; }
    const std::vector<int>& xOff() const { return xOff_; }
    const std::vector<int>& yOff() const { return yOff_; }
    // History heights: slices rows of columnCount(), row 0 the newest; -1 empty.
    const std::vector<int>& history() const { return history_; }
    int heightAt(int slice, int column) const {
        return history_[static_cast<std::size_t>(slice) * n_ + column];
    }
    const Marker& marker() const { return marker_; }
    // Where the read-out text goes, client coordinates; none without a marker.
    std::optional<TextItem> readout() const;

    // Colour of the fill of slice i.
    std::uint8_t sliceColour(int i) const;

  private:
    void build3D(const SpectrumViewSettings& s);
    void buildFloor();
    void draw2D();
    void age();
    void fillNewest();
    void renderSlice(int i);
    void drawMarker();
    void putHeight(int col, int height, std::uint8_t c);

    SpectrumAxes axes_;
    IndexImage image_;
    IndexImage background_;
    int halfWidth_ = 0;

    int slices_ = 0;
    int step_ = 0;
    int n_ = 0;
    std::vector<int> xOff_;
    std::vector<int> yOff_;
    std::vector<int> history_;
    std::vector<int> marks_;
    Marker marker_;

    std::vector<ColumnPoint> points_;
};

}  // namespace merlop
