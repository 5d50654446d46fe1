#pragma once

// The sound card's side of a capture run: opening the card, taking its blocks, stopping and
// closing it, and the one reason a stop is for. The frame decides what a run is for and what
// follows it; this class keeps the card's notices in order (capture_state.h has the moves).
//
// A start asked for while a run is still closing is remembered and left to the owner to perform
// once the close has arrived.

#include <cstdint>

#include "app/capture_state.h"
#include "app/frame_view.h"
#include "app/input_watch.h"
#include "audio/capture_config.h"
#include "audio/wave_input.h"

namespace merlop {

class MessageBox;

// What the frame does at the moments of a run only the card knows.
class CaptureRunOwner {
  public:
    virtual ~CaptureRunOwner() = default;
    // The card has opened and is about to record: the analysis starts afresh.
    virtual void runOpened() = 0;
    // A block has come while recording; the owner takes it with takeBlock() or recordNext().
    virtual void blockArrived() = 0;
    // The card has closed after a stop for reason.
    virtual void runClosed(StopReason reason) = 0;
    // The chosen sound source went or came back; the run stops and lays out again, so the next
    // one records from the right source.
    virtual void inputSourceChanged() {}
};

class CaptureRun final : public WaveInListener {
  public:
    // Often enough that a returning sound server is heard within a breath, rarely enough to
    // cost nothing while it stays away.
    static constexpr int kInputRetryMs = 2000;

    CaptureRun(WaveCaptureService& capture, MessageBox& messages, FrameView& view,
               MillisecondClock& clock, CaptureRunOwner& owner);
    ~CaptureRun() override;
    CaptureRun(const CaptureRun&) = delete;
    CaptureRun& operator=(const CaptureRun&) = delete;

    // False when no run may start now: one is running (a start asked for while it ends is
    // remembered in startPending()) or there is no input (it is then looked for again).
    bool mayStart(bool fileOpen);
    // Opens the card; on failure the user is told once and the input looked for again.
    void openLive(const CaptureConfig& config, int blockLength);
    void fileStarted() { move(CaptureEvent::startFile); }
    void fileEnded() { move(CaptureEvent::fileEnded); }
    void shutdown() { move(CaptureEvent::shutdown); }
    // True when the stop is acted on once the card has closed: the card was told to stop now, or
    // it is closing already and the reason now is what follows. False when nothing recorded and
    // the caller acts on the reason at once.
    bool stop(StopReason reason);

    // Within blockArrived(): converts the newest block into samples and gives the buffer back to
    // the card. False when there is nothing to analyse: an older block waited behind a newer one
    // and was skipped, or the card could not go on.
    bool takeBlock(int* samples, int count, int* lo, int* hi);
    // Within blockArrived(): gives the buffer back unread.
    void recordNext();

    // The input is gone or could not be had: told once, then looked for again every while.
    void awaitInput();
    InputWatch& input() { return input_; }
    const InputWatch& input() const { return input_; }

    CaptureState state() const { return state_; }
    bool recording() const { return state_ == CaptureState::recording; }
    bool active() const { return state_ != CaptureState::idle; }
    bool startPending() const { return startPending_; }
    StopReason reason() const { return reason_; }
    const WaveInDevice& device() const { return device_; }
    // When the last block came, on the steady clock.
    std::uint32_t arrivalTime() const { return arrivalTime_; }
    std::int64_t staleBlocksDropped() const { return staleBlocksDropped_; }

    void onWaveInOpen() override;
    void onWaveInData() override;
    void onWaveInClose() override;
    void onWaveInError(int error) override;

  private:
    // The one way the state changes; the screen stays awake while anything runs.
    void move(CaptureEvent event);

    MessageBox& messages_;
    FrameView& view_;
    MillisecondClock& clock_;
    CaptureRunOwner& owner_;
    WaveInDevice device_;
    InputWatch input_{device_};
    CaptureState state_ = CaptureState::idle;
    bool startPending_ = false;
    StopReason reason_ = StopReason::plain;
    std::uint32_t arrivalTime_ = 0;
    std::int64_t staleBlocksDropped_ = 0;
};

}  // namespace merlop
