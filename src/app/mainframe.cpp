#include "app/mainframe.h"

#include <algorithm>
#include <cmath>
#include <filesystem>

#include "app/readings.h"
#include "common/translation.h"
#include "pitch/temperament_table.h"
#include "settings/settings.h"
#include "settings/tuning_presets.h"
#include "settings/tuning_store.h"

namespace merlop {

namespace {

constexpr int kStartDelayMs = 500;

}  // namespace

MainFrameCore::MainFrameCore(Settings& settings, TuningStore* tunings,
                             const FrameServices& services)
    : settings_(settings),
      view_(services.view),
      messages_(services.messages),
      questions_(services.questions),
      dialogs_(services.dialogs),
      capture_(services.capture, services.messages, services.view, services.clock,
               {file_, displays_, calibration_, ear_, pitch_, config_}, *this),
      file_(services.player, services.view, services.messages, services.dialogs, services.clock),
      ear_(services.view, services.messages, services.clock, displays_),
      displays_(settings, pitch_, services.view, services.messages),
      configFile_(settings, services.messages, services.questions),
      extensionStore_(services.extensions),
      extensions_(services.extensions.load()),
      input_(services.capture),
      scala_(std::filesystem::path(settings.fileName).parent_path(), services.messages,
             services.dialogs) {
    // Before the first look at the input, so its formats are those of the source chosen.
    input_.load(extensions_);
    displays_.setListeningText(input_.statusText());
    displays_.setLevelsShown(extensions_.inputLevel);
    if (tunings != nullptr) {
        custom_.emplace(settings_, *tunings, pitch_, displays_.cycleSlot(), questions_, dialogs_,
                        messages_);
    }

    run_.input().query();
    configure();
    views_.load(settings_);
    if (settings_.customTuningOn != 0) {
        if (custom_) {
            setCustomTuning(true);
        } else {
            settings_.customTuningOn = 0;
        }
    }
}

MainFrameCore::~MainFrameCore() = default;

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
    if (!custom) useUserTemperament();
}

ShownDisplays MainFrameCore::wanted() const {
    if (fullScreen_) return ShownDisplays{true, false, false};
    return views_.chosen();
}

CycleOptions MainFrameCore::cycleOptions() const {
    CycleOptions o;
    const ShownDisplays shown = wanted();
    o.tunerOn = shown.tuner;
    o.waveOn = shown.wave;
    o.spectrumOn = shown.spectrum;
    o.calibrating = calibrating();
    o.autoSensitivity = extensions_.autoSensitivity;
    o.strobeOn = extensions_.strobe && shown.tuner && !calibrating();
    if (custom_) custom_->addTo(o);
    return o;
}

// ---- modes -------------------------------------------------------------------------------

void MainFrameCore::setEarTraining(bool on) {
    settings_.earTrainingOn = on ? 1 : 0;
    if (on) {
        views_.tunerOnly();
    } else {
        ear_.halt();
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

bool MainFrameCore::enter(ModeCommand command) {
    const ModeRule rule = modeRule(command);
    if (earTrainingOn()) {
        if (rule.refusedInEarTraining) return false;
        if (rule.endsEarTraining) setEarTraining(false);
    }
    if (calibrating()) return false;
    if (rule.endsCustomTuning && customTuningOn()) setCustomTuning(false);
    return true;
}

void MainFrameCore::toggleView(ModeCommand command) {
    if (!enter(command)) return;
    views_.flip(command);
    applyMode();
}

void MainFrameCore::toggleTuner() {
    toggleView(ModeCommand::tuner);
}
void MainFrameCore::toggleSpectrum() {
    toggleView(ModeCommand::spectrum);
}
void MainFrameCore::toggleWave() {
    toggleView(ModeCommand::wave);
}

void MainFrameCore::toggleEarTraining() {
    if (!enter(ModeCommand::earTraining)) return;
    setEarTraining(!earTrainingOn());
    applyMode();
}

void MainFrameCore::toggleCustomTuning() {
    if (!custom_ || !enter(ModeCommand::customTuning)) return;
    setCustomTuning(!customTuningOn());
    applyMode();
}

void MainFrameCore::pause() {
    if (calibrating()) {
        calibration_.cancel();
        applyMode();
        return;
    }
    if (paused()) {
        views_.setPaused(false);
        if (file_.isOpen()) {
            file_.resume();
        } else {
            startCapture();
        }
    } else {
        views_.setPaused(true);
        if (file_.isOpen()) {
            file_.pause();
        } else {
            stopCapture(StopReason::plain);
        }
        view_.setStatusText(translate("MainFrame", "Pausing"));
    }
    view_.setDisplaysPaused(spectrumOn(), waveOn(), paused());
    view_.uiChanged();
}

void MainFrameCore::skip() {
    if (calibrating()) return;
    if (earTrainingOn()) {
        ear_.skipped();
        stopCapture(StopReason::nextExercise);
        return;
    }
    if (custom_ && custom_->on() && custom_->nextNote()) applyMode();
}

void MainFrameCore::onSpaceKey() {
    if (customTuningOn() || earTrainingOn()) {
        skip();
    } else if (spectrumOn() || waveOn()) {
        pause();
    }
}

void MainFrameCore::tuningSelected(int index) {
    if (custom_ && custom_->on()) {
        custom_->selectTuning(index);
    } else if (index >= TemperamentTable::kRows) {
        const std::vector<UserTemperament> user = scala_.temperaments();
        const auto at = static_cast<std::size_t>(index - TemperamentTable::kRows);
        if (at >= user.size()) return;
        extensions_.userTemperament = user[at].file.filename().string();
        if (!extensionStore_.save(extensions_))
            messages_.show(translate("MainFrame", kExtensionsNotSavedText), "Merlop");
    } else {
        if (index < 0) return;
        settings_.temperamentIndex = index;
        if (!extensions_.userTemperament.empty()) {
            extensions_.userTemperament.clear();
            if (!extensionStore_.save(extensions_)) {
                messages_.show(translate("MainFrame", kExtensionsNotSavedText), "Merlop");
            }
        }
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
    } else if (tunerOn()) {
        std::vector<std::string> names = TemperamentTable::names();
        for (const UserTemperament& t : scala_.temperaments()) names.push_back(t.name);
        view_.fillTuningCombo(names, temperamentShown());
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
    views_.setPaused(false);
    view_.focusFrame();

    displays_.drop();
    views_.atLeastOne();
    if (custom_) custom_->disarmTone();
    fillCombos();
    displays_.rebuild(config_, cycleOptions());
    ear_.setStartPending(earTrainingOn());

    displays_.show(displayRequest());

    if (deviceAvailable()) {
        if (file_.isOpen()) view_.setStatusText(translate("MainFrame", "WAV file display"));
    } else if (firstLayout) {
        messages_.show(translate("MainFrame", "no recording sound card installed"), " ");
    }
    if (!recording()) view_.startTimer(FrameTimer::startCapture, kStartDelayMs);
    view_.uiChanged();
}

DisplayRequest MainFrameCore::displayRequest() {
    DisplayRequest request;
    request.shown = wanted();
    // In full screen the window has hidden its bars.
    request.rects = fullScreen_ ? layoutDisplays(clientWidth_, clientHeight_, 0, 0, request.shown)
                                : layoutDisplays(clientWidth_, clientHeight_, view_.toolBarHeight(),
                                                 view_.statusBarHeight(), request.shown);
    request.customNoteIndex = custom_ && custom_->on() ? custom_->notes().fixedNote() : -1;
    request.calibrating = calibrating();
    request.config = config_;
    if (extensions_.inTuneColour) {
        const int tenths =
            settings_.fineTuning != 0 ? extensions_.inTuneFineTenths : extensions_.inTuneTenths;
        request.inTuneCents = static_cast<float>(tenths) / 10.0f;
    }
    // A hold ends with the tuner, and with the modes that need its reading live.
    if (!request.shown.tuner || calibrating() || earTrainingOn()) displays_.setHeld(false);
    request.held = displays_.held();
    request.largeReadouts = fullScreen_;
    request.strobe = extensions_.strobe && request.shown.tuner && !calibrating();
    return request;
}

void MainFrameCore::openSettings(const std::function<void()>& runSheet) {
    if (tunerOn()) view_.tunerStopTone();
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
    if (!paused() || !spectrumOn()) {
        messages_.show(translate("Readings", kSpectrumNotPausedText),
                       translate("Readings", kSaveSpectrumCaption));
        applyMode();
        return;
    }
    // Scanned before the dialog, while the picture is surely the paused one.
    saveSpectrumReadings(scan(), dialogs_, messages_);
}

FrameUiState MainFrameCore::uiState() const {
    FrameUiState s = views_.uiState({calibrating(), earTrainingOn(), customTuningOn()});
    s.autoSensitivityChecked = extensions_.autoSensitivity;
    s.keepListeningChecked = extensions_.keepListening;
    s.inTuneColourChecked = extensions_.inTuneColour;
    s.holdChecked = displays_.held();
    s.holdEnabled = displays_.shown().tuner && !calibrating() && !earTrainingOn();
    s.inputLevelChecked = extensions_.inputLevel;
    s.fullScreenChecked = fullScreen_;
    s.strobeChecked = extensions_.strobe;
    return s;
}

void MainFrameCore::flipExtension(bool ExtensionSettings::*flag) {
    extensions_.*flag = !(extensions_.*flag);
    if (!extensionStore_.save(extensions_))
        messages_.show(translate("MainFrame", kExtensionsNotSavedText), "Merlop");
}

void MainFrameCore::toggleAutoSensitivity() {
    if (calibrating()) return;
    flipExtension(&ExtensionSettings::autoSensitivity);
    applyMode();
}

void MainFrameCore::addPresetTuning() {
    if (!custom_) return;
    std::vector<std::string> names;
    for (const TuningPreset& p : tuningPresets()) names.push_back(p.tuning.nameText());
    const int chosen = questions_.choose(translate("MainFrame", kAddPresetCaption),
                                         translate("MainFrame", "Tuning:"), names, 0);
    if (chosen < 0 || chosen >= static_cast<int>(names.size())) return;
    stopCapture(StopReason::plain);
    const std::string problem = custom_->addPreset(tuningPresets()[chosen]);
    if (problem.empty()) {
        view_.setStatusText(fill(translate("MainFrame", "Tuning added: %1"), {names[chosen]}));
    } else {
        messages_.show(problem, translate("MainFrame", kAddPresetCaption));
    }
    applyMode();
}

void MainFrameCore::toggleInTuneColour() {
    flipExtension(&ExtensionSettings::inTuneColour);
    applyMode();
}

void MainFrameCore::askInTuneTolerance() {
    int& tenths =
        settings_.fineTuning != 0 ? extensions_.inTuneFineTenths : extensions_.inTuneTenths;
    double cents = tenths / 10.0;
    if (!questions_.askNumber(translate("MainFrame", kInTuneToleranceCaption),
                              translate("MainFrame", "In tune within, cents:"), 0.1, 25.0, 1,
                              &cents)) {
        return;
    }
    tenths = std::clamp(static_cast<int>(std::lround(cents * 10.0)), 1, 250);
    if (!extensionStore_.save(extensions_))
        messages_.show(translate("MainFrame", kExtensionsNotSavedText), "Merlop");
    if (extensions_.inTuneColour) applyMode();
}

void MainFrameCore::toggleKeepListening() {
    flipExtension(&ExtensionSettings::keepListening);
}

// ---- window events -----------------------------------------------------------------------

void MainFrameCore::onSize(int clientWidth, int clientHeight) {
    clientWidth_ = clientWidth;
    clientHeight_ = clientHeight;
    applyMode();
    if (configFile_.unreported() && !configFile_.settle()) view_.postClose();
}

void MainFrameCore::onActivate(bool active) {
    // Listening in the background, nothing was stopped, so nothing needs to start again.
    if (extensions_.keepListening && windowActive_) return;
    windowActive_ = active;
    if (!displays_.shown().any()) return;
    if (active) {
        view_.setStatusText(translate("MainFrame", kIdleStatusText));
        applyMode();
        return;
    }
    if (tunerOn()) view_.tunerStopTone();
    if (earTrainingOn()) view_.killTimer(FrameTimer::earAnswer);
    stopCapture(StopReason::plain);
    view_.setStatusText(translate("MainFrame", kInactiveStatusText));
}

bool MainFrameCore::onClose(bool userPresent) {
    if (file_.isOpen()) file_.close();
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
    views_.keepIn(settings_);
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
            capture_.retryInput(windowActive_);
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
            if (!file_.tick(displays_.cycle(), config_.bufferSeconds, paused())) {
                stopCapture(StopReason::fileEnded);
            }
            return;
        case FrameTimer::earAnswer:
            ear_.answerTimeOver();
            stopCapture(StopReason::nextExercise);
            return;
        case FrameTimer::measurement:
            view_.killTimer(FrameTimer::measurement);
            measurementTaken();
            return;
    }
}

// ---- capture life cycle ------------------------------------------------------------------

void MainFrameCore::startCapture() {
    capture_.start();
}

void MainFrameCore::stopCapture(StopReason reason) {
    capture_.stop(reason);
}

// ---- ear training ------------------------------------------------------------------------

void MainFrameCore::startExercise(bool newMelody) {
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
}

// ---- calibration -------------------------------------------------------------------------

void MainFrameCore::calibrate() {
    // Without a card there is no clock to measure; nothing changes.
    if (!deviceAvailable()) {
        messages_.show(translate("MainFrame", "no recording sound card installed"), " ");
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
    views_.tunerOnly();
    applyMode();
}

// ---- WAV file input ----------------------------------------------------------------------

void MainFrameCore::openWaveFile() {
    const std::string path = file_.choose();
    if (path.empty()) return;
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
    file_.close();
    run_.fileEnded();
}

}  // namespace merlop
