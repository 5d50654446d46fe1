#pragma once

#include "display/frame3d.h"

namespace merlop {

// Where the three displays go in the client area, below the toolbar and above the status bar.
struct DisplayRects {
    PixelRect tuner;
    PixelRect spectrum;
    PixelRect wave;
};

struct ShownDisplays {
    bool tuner = false;
    bool spectrum = false;
    bool wave = false;
    bool any() const { return tuner || spectrum || wave; }
    friend bool operator==(const ShownDisplays&, const ShownDisplays&) = default;
};

// The tuner takes the whole display area or its upper half; below it the spectrum and the wave
// form share the width 67 : 33 when both are on. Integer arithmetic throughout.
DisplayRects layoutDisplays(int clientWidth, int clientHeight, int toolBarHeight,
                            int statusBarHeight, const ShownDisplays& on);

}  // namespace merlop
