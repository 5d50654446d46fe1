#include "app/readings_taker.h"

#include <algorithm>

#include "audio/capture_config.h"

namespace merlop {

ReadingsTaker::ReadingsTaker(const Settings& settings, TuningStore& tunings,
                             const PitchModel& pitch, const std::unique_ptr<AnalysisCycle>& cycle,
                             QuestionBox& questions, CsvFileDialog& dialogs, MessageBox& messages)
    : settings_(settings),
      tunings_(tunings),
      pitch_(pitch),
      cycle_(cycle),
      questions_(questions),
      dialogs_(dialogs),
      messages_(messages) {}

ReadingsTaker::Basis ReadingsTaker::basis() const {
    Basis basis{tunings_.current(), pitch_};
    configurePitchModel(basis.pitch, settings_, basis.tuning.frequencies.data(),
                        std::clamp(basis.tuning.noteCount, 0, Tuning::kMaxNotes));
    return basis;
}

void ReadingsTaker::prepare() {
    readings_.prepare();
    if (cycle_ != nullptr) cycle_->clearNoteDeviations();
}

void ReadingsTaker::collect() {
    if (readings_.prepared() && cycle_ != nullptr) readings_.assign(cycle_->noteDeviations());
}

void ReadingsTaker::offer() {
    if (!readings_.prepared()) return;
    collect();
    const Basis now = basis();
    saveCustomReadings(readings_, now.tuning, now.pitch, questions_, dialogs_, messages_);
}

void ReadingsTaker::afterChange(const Basis& before, bool recording) {
    if (readings_.prepared()) {
        collect();
        if (recording &&
            sameReadingTargets(before.tuning, before.pitch, tunings_.current(), basis().pitch)) {
            return;
        }
        if (readings_.anyReading()) {
            saveCustomReadings(readings_, before.tuning, before.pitch, questions_, dialogs_,
                               messages_);
        }
        readings_.release();
    }
    if (recording) prepare();
}

}  // namespace merlop
