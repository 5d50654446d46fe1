#pragma once

// The analysis of a layout and the displays it hands its results to: built together for the
// configuration of a run and taken down together. The analysis outlives the displays, so a new
// layout keeps the custom-tuning readings it has collected.

#include <memory>
#include <string>
#include <utility>

#include "app/frame_layout.h"
#include "app/frame_view.h"
#include "app/level_watch.h"
#include "audio/analysis_cycle.h"

namespace merlop {

class MessageBox;
class PitchModel;
class Settings;

// Between the analysis and the tuner display. Held, the display shows the last note heard
// (pressed as the note dies away, Hold still keeps it), and so does a display built meanwhile
// by a new layout.
class ReadingHold final : public ReadingDisplay {
  public:
    void setTarget(ReadingDisplay* target);
    void setHeld(bool held);
    bool held() const { return held_; }
    void showReading(const PitchReading& reading) override;

  private:
    ReadingDisplay* target_ = nullptr;
    PitchReading last_;
    bool haveLast_ = false;
    bool held_ = false;
};

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
    // View / "Input Level": each block's level goes to the status bar from the next show on.
    void setLevelsShown(bool on) { levelsShown_ = on; }
    // A run begins; a live one has its "Listening" / "Too quiet" told in the status bar, where
    // `listening` (when not empty) says more than "Listening" does.
    void runStarting(bool live);
    void setListeningText(std::string listening) { listening_ = std::move(listening); }
    // Every block goes to tap too, from now on; none for null.
    void setBlockTap(BlockTap* tap);
    // Hold: the tuner's reading stands still while capture and the other displays go on.
    void setHeld(bool held) { hold_.setHeld(held); }
    bool held() const { return hold_.held(); }
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
    ReadingHold hold_;
    LevelWatch levels_;
    bool levelsShown_ = false;
    BlockTap* tap_ = nullptr;
    std::string listening_;
    ShownDisplays shown_;
};

}  // namespace merlop
