#pragma once

// Custom tuning as a mode of the main frame: the tunings store, the note the tuner holds to, and
// the readings taken while it runs. Whether it is on is the settings' customTuningOn, as saved.
// Only a frame that has a tunings store has this mode.

#include <functional>
#include <memory>

#include "app/frame_view.h"
#include "app/readings_taker.h"
#include "app/tuning_note_choice.h"
#include "audio/analysis_cycle.h"

namespace merlop {

struct TuningPreset;

class MessageBox;
class PitchModel;
class QuestionBox;
class Settings;
class TuningStore;

class CustomTuningMode {
  public:
    CustomTuningMode(Settings& settings, TuningStore& tunings, const PitchModel& pitch,
                     const std::unique_ptr<AnalysisCycle>& cycle, QuestionBox& questions,
                     CsvFileDialog& dialogs, MessageBox& messages);

    bool on() const;
    // The mode begins: on the store's note or "Automatic", readings prepared if it records them.
    void begin();
    // The mode ends: readings it recorded are offered first.
    void end();
    // Readings are recorded while the mode is on and its tuning asks for them.
    bool recordingReadings() const;

    void selectTuning(int index);
    // Appends the preset and makes it current; empty, or what to tell the user.
    std::string addPreset(const TuningPreset& preset);
    void selectNote(int index) { notes_.select(index, tunings_); }
    // The next note round the tuning; false in "Automatic".
    bool nextNote() { return notes_.next(tunings_); }
    // Runs a change of the settings or the tuning; readings taken against targets it moved
    // are offered and a fresh set begins.
    void around(const std::function<void()>& change);

    // The tuning and note combos of the mode.
    void fillCombos(FrameView& view);
    // What the analysis takes of the mode.
    void addTo(CycleOptions& options) const;
    const float* frequencies() const;
    int noteCount() const;
    // The automatic reference tone is due once after a layout that filled the note combo.
    bool autoToneDue() const;
    void disarmTone() { notes_.disarmTone(); }

    // The window closes: recorded readings are offered when the user is there to answer.
    void close(bool userPresent);
    // The tuning and the note choice go into the settings to be saved.
    void keepIn(Settings& settings) const;

    const TuningNoteChoice& notes() const { return notes_; }
    const CustomReadings& readings() const { return readings_.readings(); }

  private:
    Settings& settings_;
    TuningStore& tunings_;
    TuningNoteChoice notes_;
    ReadingsTaker readings_;
};

}  // namespace merlop
