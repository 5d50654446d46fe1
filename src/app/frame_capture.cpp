#include "app/frame_capture.h"

#include "common/message_box.h"
#include "common/translation.h"

namespace merlop {

FrameCapture::FrameCapture(WaveCaptureService& capture, MessageBox& messages, FrameView& view,
                           MillisecondClock& clock, const FrameCaptureParts& parts,
                           FrameCaptureOwner& owner)
    : messages_(messages),
      view_(view),
      parts_(parts),
      owner_(owner),
      run_(capture, messages, view, clock, *this) {}

void FrameCapture::start() {
    FileRun& file = parts_.file;
    if (!run_.mayStart(file.isOpen())) return;
    AnalysisCycle* cycle = parts_.displays.cycle();
    if (cycle == nullptr || cycle->length() <= 0) {
        messages_.show(translate("MainFrame", "Not enough memory"),
                       translate("MainFrame", "data buffer "));
        return;
    }
    cycle->startRun();
    parts_.displays.runStarting(!file.isOpen());
    if (file.isOpen()) {
        run_.fileStarted();
        file.start();
        return;
    }
    if (parts_.calibration.active()) parts_.calibration.runStarting();
    run_.openLive(parts_.config, cycle->length());
}

void FrameCapture::stop(StopReason reason) {
    if (reason == StopReason::fileEnded) {
        view_.killTimer(FrameTimer::fileFeed);
        run_.fileEnded();
        owner_.layOut();
        return;
    }
    if (!run_.stop(reason)) afterStop(reason, false);
}

void FrameCapture::retryInput(bool windowActive) {
    view_.killTimer(FrameTimer::inputRetry);
    InputWatch& input = run_.input();
    if (!input.awaiting() || !windowActive) return;
    if (run_.active() || parts_.file.isOpen()) {
        view_.startTimer(FrameTimer::inputRetry, CaptureRun::kInputRetryMs);
        return;
    }
    if (!input.available()) {
        if (!input.query()) {
            view_.startTimer(FrameTimer::inputRetry, CaptureRun::kInputRetryMs);
            return;
        }
        // Another card may record other rates: lay out for what this one has.
        owner_.layOut();
        return;
    }
    start();
}

void FrameCapture::afterStop(StopReason reason, bool closed) {
    switch (reason) {
        case StopReason::plain:
            if (closed && run_.startPending()) start();
            break;
        case StopReason::toneNeedsDevice:
            view_.tunerRetryTone();
            break;
        case StopReason::quit:
            if (closed) view_.postClose();
            break;
        case StopReason::reapplyMode:
            if (closed) owner_.layOut();
            break;
        case StopReason::fileOpened:
            owner_.layOut();
            break;
        case StopReason::nextExercise:
            // With nothing recording there was no answer to judge: a new melody.
            owner_.playExercise(!closed || parts_.ear.advance());
            break;
        case StopReason::calibration:
            if (!closed) {
                owner_.calibrationStep();
            } else if (parts_.calibration.active()) {
                // Its question runs an event loop of its own: not inside the device's notice.
                view_.startTimer(FrameTimer::calibrationStep, 0);
            } else if (run_.startPending()) {
                start();  // cancelled while the device was closing
            }
            break;
        default:
            break;
    }
}

void FrameCapture::runOpened() {
    if (AnalysisCycle* cycle = parts_.displays.cycle(); cycle != nullptr) cycle->startRun();
}

void FrameCapture::blockArrived() {
    Calibration& calibration = parts_.calibration;
    if (calibration.active()) {
        // The samples do not matter, only when they came.
        PitchReading reading;
        if (calibration.onBlock(run_.arrivalTime(), parts_.pitch, &reading) &&
            parts_.displays.reading() != nullptr) {
            parts_.displays.reading()->showReading(reading);
        }
        if (calibration.finished()) {
            stop(StopReason::calibration);
            return;
        }
        run_.recordNext();
        return;
    }
    AnalysisCycle* cycle = parts_.displays.cycle();
    if (cycle == nullptr) return;
    int lo = 0;
    int hi = 0;
    if (run_.takeBlock(cycle->sampleBuffer(), cycle->length(), &lo, &hi)) {
        cycle->analyseBuffer(hi, lo);
    } else {
        cycle->blockSkipped();
    }
}

void FrameCapture::runClosed(StopReason reason) {
    afterStop(reason, true);
}

}  // namespace merlop
