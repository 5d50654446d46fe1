#pragma once

// The sound card's sample clock measured against the steady millisecond clock: 121 one-second
// buffers, whose arrival times give the card's true seconds.
//
//   idle --begin--> confirming (count 0, box) --OK--> measuring (count 0..120, one step a block)
//        --120th step--> finished (count 121) --device closed--> result box --> idle
//
// A measurement lives within one capture run: when a new run starts part-way, the measurement
// starts again with its first block, so a gap in the recording never enters the result.

#include <cstdint>
#include <string>

#include "audio/reading_smoother.h"
#include "common/translation.h"

namespace merlop {

class PitchModel;
class QuestionBox;

class Calibration {
  public:
    static constexpr int kSeconds = 120;
    // The note the tuner shows the measurement on: the reference A.
    static constexpr int kReferenceNote = 60;

    // The command: a fresh procedure.
    void begin() {
        count_ = 0;
        active_ = true;
    }
    // The procedure ends unfinished (the user paused, or a file took the input).
    void cancel() { active_ = false; }
    // From the command until the last box is answered.
    bool active() const { return active_; }
    // Asks what is due once a run has closed: whether to start, or whether to keep the result
    // (into calibrationTenths on OK); either ends the procedure when declined or answered. False
    // when nothing was due.
    bool ask(QuestionBox& questions, std::int32_t* calibrationTenths);
    // A capture run is starting; a measurement under way starts again with its first block.
    void runStarting();

    // One block arrived at arrivalMs. Returns true with the reading for the tuner from the
    // second block on.
    bool onBlock(std::uint32_t arrivalMs, const PitchModel& pitch, PitchReading* reading);

    bool finished() const { return count_ > kSeconds; }
    int count() const { return count_; }
    float rawEstimate() const { return rawEstimate_; }
    float measuredDeviation() const { return measuredDeviation_; }

    // Caption of the box that asks to start.
    static std::string startCaption();
    // Body of the box that offers the result.
    std::string resultText() const;
    static constexpr const char* kResultCaption =
        MERLOP_TR_NOOP("Calibration", "Update Calibration ?");
    // The correction to store: tenths of a cent, opposite to the deviation, truncated.
    std::int32_t resultTenths() const;

  private:
    int count_ = 0;
    bool active_ = false;
    std::uint32_t start_ = 0;
    float rawEstimate_ = 440.0f;
    float measuredDeviation_ = 0.0f;
};

}  // namespace merlop
