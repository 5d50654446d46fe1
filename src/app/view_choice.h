#pragma once

// Which displays the user asked to see, whether they stand still, and the rules between the
// views and the frame's modes (ear training, custom tuning, the calibration).

#include "app/frame_layout.h"

namespace merlop {

class Settings;

// Checked and enabled states of the commands, derived in one place.
struct FrameUiState {
    bool tunerChecked = false, spectrumChecked = false, waveChecked = false;
    bool pauseChecked = false, pauseEnabled = false;
    bool earTrainingChecked = false;
    bool skipEnabled = false;
    bool customTuningChecked = false;
    bool noteComboEnabled = false, tuningComboEnabled = false;
    bool autoSensitivityChecked = false;
    bool keepListeningChecked = false;
    bool inTuneColourChecked = false;
    bool holdChecked = false, holdEnabled = false;
    bool inputLevelChecked = false;
    bool fullScreenChecked = false;
    bool strobeChecked = false;
};

enum class ModeCommand { tuner, spectrum, wave, earTraining, customTuning };

// Every command is refused while a calibration runs.
struct ModeRule {
    bool refusedInEarTraining = false;
    bool endsEarTraining = false;
    bool endsCustomTuning = false;
};
ModeRule modeRule(ModeCommand command);

struct ActiveModes {
    bool calibrating = false;
    bool earTraining = false;
    bool customTuning = false;
};

class ViewChoice {
  public:
    void load(const Settings& settings);
    void keepIn(Settings& settings) const;

    const ShownDisplays& chosen() const { return chosen_; }
    // command is one of the three views.
    void flip(ModeCommand command);
    // Ear training and the calibration read the tuner alone.
    void tunerOnly();
    // A layout never shows nothing: the tuner, then.
    void atLeastOne();

    bool paused() const { return paused_; }
    void setPaused(bool paused) { paused_ = paused; }

    FrameUiState uiState(const ActiveModes& modes) const;

  private:
    ShownDisplays chosen_{true, false, false};
    bool paused_ = false;
};

}  // namespace merlop
