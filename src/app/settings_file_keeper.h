#pragma once

// The settings file's part in a session: a failed load told once at the start (with the offer
// to start afresh from a damaged file), and one save at the end, never over a file that could
// not be read.

#include "common/message_box.h"
#include "common/question_box.h"
#include "settings/settings.h"

namespace merlop {

class SettingsFileKeeper {
  public:
    // settings: loaded already; loadFailed tells whether a file was read.
    SettingsFileKeeper(Settings& settings, MessageBox& messages, QuestionBox& questions);

    // The load failed and the user has not been told yet.
    bool unreported() const { return state_ == State::unreported; }
    // Tells the user; true when the program can go on (with the defaults from a file kept aside).
    bool settle();

    // Saved by the close already: nothing more to do.
    bool written() const { return state_ == State::written; }
    // Writes the settings unless the load had failed; a failure is told to the user when one is
    // there, else noted on standard error. False when the write failed.
    bool save(bool userPresent);
    void markWritten();

  private:
    bool settleProblem();

    // refused: told, the program ends without writing.
    enum class State { usable, unreported, refused, written };
    Settings& settings_;
    MessageBox& messages_;
    QuestionBox& questions_;
    State state_;
};

}  // namespace merlop
