#pragma once

#include <string>
#include <vector>

#include "display/colour_table.h"
#include "display/frame3d.h"

namespace merlop {

inline constexpr Rgb kButtonGreen{0, 255, 0};
inline constexpr Rgb kButtonRed{255, 0, 0};
inline constexpr Rgb kButtonYellow{255, 255, 0};
inline constexpr Rgb kTunerGrey{192, 192, 192};

inline constexpr int kNoteButtonFirstId = 700;

// Where the tuner window puts its children for a client size cx x cy.
struct TunerLayout {
    int meterHeight = 0;
    PixelRect meter;
    PixelRect piano;                 // below the meter
    std::vector<PixelRect> buttons;  // 1 or 12, index 0 = C .. 11 = B

    // buttonCount: 0 (piano), 1 or 12.
    static TunerLayout compute(int cx, int cy, int buttonCount);
};

// Caption font of a note button: cell height and average character width (0 means the font's
// own proportions). style 0: single custom-tuning button, 2: note buttons, 30: calibration.
struct ButtonFont {
    int height = 0;
    int width = 0;
};
ButtonFont noteButtonFont(int clientWidth, int clientHeight, int style, int labelLength);

// "Calibration  " and the remaining seconds, the number always ending in the same column.
std::string calibrationCaption(int seconds);

}  // namespace merlop
