#pragma once

#include <string>

namespace merlop {

// Decides when a changing reading is news for a screen reader. A new note is announced at
// once, a new text for the same note only once it has held for kSettle (the cents have
// settled), and never two announcements within kMinInterval. Time is whatever clock the
// caller keeps, in seconds; a clock that runs backwards counts as time passed.
class AnnouncementGate {
  public:
    static constexpr double kMinInterval = 0.5;
    static constexpr double kSettle = 0.3;

    // key: what makes a change news at once (the note, -1 for none); text: what would be said.
    // True: announce text now.
    bool offer(int key, const std::string& text, double now);

    // The last text announced; empty before the first.
    const std::string& announced() const { return announced_; }
    // How many offers were let through.
    int count() const { return count_; }

  private:
    bool any_ = false;
    int count_ = 0;
    int key_ = 0;
    std::string announced_;
    double announcedAt_ = 0.0;
    std::string candidate_;
    double candidateSince_ = 0.0;
};

}  // namespace merlop
