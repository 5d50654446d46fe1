#include "display/tuner_state.h"

#include <algorithm>
#include <cmath>
#include <cstdint>

#include "common/translation.h"
#include "display/note_buttons.h"
#include "pitch/pitch_model.h"
#include "settings/settings.h"
#include "settings/tuning_store.h"

namespace merlop {

namespace {
// Key numbers beyond this are not notes any instrument plays; they are held here so the
// arithmetic on them cannot overflow.
constexpr std::int64_t kMaxKey = 1 << 20;
}  // namespace

TunerLogic::TunerLogic(const Settings& settings, const PitchModel& pitch,
                       const TuningStore* tunings, int customNoteIndex, bool calibrationMode,
                       Services services)
    : settings_(settings),
      pitch_(pitch),
      tunings_(tunings),
      s_(services),
      customNoteIndex_(settings.customTuningOn ? customNoteIndex : -1),
      calibrationMode_(calibrationMode),
      pianoMode_(settings.showPiano != 0 && settings.customTuningOn == 0 && !calibrationMode) {}

bool TunerLogic::customTuning() const {
    return settings_.customTuningOn != 0;
}

bool TunerLogic::automaticCustom() const {
    return customTuning() && customNoteIndex_ < 0;
}

int TunerLogic::buttonCount() const {
    if (pianoMode_) return 0;
    return customTuning() || calibrationMode_ ? 1 : 12;
}

std::string TunerLogic::tuningNoteName(int i) const {
    return tunings_ ? tunings_->description(i) : std::string();
}

TunerLogic::ButtonSetup TunerLogic::buttonSetup(int index) const {
    ButtonSetup b;
    if (calibrationMode_) {
        b.label = translate("Calibration", "Calibration starting ");
        b.style = 30;
        // A tone would take the sound device away from the measurement.
        b.clicksDisabled = true;
    } else if (customTuning()) {
        b.style = 0;
        if (customNoteIndex_ >= 0) {
            b.label = tuningNoteName(customNoteIndex_);
        } else {
            b.clicksDisabled = true;
        }
    } else {
        b.label = pitch_.noteName(index + 3);
    }
    return b;
}

void TunerLogic::setColour(int i, Rgb c) {
    if (buttonExists(i) && s_.view) s_.view->setButtonColour(i, c);
}

void TunerLogic::setLabel(int i, const std::string& text, Rgb c) {
    if (buttonExists(i) && s_.view) s_.view->setButtonLabel(i, text, c);
}

void TunerLogic::showReading(int note, int aux, float frequency, float deviation) {
    aux_ = aux;
    if (note < 0 && missCount_ < kMaxMisses && settings_.earTrainingOn == 0) {
        ++missCount_;
        return;
    }
    missCount_ = 0;
    int key = note;
    std::string name;
    if (note >= 0) {
        // Named as written, like the key that lights; a custom tuning names its own notes.
        int named = note;
        if (!customTuning()) {
            named = PitchModel::writtenNote(note, settings_.instrumentKey);
            const std::int64_t k = PitchModel::midiNumber(0) + static_cast<std::int64_t>(named);
            key = static_cast<int>(std::clamp<std::int64_t>(k, -1, kMaxKey));
        } else if (!(std::fabs(deviation) <= 0.5f)) {
            frequency = -1.0f;
            note = key = -1;
        } else {
            key = customNoteIndex_ >= 0 ? 0 : note;
        }
        if (note >= 0) name = pitch_.fullNoteName(named);
    }
    if (calibrationMode_) {
        setLabel(0, calibrationCaption(aux), kButtonRed);
        if (aux == 0 && s_.view) s_.view->showMeterValues(frequency, deviation, note, name);
        return;
    }
    if (s_.view) s_.view->showMeterValues(frequency, deviation, note, name);
    highlightDetected(key);
}

void TunerLogic::highlightDetected(int key) {
    if (pianoMode_) {
        if (s_.view) s_.view->setPianoKey(key, 'T');
        return;
    }
    const int i = key < 0 ? -1 : key % 12;
    // In "Automatic" the caption names the matched tuning note, and two notes of a tuning may
    // share a pitch class (the two E strings of a guitar).
    const bool sameCaption = !automaticCustom() || i < 0 || aux_ == shownTuningNote_;
    if (i == shownIndex_ && sameCaption) return;
    if (automaticCustom()) {
        setLabel(0, "", kButtonGreen);
    } else if (shownIndex_ >= 0) {
        setColour(shownIndex_, shownIndex_ == toneIndex_ ? kButtonYellow : kButtonGreen);
    }
    if (i >= 0) {
        if (automaticCustom()) {
            setLabel(0, tuningNoteName(aux_), kButtonRed);
        } else {
            setColour(i, kButtonRed);
        }
    }
    shownIndex_ = i;
    shownTuningNote_ = i < 0 ? -1 : aux_;
}

void TunerLogic::showPlaying(int index) {
    if (pianoMode_) {
        if (s_.view) s_.view->setPianoKey(index, 'P');
    } else {
        setColour(index % 12, kButtonYellow);
    }
}

void TunerLogic::clearPlaying(int index) {
    if (pianoMode_) {
        if (s_.view) s_.view->setPianoKey(index, 'C');
    } else {
        setColour(index % 12, kButtonGreen);
    }
}

}  // namespace merlop
