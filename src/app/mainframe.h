#pragma once

// The tuner program's main frame without its window: the mode flags and their rules, the layout
// decisions, and the capture life cycle that every mode change goes through (its states and
// moves are in capture_state.h; a stop carries its StopReason, acted on once the card has closed).
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
#include "app/capture_state.h"
#include "app/file_feeder.h"
#include "app/frame_layout.h"
#include "app/input_watch.h"
#include "app/readings.h"
#include "app/readings_taker.h"
#include "app/settings_file_keeper.h"
#include "audio/analysis_cycle.h"
#include "audio/capture_config.h"
#include "audio/wav_reader.h"
#include "audio/wave_input.h"
#include "common/message_box.h"
#include "common/question_box.h"
#include "display/spectrum_axes.h"
#include "display/tuner_state.h"
#include "ear/ear_exercise.h"
#include "pitch/pitch_model.h"
#include "settings/tuning_store.h"

namespace merlop {

class Settings;
class TuningStore;

enum class StopReason : int {
    plain = 0,            // pause, settings, deactivation, custom tuning off
    toneNeedsDevice = 1,  // the tuner window wants the sound device for a reference tone
    nextExercise = 2,
    quit = 3,
    reapplyMode = 4,
    fileOpened = 5,
    fileEnded = 6,
    calibration = 7,
};

// The frame's timers; each is single-shot and re-armed by its handler where it repeats. The
// window keeps them in this order, the last one last.
enum class FrameTimer {
    startCapture,     // 500 ms after a layout left capture stopped
    earAnswer,        // ear-training answer time
    fileFeed,         // one buffer of a WAV file per buffer period
    inputRetry,       // looks for the sound input again while it is gone
    calibrationStep,  // the calibration's next question, once the run has closed
};

// What a layout asks the window to build.
struct DisplayRequest {
    ShownDisplays shown;
    DisplayRects rects;
    int customNoteIndex = -1;  // the fixed tuning note, -1 for none or "Automatic"
    bool calibrating = false;
    CaptureConfig config;       // of the run the displays are built for
    SpectrumBand spectrumBand;  // the analysed bins, empty when the analyser has none
};

// What the status bar's message pane reads while nothing writes an activity into it.
inline constexpr char kIdleStatusText[] = "For Help, press F1";

// The window side of the main frame: bars, timers, displays and the tuner window's tone.
class FrameView {
  public:
    virtual ~FrameView() = default;
    virtual void startTimer(FrameTimer timer, int milliseconds) = 0;
    virtual void killTimer(FrameTimer timer) = 0;
    virtual void setStatusText(const std::string& text) = 0;
    // An empty list empties the combo box; selected -1 selects nothing.
    virtual void fillTuningCombo(const std::vector<std::string>& items, int selected) = 0;
    virtual void fillNoteCombo(const std::vector<std::string>& items, int selected) = 0;
    virtual int toolBarHeight() const = 0;
    virtual int statusBarHeight() const = 0;
    // Builds the requested displays and returns where the analysis hands its results.
    virtual CycleSinks createDisplays(const DisplayRequest& request) = 0;
    virtual void destroyDisplays() = 0;
    virtual void focusFrame() = 0;
    // Closes the window later, from the event loop, through the normal close path.
    virtual void postClose() = 0;
    virtual void setDisplaysPaused(bool spectrum, bool wave, bool paused) = 0;
    virtual void tunerStopTone() = 0;
    virtual void tunerRetryTone() = 0;
    // Plays the chosen tuning note's reference tone (the automatic reference tone).
    virtual void tunerPlayTuningNote() = 0;
    // Has the tuner window play the melody; it calls exercisePlayed() about 100 ms after the last
    // note.
    virtual void tunerPlayExercise(ExerciseNotes& exercise) = 0;
    // Keeps the screen awake while capture runs.
    virtual void keepScreenAwake(bool awake) = 0;
    // Something the toolbar, menu or combos show has changed; see MainFrameCore::uiState().
    virtual void uiChanged() = 0;
};

// The Open dialog of WAV files and the save dialog of the CSV exports.
class FileDialogs : public CsvFileDialog {
  public:
    // The chosen WAV file, empty when the user cancels.
    virtual std::string openWaveFile() = 0;
};

class MillisecondClock {
  public:
    virtual ~MillisecondClock() = default;
    virtual std::uint32_t milliseconds() = 0;
};

// Checked and enabled states of the commands, derived in one place.
struct FrameUiState {
    bool tunerChecked = false, spectrumChecked = false, waveChecked = false;
    bool pauseChecked = false, pauseEnabled = false;
    bool earTrainingChecked = false;
    bool skipEnabled = false;
    bool customTuningChecked = false;
    bool noteComboEnabled = false, tuningComboEnabled = false;
};

struct FrameServices {
    FrameView& view;
    MessageBox& messages;
    WaveCaptureService& capture;
    FilePlayer& player;
    FileDialogs& dialogs;
    // A steady clock, read first thing when a block arrives; the exercise's answer clock too.
    MillisecondClock& clock;
    QuestionBox& questions;
};

// The tuner window's requests (startCapture, stopCapture, exercisePlayed) come here directly.
class MainFrameCore final : public WaveInListener, public TunerParent {
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

    // Device notifications.
    void onWaveInOpen() override;
    void onWaveInData() override;
    void onWaveInClose() override;
    void onWaveInError(int error) override;

    FrameUiState uiState() const;

    // State, for the window and tests.
    bool tunerOn() const { return chosen_.tuner; }
    bool spectrumOn() const { return chosen_.spectrum; }
    bool waveOn() const { return chosen_.wave; }
    ShownDisplays shown() const { return shown_; }
    bool paused() const { return paused_; }
    bool calibrating() const { return calibrating_; }
    bool fileMode() const { return file_.isOpen(); }
    bool recording() const { return capture_ == CaptureState::recording; }
    bool captureActive() const { return capture_ != CaptureState::idle; }
    CaptureState captureState() const { return capture_; }
    bool restartPending() const { return restartPending_; }
    bool deviceAvailable() const { return input_.available(); }
    // The input went away or could not be had; capture starts by itself when it is back.
    bool awaitingInput() const { return input_.awaiting(); }
    bool customTuningOn() const;
    bool earTrainingOn() const;
    bool autoNote() const { return autoNote_; }
    int currentNote() const { return currentNote_; }
    StopReason stopReason() const { return stopReason_; }
    const CaptureConfig& config() const { return config_; }
    const CaptureCandidates& candidates() const { return input_.candidates(); }
    const AnalysisCycle* cycle() const { return cycle_.get(); }
    const PitchModel& pitch() const { return pitch_; }
    PitchModel& pitch() { return pitch_; }
    const WaveInDevice& device() const { return device_; }
    // Blocks read from a WAV file so far in this run.
    std::int64_t fileBlocksFed() const { return file_.blocksFed(); }
    std::uint32_t bufferArrivalTime() const { return bufferArrivalTime_; }
    // Recorded blocks skipped because a newer one was already waiting.
    std::int64_t staleBlocksDropped() const { return staleBlocksDropped_; }
    const Calibration& calibration() const { return calibration_; }
    // The custom-tuning readings as last collected; prepared while they are being recorded.
    const CustomReadings& readings() const;
    const EarExercise& exercise() const { return exercise_; }
    EarExercise& exercise() { return exercise_; }
    // An exercise's answer is being listened to.
    bool answering() const { return sinks_.ear != nullptr; }

  private:
    void configure();
    // The error has been shown once: from now on look for the input quietly until it records.
    void awaitInput();
    void retryInput();
    void setEarTraining(bool on);
    void setCustomTuning(bool on);
    void fillCombos();
    void feedFileBuffer();
    void closeFile();
    void startExercise(bool advance);
    void calibrationStep();
    void setAnswering(bool on);
    // The one way the capture state changes; the screen stays awake while anything runs.
    void move(CaptureEvent event);
    CycleOptions cycleOptions() const;
    int tuningNoteCount() const;
    bool recordingReadings() const;

    Settings& settings_;
    TuningStore* tunings_;
    FrameView& view_;
    MessageBox& messages_;
    QuestionBox& questions_;
    FileDialogs& dialogs_;
    MillisecondClock& clock_;
    WaveInDevice device_;
    InputWatch input_{device_};
    PitchModel pitch_;
    std::unique_ptr<AnalysisCycle> cycle_;
    FileFeeder file_;
    EarExercise exercise_;
    Calibration calibration_;
    std::optional<ReadingsTaker> readings_;  // with a tunings store only
    // What the displays take, as the cycle has it; the tuner's reading also shows calibration.
    CycleSinks sinks_;

    CaptureConfig config_;
    int clientWidth_ = 0;
    int clientHeight_ = 0;
    SettingsFileKeeper configFile_;

    ShownDisplays chosen_{true, false, false};  // what the user asked to see
    ShownDisplays shown_;
    bool paused_ = false;
    bool calibrating_ = false;

    CaptureState capture_ = CaptureState::idle;
    bool restartPending_ = false;
    bool windowActive_ = true;
    StopReason stopReason_ = StopReason::plain;
    std::uint32_t bufferArrivalTime_ = 0;
    std::int64_t staleBlocksDropped_ = 0;

    bool exerciseStartPending_ = false;
    bool exerciseAdvance_ = false;
    int currentNote_ = 0;
    bool autoNote_ = true;
    bool autoToneArmed_ = false;
};

}  // namespace merlop
