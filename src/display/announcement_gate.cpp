#include "display/announcement_gate.h"

namespace merlop {

namespace {

bool sooner(double now, double since, double span) {
    const double elapsed = now - since;
    return elapsed >= 0.0 && elapsed < span;
}

}  // namespace

bool AnnouncementGate::offer(int key, const std::string& text, double now) {
    if (any_ && text == announced_) {
        // Back to what was said: a wobble away and back again is not news.
        candidate_.clear();
        return false;
    }
    if (text != candidate_) {
        candidate_ = text;
        candidateSince_ = now;
    }
    if (any_ && sooner(now, announcedAt_, kMinInterval)) return false;
    const bool newNote = !any_ || key != key_;
    if (!newNote && sooner(now, candidateSince_, kSettle)) return false;
    any_ = true;
    key_ = key;
    announced_ = text;
    announcedAt_ = now;
    ++count_;
    candidate_.clear();
    return true;
}

}  // namespace merlop
