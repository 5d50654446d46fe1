#include "audio/reading_smoother.h"

#include <algorithm>
#include <cmath>

namespace merlop {

void ReadingSmoother::reset() {
    value_ = -1.0f;
    alpha_ = alphaStart_;
    stableCount_ = 0;
    lastLevel_ = 0;
    octaveBlocks_ = 0;
}

float ReadingSmoother::smooth(float v, int level) {
    if (level > 1.5 * lastLevel_) stableCount_ = 0;
    lastLevel_ = level;

    if (v < 0.0f) {
        octaveBlocks_ = 0;
        alpha_ = static_cast<float>(std::min(static_cast<double>(alpha_) + alphaStep_, 1.0));
        if (alpha_ > 0.99) value_ = -1.0f;
        return -1.0f;
    }

    double folded = v;
    if (value_ > 0.0f && stableCount_ >= 1 && std::fabs(folded - value_) > 6.0) {
        // Whole octaves towards the held value until it lies within half an octave.
        const double diff = folded - value_;
        const double octaves = std::ceil((std::fabs(diff) - 6.0) / 12.0);
        folded -= std::copysign(12.0 * octaves, diff);
    }

    const double d = std::fabs(folded - value_);
    const bool octaveAway = folded != v && d < 0.4;
    if (!octaveAway) {
        octaveBlocks_ = 0;
    } else if (octaveBlocks_ > 0 && std::fabs(v - octaveEstimate_) < 0.4) {
        octaveBlocks_ += 1;
    } else {
        octaveBlocks_ = 1;
    }
    octaveEstimate_ = v;

    if (octaveBlocks_ >= kOctaveBlocks) {
        // Held on the other octave too long for a slip: the note itself has moved there.
        octaveBlocks_ = 0;
        stableCount_ = 0;
        value_ = v;
    } else if (d < 0.15) {
        stableCount_ += 1;
        value_ = static_cast<float>((1.0 - alpha_) * value_ + static_cast<double>(alpha_) * folded);
    } else if (d < 0.4) {
        value_ = static_cast<float>(folded);
    } else {
        stableCount_ = 0;
        value_ = v;
    }
    alpha_ = alphaStart_;
    return value_;
}

}  // namespace merlop
