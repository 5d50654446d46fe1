#pragma once

// The frame's side of a capture run: what a run is started for (the analysis, a file, the
// calibration), where its blocks go, and what each stop reason asks for once the card has closed,
// or at once when nothing was running. The card's side is CaptureRun.

#include "app/calibration.h"
#include "app/capture_run.h"
#include "app/ear_training_run.h"
#include "app/file_run.h"
#include "app/frame_displays.h"
#include "audio/capture_config.h"

namespace merlop {

class MessageBox;
class PitchModel;

// What a stop asks of the frame's modes.
class FrameCaptureOwner {
  public:
    virtual ~FrameCaptureOwner() = default;
    // A new layout: after a change while recording, a file opened or a file ended.
    virtual void layOut() = 0;
    virtual void playExercise(bool newMelody) = 0;
    // The calibration's next question, once nothing records.
    virtual void calibrationStep() = 0;
    // See CaptureRunOwner::inputSourceChanged.
    virtual void inputSourceChanged() = 0;
};

// The parts a run touches; they must outlive the FrameCapture.
struct FrameCaptureParts {
    FileRun& file;
    FrameDisplays& displays;
    Calibration& calibration;
    EarTrainingRun& ear;
    const PitchModel& pitch;
    // The frame's configuration of the next run, read at each start.
    const CaptureConfig& config;
};

class FrameCapture final : private CaptureRunOwner {
  public:
    FrameCapture(WaveCaptureService& capture, MessageBox& messages, FrameView& view,
                 MillisecondClock& clock, const FrameCaptureParts& parts, FrameCaptureOwner& owner);

    // Both act before they return, as sent messages do.
    void start();
    void stop(StopReason reason);
    // The input retry timer: while the input is away, look again; once it is back, lay out for
    // what it records or start. Only while the window is active, which starts by itself.
    void retryInput(bool windowActive);

    CaptureRun& run() { return run_; }
    const CaptureRun& run() const { return run_; }

  private:
    void afterStop(StopReason reason, bool closed);
    void runOpened() override;
    void blockArrived() override;
    void runClosed(StopReason reason) override;
    void inputSourceChanged() override { owner_.inputSourceChanged(); }

    MessageBox& messages_;
    FrameView& view_;
    FrameCaptureParts parts_;
    FrameCaptureOwner& owner_;
    CaptureRun run_;
};

}  // namespace merlop
