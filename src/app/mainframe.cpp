#include "app/mainframe.h"

#include <algorithm>

#include "app/readings.h"
#include "pitch/temperament_table.h"
#include "settings/settings.h"
#include "settings/tuning_store.h"

namespace merlop {

namespace {

constexpr int kStartDelayMs = 500;
constexpr int kFirstFeedDelayMs = 100;

}  // namespace

MainFrameCore::MainFrameCore(Settings& settings, TuningStore* tunings,
                             const FrameServices& services)
    : settings_(settings),
      view_(services.view),
      messages_(services.messages),
      questions_(services.questions),
      dialogs_(services.dialogs),
      run_(services.capture, services.messages, services.view, services.clock, *this),
      file_(services.player),
      clock_(services.clock),
      ear_(services.view, services.messages, services.clock),
      displays_(settings, pitch_, services.view, services.messages),
      configFile_(settings, services.messages, services.questions) {
    if (tunings != nullptr) {
        custom_.emplace(settings_, *tunings, pitch_, displays_.cycleSlot(), questions_, dialogs_,
                        messages_);
    }

    run_.input().query();
    configure();
    chosen_.tuner = settings_.showTuner != 0;
    chosen_.spectrum = settings_.showSpectrum != 0;
    chosen_.wave = settings_.showWaveForm != 0;
    if (settings_.customTuningOn != 0) {
        if (custom_) {
            setCustomTuning(true);
        } else {
            settings_.customTuningOn = 0;
        }
    }
}

MainFrameCore::~MainFrameCore() = default;

void MainFrameCore::retryInput() {
    view_.killTimer(FrameTimer::inputRetry);
    // Activation lays out and starts again by itself.
    InputWatch& input = run_.input();
    if (!input.awaiting() || !windowActive_) return;
    if (captureActive() || file_.isOpen()) {
        view_.startTimer(FrameTimer::inputRetry, CaptureRun::kInputRetryMs);
        return;
    }
    if (!input.available()) {
        if (!input.query()) {
            view_.startTimer(FrameTimer::inputRetry, CaptureRun::kInputRetryMs);
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

void MainFrameCore::configure() {
    CaptureMode mode;
    mode.fileMode = file_.isOpen();
    mode.fileSampleRate = file_.sampleRate();
    mode.fileBitsPerSample = file_.bitsPerSample();
    mode.calibrating = calibrating();
    mode.earTraining = earTrainingOn();
    config_ = configureCapture(settings_, candidates(), config_.sampleRate, mode);
    keepLiveChoices(settings_, config_, mode);
    const bool custom = custom_ && custom_->on();
    configurePitchModel(pitch_, settings_, custom ? custom_->frequencies() : nullptr,
                        custom ? custom_->noteCount() : 0);
}

CycleOptions MainFrameCore::cycleOptions() const {
    CycleOptions o;
    o.tunerOn = chosen_.tuner;
    o.waveOn = chosen_.wave;
    o.spectrumOn = chosen_.spectrum;
    o.calibrating = calibrating();
    if (custom_) custom_->addTo(o);
    return o;
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
        ear_.halt();
        setAnswering(false);
    }
}

void MainFrameCore::setCustomTuning(bool on) {
    if (!custom_) return;
    if (on) {
        custom_->begin();
    } else {
        stopCapture(StopReason::plain);
        view_.fillTuningCombo({}, -1);
        view_.fillNoteCombo({}, -1);
        custom_->end();
    }
}

// ---- custom readings ---------------------------------------------------------------------

const CustomReadings& MainFrameCore::readings() const {
    static const CustomReadings none;
    return custom_ ? custom_->readings() : none;
}

bool MainFrameCore::autoNote() const {
    return custom_ ? custom_->notes().automatic() : settings_.tuningNoteAutomatic != 0;
}

int MainFrameCore::currentNote() const {
    return custom_ ? custom_->notes().current() : 0;
}

void MainFrameCore::toggleTuner() {
    if (earTrainingOn()) setEarTraining(false);
    if (calibrating()) return;
    chosen_.tuner = !chosen_.tuner;
    applyMode();
}

void MainFrameCore::toggleSpectrum() {
    if (earTrainingOn()) setEarTraining(false);
    if (calibrating()) return;
    chosen_.spectrum = !chosen_.spectrum;
    applyMode();
}

void MainFrameCore::toggleWave() {
    if (earTrainingOn() || calibrating()) return;
    chosen_.wave = !chosen_.wave;
    applyMode();
}

void MainFrameCore::toggleEarTraining() {
    if (calibrating()) return;
    if (customTuningOn()) setCustomTuning(false);
    setEarTraining(!earTrainingOn());
    applyMode();
}

void MainFrameCore::toggleCustomTuning() {
    if (calibrating()) return;
    if (!custom_) return;
    if (earTrainingOn()) setEarTraining(false);
    setCustomTuning(!customTuningOn());
    applyMode();
}

void MainFrameCore::pause() {
    if (calibrating()) {
        calibration_.cancel();
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
    if (calibrating()) return;
    if (earTrainingOn()) {
        ear_.skipped();
        setAnswering(false);
        stopCapture(StopReason::nextExercise);
        return;
    }
    if (custom_ && custom_->on() && custom_->nextNote()) applyMode();
}

void MainFrameCore::onSpaceKey() {
    if (customTuningOn() || earTrainingOn()) {
        skip();
    } else if (chosen_.spectrum || chosen_.wave) {
        pause();
    }
}

void MainFrameCore::tuningSelected(int index) {
    if (custom_ && custom_->on()) {
        custom_->selectTuning(index);
    } else {
        if (index < 0 || index >= TemperamentTable::kRows) return;
        settings_.temperamentIndex = index;
    }
    applyMode();
}

void MainFrameCore::noteSelected(int index) {
    if (!custom_ || index < 0) return;
    custom_->selectNote(index);
    applyMode();
}

// ---- layout ------------------------------------------------------------------------------

void MainFrameCore::fillCombos() {
    view_.fillTuningCombo({}, -1);
    if (custom_ && custom_->on()) {
        custom_->fillCombos(view_);
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
    const bool firstLayout = !displays_.shown().any();
    configure();
    paused_ = false;
    view_.focusFrame();

    displays_.drop();
    if (!chosen_.any()) chosen_.tuner = true;
    if (custom_) custom_->disarmTone();
    fillCombos();
    displays_.rebuild(config_, cycleOptions());
    ear_.setStartPending(earTrainingOn());

    DisplayRequest request;
    request.shown = chosen_;
    request.rects = layoutDisplays(clientWidth_, clientHeight_, view_.toolBarHeight(),
                                   view_.statusBarHeight(), request.shown);
    request.customNoteIndex = custom_ && custom_->on() ? custom_->notes().fixedNote() : -1;
    request.calibrating = calibrating();
    request.config = config_;
    displays_.show(request);

    if (deviceAvailable()) {
        if (file_.isOpen()) view_.setStatusText("WAV file display");
    } else if (firstLayout) {
        messages_.show("no recording sound card installed", " ");
    }
    if (!recording()) view_.startTimer(FrameTimer::startCapture, kStartDelayMs);
    view_.uiChanged();
}

void MainFrameCore::openSettings(const std::function<void()>& runSheet) {
    if (chosen_.tuner) view_.tunerStopTone();
    if (earTrainingOn()) view_.killTimer(FrameTimer::earAnswer);
    stopCapture(StopReason::plain);
    if (custom_) {
        custom_->around(runSheet);
    } else {
        runSheet();
    }
    applyMode();
}

void MainFrameCore::saveSpectrum(const std::function<std::vector<SpectrumExtremum>()>& scan) {
    if (calibrating()) return;
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
    s.pauseEnabled = chosen_.spectrum || chosen_.wave || calibrating();
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
    if (!displays_.shown().any()) return;
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
    if (recording() && deviceAvailable()) {
        stopCapture(StopReason::quit);
        return false;
    }
    if (custom_) custom_->close(userPresent);
    displays_.drop();
    run_.shutdown();
    saveState(userPresent);
    configFile_.markWritten();
    return true;
}

bool MainFrameCore::saveState(bool userPresent) {
    if (configFile_.written()) return true;
    settings_.showTuner = chosen_.tuner ? 1 : 0;
    settings_.showSpectrum = chosen_.spectrum ? 1 : 0;
    settings_.showWaveForm = chosen_.wave ? 1 : 0;
    if (custom_) {
        custom_->keepIn(settings_);
    } else {
        settings_.tuningNoteAutomatic = settings_.tuningNoteAutomatic != 0 ? 1 : 0;
    }
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
            if (ear_.startPending()) {
                startExercise(true);
                return;
            }
            startCapture();
            if (custom_ && custom_->autoToneDue() && displays_.shown().tuner) {
                view_.tunerPlayTuningNote();
            }
            return;
        case FrameTimer::fileFeed:
            feedFileBuffer();
            return;
        case FrameTimer::earAnswer:
            ear_.answerTimeOver();
            setAnswering(false);
            stopCapture(StopReason::nextExercise);
            return;
    }
}

// ---- capture life cycle ------------------------------------------------------------------

void MainFrameCore::startCapture() {
    if (!run_.mayStart(file_.isOpen())) return;
    AnalysisCycle* cycle = displays_.cycle();
    if (cycle == nullptr || cycle->length() <= 0) {
        messages_.show("Not enough memory", "data buffer ");
        return;
    }
    cycle->startRun();
    if (file_.isOpen()) {
        run_.fileStarted();
        view_.killTimer(FrameTimer::startCapture);
        view_.startTimer(FrameTimer::fileFeed, kFirstFeedDelayMs);
        file_.startRun();
        return;
    }
    if (calibrating()) calibration_.runStarting();
    run_.openLive(config_, cycle->length());
}

void MainFrameCore::stopCapture(StopReason reason) {
    if (reason == StopReason::fileEnded) {
        view_.killTimer(FrameTimer::fileFeed);
        run_.fileEnded();
        applyMode();
        return;
    }
    if (run_.stop(reason)) return;
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

void MainFrameCore::runOpened() {
    if (AnalysisCycle* cycle = displays_.cycle(); cycle != nullptr) cycle->startRun();
}

void MainFrameCore::blockArrived() {
    if (calibrating()) {
        // The samples do not matter, only when they came.
        PitchReading reading;
        if (calibration_.onBlock(run_.arrivalTime(), pitch_, &reading) &&
            displays_.reading() != nullptr) {
            displays_.reading()->showReading(reading);
        }
        if (calibration_.finished()) {
            stopCapture(StopReason::calibration);
            return;
        }
        run_.recordNext();
        return;
    }
    AnalysisCycle* cycle = displays_.cycle();
    if (cycle == nullptr) return;
    int lo = 0;
    int hi = 0;
    if (run_.takeBlock(cycle->sampleBuffer(), cycle->length(), &lo, &hi)) {
        cycle->analyseBuffer(hi, lo);
    }
}

void MainFrameCore::runClosed(StopReason reason) {
    switch (reason) {
        case StopReason::plain:
            if (run_.startPending()) startCapture();
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
            startExercise(ear_.advance());
            break;
        case StopReason::calibration:
            if (calibrating()) {
                // Its question runs an event loop of its own: not inside the device's notice.
                view_.startTimer(FrameTimer::calibrationStep, 0);
            } else if (run_.startPending()) {
                startCapture();  // cancelled while the device was closing
            }
            break;
        default:
            break;
    }
}

// ---- ear training ------------------------------------------------------------------------

void MainFrameCore::setAnswering(bool on) {
    displays_.setAnswerSink(on ? &ear_.exercise() : nullptr);
}

void MainFrameCore::startExercise(bool newMelody) {
    setAnswering(false);
    if (!ear_.play(settings_, newMelody)) {
        // The settings admit no melody: back to the tuner.
        setEarTraining(false);
        applyMode();
    }
}

void MainFrameCore::exercisePlayed() {
    startCapture();
    if (!earTrainingOn()) return;
    ear_.played();
    setAnswering(true);
}

// ---- calibration -------------------------------------------------------------------------

void MainFrameCore::calibrate() {
    // Without a card there is no clock to measure; nothing changes.
    if (!deviceAvailable()) {
        messages_.show("no recording sound card installed", " ");
        return;
    }
    if (earTrainingOn()) setEarTraining(false);
    if (file_.isOpen()) {
        // The measurement needs the card: a file being fed ends as at its end.
        endFileRun();
    }
    calibration_.begin();
    stopCapture(StopReason::calibration);
}

void MainFrameCore::calibrationStep() {
    if (!calibrating() || captureActive()) return;
    if (!calibration_.ask(questions_, &settings_.calibrationTenths)) return;
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
    calibration_.cancel();
    if (file_.isOpen()) {
        // A file is being fed: end that run completely before the new one begins, so no buffer
        // of the old file can reach the new run.
        endFileRun();
    }
    file_.open(path);
    stopCapture(StopReason::fileOpened);
}

void MainFrameCore::endFileRun() {
    view_.killTimer(FrameTimer::fileFeed);
    closeFile();
    run_.fileEnded();
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
    if (displays_.cycle() == nullptr) return;
    if (!file_.feed(*displays_.cycle())) {
        closeFile();
        stopCapture(StopReason::fileEnded);
        return;
    }
    const double elapsed = static_cast<double>(clock_.milliseconds() - t0);
    view_.startTimer(FrameTimer::fileFeed, FileFeeder::nextDelayMs(periodMs, elapsed));
}

}  // namespace merlop
