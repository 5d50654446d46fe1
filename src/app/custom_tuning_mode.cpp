#include "app/custom_tuning_mode.h"

#include "settings/settings.h"
#include "settings/tuning_presets.h"
#include "settings/tuning_store.h"

namespace merlop {

CustomTuningMode::CustomTuningMode(Settings& settings, TuningStore& tunings,
                                   const PitchModel& pitch,
                                   const std::unique_ptr<AnalysisCycle>& cycle,
                                   QuestionBox& questions, CsvFileDialog& dialogs,
                                   MessageBox& messages)
    : settings_(settings),
      tunings_(tunings),
      notes_(settings.tuningNoteAutomatic != 0),
      readings_(settings, tunings, pitch, cycle, questions, dialogs, messages) {
    tunings_.readTuning(settings_.currentTuning);
}

bool CustomTuningMode::on() const {
    return settings_.customTuningOn != 0;
}

bool CustomTuningMode::recordingReadings() const {
    return on() && tunings_.recordReadings() != 0;
}

void CustomTuningMode::begin() {
    settings_.customTuningOn = 1;
    notes_.begin(tunings_);
    if (tunings_.recordReadings() != 0) readings_.prepare();
}

void CustomTuningMode::end() {
    if (tunings_.recordReadings() != 0) readings_.offer();
    readings_.release();
    settings_.customTuningOn = 0;
}

void CustomTuningMode::selectTuning(int index) {
    around([&] {
        tunings_.readTuning(index);
        notes_.tuningChanged(tunings_);
    });
}

std::string CustomTuningMode::addPreset(const TuningPreset& preset) {
    std::string problem;
    around([&] {
        problem = addPresetTuning(tunings_, preset);
        notes_.tuningChanged(tunings_);
    });
    return problem;
}

void CustomTuningMode::around(const std::function<void()>& change) {
    const ReadingsTaker::Basis before = readings_.basis();
    change();
    readings_.afterChange(before, recordingReadings());
}

void CustomTuningMode::fillCombos(FrameView& view) {
    tunings_.readTuning(tunings_.currentTuning());
    view.fillTuningCombo(tunings_.names(), tunings_.currentTuning());
    const std::vector<std::string> notes = notes_.comboItems(tunings_);
    view.fillNoteCombo(notes, notes_.current());
}

void CustomTuningMode::addTo(CycleOptions& options) const {
    options.customTuningOn = on();
    if (!options.customTuningOn) return;
    options.fixedTuningNote = notes_.fixedNote();
    options.recordReadings = tunings_.recordReadings() != 0 && readings().prepared();
    for (int i = 0; i < noteCount(); ++i) options.tuningMidiKeys.push_back(tunings_.note(i));
}

const float* CustomTuningMode::frequencies() const {
    return tunings_.frequencies();
}

int CustomTuningMode::noteCount() const {
    return TuningNoteChoice::noteCount(tunings_);
}

bool CustomTuningMode::autoToneDue() const {
    return notes_.toneArmed() && tunings_.autoReferenceTone() != 0;
}

void CustomTuningMode::close(bool userPresent) {
    if (recordingReadings() && userPresent) readings_.offer();
    readings_.release();
}

void CustomTuningMode::keepIn(Settings& settings) const {
    settings.currentTuning = tunings_.currentTuning();
    settings.tuningNoteAutomatic = notes_.automatic() ? 1 : 0;
}

}  // namespace merlop
