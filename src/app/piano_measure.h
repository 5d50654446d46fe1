#pragma once

// Tools / "Measure Inharmonicity...": the samples of one struck key, taken from the blocks the
// analysis gets, measured once there are enough, and the per-key results kept in merlop.conf
// for Tools / "Create Stretched Tuning...".

#include <functional>
#include <string>
#include <vector>

#include "audio/analysis_cycle.h"
#include "audio/inharmonicity.h"
#include "common/translation.h"
#include "pitch/piano_keys.h"

namespace merlop {

inline constexpr char kMeasureCaption[] = MERLOP_TR_NOOP("MainFrame", "Measure Inharmonicity");
inline constexpr char kStretchCaption[] = MERLOP_TR_NOOP("MainFrame", "Create Stretched Tuning");

// Takes the blocks of one key's sound until kSeconds have come.
class PianoMeasure final : public BlockTap {
  public:
    static constexpr double kSeconds = 2.0;

    // Starts taking blocks of `rate` Hz for key `midi`; `whenFull` is called from the block
    // that fills it, inside the analysis.
    void begin(int midi, double rate, std::function<void()> whenFull);
    void cancel() { midi_ = -1; }
    bool taking() const { return midi_ >= 0 && !full(); }
    // Enough has come: measure() may run.
    bool full() const;
    int key() const { return midi_; }
    void takeBlock(const int* samples, int n) override;

    // Measures what was taken (and stops taking); refA names the key's frequency.
    InharmonicityResult measure(double referenceA);

  private:
    std::vector<float> samples_;
    std::function<void()> whenFull_;
    double rate_ = 0.0;
    int midi_ = -1;
};

// The result as the dialog shows it: f0, B and each partial's deviation from n f0.
std::string measurementText(int midi, const InharmonicityResult& result);

// The measurements with m in place of the key's earlier one.
std::vector<KeyMeasurement> withMeasurement(std::vector<KeyMeasurement> list,
                                            const KeyMeasurement& m);

}  // namespace merlop
