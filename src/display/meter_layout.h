#pragma once

#include <array>
#include <string>

#include "display/frame3d.h"

namespace merlop {

// Geometry of the cent meter, fixed by its size. Rectangles are exclusive at right and bottom.
// Any size works down to 0 x 0: quantities then collapse to empty rectangles and nothing divides
// by them.
struct MeterLayout {
    int width = 0, height = 0;
    bool fineTuning = false;
    bool large = false;
    int fontH = 0;  // label font cell height
    int fontW = 0;  // label font average character width
    int step = 0;   // pixels per 10 cents
    int left = 0;
    int centre = 0;
    int minHalf = 2;  // the bar always reaches this far past the centre line
    int boxTop = 0, boxBottom = 0;
    PixelRect bar, noteBox, centsBox, frequencyBox;
    // Where "HOLD" shows while the reading is held: the top of the gap after the cents caption.
    PixelRect holdBox;

    // large: the read-outs take most of the height, as seen from across a room (full screen).
    static MeterLayout compute(int width, int height, bool fineTuning, bool large = false);

    // Signed bar extent in pixels from the centre; 0 when no bar is shown (no positive frequency,
    // deviation beyond half a semitone, or not a number).
    int barExtent(float frequency, float deviation) const;
    // The red part of the bar for extent e (e != 0).
    PixelRect barFill(int e) const;
    // x of the nine green division lines.
    std::array<int, 9> gridLines() const;

    // Value font: character height and average width.
    int valueFontHeight() const;
    int valueFontWidth() const;

    // A value font of this many pixels draws digits 14 pixels high; a short meter gives up
    // margins and bar height to keep it.
    static constexpr int kMinValuePixels = 20;
    // Labels in a smaller cell (a font under 9 pixels) are not read.
    static constexpr int kMinLabelCell = 11;
    // The lowest meter that has room for both.
    static constexpr int kLegibleHeight = 48;

    static constexpr std::array<const char*, 11> kScaleLabels = {
        "-50", "-40", "-30", "-20", "-10", " 0 ", "+10", "+20", "+30", "+40", "+50"};
};

// Read-out texts of the meter.
std::string meterFrequencyText(float frequency);
std::string meterCentsText(float deviation, bool fineTuning);

// What the meter shows and what it has drawn. showValues stores a reading; beginPaint decides
// what a paint has to draw and records it as drawn.
class MeterModel {
  public:
    static constexpr int kMaxNameLength = 7;

    struct Paint {
        bool full = false;  // background, scale, captions and empty boxes
        bool note = false, frequency = false, cents = false, bar = false, grid = false;
        int barExtent = 0;
        std::string noteText, frequencyText, centsText;  // empty: the box stays black
        // The reading lies within the in-tune tolerance: bar and read-outs are drawn green.
        bool inTune = false;
        // The reading is held: a full paint draws the "HOLD" mark.
        bool held = false;
    };

    // A reading within this many cents of its note is in tune; negative: no reading ever is (the
    // meter's own red throughout).
    void setInTuneCents(float cents);
    bool inTune() const;
    // A held reading is marked; the next paint is a full one.
    void setHeld(bool held);
    bool held() const { return held_; }

    void showValues(float frequency, float deviation, int note, const std::string& name);
    // A paint of the whole window redraws the read-outs and the bar too, so an uncovered meter
    // looks complete; otherwise only values that differ from the drawn ones are redrawn.
    Paint beginPaint(const MeterLayout& layout, bool fullRepaint);

    bool paintedOnce() const { return paintedOnce_; }
    bool dirty() const { return dirty_; }
    float frequency() const { return frequency_; }
    float deviation() const { return deviation_; }
    int note() const { return note_; }
    const std::string& name() const { return name_; }
    int shownBar() const { return shownBar_; }

  private:
    float frequency_ = -1.0f;
    float deviation_ = -1.0f;
    int note_ = -1;
    std::string name_;
    float shownFrequency_ = -99.0f;
    float shownDeviation_ = -99.0f;
    int shownNote_ = -99;
    int shownBar_ = 0;
    float inTuneCents_ = -1.0f;
    bool shownInTune_ = false;
    bool held_ = false;
    bool fullPending_ = false;
    bool dirty_ = false;
    bool paintedOnce_ = false;
};

}  // namespace merlop
