#pragma once

#include <vector>

namespace merlop {

class SpectrumAnalyser;

// Automatic sensitivity: the level threshold follows the noise floor of each block instead of
// standing at a fixed level, and a block counts as holding a note only when some level stands
// far above that floor and the period found is not the mains'.
//
// The floor is a low percentile of the levels over frequency, taken in segments about half an
// octave wide so that coloured noise gets a floor of its own in each part of the band. A note
// fills only a few indexes of a segment, so the floor never follows a held note; and since each
// block is measured by itself, the floor follows a change of input level at once.
class AutoSensitivity {
  public:
    // The spectrum keeps every level above this, so that the floor under the threshold can be
    // measured; digital silence reads as this.
    static constexpr float kMeasuringThresholdDb = -150.0f;

    // The analyser gives the band; it must have been set up with kMeasuringThresholdDb as its
    // threshold. The spectrum display goes on showing the levels above shownFloorDb, the fixed
    // threshold: the moving one would lift its floor into a plateau of noise.
    AutoSensitivity(const SpectrumAnalyser& spectrum, float shownFloorDb);

    // Measures the floor of the spectrum's current levels, decides whether a note stands out and
    // moves the spectrum's threshold for this block.
    void judge(SpectrumAnalyser& spectrum);

    bool noteStandsOut() const { return noteStandsOut_; }
    // The floor of the whole band and the threshold of the last block, dB.
    float floorDb() const { return floorDb_; }
    float thresholdDb() const { return thresholdDb_; }

    // -1 in place of a period whose frequency is the mains (50 or 60 Hz), half of it or its
    // second or third harmonic: hum alone is periodic and stands far above the floor.
    static float withoutHum(float period, double rate);

  private:
    // Over the floor (the lower quartile) of white noise, 12 dB leaves about one index in a
    // hundred: the cepstrum then sees the harmonics and hardly any noise.
    static constexpr float kThresholdMarginDb = 12.0f;
    // The threshold stays within this of the strongest level, about what the fixed threshold
    // leaves a loud note: a clean quiet note would otherwise bring its faintest partials and
    // the window's skirts into the cepstrum, which then misses blocks.
    static constexpr float kRangeDb = 30.0f;
    // A level this far over its floor is 20 dB over the mean noise power, which white noise
    // reaches once in e^90 indexes (20 dB here still gave no false note, 15 dB did); a note
    // at 10 dB signal-to-noise ratio stands 40 dB over it with its strongest partial.
    static constexpr float kNoteMarginDb = 25.0f;

    float percentileOf(const float* level, int from, int to);
    float localFloor(int index) const;
    bool levelStandsOut(const float* level) const;

    float shownFloorDb_ = kMeasuringThresholdDb;
    int loBin_ = 0;
    int hiBin_ = 0;
    std::vector<int> segmentStart_;    // first index of each segment, then hiBin_ + 1
    std::vector<float> segmentFloor_;  // the floor of each segment in the last block
    std::vector<float> scratch_;
    float floorDb_ = kMeasuringThresholdDb;
    float thresholdDb_ = kMeasuringThresholdDb;
    bool noteStandsOut_ = false;
};

}  // namespace merlop
