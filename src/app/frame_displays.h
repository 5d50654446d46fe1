#pragma once

// The analysis of a layout and the displays it hands its results to: built together for the
// configuration of a run and taken down together. The analysis outlives the displays, so a new
// layout keeps the custom-tuning readings it has collected.

#include <memory>

#include "app/frame_layout.h"
#include "app/frame_view.h"
#include "audio/analysis_cycle.h"

namespace merlop {

class MessageBox;
class PitchModel;
class Settings;

class FrameDisplays {
  public:
    FrameDisplays(const Settings& settings, PitchModel& pitch, FrameView& view,
                  MessageBox& messages);

    // Builds the analysers for the run, or rebuilds them; tells when memory failed for one
    // that the views need.
    void rebuild(const CaptureConfig& config, const CycleOptions& options);
    // The window builds the requested displays and the analysis hands its results to them.
    void show(DisplayRequest request);
    // The displays go; the analysis stays.
    void drop();
    // The answers of an exercise go to sink while it is listened to; nowhere for null.
    void setAnswerSink(EarAnswerSink* sink);

    ShownDisplays shown() const { return shown_; }
    bool answering() const { return sinks_.ear != nullptr; }
    // The tuner's reading, where a calibration shows its measurement; null without a tuner.
    ReadingDisplay* reading() const { return sinks_.reading; }
    AnalysisCycle* cycle() { return cycle_.get(); }
    const AnalysisCycle* cycle() const { return cycle_.get(); }
    // For those that read the analysis whenever it is there.
    const std::unique_ptr<AnalysisCycle>& cycleSlot() const { return cycle_; }

  private:
    const Settings& settings_;
    PitchModel& pitch_;
    FrameView& view_;
    MessageBox& messages_;
    std::unique_ptr<AnalysisCycle> cycle_;
    CycleSinks sinks_;
    ShownDisplays shown_;
};

}  // namespace merlop
