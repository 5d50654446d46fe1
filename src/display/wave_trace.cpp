#include "display/wave_trace.h"

#include <algorithm>
#include <cmath>

namespace merlop {

WaveTrace::WaveTrace(int cx, int cy, int capacity, int spectrumDbHigh)
    : g_(PlotGeometry::of(cx, cy)),
      capacity_(std::max(capacity, 0)),
      trace_(static_cast<std::size_t>(std::max(capacity, 0)), 0),
      image_(g_.plotW, g_.plotH, false) {
    // 20 log10(4096) - 30 = 42.247 dB: the 12-bit full scale less the analyser's reference.
    const double db = (20.0 * std::log10(4096.0) - 30.0) + spectrumDbHigh;
    fullScale_ = static_cast<float>(std::max(1.0, std::pow(10.0, db * 0.05)));
    labelA_ = (static_cast<long long>(spectrumDbHigh) + 42) / 6;
}

std::vector<TextItem> WaveTrace::scaleLabels() const {
    const int x = g_.fontW / 2;
    const int bottom = g_.plot.bottom - g_.fontH;
    // In a short plot the zero label keeps clear of the lowest one.
    return {{std::to_string(-labelA_), x, bottom},
            {"  0", x, std::min(g_.plotH / 2 + g_.fontH / 2 + 2, bottom - g_.fontH)},
            {std::to_string(labelA_), x, 2}};
}

bool WaveTrace::showWave(const int* samples, int blockLength, float period) {
    int n = 0;
    // An infinite period would make the phase NaN; it is no period at all.
    if (period > 0.0f && std::isfinite(period)) {
        n = static_cast<int>(std::trunc(std::min(4.0 * period, static_cast<double>(capacity_))));
        period_ = period;
    } else {
        if (missCount_++ < kMissesBeforeBlank) return false;
        missCount_ = 0;
        n = 0;
    }
    if (period_ > 0.0f && blockLength >= 0) {
        const double p = period_;
        phase_ = static_cast<float>(std::fmod(p - std::fmod(blockLength, p) + phase_, p));
        if (!std::isfinite(phase_) || phase_ < 0.0f) phase_ = 0.0f;
    } else {
        phase_ = 0.0f;
    }
    // Never read past the block actually given.
    const int available = samples ? std::min(capacity_, std::max(blockLength, 0)) : 0;
    const double start = std::floor(static_cast<double>(phase_) + 0.5);
    m_ = 0;
    if (start < available) {
        const int s = static_cast<int>(start);
        m_ = std::max(0, std::min(n, available - s));
        std::copy(samples + s, samples + s + m_, trace_.begin());
    }
    draw(n);
    return true;
}

void WaveTrace::draw(int n) {
    image_.fill(0);
    if (image_.empty() || n < 1 || m_ < 1) return;
    const int plotW = g_.plotW;
    const int plotH = g_.plotH;
    const double yScale = plotH / (2.0 * fullScale_);
    const double xScale = static_cast<double>(plotW) / n;
    const int mid = plotH / 2;
    bool first = true;
    int lastX = 0, lastY = 0;
    for (int i = 0; i < m_; ++i) {
        const int x = static_cast<int>(std::trunc(i * xScale));
        if (x < 0 || x >= plotW || (!first && x <= lastX)) continue;
        int y = truncClamped(mid - yScale * trace_[i], -(1 << 30), 1 << 30);
        y = std::min(y, plotH - 1);
        if (y < 1) y = 0;
        if (first) {
            first = false;
        } else if (x != lastX || y != lastY) {
            image_.line(lastX, lastY, x, y, kTrace);
        }
        lastX = x;
        lastY = y;
    }
}

}  // namespace merlop
