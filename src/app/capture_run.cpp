#include "app/capture_run.h"

#include "common/message_box.h"
#include "common/translation.h"

namespace merlop {

namespace {

constexpr const char* kDeviceError = MERLOP_TR_NOOP("CaptureRun", "Sound device error ");

}  // namespace

CaptureRun::CaptureRun(WaveCaptureService& capture, MessageBox& messages, FrameView& view,
                       MillisecondClock& clock, CaptureRunOwner& owner)
    : messages_(messages), view_(view), clock_(clock), owner_(owner), device_(capture, messages) {}

CaptureRun::~CaptureRun() {
    view_.keepScreenAwake(false);
}

void CaptureRun::move(CaptureEvent event) {
    const CaptureState next = nextCaptureState(state_, event);
    const bool running = next != CaptureState::idle;
    if (running != active()) view_.keepScreenAwake(running);
    state_ = next;
}

void CaptureRun::awaitInput() {
    input_.await();
    view_.startTimer(FrameTimer::inputRetry, kInputRetryMs);
}

bool CaptureRun::mayStart(bool fileOpen) {
    startPending_ = false;
    if (active()) {
        if (!recording()) startPending_ = true;
        return false;
    }
    if (!input_.available() && !fileOpen) {
        awaitInput();
        return false;
    }
    return true;
}

void CaptureRun::openLive(const CaptureConfig& config, int blockLength) {
    if (device_.open(this, config.sampleRate, config.bitsPerSample, blockLength) != 0) {
        if (!input_.awaiting())
            messages_.show(translate("CaptureRun", "open failed"),
                           translate("CaptureRun", "wave input device error "));
        input_.lost();
        awaitInput();
        return;
    }
    move(CaptureEvent::startLive);
}

bool CaptureRun::stop(StopReason reason) {
    if (recording() && input_.available()) {
        reason_ = reason;
        move(CaptureEvent::stop);
        if (device_.reset() != 0)
            messages_.show(translate("CaptureRun", "stop failed "),
                           translate("CaptureRun", kDeviceError));
        return true;
    }
    if (state_ == CaptureState::stopping &&
        (reason == StopReason::nextExercise || reason == StopReason::calibration) &&
        reason_ != StopReason::quit) {
        // The run is closing already: act once, when it has closed.
        reason_ = reason;
        return true;
    }
    return false;
}

bool CaptureRun::takeBlock(int* samples, int count, int* lo, int* hi) {
    // Behind a slow analysis both buffers may be full: analyse the newer one only, so the
    // display never lags behind the sound.
    if (device_.newerBlockWaiting()) {
        ++staleBlocksDropped_;
        recordNext();
        return false;
    }
    device_.convert(samples, static_cast<unsigned>(count), lo, hi);
    if (device_.start() != 0) {
        messages_.show(translate("CaptureRun", "record failed "),
                       translate("CaptureRun", kDeviceError));
        return false;
    }
    return true;
}

void CaptureRun::recordNext() {
    if (device_.start() != 0)
        messages_.show(translate("CaptureRun", "record failed "),
                       translate("CaptureRun", kDeviceError));
}

void CaptureRun::onWaveInOpen() {
    // Stopped before the card had opened: no buffer is queued to bring the close, so close now.
    if (!recording()) {
        if (device_.close() != 0)
            messages_.show(translate("CaptureRun", "close failed "),
                           translate("CaptureRun", kDeviceError));
        return;
    }
    owner_.runOpened();
    if (device_.start() != 0) {
        if (!input_.awaiting())
            messages_.show(translate("CaptureRun", "record failed "),
                           translate("CaptureRun", kDeviceError));
        awaitInput();
        // Nothing will be recorded: give the buffers back and close, to try again later.
        stop(StopReason::plain);
    }
}

void CaptureRun::onWaveInData() {
    arrivalTime_ = clock_.milliseconds();
    const int stillQueued = device_.bufferReturned();
    if (!recording()) {
        if (stillQueued <= 0 && device_.close() != 0)
            messages_.show(translate("CaptureRun", "close failed "),
                           translate("CaptureRun", kDeviceError));
        return;
    }
    if (input_.awaiting()) {
        input_.found();
        view_.killTimer(FrameTimer::inputRetry);
    }
    owner_.blockArrived();
}

void CaptureRun::onWaveInClose() {
    move(CaptureEvent::closed);
    owner_.runClosed(reason_);
}

void CaptureRun::onWaveInError(int error) {
    // The device has shown the error and returns its buffers; they close it as after a stop.
    if (!recording()) return;
    move(CaptureEvent::stop);
    if (error == kWaveInSourceChanged) {
        reason_ = StopReason::reapplyMode;
        owner_.inputSourceChanged();
        return;
    }
    reason_ = StopReason::plain;
    awaitInput();
}

}  // namespace merlop
