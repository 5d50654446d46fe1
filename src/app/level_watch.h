#pragma once

// View / "Input Level": the input's peak and clipping for the status bar's meter, and whether
// the tuner hears a note ("Listening") or has heard none for a while ("Too quiet").

#include <string>

#include "app/frame_view.h"
#include "audio/analysis_cycle.h"
#include "common/translation.h"

namespace merlop {

inline constexpr char kListeningStatusText[] = MERLOP_TR_NOOP("MainFrame", "Listening");
inline constexpr char kTooQuietStatusText[] = MERLOP_TR_NOOP("MainFrame", "Too quiet");

class LevelWatch final : public LevelDisplay {
  public:
    static constexpr double kQuietSeconds = 3.0;
    static constexpr double kClipHoldSeconds = 2.0;

    explicit LevelWatch(FrameView& view) : view_(view) {}

    // Blocks of this many seconds come next; the status is told afresh at the first, with
    // `listening` in place of "Listening" when it is not empty.
    void startRun(double blockSeconds, bool tellStatus, const std::string& listening = {});
    void showLevel(const InputLevel& level) override;

  private:
    FrameView& view_;
    double blockSeconds_ = 0.0;
    double quietFor_ = 0.0;
    double sinceClip_ = kClipHoldSeconds;
    bool tellStatus_ = false;
    std::string listening_ = kListeningStatusText;
    std::string tooQuiet_ = kTooQuietStatusText;
    std::string told_;
};

}  // namespace merlop
