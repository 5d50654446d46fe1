#include "app/level_watch.h"

#include "common/translation.h"

namespace merlop {

void LevelWatch::startRun(double blockSeconds, bool tellStatus, const std::string& listening) {
    listening_ = listening.empty() ? translate("MainFrame", kListeningStatusText) : listening;
    tooQuiet_ = translate("MainFrame", kTooQuietStatusText);
    blockSeconds_ = blockSeconds > 0.0 ? blockSeconds : 0.0;
    quietFor_ = 0.0;
    sinceClip_ = kClipHoldSeconds;
    tellStatus_ = tellStatus;
    told_.clear();
}

void LevelWatch::showLevel(const InputLevel& level) {
    quietFor_ = level.heard ? 0.0 : quietFor_ + blockSeconds_;
    sinceClip_ = level.clipped ? 0.0 : sinceClip_ + blockSeconds_;
    view_.showInputLevel({true, level.peakDbfs, sinceClip_ < kClipHoldSeconds});
    if (!tellStatus_) return;
    const std::string& text = quietFor_ >= kQuietSeconds ? tooQuiet_ : listening_;
    // Only a change is told, so a message another command wrote stays until the next one.
    if (told_ == text) return;
    told_ = text;
    view_.setStatusText(text);
}

}  // namespace merlop
