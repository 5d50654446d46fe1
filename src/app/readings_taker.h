#pragma once

// The custom-tuning readings of a session: taken while a tuning with "Record readings" is on,
// and offered for saving when they end or no longer fit the tuning's notes.

#include <memory>

#include "app/readings.h"
#include "audio/analysis_cycle.h"
#include "common/message_box.h"
#include "common/question_box.h"
#include "pitch/pitch_model.h"
#include "settings/settings.h"
#include "settings/tuning_store.h"

namespace merlop {

class ReadingsTaker {
  public:
    // What readings are taken against: the tuning's notes and the targets the pitch model
    // gives them.
    struct Basis {
        Tuning tuning;
        PitchModel pitch;
    };

    // cycle: the frame's analysis, which may come and go; tunings is not null.
    ReadingsTaker(const Settings& settings, TuningStore& tunings, const PitchModel& pitch,
                  const std::unique_ptr<AnalysisCycle>& cycle, QuestionBox& questions,
                  CsvFileDialog& dialogs, MessageBox& messages);

    Basis basis() const;
    // A fresh set begins.
    void prepare();
    // The set so far is offered for saving, against the current tuning.
    void offer();
    // The sheet and the tuning combo can change the notes, their targets or "Record readings"
    // while readings are being taken. Readings that no longer name the tuning's notes are
    // offered, if there are any, against the notes they were taken for; with recording still on
    // a fresh set then begins, so it never writes without one.
    void afterChange(const Basis& before, bool recording);
    void release() { readings_.release(); }
    const CustomReadings& readings() const { return readings_; }

  private:
    // The analysis records into its own set; ours takes them over before they are offered.
    void collect();

    const Settings& settings_;
    TuningStore& tunings_;
    const PitchModel& pitch_;
    const std::unique_ptr<AnalysisCycle>& cycle_;
    QuestionBox& questions_;
    CsvFileDialog& dialogs_;
    MessageBox& messages_;
    CustomReadings readings_;
};

}  // namespace merlop
