#pragma once

// The tuner program's main frame without its window: the commands, and the order in which its
// parts act. Each part has one job: the capture run (frame_capture.h; the card's side in
// capture_run.h, its moves in capture_state.h), the analysis and displays of a layout
// (frame_displays.h), the views and the rules between the modes (view_choice.h), custom tuning
// (custom_tuning_mode.h), ear training (ear_training_run.h), the calibration (calibration.h),
// the WAV file input (file_run.h) and the settings files (settings_file_keeper.h,
// settings/extension_settings.h).
//
// A run is never reconfigured in place: a change while recording stops it with
// StopReason::reapplyMode, and the layout runs again once the device has closed. A start that
// arrives while a run is still closing is remembered and performed when the close arrives.

#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "app/calibration.h"
#include "app/capture_run.h"
#include "app/capture_state.h"
#include "app/custom_tuning_mode.h"
#include "app/ear_training_run.h"
#include "app/file_run.h"
#include "app/frame_capture.h"
#include "app/frame_displays.h"
#include "app/frame_layout.h"
#include "app/frame_view.h"
#include "app/input_choice.h"
#include "app/piano_measure.h"
#include "app/readings.h"
#include "app/scala_files.h"
#include "app/settings_file_keeper.h"
#include "app/view_choice.h"
#include "audio/analysis_cycle.h"
#include "audio/capture_config.h"
#include "common/message_box.h"
#include "common/question_box.h"
#include "display/spectrum_axes.h"
#include "display/tuner_state.h"
#include "pitch/pitch_model.h"
#include "settings/extension_settings.h"

namespace merlop {

class Settings;
class TuningStore;

struct FrameServices {
    FrameView& view;
    MessageBox& messages;
    WaveCaptureService& capture;
    FilePlayer& player;
    FileDialogs& dialogs;
    // A steady clock, read first thing when a block arrives; the exercise's answer clock too.
    MillisecondClock& clock;
    QuestionBox& questions;
    // merlop.conf: the settings of the features beyond the classic files.
    ExtensionSettingsStore& extensions;
};

// The tuner window's requests (startCapture, stopCapture, exercisePlayed) come here directly.
class MainFrameCore final : public TunerParent, private FrameCaptureOwner {
  public:
    // settings: loaded already (loadFailed tells whether a file was read); tunings may be null
    // when the store could not be had, and custom tuning then stays off.
    MainFrameCore(Settings& settings, TuningStore* tunings, const FrameServices& services);
    ~MainFrameCore() override;
    MainFrameCore(const MainFrameCore&) = delete;
    MainFrameCore& operator=(const MainFrameCore&) = delete;

    // Window events.
    void onSize(int clientWidth, int clientHeight);
    void onActivate(bool active);
    // True when the window may close now; false while the device is still closing (the close
    // is posted again once it has). userPresent is false for a close from outside (logout, a
    // signal): the custom readings are then dropped without asking.
    bool onClose(bool userPresent = true);
    void onTimer(FrameTimer timer);
    void onSpaceKey();
    // Copies the live choices into the settings and writes them unless the load had failed or
    // the close has written them already. A failed write is told to the user when one is there
    // (a close from outside only notes it on standard error). False when the write failed.
    bool saveState(bool userPresent = false);

    // Commands.
    void toggleTuner();
    void toggleSpectrum();
    void toggleWave();
    void pause();
    void toggleEarTraining();
    void skip();
    void toggleCustomTuning();
    void tuningSelected(int index);
    void noteSelected(int index);
    void openWaveFile();
    // Tools / "Calibration".
    void calibrate();
    // Tools / "Automatic Sensitivity": kept in merlop.conf at once.
    void toggleAutoSensitivity();
    // Tools / "Keep Listening in Background": deactivation no longer stops capture.
    void toggleKeepListening();
    // View / "In-Tune Colour": the meter turns green while the reading is within the tolerance.
    void toggleInTuneColour();
    // View / "In-Tune Tolerance...": the tolerance of the precision in use (Fine tuning or not).
    void askInTuneTolerance();
    // Tools / "Add Preset Tuning...": the player picks one, which becomes the current tuning.
    void addPresetTuning();
    // File / "Import Scala Scale...": a temperament joins the list after the 75 and is used;
    // another scale becomes the current custom tuning.
    void importScalaScale();
    // File / "Export Scala Scale...": the temperament in use, with its key.
    void exportScalaScale();
    // Tools / "Measure Inharmonicity...": the player names the key (the one the tuner shows is
    // offered), plays it, and keeps f0 and B in merlop.conf; a key measured again is replaced.
    void measureInharmonicity();
    // Tools / "Create Stretched Tuning...": from three keys measured or more, an octave rule and
    // a name, a custom tuning of the 88 keys.
    void createStretchedTuning();
    // Tools / "Clear Inharmonicity Measurements".
    void clearInharmonicity();
    // The user temperaments for the General page of Settings, and the one it chose (-1: the
    // built-in row the settings name).
    UserTemperamentChoice userTemperamentChoice() const;
    void chooseUserTemperament(int chosen);
    // Where the window was at its close, for the next start; written when it moved.
    void keepWindowPlace(int x, int y, int width, int height, bool maximized);
    // Tools / "Input Device...": the sound source to listen to, kept in merlop.conf.
    void chooseInputDevice();
    // View / "Input Level": a level meter and "Listening" / "Too quiet" in the status bar.
    void toggleInputLevel();
    // View / "Strobe" (and its toolbar button): a strobe panel in the tuner, following its note.
    void toggleStrobe();
    // Hold (toolbar, H): the tuner's reading stands still until pressed again; capture and the
    // other displays go on.
    void toggleHold();
    // View / "Full Screen": the window fills the screen with the tuner alone, read-outs large.
    // The window shows or hides its bars and then sizes the frame (onSize), which lays out; the
    // views chosen stay for when it returns.
    void setFullScreen(bool on);
    void applyMode();
    // Settings: the tone and capture stop, `runSheet` shows the sheet, and the layout runs again
    // whatever the sheet's answer.
    void openSettings(const std::function<void()>& runSheet);
    // Save Spectrum: `scan` gives the paused waterfall's peaks and valleys, which go to the file
    // chosen in the save dialog; refused unless the spectrum is paused.
    void saveSpectrum(const std::function<std::vector<SpectrumExtremum>()>& scan);

    // The capture life cycle; both act before they return, as sent messages do.
    void startCapture() override;
    void stopCapture(StopReason reason);
    void releaseDeviceForTone() override { stopCapture(StopReason::toneNeedsDevice); }
    // The tuner window has played the exercise: capture and the answer time begin.
    void exercisePlayed() override;

    FrameUiState uiState() const;

    // State, for the window and tests.
    bool tunerOn() const { return views_.chosen().tuner; }
    bool spectrumOn() const { return views_.chosen().spectrum; }
    bool waveOn() const { return views_.chosen().wave; }
    ShownDisplays shown() const { return displays_.shown(); }
    bool paused() const { return views_.paused(); }
    bool calibrating() const { return calibration_.active(); }
    bool fileMode() const { return file_.isOpen(); }
    bool recording() const { return run_.recording(); }
    bool captureActive() const { return run_.active(); }
    CaptureState captureState() const { return run_.state(); }
    bool restartPending() const { return run_.startPending(); }
    bool deviceAvailable() const { return run_.input().available(); }
    // The input went away or could not be had; capture starts by itself when it is back.
    bool awaitingInput() const { return run_.input().awaiting(); }
    bool customTuningOn() const;
    bool earTrainingOn() const;
    const ExtensionSettings& extensions() const { return extensions_; }
    bool autoNote() const;
    int currentNote() const;
    StopReason stopReason() const { return run_.reason(); }
    const CaptureConfig& config() const { return config_; }
    const CaptureCandidates& candidates() const { return run_.input().candidates(); }
    const AnalysisCycle* cycle() const { return displays_.cycle(); }
    const PitchModel& pitch() const { return pitch_; }
    PitchModel& pitch() { return pitch_; }
    const WaveInDevice& device() const { return run_.device(); }
    // Blocks read from a WAV file so far in this run.
    std::int64_t fileBlocksFed() const { return file_.blocksFed(); }
    std::uint32_t bufferArrivalTime() const { return run_.arrivalTime(); }
    // Recorded blocks skipped because a newer one was already waiting.
    std::int64_t staleBlocksDropped() const { return run_.staleBlocksDropped(); }
    const Calibration& calibration() const { return calibration_; }
    // The custom-tuning readings as last collected; prepared while they are being recorded.
    const CustomReadings& readings() const;
    const EarExercise& exercise() const { return ear_.exercise(); }
    EarExercise& exercise() { return ear_.exercise(); }
    // An exercise's answer is being listened to.
    bool answering() const { return displays_.answering(); }

  private:
    void configure();
    // Flips one of the merlop.conf settings and keeps it; a failed write is told.
    void flipExtension(bool ExtensionSettings::*flag);
    void setEarTraining(bool on);
    void setCustomTuning(bool on);
    // False when the command is refused; otherwise the modes it ends have ended.
    bool enter(ModeCommand command);
    void toggleView(ModeCommand command);
    void fillCombos();
    // A file being fed ends as at its end, so no buffer of it reaches the next run.
    void endFileRun();
    void startExercise(bool newMelody);
    CycleOptions cycleOptions() const;
    // What a layout shows: the views chosen, or the tuner alone in full screen.
    ShownDisplays wanted() const;
    DisplayRequest displayRequest();
    void inputSourceChanged() override;
    // The key's samples are in: measured, shown and, when the player keeps it, stored.
    void measurementTaken();
    // The user temperament named in merlop.conf, in place of the built-in row.
    void useUserTemperament();
    // The temperament in use: a built-in row or the user temperament.
    int temperamentShown() const;

    void layOut() override { applyMode(); }
    void playExercise(bool newMelody) override { startExercise(newMelody); }
    void calibrationStep() override;

    Settings& settings_;
    FrameView& view_;
    MessageBox& messages_;
    QuestionBox& questions_;
    FileDialogs& dialogs_;
    FrameCapture capture_;
    CaptureRun& run_ = capture_.run();
    PitchModel pitch_;
    FileRun file_;
    EarTrainingRun ear_;
    FrameDisplays displays_;
    Calibration calibration_;
    std::optional<CustomTuningMode> custom_;  // with a tunings store only

    CaptureConfig config_;
    int clientWidth_ = 0;
    int clientHeight_ = 0;
    SettingsFileKeeper configFile_;
    ExtensionSettingsStore& extensionStore_;
    ExtensionSettings extensions_;

    ViewChoice views_;
    InputChoice input_;
    ScalaFiles scala_;
    PianoMeasure piano_;
    bool windowActive_ = true;
    bool fullScreen_ = false;
};

}  // namespace merlop
