#pragma once

// Ear training in the main frame: a melody is played, the player answers within twice its
// length, and the judgement decides whether the next melody is a new one or the same again.

#include "app/frame_displays.h"
#include "app/frame_view.h"
#include "ear/ear_exercise.h"

namespace merlop {

class MessageBox;
class Settings;

class EarTrainingRun {
  public:
    // displays: where the answer is listened to, from the end of the melody to the end of the
    // answer time.
    EarTrainingRun(FrameView& view, MessageBox& messages, MillisecondClock& clock,
                   FrameDisplays& displays);

    // Plays a new melody, or the last one again. False when the settings admit no melody: the
    // user has been told which to change.
    bool play(const Settings& settings, bool newMelody);
    // The melody has been played: the answer time begins.
    void played();
    // The answer time is over: the next melody is new when every note was heard.
    void answerTimeOver();
    // The player skips: the tone and the answer time stop, and the next melody is new.
    void skipped();
    // Ear training ends or pauses: the tone and the answer time stop.
    void halt();

    // Whether the next melody is new, as judged or skipped.
    bool advance() const { return advance_; }
    // An exercise starts at the layout's start of capture, instead of capture itself.
    void setStartPending(bool pending) { startPending_ = pending; }
    bool startPending() const { return startPending_; }

    EarExercise& exercise() { return exercise_; }
    const EarExercise& exercise() const { return exercise_; }

  private:
    FrameView& view_;
    MessageBox& messages_;
    FrameDisplays& displays_;
    EarExercise exercise_;
    bool startPending_ = false;
    bool advance_ = false;
};

}  // namespace merlop
