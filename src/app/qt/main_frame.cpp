#include "app/qt/main_frame.h"

#include <QAction>
#include <QApplication>
#include <QCloseEvent>
#include <QComboBox>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QFile>
#include <QIcon>
#include <QKeyEvent>
#include <QLabel>
#include <QMenuBar>
#include <QMimeData>
#include <QScreen>
#include <QStatusBar>
#include <QTextBrowser>
#include <QToolBar>

#include "app/qt/desktop_devices.h"
#include "app/qt/display_host.h"
#include "app/qt/help_boxes.h"
#include "app/qt/level_meter.h"
#include "app/qt/screen_awake.h"
#include "app/qt/widget_message_box.h"
#include "app/readings.h"
#include "app/window_place.h"
#include "common/translation.h"
#include "display/qt/spectrum_window.h"
#include "display/qt/tuner_window.h"
#include "display/qt/wave_form_window.h"
#include "pitch/temperament_table.h"
#include "settings/qt/ini_extension_store.h"
#include "settings/qt/settings_sheet_dialog.h"
#include "settings/settings.h"
#include "settings/tuning_store.h"

namespace merlop {

// ---- construction -----------------------------------------------------------------------------

MainFrame::MainFrame(const std::filesystem::path& folder, const FrameDevices& devices,
                     QWidget* parent)
    : QMainWindow(parent), devices_(devices), layoutTimer_(this) {
    setObjectName(QStringLiteral("MainFrame"));
    setWindowTitle(tr("Merlop %1").arg(QStringLiteral(MERLOP_VERSION_TEXT)));
    setWindowIcon(QIcon(QStringLiteral(":/icons/merlop.svg")));
    setFocusPolicy(Qt::StrongFocus);
    setAcceptDrops(true);
    setCentralWidget(new QWidget(this));

    desktop_ = std::make_unique<DesktopDevices>(devices_, this);
    chosenFile_ = std::make_unique<ChosenFileDialogs>(*devices_.dialogs);
    screenAwake_ = new ScreenAwake(this);
    createTimers();

    bars_ = createFrameBars(*this);
    connectToolCommands();
    connectMenuCommands();
    connectCombos();

    settings_ = std::make_unique<Settings>();
    // Always the file inside the folder, even if the folder is not one: never another file.
    settings_->fileName = (folder / Settings::kDefaultFileName).string();
    settings_->loadSettings();
    tunings_ = std::make_unique<TuningStore>(folder);
    tunings_->readTuning(settings_->currentTuning);
    extensions_ = std::make_unique<IniExtensionStore>(folder / kExtensionFileName);

    displays_ = std::make_unique<DisplayHost>(
        *this, DisplaySources{*settings_, tunings_.get(), *devices_.midi, *devices_.sound,
                              devices_.messages, *this, devices_.inputPending});
    core_ = std::make_unique<MainFrameCore>(
        *settings_, tunings_.get(),
        FrameServices{*this, *devices_.messages, *devices_.capture, *devices_.player, *chosenFile_,
                      *devices_.clock, *devices_.questions, *extensions_});
    refreshUi();

    connect(qApp, &QGuiApplication::applicationStateChanged, this,
            [this](Qt::ApplicationState state) {
                if (state == Qt::ApplicationActive) {
                    core_->onActivate(true);
                } else if (state == Qt::ApplicationInactive) {
                    core_->onActivate(false);
                }
            });
    // Logging out takes the way of File / Exit, so the settings and tunings are saved.
    connect(qApp, &QGuiApplication::commitDataRequest, this, &MainFrame::closeFromOutside);
}

void MainFrame::createTimers() {
    // In the order of FrameTimer.
    constexpr const char* kNames[kFrameTimers] = {"startCaptureTimer",    "earAnswerTimer",
                                                  "fileFeedTimer",        "inputRetryTimer",
                                                  "calibrationStepTimer", "measurementTimer"};
    for (int i = 0; i < kFrameTimers; ++i) {
        QTimer& t = frameTimers_[static_cast<std::size_t>(i)];
        t.setParent(this);  // found by name, as the window's own
        t.setSingleShot(true);
        t.setObjectName(QString::fromLatin1(kNames[i]));
        connect(&t, &QTimer::timeout, this,
                [this, id = static_cast<FrameTimer>(i)] { core_->onTimer(id); });
    }
    // Whole milliseconds: a file is fed in real time, one buffer per period.
    timer(FrameTimer::fileFeed).setTimerType(Qt::PreciseTimer);
    layoutTimer_.setSingleShot(true);
    connect(&layoutTimer_, &QTimer::timeout, this, &MainFrame::layoutNow);
}

MainFrame::~MainFrame() {
    layoutTimer_.stop();
    destroyDisplays();
    core_->saveState();
    core_.reset();
}

void MainFrame::connectCommand(QAction* action, void (MainFrameCore::*command)()) {
    connect(action, &QAction::triggered, this, [this, command] {
        (core_.get()->*command)();
        refreshUi();
    });
}

void MainFrame::connectToolCommands() {
    connectCommand(bars_.tuner, &MainFrameCore::toggleTuner);
    connectCommand(bars_.spectrum, &MainFrameCore::toggleSpectrum);
    connectCommand(bars_.wave, &MainFrameCore::toggleWave);
    connectCommand(bars_.pause, &MainFrameCore::pause);
    connectCommand(bars_.earTraining, &MainFrameCore::toggleEarTraining);
    connectCommand(bars_.skip, &MainFrameCore::skip);
    connectCommand(bars_.customTuning, &MainFrameCore::toggleCustomTuning);
    connectCommand(bars_.hold, &MainFrameCore::toggleHold);
    connectCommand(bars_.strobe, &MainFrameCore::toggleStrobe);
}

void MainFrame::connectMenuCommands() {
    connect(bars_.openWave, &QAction::triggered, this, [this] { core_->openWaveFile(); });
    connect(bars_.saveSpectrum, &QAction::triggered, this, [this] {
        core_->saveSpectrum([this] {
            SpectrumWindow* spectrum = displays_->spectrum();
            return spectrum != nullptr ? spectrum->scanHistory() : std::vector<SpectrumExtremum>{};
        });
        refreshUi();
    });
    connect(bars_.exit, &QAction::triggered, this, &QWidget::close);
    connectCommand(bars_.importScala, &MainFrameCore::importScalaScale);
    connectCommand(bars_.exportScala, &MainFrameCore::exportScalaScale);
    connect(bars_.settings, &QAction::triggered, this, [this] {
        core_->openSettings([this] {
            UserTemperamentChoice user = core_->userTemperamentChoice();
            if (runSettingsSheet(this, *settings_, tunings_.get(), core_->candidates(),
                                 *devices_.questions, *devices_.messages, &user)) {
                core_->chooseUserTemperament(user.chosen);
            }
        });
        refreshUi();
    });
    connectCommand(bars_.calibration, &MainFrameCore::calibrate);
    connectCommand(bars_.autoSensitivity, &MainFrameCore::toggleAutoSensitivity);
    connectCommand(bars_.keepListening, &MainFrameCore::toggleKeepListening);
    connectCommand(bars_.addPreset, &MainFrameCore::addPresetTuning);
    connectCommand(bars_.inTuneColour, &MainFrameCore::toggleInTuneColour);
    connectCommand(bars_.inTuneTolerance, &MainFrameCore::askInTuneTolerance);
    connectCommand(bars_.inputLevel, &MainFrameCore::toggleInputLevel);
    connectCommand(bars_.inputDevice, &MainFrameCore::chooseInputDevice);
    connectCommand(bars_.measurePiano, &MainFrameCore::measureInharmonicity);
    connectCommand(bars_.stretchPiano, &MainFrameCore::createStretchedTuning);
    connectCommand(bars_.clearPiano, &MainFrameCore::clearInharmonicity);
    connect(bars_.fullScreen, &QAction::triggered, this,
            [this] { setFullScreen(!isFullScreen()); });
    connect(bars_.helpContents, &QAction::triggered, this, &MainFrame::showHelp);
    connect(bars_.about, &QAction::triggered, this, &MainFrame::showAbout);
}

void MainFrame::connectCombos() {
    connect(bars_.tuningCombo, &QComboBox::currentIndexChanged, this, [this](int index) {
        if (fillingCombos_ || index < 0) return;
        core_->tuningSelected(index);
        refreshUi();
    });
    connect(bars_.noteCombo, &QComboBox::currentIndexChanged, this, [this](int index) {
        if (fillingCombos_ || index < 0) return;
        core_->noteSelected(index);
        refreshUi();
    });
}

QAction* MainFrame::action(const QString& objectName) const {
    return findChild<QAction*>(objectName, Qt::FindDirectChildrenOnly);
}

QString MainFrame::statusText() const {
    return bars_.statusPane->text();
}

TunerWindow* MainFrame::tunerWindow() const {
    return displays_->tuner();
}

SpectrumWindow* MainFrame::spectrumWindow() const {
    return displays_->spectrum();
}

WaveFormWindow* MainFrame::waveWindow() const {
    return displays_->wave();
}

void MainFrame::refreshUi() {
    if (core_ == nullptr) return;
    const FrameUiState s = core_->uiState();
    bars_.tuner->setChecked(s.tunerChecked);
    bars_.spectrum->setChecked(s.spectrumChecked);
    bars_.wave->setChecked(s.waveChecked);
    bars_.pause->setChecked(s.pauseChecked);
    bars_.pause->setEnabled(s.pauseEnabled);
    bars_.earTraining->setChecked(s.earTrainingChecked);
    bars_.skip->setEnabled(s.skipEnabled);
    bars_.customTuning->setChecked(s.customTuningChecked);
    bars_.autoSensitivity->setChecked(s.autoSensitivityChecked);
    bars_.keepListening->setChecked(s.keepListeningChecked);
    bars_.inTuneColour->setChecked(s.inTuneColourChecked);
    bars_.hold->setChecked(s.holdChecked);
    bars_.hold->setEnabled(s.holdEnabled);
    bars_.inputLevel->setChecked(s.inputLevelChecked);
    bars_.fullScreen->setChecked(s.fullScreenChecked);
    bars_.strobe->setChecked(s.strobeChecked);
    bars_.noteCombo->setEnabled(s.noteComboEnabled);
    bars_.tuningCombo->setEnabled(s.tuningComboEnabled);
}

// ---- window events ----------------------------------------------------------------------------

void MainFrame::resizeEvent(QResizeEvent* event) {
    QMainWindow::resizeEvent(event);
    layoutTimer_.start(0);
}

void MainFrame::layoutNow() {
    layoutTimer_.stop();
    const int menu = menuBar()->isVisible() ? menuBar()->height() : 0;
    core_->onSize(width(), std::max(0, height() - menu));
    refreshUi();
}

void MainFrame::closeEvent(QCloseEvent* event) {
    if (!core_->onClose(!closingFromOutside_)) {
        // The device is still closing; the close comes again once it has.
        event->ignore();
        return;
    }
    if (help_ != nullptr) help_->close();
    const QRect place = isFullScreen() || isMaximized() ? normalGeometry() : geometry();
    core_->keepWindowPlace(place.x(), place.y(), place.width(), place.height(),
                           isMaximized() || (isFullScreen() && wasMaximized_));
    event->accept();
}

void MainFrame::showAtSavedPlace() {
    const ExtensionSettings& e = core_->extensions();
    std::vector<PlaceRect> screens;
    for (const QScreen* screen : QGuiApplication::screens()) {
        const QRect r = screen->availableGeometry();
        screens.push_back({r.x(), r.y(), r.width(), r.height()});
    }
    if (const auto place =
            restoredPlace({e.windowX, e.windowY, e.windowWidth, e.windowHeight}, screens)) {
        setGeometry(place->x, place->y, place->width, place->height);
    } else {
        resize(kDefaultWidth, kDefaultHeight);
    }
    if (e.windowMaximized) {
        showMaximized();
    } else {
        show();
    }
}

void MainFrame::closeFromOutside() {
    closingFromOutside_ = true;
    if (QWidget* modal = QApplication::activeModalWidget()) {
        modal->close();
        // Once the box's own event loop has returned.
        QMetaObject::invokeMethod(this, &MainFrame::closeFromOutside, Qt::QueuedConnection);
        return;
    }
    close();
}

void MainFrame::setFullScreen(bool on) {
    // Hidden bars take no room; the menu's shortcuts and Escape still reach the window.
    menuBar()->setVisible(!on);
    bars_.toolBar->setVisible(!on);
    statusBar()->setVisible(!on);
    if (on) {
        wasMaximized_ = isMaximized();
        showFullScreen();
    } else if (wasMaximized_) {
        showMaximized();
    } else {
        showNormal();
    }
    core_->setFullScreen(on);
    layoutNow();
}

void MainFrame::keyPressEvent(QKeyEvent* event) {
    if (event->key() == Qt::Key_Space && !event->isAutoRepeat()) {
        core_->onSpaceKey();
        refreshUi();
    }
    if (event->key() == Qt::Key_Escape && isFullScreen()) setFullScreen(false);
    QMainWindow::keyPressEvent(event);
}

namespace {

QString droppedWaveFile(const QMimeData* mime) {
    if (mime == nullptr || !mime->hasUrls()) return {};
    for (const QUrl& url : mime->urls()) {
        if (url.isLocalFile() &&
            url.toLocalFile().endsWith(QStringLiteral(".wav"), Qt::CaseInsensitive)) {
            return url.toLocalFile();
        }
    }
    return {};
}

}  // namespace

void MainFrame::dragEnterEvent(QDragEnterEvent* event) {
    if (!droppedWaveFile(event->mimeData()).isEmpty()) event->acceptProposedAction();
}

void MainFrame::dropEvent(QDropEvent* event) {
    const QString path = droppedWaveFile(event->mimeData());
    if (path.isEmpty()) return;
    event->acceptProposedAction();
    // After the drop has finished: opening may show a box.
    QMetaObject::invokeMethod(
        this, [this, path] { openFile(path); }, Qt::QueuedConnection);
}

void MainFrame::openFile(const QString& path) {
    chosenFile_->choose(QFile::encodeName(path).toStdString());
    core_->openWaveFile();
    chosenFile_->choose({});
    refreshUi();
}
void MainFrame::showHelp() {
    showHelpWindow(help_, windowIcon());
    core_->applyMode();
    refreshUi();
}

void MainFrame::showAbout() {
    runAboutBox(this);
    core_->applyMode();
    refreshUi();
}

// ---- what the core asks of the window ---------------------------------------------------------

QTimer& MainFrame::timer(FrameTimer t) {
    return frameTimers_[static_cast<std::size_t>(t)];
}

void MainFrame::startTimer(FrameTimer t, int milliseconds) {
    timer(t).start(std::max(0, milliseconds));
}

void MainFrame::killTimer(FrameTimer t) {
    timer(t).stop();
}

void MainFrame::setStatusText(const std::string& text) {
    bars_.statusPane->setText(QString::fromStdString(text));
}

namespace {

// The catalogue's temperaments in the player's language; the padding after a name stays, so the
// English entries are as the core gave them. Custom tunings and imported scales are the user's.
QString temperamentEntry(const std::string& item) {
    const std::size_t end = item.find_last_not_of(' ') + 1;
    const std::string name = item.substr(0, end);
    return QString::fromStdString(translate("Temperaments", name.c_str()) + item.substr(end));
}

}  // namespace

void MainFrame::fillTuningCombo(const std::vector<std::string>& items, int selected) {
    fillingCombos_ = true;
    bars_.tuningCombo->clear();
    const bool temperaments = core_ != nullptr && !core_->customTuningOn();
    for (std::size_t i = 0; i < items.size(); ++i) {
        const bool catalogued = temperaments && i < TemperamentTable::kRows;
        bars_.tuningCombo->addItem(catalogued ? temperamentEntry(items[i])
                                              : QString::fromStdString(items[i]));
    }
    bars_.tuningCombo->setCurrentIndex(selected);
    QStringList sources;
    for (const std::string& item : items) sources << QString::fromStdString(item);
    fitComboToEntries(*bars_.tuningCombo, sources, kTuningComboWidth);
    fillingCombos_ = false;
}

void MainFrame::fillNoteCombo(const std::vector<std::string>& items, int selected) {
    fillingCombos_ = true;
    bars_.noteCombo->clear();
    for (const std::string& item : items) bars_.noteCombo->addItem(QString::fromStdString(item));
    bars_.noteCombo->setCurrentIndex(selected);
    fillingCombos_ = false;
}

int MainFrame::toolBarHeight() const {
    return bars_.toolBar->sizeHint().height();
}

int MainFrame::statusBarHeight() const {
    return statusBar()->sizeHint().height();
}

CycleSinks MainFrame::createDisplays(const DisplayRequest& request) {
    return displays_->create(request, core_->pitch());
}

void MainFrame::destroyDisplays() {
    displays_->destroy();
}

void MainFrame::focusFrame() {
    setFocus(Qt::OtherFocusReason);
}

void MainFrame::postClose() {
    // After any box reported before it, so a message is read before the window goes.
    auto closeLater = [self = QPointer<MainFrame>(this)] {
        if (self != nullptr) self->close();
    };
    if (WidgetMessageBox* messages = desktop_->ownMessages()) {
        messages->afterBoxes(closeLater);
    } else {
        QMetaObject::invokeMethod(this, closeLater, Qt::QueuedConnection);
    }
}

void MainFrame::setDisplaysPaused(bool spectrum, bool /*wave*/, bool paused) {
    // The wave form freezes by itself: no blocks reach it while paused.
    if (spectrum) displays_->setSpectrumPaused(paused);
}

void MainFrame::tunerStopTone() {
    displays_->stopTone();
}

void MainFrame::tunerRetryTone() {
    displays_->retryTone();
}

void MainFrame::tunerPlayTuningNote() {
    displays_->playTuningNote();
}

void MainFrame::keepScreenAwake(bool awake) {
    if (screenAwake_ != nullptr) screenAwake_->setAwake(awake);
}

void MainFrame::showInputLevel(const LevelReading& level) {
    bars_.levelMeter->showLevel(level);
}

void MainFrame::setTunerHeld(bool held) {
    if (TunerWindow* tuner = displays_->tuner()) tuner->setHeld(held);
}

void MainFrame::uiChanged() {
    refreshUi();
}

void MainFrame::startCapture() {
    core_->startCapture();
}

void MainFrame::releaseDeviceForTone() {
    core_->releaseDeviceForTone();
}

void MainFrame::exercisePlayed() {
    core_->exercisePlayed();
    refreshUi();
}

void MainFrame::tunerPlayExercise(ExerciseNotes& exercise) {
    displays_->playExercise(exercise);
}

}  // namespace merlop
