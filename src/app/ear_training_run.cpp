#include "app/ear_training_run.h"

#include "common/message_box.h"
#include "common/translation.h"

namespace merlop {

EarTrainingRun::EarTrainingRun(FrameView& view, MessageBox& messages, MillisecondClock& clock,
                               FrameDisplays& displays)
    : view_(view),
      messages_(messages),
      displays_(displays),
      exercise_(EarExercise::seededRandom(), [&clock] { return clock.milliseconds(); }) {}

bool EarTrainingRun::play(const Settings& settings, bool newMelody) {
    displays_.setAnswerSink(nullptr);
    if (newMelody) {
        const MelodyProblem problem = exercise_.generate(settings);
        if (problem != MelodyProblem::none) {
            messages_.show(melodyProblemText(problem), translate("EarTraining", "Ear training"));
            return false;
        }
    } else {
        exercise_.rewind();
        view_.setStatusText(translate("EarTraining", "Listen"));
    }
    view_.tunerPlayExercise(exercise_);
    return true;
}

void EarTrainingRun::played() {
    view_.startTimer(FrameTimer::earAnswer,
                     exercise_.noteDuration() * exercise_.melodyLength() * 2);
    view_.setStatusText(translate("EarTraining", "Play"));
    displays_.setAnswerSink(&exercise_);
}

void EarTrainingRun::answerTimeOver() {
    view_.killTimer(FrameTimer::earAnswer);
    advance_ = exercise_.judge() == 1;
    displays_.setAnswerSink(nullptr);
}

void EarTrainingRun::skipped() {
    halt();
    advance_ = true;
}

void EarTrainingRun::halt() {
    view_.killTimer(FrameTimer::earAnswer);
    view_.tunerStopTone();
    displays_.setAnswerSink(nullptr);
}

}  // namespace merlop
