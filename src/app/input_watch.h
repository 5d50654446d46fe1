#pragma once

// Whether the sound card is there and what it records; while it is gone, failures are not told
// again until it has recorded once more.

#include "audio/capture_config.h"
#include "audio/wave_input.h"

namespace merlop {

class InputWatch {
  public:
    explicit InputWatch(WaveInDevice& device) : device_(device) {}

    // Reads which formats the card records; false when there is none that can be used.
    bool query();
    bool available() const { return available_; }
    // An open failed: the card is looked for again before the next try.
    void lost() { available_ = false; }
    const CaptureCandidates& candidates() const { return candidates_; }

    // The failure has been told once: from now on the device fails quietly.
    void await();
    bool awaiting() const { return awaiting_; }
    // The input records again: the next failure is news.
    void found();

  private:
    WaveInDevice& device_;
    CaptureCandidates candidates_;
    bool available_ = false;
    bool awaiting_ = false;
};

}  // namespace merlop
