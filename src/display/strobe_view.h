#pragma once

#include <string>
#include <vector>

#include "display/colour_table.h"
#include "display/frame3d.h"

namespace merlop {

// What one band row of the strobe shows: the partial it follows, whether it rests and how far
// its bands have drifted (turns; a whole turn moves them on by one band period).
struct StrobeRowState {
    int partial = 1;
    bool resting = true;
    double phase = 0.0;
    double rate = 0.0;  // turns per second the phase moves on at between blocks
};

struct StrobeRowPlan {
    PixelRect area;   // where the bands run
    PixelRect label;  // the partial's number, left of the bands
    std::string text;
    Rgb bandColour;
    std::vector<PixelRect> bands;  // inside area, those cut by its edges clipped
};

// The strobe panel: black, one row of red bands per partial with its number in the green of the
// meter's grid, the bands dimmed while the row rests.
struct StrobePlan {
    int width = 0, height = 0;
    Rgb background;
    Rgb labelColour;
    int labelHeight = 0;  // pixel height for the labels' font
    std::vector<StrobeRowPlan> rows;
};

inline constexpr int kStrobeBandsPerRow = 8;
inline constexpr Rgb kStrobeBand{255, 0, 0};
inline constexpr Rgb kStrobeRestingBand{96, 0, 0};
inline constexpr Rgb kStrobeLabel{0, 255, 0};

// Bands drift right as the phase grows (sharp), left as it falls (flat). A panel too small for
// the labels and a band keeps its rows but draws no bands.
StrobePlan planStrobe(int width, int height, const std::vector<StrobeRowState>& rows);

}  // namespace merlop
