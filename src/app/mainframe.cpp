#include "app/mainframe.h"

#include <algorithm>

#include "app/readings.h"
#include "audio/spectrum_analyser.h"
#include "pitch/temperament_table.h"
#include "settings/settings.h"
#include "settings/tuning_store.h"

namespace merlop {

namespace {

constexpr int kStartDelayMs = 500;
constexpr int kFirstFeedDelayMs = 100;
// Often enough that a returning sound server is heard within a breath, rarely enough to cost
// nothing while it stays away.
constexpr int kInputRetryMs = 2000;

}  // namespace

MainFrameCore::MainFrameCore(Settings& settings, TuningStore* tunings,
                             const FrameServices& services)
    : settings_(settings),
      tunings_(tunings),
      view_(services.view),
      messages_(services.messages),
      questions_(services.questions),
      dialogs_(services.dialogs),
      clock_(services.clock),
      device_(services.capture, services.messages),
      file_(services.player),
      exercise_(EarExercise::seededRandom(),
                [&clock = services.clock] { return clock.milliseconds(); }),
      configFile_(settings, services.messages, services.questions) {
    if (tunings_ != nullptr) {
        tunings_->readTuning(settings_.currentTuning);
        readings_.emplace(settings_, *tunings_, pitch_, cycle_, questions_, dialogs_, messages_);
    }
    autoNote_ = settings_.tuningNoteAutomatic != 0;

    input_.query();
    configure();
    chosen_.tuner = settings_.showTuner != 0;
    chosen_.spectrum = settings_.showSpectrum != 0;
    chosen_.wave = settings_.showWaveForm != 0;
    if (settings_.customTuningOn != 0) {
        if (tunings_ != nullptr) {
            setCustomTuning(true);
        } else {
            settings_.customTuningOn = 0;
        }
    }
}

MainFrameCore::~MainFrameCore() {
    view_.keepScreenAwake(false);
}

void MainFrameCore::awaitInput() {
    input_.await();
    view_.startTimer(FrameTimer::inputRetry, kInputRetryMs);
}

void MainFrameCore::retryInput() {
    view_.killTimer(FrameTimer::inputRetry);
    // Activation lays out and starts again by itself.
    if (!input_.awaiting() || !windowActive_) return;
    if (captureActive() || file_.isOpen()) {
        view_.startTimer(FrameTimer::inputRetry, kInputRetryMs);
        return;
    }
    if (!input_.available()) {
        if (!input_.query()) {
            view_.startTimer(FrameTimer::inputRetry, kInputRetryMs);
            return;
        }
        // Another card may record other rates: lay out for what this one has.
        applyMode();
        return;
    }
    startCapture();
}

bool MainFrameCore::customTuningOn() const {
    return settings_.customTuningOn != 0;
}
bool MainFrameCore::earTrainingOn() const {
    return settings_.earTrainingOn != 0;
}

int MainFrameCore::tuningNoteCount() const {
    return tunings_ != nullptr ? std::clamp(tunings_->noteCount(), 0, Tuning::kMaxNotes) : 0;
}

void MainFrameCore::configure() {
    CaptureMode mode;
    mode.fileMode = file_.isOpen();
    mode.fileSampleRate = file_.sampleRate();
    mode.fileBitsPerSample = file_.bitsPerSample();
    mode.calibrating = calibrating_;
    mode.earTraining = earTrainingOn();
    config_ = configureCapture(settings_, input_.candidates(), config_.sampleRate, mode);
    keepLiveChoices(settings_, config_, mode);
    const bool custom = customTuningOn() && tunings_ != nullptr;
    configurePitchModel(pitch_, settings_, custom ? tunings_->frequencies() : nullptr,
                        custom ? tuningNoteCount() : 0);
}

CycleOptions MainFrameCore::cycleOptions() const {
    CycleOptions o;
    o.tunerOn = chosen_.tuner;
    o.waveOn = chosen_.wave;
    o.spectrumOn = chosen_.spectrum;
    o.calibrating = calibrating_;
    o.customTuningOn = customTuningOn() && tunings_ != nullptr;
    if (o.customTuningOn) {
        o.fixedTuningNote = autoNote_ ? -1 : currentNote_;
        o.recordReadings = tunings_->recordReadings() != 0 && readings().prepared();
        for (int i = 0; i < tuningNoteCount(); ++i) o.tuningMidiKeys.push_back(tunings_->note(i));
    }
    return o;
}

void MainFrameCore::move(CaptureEvent event) {
    const CaptureState next = nextCaptureState(capture_, event);
    const bool running = next != CaptureState::idle;
    if (running != captureActive()) view_.keepScreenAwake(running);
    capture_ = next;
}

// ---- modes -------------------------------------------------------------------------------

void MainFrameCore::setEarTraining(bool on) {
    if (on) {
        chosen_.wave = false;
        settings_.earTrainingOn = 1;
        chosen_.tuner = true;
        chosen_.spectrum = false;
    } else {
        settings_.earTrainingOn = 0;
        view_.killTimer(FrameTimer::earAnswer);
        view_.tunerStopTone();
        setAnswering(false);
    }
}

void MainFrameCore::setCustomTuning(bool on) {
    if (tunings_ == nullptr) return;
    if (on) {
        settings_.customTuningOn = 1;
        currentNote_ = autoNote_ ? tuningNoteCount() : tunings_->currentNote();
        if (tunings_->recordReadings() != 0) readings_->prepare();
    } else {
        stopCapture(StopReason::plain);
        view_.fillTuningCombo({}, -1);
        view_.fillNoteCombo({}, -1);
        if (tunings_->recordReadings() != 0) readings_->offer();
        readings_->release();
        settings_.customTuningOn = 0;
    }
}

// ---- custom readings ---------------------------------------------------------------------

const CustomReadings& MainFrameCore::readings() const {
    static const CustomReadings none;
    return readings_ ? readings_->readings() : none;
}

bool MainFrameCore::recordingReadings() const {
    return customTuningOn() && tunings_ != nullptr && tunings_->recordReadings() != 0;
}

void MainFrameCore::toggleTuner() {
    if (earTrainingOn()) setEarTraining(false);
    if (calibrating_) return;
    chosen_.tuner = !chosen_.tuner;
    applyMode();
}

void MainFrameCore::toggleSpectrum() {
    if (earTrainingOn()) setEarTraining(false);
    if (calibrating_) return;
    chosen_.spectrum = !chosen_.spectrum;
    applyMode();
}

void MainFrameCore::toggleWave() {
    if (earTrainingOn() || calibrating_) return;
    chosen_.wave = !chosen_.wave;
    applyMode();
}

void MainFrameCore::toggleEarTraining() {
    if (calibrating_) return;
    if (customTuningOn()) setCustomTuning(false);
    setEarTraining(!earTrainingOn());
    applyMode();
}

void MainFrameCore::toggleCustomTuning() {
    if (calibrating_) return;
    if (tunings_ == nullptr) return;
    if (earTrainingOn()) setEarTraining(false);
    setCustomTuning(!customTuningOn());
    applyMode();
}

void MainFrameCore::pause() {
    if (calibrating_) {
        calibrating_ = false;
        applyMode();
        return;
    }
    if (paused_) {
        paused_ = false;
        if (file_.isOpen()) {
            file_.resume();
        } else {
            startCapture();
        }
    } else {
        paused_ = true;
        if (file_.isOpen()) {
            file_.pause();
        } else {
            stopCapture(StopReason::plain);
        }
        view_.setStatusText("Pausing");
    }
    view_.setDisplaysPaused(chosen_.spectrum, chosen_.wave, paused_);
    view_.uiChanged();
}

void MainFrameCore::skip() {
    if (calibrating_) return;
    if (earTrainingOn()) {
        view_.killTimer(FrameTimer::earAnswer);
        view_.tunerStopTone();
        setAnswering(false);
        exerciseAdvance_ = true;
        stopCapture(StopReason::nextExercise);
        return;
    }
    if (customTuningOn() && tunings_ != nullptr) {
        if (autoNote_) return;
        const int count = tuningNoteCount();
        currentNote_ = currentNote_ + 1 >= count ? 0 : currentNote_ + 1;
        tunings_->setCurrentNote(currentNote_);
        applyMode();
    }
}

void MainFrameCore::onSpaceKey() {
    if (customTuningOn() || earTrainingOn()) {
        skip();
    } else if (chosen_.spectrum || chosen_.wave) {
        pause();
    }
}

void MainFrameCore::tuningSelected(int index) {
    if (customTuningOn() && tunings_ != nullptr) {
        const ReadingsTaker::Basis before = readings_->basis();
        tunings_->readTuning(index);
        currentNote_ = tuningNoteCount();
        readings_->afterChange(before, recordingReadings());
    } else {
        if (index < 0 || index >= TemperamentTable::kRows) return;
        settings_.temperamentIndex = index;
    }
    applyMode();
}

void MainFrameCore::noteSelected(int index) {
    if (tunings_ == nullptr || index < 0) return;
    currentNote_ = std::min(index, tuningNoteCount());
    tunings_->setCurrentNote(currentNote_);
    applyMode();
}

// ---- layout ------------------------------------------------------------------------------

void MainFrameCore::fillCombos() {
    view_.fillTuningCombo({}, -1);
    if (customTuningOn() && tunings_ != nullptr) {
        tunings_->readTuning(tunings_->currentTuning());
        view_.fillTuningCombo(tunings_->names(), tunings_->currentTuning());
        std::vector<std::string> notes;
        const int count = tuningNoteCount();
        notes.reserve(static_cast<std::size_t>(count) + 1);
        for (int i = 0; i < count; ++i) notes.push_back(tunings_->description(i));
        notes.emplace_back("Automatic");
        currentNote_ = std::clamp(currentNote_, 0, count);
        view_.fillNoteCombo(notes, currentNote_);
        autoNote_ = currentNote_ == count;
        autoToneArmed_ = true;
    } else if (chosen_.tuner) {
        std::vector<std::string> names;
        names.reserve(TemperamentTable::kRows);
        for (int i = 0; i < TemperamentTable::kRows; ++i) {
            names.push_back(TemperamentTable::name(i));
        }
        view_.fillTuningCombo(names, settings_.temperamentIndex);
    }
}

void MainFrameCore::applyMode() {
    if (clientWidth_ == 0) return;
    if (recording()) {
        stopCapture(StopReason::reapplyMode);
        return;
    }
    const bool firstLayout = !shown_.any();
    configure();
    paused_ = false;
    view_.focusFrame();

    if (shown_.any()) {
        view_.destroyDisplays();
        sinks_ = {};
        if (cycle_ != nullptr) cycle_->setSinks({});
        shown_ = {};
    }
    if (!chosen_.tuner && !chosen_.spectrum && !chosen_.wave) chosen_.tuner = true;
    autoToneArmed_ = false;
    fillCombos();
    exerciseStartPending_ = false;

    DisplayRequest request;
    request.shown = {chosen_.tuner, chosen_.spectrum, chosen_.wave};
    request.rects = layoutDisplays(clientWidth_, clientHeight_, view_.toolBarHeight(),
                                   view_.statusBarHeight(), request.shown);
    request.customNoteIndex = customTuningOn() && !autoNote_ ? currentNote_ : -1;
    request.calibrating = calibrating_;

    // Both analysers are rebuilt for the new configuration; the custom-tuning readings stay.
    if (cycle_ == nullptr) {
        cycle_ = std::make_unique<AnalysisCycle>(settings_, config_, pitch_, cycleOptions());
    } else {
        cycle_->reconfigure(settings_, config_, cycleOptions());
    }
    // A calibration analyses nothing, so it builds no analysers.
    if ((chosen_.tuner || chosen_.wave) && !calibrating_ && !cycle_->cycleUsable()) {
        messages_.show("Not enough memory for", "cyc ");
    }
    if (earTrainingOn()) exerciseStartPending_ = true;
    if (!calibrating_ && !cycle_->spectrumUsable()) {
        messages_.show("Not enough memory for", "nspec ");
    }

    request.config = config_;
    if (const SpectrumAnalyser* spectrum = cycle_->spectrumAnalyser(); spectrum != nullptr) {
        request.spectrumBand = {spectrum->binWidth(), spectrum->loBin(), spectrum->hiBin()};
    }
    sinks_ = view_.createDisplays(request);
    sinks_.errors = &messages_;
    sinks_.ear = nullptr;
    cycle_->setSinks(sinks_);

    if (input_.available()) {
        if (file_.isOpen()) view_.setStatusText("WAV file display");
    } else if (firstLayout) {
        messages_.show("no recording sound card installed", " ");
    }
    if (!recording()) view_.startTimer(FrameTimer::startCapture, kStartDelayMs);
    shown_ = request.shown;
    view_.uiChanged();
}

void MainFrameCore::openSettings(const std::function<void()>& runSheet) {
    if (chosen_.tuner) view_.tunerStopTone();
    if (earTrainingOn()) view_.killTimer(FrameTimer::earAnswer);
    stopCapture(StopReason::plain);
    if (tunings_ != nullptr) {
        const ReadingsTaker::Basis before = readings_->basis();
        runSheet();
        readings_->afterChange(before, recordingReadings());
    } else {
        runSheet();
    }
    applyMode();
}

void MainFrameCore::saveSpectrum(const std::function<std::vector<SpectrumExtremum>()>& scan) {
    if (calibrating_) return;
    if (!paused_ || !chosen_.spectrum) {
        messages_.show(kSpectrumNotPausedText, kSaveSpectrumCaption);
        applyMode();
        return;
    }
    // Scanned before the dialog, while the picture is surely the paused one.
    saveSpectrumReadings(scan(), dialogs_, messages_);
}

FrameUiState MainFrameCore::uiState() const {
    FrameUiState s;
    s.tunerChecked = chosen_.tuner;
    s.spectrumChecked = chosen_.spectrum;
    s.waveChecked = chosen_.wave;
    s.pauseChecked = paused_;
    s.pauseEnabled = chosen_.spectrum || chosen_.wave || calibrating_;
    s.earTrainingChecked = earTrainingOn();
    s.skipEnabled = earTrainingOn() || customTuningOn();
    s.customTuningChecked = customTuningOn();
    s.noteComboEnabled = customTuningOn();
    s.tuningComboEnabled = chosen_.tuner || customTuningOn();
    return s;
}

// ---- window events -----------------------------------------------------------------------

void MainFrameCore::onSize(int clientWidth, int clientHeight) {
    clientWidth_ = clientWidth;
    clientHeight_ = clientHeight;
    applyMode();
    if (configFile_.unreported() && !configFile_.settle()) view_.postClose();
}

void MainFrameCore::onActivate(bool active) {
    windowActive_ = active;
    if (!shown_.any()) return;
    if (active) {
        applyMode();
        return;
    }
    if (chosen_.tuner) view_.tunerStopTone();
    if (earTrainingOn()) view_.killTimer(FrameTimer::earAnswer);
    stopCapture(StopReason::plain);
}

bool MainFrameCore::onClose(bool userPresent) {
    if (file_.isOpen()) {
        view_.killTimer(FrameTimer::fileFeed);
        closeFile();
    }
    if (recording() && input_.available()) {
        stopCapture(StopReason::quit);
        return false;
    }
    if (readings_) {
        if (recordingReadings() && userPresent) readings_->offer();
        readings_->release();
    }
    if (shown_.any()) {
        view_.destroyDisplays();
        sinks_ = {};
        if (cycle_ != nullptr) cycle_->setSinks({});
        shown_ = {};
    }
    move(CaptureEvent::shutdown);
    saveState(userPresent);
    configFile_.markWritten();
    return true;
}

bool MainFrameCore::saveState(bool userPresent) {
    if (configFile_.written()) return true;
    settings_.showTuner = chosen_.tuner ? 1 : 0;
    settings_.showSpectrum = chosen_.spectrum ? 1 : 0;
    settings_.showWaveForm = chosen_.wave ? 1 : 0;
    if (tunings_ != nullptr) settings_.currentTuning = tunings_->currentTuning();
    settings_.tuningNoteAutomatic = autoNote_ ? 1 : 0;
    return configFile_.save(userPresent);
}

void MainFrameCore::onTimer(FrameTimer timer) {
    switch (timer) {
        case FrameTimer::inputRetry:
            retryInput();
            return;
        case FrameTimer::calibrationStep:
            view_.killTimer(FrameTimer::calibrationStep);
            calibrationStep();
            return;
        case FrameTimer::startCapture:
            view_.killTimer(FrameTimer::startCapture);
            if (exerciseStartPending_) {
                startExercise(true);
                return;
            }
            startCapture();
            if (autoToneArmed_ && tunings_ != nullptr && tunings_->autoReferenceTone() != 0 &&
                shown_.tuner) {
                view_.tunerPlayTuningNote();
            }
            return;
        case FrameTimer::fileFeed:
            feedFileBuffer();
            return;
        case FrameTimer::earAnswer:
            view_.killTimer(FrameTimer::earAnswer);
            exerciseAdvance_ = exercise_.judge() == 1;
            setAnswering(false);
            stopCapture(StopReason::nextExercise);
            return;
    }
}

// ---- capture life cycle ------------------------------------------------------------------

void MainFrameCore::startCapture() {
    restartPending_ = false;
    if (captureActive()) {
        if (!recording()) restartPending_ = true;
        return;
    }
    if (!input_.available() && !file_.isOpen()) {
        awaitInput();
        return;
    }
    if (cycle_ == nullptr || cycle_->length() <= 0) {
        messages_.show("Not enough memory", "data buffer ");
        return;
    }
    cycle_->startRun();
    if (file_.isOpen()) {
        move(CaptureEvent::startFile);
        view_.killTimer(FrameTimer::startCapture);
        view_.startTimer(FrameTimer::fileFeed, kFirstFeedDelayMs);
        file_.startRun();
        return;
    }
    if (calibrating_) calibration_.runStarting();
    if (device_.open(this, config_.sampleRate, config_.bitsPerSample, cycle_->length()) != 0) {
        if (!input_.awaiting()) messages_.show("open failed", "wave input device error ");
        input_.lost();
        awaitInput();
        return;
    }
    move(CaptureEvent::startLive);
}

void MainFrameCore::stopCapture(StopReason reason) {
    if (reason == StopReason::fileEnded) {
        view_.killTimer(FrameTimer::fileFeed);
        move(CaptureEvent::fileEnded);
        applyMode();
        return;
    }
    if (recording() && input_.available()) {
        stopReason_ = reason;
        move(CaptureEvent::stop);
        if (device_.reset() != 0) messages_.show("stop failed ", "Sound device error ");
        return;
    }
    const bool closing = capture_ == CaptureState::stopping;
    if (closing && (reason == StopReason::nextExercise || reason == StopReason::calibration) &&
        stopReason_ != StopReason::quit) {
        // The run is closing already: act once, when it has closed.
        stopReason_ = reason;
        return;
    }
    switch (reason) {
        case StopReason::toneNeedsDevice:
            view_.tunerRetryTone();
            break;
        case StopReason::fileOpened:
            applyMode();
            break;
        case StopReason::nextExercise:
            startExercise(true);
            break;
        case StopReason::calibration:
            calibrationStep();
            break;
        default:
            break;
    }
}

void MainFrameCore::onWaveInOpen() {
    // Stopped before the card had opened: no buffer is queued to bring the close, so close now.
    if (!recording()) {
        if (device_.close() != 0) messages_.show("close failed ", "Sound device error ");
        return;
    }
    if (cycle_ != nullptr) cycle_->startRun();
    if (device_.start() != 0) {
        if (!input_.awaiting()) messages_.show("record failed ", "Sound device error ");
        awaitInput();
        // Nothing will be recorded: give the buffers back and close, to try again later.
        stopCapture(StopReason::plain);
    }
}

void MainFrameCore::onWaveInData() {
    bufferArrivalTime_ = clock_.milliseconds();
    const int stillQueued = device_.bufferReturned();
    if (!recording()) {
        if (stillQueued <= 0 && device_.close() != 0) {
            messages_.show("close failed ", "Sound device error ");
        }
        return;
    }
    if (input_.awaiting()) {
        input_.found();
        view_.killTimer(FrameTimer::inputRetry);
    }
    if (calibrating_) {
        // The samples do not matter, only when they came.
        PitchReading reading;
        if (calibration_.onBlock(bufferArrivalTime_, pitch_, &reading) && sinks_.reading) {
            sinks_.reading->showReading(reading);
        }
        if (calibration_.finished()) {
            stopCapture(StopReason::calibration);
            return;
        }
        if (device_.start() != 0) messages_.show("record failed ", "Sound device error ");
        return;
    }
    if (cycle_ == nullptr) return;
    // Behind a slow analysis both buffers may be full: analyse the newer one only, so the
    // display never lags behind the sound.
    if (device_.newerBlockWaiting()) {
        ++staleBlocksDropped_;
        if (device_.start() != 0) messages_.show("record failed ", "Sound device error ");
        return;
    }
    int lo = 0;
    int hi = 0;
    device_.convert(cycle_->sampleBuffer(), static_cast<unsigned>(cycle_->length()), &lo, &hi);
    if (device_.start() != 0) {
        messages_.show("record failed ", "Sound device error ");
        return;
    }
    cycle_->analyseBuffer(hi, lo);
}

void MainFrameCore::onWaveInClose() {
    move(CaptureEvent::closed);
    switch (stopReason_) {
        case StopReason::plain:
            if (restartPending_) startCapture();
            break;
        case StopReason::toneNeedsDevice:
            view_.tunerRetryTone();
            break;
        case StopReason::quit:
            view_.postClose();
            break;
        case StopReason::reapplyMode:
        case StopReason::fileOpened:
            applyMode();
            break;
        case StopReason::nextExercise:
            startExercise(exerciseAdvance_);
            break;
        case StopReason::calibration:
            if (calibrating_) {
                // Its question runs an event loop of its own: not inside the device's notice.
                view_.startTimer(FrameTimer::calibrationStep, 0);
            } else if (restartPending_) {
                startCapture();  // cancelled while the device was closing
            }
            break;
        default:
            break;
    }
}

void MainFrameCore::onWaveInError(int /*error*/) {
    // The device has shown the error and returns its buffers; they close it as after a stop.
    if (!recording()) return;
    move(CaptureEvent::stop);
    stopReason_ = StopReason::plain;
    awaitInput();
}

// ---- ear training ------------------------------------------------------------------------

void MainFrameCore::setAnswering(bool on) {
    sinks_.ear = on ? &exercise_ : nullptr;
    if (cycle_ != nullptr) cycle_->setSinks(sinks_);
}

void MainFrameCore::startExercise(bool advance) {
    setAnswering(false);
    if (advance) {
        const MelodyProblem problem = exercise_.generate(settings_);
        if (problem != MelodyProblem::none) {
            // The settings admit no melody: say which to change and go back to the tuner.
            messages_.show(melodyProblemText(problem), "Ear training");
            setEarTraining(false);
            applyMode();
            return;
        }
    } else {
        exercise_.rewind();
        view_.setStatusText("Listen");
    }
    view_.tunerPlayExercise(exercise_);
}

void MainFrameCore::exercisePlayed() {
    startCapture();
    if (!earTrainingOn()) return;
    view_.startTimer(FrameTimer::earAnswer,
                     exercise_.noteDuration() * exercise_.melodyLength() * 2);
    view_.setStatusText("Play");
    setAnswering(true);
}

// ---- calibration -------------------------------------------------------------------------

void MainFrameCore::calibrate() {
    // Without a card there is no clock to measure; nothing changes.
    if (!input_.available()) {
        messages_.show("no recording sound card installed", " ");
        return;
    }
    if (earTrainingOn()) setEarTraining(false);
    if (file_.isOpen()) {
        // The measurement needs the card: a file being fed ends as at its end.
        view_.killTimer(FrameTimer::fileFeed);
        closeFile();
        move(CaptureEvent::fileEnded);
    }
    calibrating_ = true;
    calibration_.begin();
    stopCapture(StopReason::calibration);
}

void MainFrameCore::calibrationStep() {
    if (!calibrating_ || captureActive()) return;
    if (calibration_.count() == 0) {
        // In the body as well: not every window manager shows a box's title.
        calibrating_ = questions_.ask(Calibration::startCaption(), Calibration::startCaption(),
                                      QuestionBox::Buttons::okCancel);
    } else if (calibration_.finished()) {
        if (questions_.ask(calibration_.resultText(), Calibration::kResultCaption,
                           QuestionBox::Buttons::okCancel)) {
            settings_.calibrationTenths = calibration_.resultTenths();
        }
        calibrating_ = false;
    } else {
        return;
    }
    chosen_.wave = false;
    chosen_.spectrum = false;
    chosen_.tuner = true;
    applyMode();
}

// ---- WAV file input ----------------------------------------------------------------------

void MainFrameCore::openWaveFile() {
    const std::string path = dialogs_.openWaveFile();
    if (path.empty()) return;

    const WavStatus status = FileFeeder::check(path);
    if (status != WavStatus::ok) {
        messages_.show(wavStatusMessage(status), "");
        return;
    }

    // The file takes the input away from a calibration.
    calibrating_ = false;
    if (file_.isOpen()) {
        // A file is being fed: end that run completely before the new one begins, so no buffer
        // of the old file can reach the new run.
        view_.killTimer(FrameTimer::fileFeed);
        closeFile();
        move(CaptureEvent::fileEnded);
    }
    file_.open(path);
    stopCapture(StopReason::fileOpened);
}

void MainFrameCore::closeFile() {
    file_.close();
    // The input is the card's again, or a new file's, which says so itself.
    view_.setStatusText(kIdleStatusText);
}

void MainFrameCore::feedFileBuffer() {
    view_.killTimer(FrameTimer::fileFeed);
    const std::uint32_t t0 = clock_.milliseconds();
    if (!file_.isOpen()) return;
    const double periodMs = static_cast<double>(config_.bufferSeconds) * 1000.0;
    if (paused_) {
        view_.startTimer(FrameTimer::fileFeed, static_cast<int>(periodMs));
        return;
    }
    if (cycle_ == nullptr) return;
    if (!file_.feed(*cycle_)) {
        closeFile();
        stopCapture(StopReason::fileEnded);
        return;
    }
    const double elapsed = static_cast<double>(clock_.milliseconds() - t0);
    view_.startTimer(FrameTimer::fileFeed, FileFeeder::nextDelayMs(periodMs, elapsed));
}

}  // namespace merlop
