#pragma once

#include <string>
#include <vector>

#include "display/colour_table.h"
#include "display/frame3d.h"

namespace merlop {

class PitchModel;

// Geometry of the piano keyboard. Keys are MIDI key numbers (60 = C4). A window too small for a
// key (white key width 0) keeps a zero-sized keyboard: nothing divides by the key width and no
// click hits a key.
struct PianoLayout {
    int width = 0, height = 0;
    int firstOctave = 0;  // of the chosen range
    int octaveCount = 1;
    int numKeys = 12, numWhite = 7;
    int firstKey = 12;
    int h95 = 0;
    int whiteW = 0, whiteH = 0, blackW = 0, blackH = 0;
    int x0 = 0, y0 = 0;
    PixelRect whiteArea;

    // octaveCount is held to 1..10 and firstOctave to -1..9.
    static PianoLayout compute(int width, int height, int firstOctave, int octaveCount);

    static bool isWhite(int key);
    // First octave drawn so that markKey (-1 none) is inside the keyboard.
    int firstOctaveShown(int markKey) const;
    // Offset of a key from x0, given the first key drawn.
    int keyOffset(int key, int firstKeyDrawn) const;
    // Key under a click, -1 when the click misses the keys.
    int keyAt(int x, int y, int firstKeyDrawn) const;
    // Where a key lies, the part of a white key under its black neighbours included; empty for
    // a key outside the octaves drawn.
    PixelRect keyRect(int key, int firstKeyDrawn) const;
    // Character width of the key-name and octave fonts.
    int nameFontWidth() const;
    // Octave numbers in a smaller cell (a font under 9 pixels) are not read.
    static constexpr int kMinLabelPixels = 11;
};

// The mark on the keyboard and what the last paint drew.
class PianoState {
  public:
    // 'C' no mark, 'T' detected, 'P' playing. True when the keyboard must be repainted.
    bool setKey(int key, char state);

    struct OctaveLabel {
        int x, y;
        std::string text;
    };
    struct Paint {
        int firstOctaveShown = 0;
        int firstKeyDrawn = 0;
        int markKey = -1;  // -1: nothing marked
        Rgb markColour{};
        PixelRect markRect;  // where the mark colour goes
        std::string markName;
        std::vector<int> whiteLines;  // x of the borders between white keys
        std::vector<PixelRect> blackKeys;
        std::vector<OctaveLabel> octaves;
        int nameFontW = 0;  // key name font: height 4x, octave font: height 2x this width
        // The octave numbers' cell height: 2 x nameFontW, but no less than kMinLabelPixels
        // while there is room above the keys.
        int octaveFontH = 0;
    };
    // Works out one paint and records it as drawn.
    Paint beginPaint(const PianoLayout& layout, const PitchModel& pitch);

    int markKey() const { return markKey_; }
    char markState() const { return markState_; }
    int shownKey() const { return shownKey_; }
    char shownState() const { return shownState_; }
    // First key of the octaves the last paint drew (what a click is measured against).
    int firstKeyShown() const { return firstKeyShown_; }
    void setFirstKeyShown(int key) { firstKeyShown_ = key; }

  private:
    int markKey_ = -1;
    char markState_ = 'C';
    int shownKey_ = -1;
    char shownState_ = 'C';
    int firstKeyShown_ = 12;
};

}  // namespace merlop
