#include "audio/auto_sensitivity.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>

#include "audio/spectrum_analyser.h"

namespace merlop {

namespace {

// Fewer indexes than this give a percentile that wanders by several dB from block to block.
constexpr int kMinSegmentIndexes = 24;
// Half an octave: pink noise changes by 1.5 dB across a segment.
constexpr double kSegmentOctaves = 0.5;

constexpr double kMains[] = {50.0, 60.0};

}  // namespace

AutoSensitivity::AutoSensitivity(const SpectrumAnalyser& spectrum, float shownFloorDb)
    : shownFloorDb_(shownFloorDb),
      loBin_(static_cast<int>(spectrum.loBin())),
      hiBin_(static_cast<int>(spectrum.hiBin())) {
    if (!spectrum.usable() || hiBin_ < loBin_) {
        hiBin_ = loBin_ - 1;
        return;
    }
    const int end = hiBin_ + 1;
    for (int start = loBin_; start < end;) {
        segmentStart_.push_back(start);
        const double wide = start * (std::exp2(kSegmentOctaves) - 1.0);
        int next = start + std::max(kMinSegmentIndexes, static_cast<int>(wide));
        if (end - next < kMinSegmentIndexes) next = end;
        start = next;
    }
    segmentStart_.push_back(end);
    segmentFloor_.assign(segmentStart_.size() - 1, kMeasuringThresholdDb);
    scratch_.resize(static_cast<std::size_t>(end - loBin_));
}

float AutoSensitivity::percentileOf(const float* level, int from, int to) {
    const auto count = static_cast<std::ptrdiff_t>(to - from);
    std::copy(level + from, level + to, scratch_.begin());
    const auto quarter = scratch_.begin() + (count - 1) / 4;
    std::nth_element(scratch_.begin(), quarter, scratch_.begin() + count);
    return *quarter;
}

// The floor at an index, linear between the segments' centres.
float AutoSensitivity::localFloor(int index) const {
    const int segments = static_cast<int>(segmentFloor_.size());
    auto centre = [&](int s) { return 0.5 * (segmentStart_[s] + segmentStart_[s + 1] - 1); };
    int s = 0;
    while (s + 1 < segments && centre(s + 1) <= index) ++s;
    if (s + 1 >= segments || index <= centre(s)) return segmentFloor_[s];
    const double t = (index - centre(s)) / (centre(s + 1) - centre(s));
    return static_cast<float>(segmentFloor_[s] + t * (segmentFloor_[s + 1] - segmentFloor_[s]));
}

bool AutoSensitivity::levelStandsOut(const float* level) const {
    for (int i = loBin_; i <= hiBin_; ++i) {
        if (level[i] > localFloor(i) + kNoteMarginDb) return true;
    }
    return false;
}

void AutoSensitivity::judge(SpectrumAnalyser& spectrum) {
    noteStandsOut_ = false;
    if (segmentFloor_.empty() || !spectrum.usable()) return;
    const float* level = spectrum.level();
    spectrum.keepShown(shownFloorDb_);
    for (std::size_t s = 0; s < segmentFloor_.size(); ++s) {
        segmentFloor_[s] = percentileOf(level, segmentStart_[s], segmentStart_[s + 1]);
    }
    floorDb_ = percentileOf(level, loBin_, hiBin_ + 1);
    noteStandsOut_ = levelStandsOut(level);
    thresholdDb_ = std::max(floorDb_ + kThresholdMarginDb, spectrum.maxLevel() - kRangeDb);
    spectrum.setThreshold(thresholdDb_);
}

float AutoSensitivity::withoutHum(float period, double rate) {
    if (!(period > 0.0f)) return period;
    const double f = rate / period;
    // Ten cents either way: no note of the usual tunings lies that close to these lines.
    constexpr double kCents = 10.0;
    for (const double mains : kMains) {
        for (const double multiple : {0.5, 1.0, 2.0, 3.0}) {
            if (std::fabs(1200.0 * std::log2(f / (multiple * mains))) < kCents) return -1.0f;
        }
    }
    return period;
}

}  // namespace merlop
