#include "app/view_choice.h"

#include "settings/settings.h"

namespace merlop {

ModeRule modeRule(ModeCommand command) {
    switch (command) {
        case ModeCommand::tuner:
        case ModeCommand::spectrum:
            return {.endsEarTraining = true};
        case ModeCommand::wave:
            return {.refusedInEarTraining = true};
        case ModeCommand::earTraining:
            return {.endsCustomTuning = true};
        case ModeCommand::customTuning:
            return {.endsEarTraining = true};
    }
    return {};
}

void ViewChoice::load(const Settings& settings) {
    chosen_.tuner = settings.showTuner != 0;
    chosen_.spectrum = settings.showSpectrum != 0;
    chosen_.wave = settings.showWaveForm != 0;
}

void ViewChoice::keepIn(Settings& settings) const {
    settings.showTuner = chosen_.tuner ? 1 : 0;
    settings.showSpectrum = chosen_.spectrum ? 1 : 0;
    settings.showWaveForm = chosen_.wave ? 1 : 0;
}

void ViewChoice::flip(ModeCommand command) {
    switch (command) {
        case ModeCommand::tuner:
            chosen_.tuner = !chosen_.tuner;
            break;
        case ModeCommand::spectrum:
            chosen_.spectrum = !chosen_.spectrum;
            break;
        case ModeCommand::wave:
            chosen_.wave = !chosen_.wave;
            break;
        default:
            break;
    }
}

void ViewChoice::tunerOnly() {
    chosen_ = ShownDisplays{true, false, false};
}

void ViewChoice::atLeastOne() {
    if (!chosen_.any()) chosen_.tuner = true;
}

FrameUiState ViewChoice::uiState(const ActiveModes& modes) const {
    FrameUiState s;
    s.tunerChecked = chosen_.tuner;
    s.spectrumChecked = chosen_.spectrum;
    s.waveChecked = chosen_.wave;
    s.pauseChecked = paused_;
    s.pauseEnabled = chosen_.spectrum || chosen_.wave || modes.calibrating;
    s.earTrainingChecked = modes.earTraining;
    s.skipEnabled = modes.earTraining || modes.customTuning;
    s.customTuningChecked = modes.customTuning;
    s.noteComboEnabled = modes.customTuning;
    s.tuningComboEnabled = chosen_.tuner || modes.customTuning;
    return s;
}

}  // namespace merlop
