#include "app/frame_layout.h"

namespace merlop {

DisplayRects layoutDisplays(int clientWidth, int clientHeight, int toolBarHeight,
                            int statusBarHeight, const ShownDisplays& on) {
    const int top = toolBarHeight - 1;
    const int h = clientHeight - statusBarHeight - toolBarHeight;
    const int bottom = clientHeight - statusBarHeight - 1;

    DisplayRects r;
    const bool split = on.tuner && (on.spectrum || on.wave);
    const int tunerHeight = split ? h / 2 : h;
    const int lowerTop = split ? top + h / 2 : top;
    r.tuner = {0, top, clientWidth, top + tunerHeight};

    const int spectrumRight =
        on.wave ? static_cast<int>(static_cast<double>(clientWidth) * 0.67) : clientWidth;
    r.spectrum = {0, lowerTop, spectrumRight, bottom};
    r.wave = {on.spectrum ? spectrumRight : 0, lowerTop, clientWidth, bottom};
    return r;
}

}  // namespace merlop
