// The reference tone and exercise playback of the tuner window.
//
// Tone states: idle (toneIndex -1, tonePlaying false) -> sounding (both set) -> stopping
// (toneIndex -1, tonePlaying true until the end-of-tone timer) -> idle.
#include <algorithm>

#include "display/note_buttons.h"
#include "display/tuner_state.h"
#include "pitch/pitch_model.h"
#include "settings/settings.h"
#include "settings/tuning_store.h"

namespace merlop {

void TunerLogic::playNote(int id, bool switchTo) {
    if (automaticCustom() || settings_.earTrainingOn != 0 || calibrationMode_) return;
    int index = id;
    if (customTuning()) {
        index = 0;
    } else if (!pianoMode_) {
        index = id - kNoteButtonFirstId;
        if (index < 0 || index > 11) return;
    } else if (index < 0) {
        return;
    }
    if (exerciseActive_) return;
    if ((toneIndex_ >= 0) != tonePlaying_) return;
    if (toneIndex_ >= 0) {
        s_.tone->stop();
        s_.tone->close();
        toneOpen_ = false;
        clearPlaying(toneIndex_);
        s_.timers->stop(TunerTimer::repeat);
        toneIndex_ = -1;
        s_.timers->start(TunerTimer::endOfTone, 100);
        if (!switchTo) return;
    }
    toneIndex_ = index;
    showPlaying(index);
    firstAttempt_ = true;
    if (!startTone() && s_.parent) s_.parent->releaseDeviceForTone();
}

bool TunerLogic::playCurrent() {
    float frequency = 0.0f;
    int program = settings_.midiPatch;
    if (customNoteIndex_ < 0) {
        // The buttons and keys are the part's notes; the tone sounds them.
        const int written =
            (exerciseActive_ || pianoMode_ ? 0 : PitchModel::midiOfC(settings_.toneOctave)) +
            toneIndex_;
        frequency = pitch_.frequencyOfNote(
            PitchModel::soundingNote(written, settings_.instrumentKey) - 9, 0.0f);
    } else {
        // An index the pitch model does not hold gives no frequency, so the player refuses it.
        if (customNoteIndex_ < std::min(pitch_.tuningCount(), PitchModel::kMaxTuningNotes)) {
            frequency = pitch_.tuningFrequency(customNoteIndex_);
        }
        program = tunings_ ? tunings_->instrument() : 0;
    }
    return s_.tone->play(frequency, settings_.midiCalibrationCents, program) == 0;
}

bool TunerLogic::startTone() {
    const bool opened = s_.tone->open() == 0;
    if (!opened && firstAttempt_) return false;
    toneOpen_ = opened;
    if (!playCurrent() && firstAttempt_) {
        // Closed again so the retry opens a fresh player.
        s_.tone->close();
        toneOpen_ = false;
        return false;
    }
    tonePlaying_ = true;
    if (settings_.toneRepeatRate != 0 && settings_.toneUseMidi != 0) {
        s_.timers->start(TunerTimer::repeat, 60000 / settings_.toneRepeatRate);
    }
    return true;
}

void TunerLogic::retryTone() {
    // Nothing is pending when the tone was stopped while capture was closing.
    if (toneIndex_ < 0 || tonePlaying_) return;
    firstAttempt_ = false;
    startTone();
}

void TunerLogic::stopTone() {
    s_.timers->stop(TunerTimer::repeat);
    s_.timers->stop(TunerTimer::nextNote);
    if (toneIndex_ >= 0) {
        s_.tone->stop();
        s_.tone->close();
        toneOpen_ = false;
        clearPlaying(toneIndex_);
        toneIndex_ = -1;
        // Nothing sounds any more; without this the window would refuse every later click.
        tonePlaying_ = false;
    }
    exerciseActive_ = false;
}

void TunerLogic::playExercise(ExerciseNotes& exercise) {
    exercise_ = &exercise;
    stopTone();
    exerciseActive_ = false;
    s_.timers->start(TunerTimer::nextNote, 100);
}

void TunerLogic::onTimer(TunerTimer timer) {
    switch (timer) {
        case TunerTimer::repeat:
            onRepeat();
            return;
        case TunerTimer::endOfTone:
            onEndOfTone();
            return;
        case TunerTimer::nextNote:
            onNextNote();
            return;
    }
}

void TunerLogic::onRepeat() {
    if (toneIndex_ < 0) {
        s_.timers->stop(TunerTimer::repeat);
        return;
    }
    s_.tone->stop();
    playCurrent();
}

void TunerLogic::onEndOfTone() {
    s_.timers->stop(TunerTimer::endOfTone);
    // A tone switched to since the stop still sounds and keeps the output.
    tonePlaying_ = toneIndex_ >= 0;
    if (exerciseActive_) {
        exerciseActive_ = false;
        if (s_.parent) s_.parent->exercisePlayed();
    } else if (s_.parent) {
        s_.parent->startCapture();
    }
}

void TunerLogic::onNextNote() {
    s_.timers->stop(TunerTimer::nextNote);
    if (!exercise_) return;
    if (!exerciseActive_) {
        if (!pianoMode_ && shownIndex_ >= 0) {
            setColour(shownIndex_, kButtonGreen);
            shownIndex_ = -1;
        }
        exerciseActive_ = true;
        toneOpen_ = s_.tone->open() == 0;
        tonePlaying_ = true;
    }
    if (toneIndex_ >= 0) {
        s_.tone->stop();
        if (exercise_->showNote()) clearPlaying(toneIndex_);
    }
    toneIndex_ = exercise_->nextNote();
    if (toneIndex_ < 0) {
        toneIndex_ = -1;
        s_.tone->close();
        toneOpen_ = false;
        s_.timers->start(TunerTimer::endOfTone, 100);
        return;
    }
    playCurrent();
    if (exercise_->showNote()) showPlaying(toneIndex_);
    s_.timers->start(TunerTimer::nextNote, std::max(1, exercise_->noteDuration()));
}

void TunerLogic::shutdown() {
    s_.timers->stop(TunerTimer::repeat);
    s_.timers->stop(TunerTimer::nextNote);
    s_.timers->stop(TunerTimer::endOfTone);
    if (toneIndex_ >= 0 || toneOpen_) {
        s_.tone->stop();
        s_.tone->close();
    }
    toneIndex_ = -1;
    toneOpen_ = false;
}

}  // namespace merlop
