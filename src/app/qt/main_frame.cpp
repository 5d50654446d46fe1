#include "app/qt/main_frame.h"

#include <QAction>
#include <QApplication>
#include <QCloseEvent>
#include <QComboBox>
#include <QDialog>
#include <QDir>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QFile>
#include <QFileDialog>
#include <QFileInfo>
#include <QFontMetrics>
#include <QFrame>
#include <QHBoxLayout>
#include <QIcon>
#include <QKeyEvent>
#include <QLabel>
#include <QMenuBar>
#include <QMimeData>
#include <QPalette>
#include <QPushButton>
#include <QStandardPaths>
#include <QStatusBar>
#include <QTextBrowser>
#include <QToolBar>
#include <QVBoxLayout>
#include <QWhatsThis>
#include <chrono>

#include "app/qt/screen_awake.h"
#include "app/qt/wav_file_player.h"
#include "app/qt/widget_message_box.h"
#include "app/qt/widget_question_box.h"
#include "app/readings.h"
#include "audio/qt/qt_wave_capture.h"
#include "display/qt/spectrum_window.h"
#include "display/qt/tuner_window.h"
#include "display/qt/wave_form_window.h"
#include "settings/qt/settings_sheet_dialog.h"
#include "settings/settings.h"
#include "settings/tuning_store.h"
#include "tone/qt/fluidsynth_midi_output.h"
#include "tone/qt/qt_wave_sound.h"

namespace merlop {

// ---- the desktop's devices ------------------------------------------------------------------

class MainFrame::PlayerAdapter final : public FilePlayer {
  public:
    explicit PlayerAdapter(MessageBox& messages) : player_(messages) {}
    bool open(const std::string& path) override { return player_.Open(path) == 0; }
    void play(std::int64_t fromSample) override { player_.Play(fromSample); }
    void stop() override { player_.Stop(); }
    void close() override { player_.Close(); }

  private:
    WavFilePlayer player_;
};

// The dialogs start where a user keeps files, not in the settings folder the program runs in,
// and each remembers the folder last used.
class MainFrame::DesktopDialogs final : public FileDialogs {
  public:
    explicit DesktopDialogs(QWidget* parent) : parent_(parent) {}
    std::string openWaveFile() override {
        const QString path = QFileDialog::getOpenFileName(
            parent_, QStringLiteral("Open Wave file"), startIn(waveFolder_),
            QStringLiteral("Wave files (*.wav *.WAV);;All files (*)"));
        if (path.isEmpty()) return {};
        waveFolder_ = QFileInfo(path).absolutePath();
        return QFile::encodeName(path).toStdString();
    }
    std::string saveCsv(const std::string& initialName) override {
        QFileDialog dialog(
            parent_, QStringLiteral("Save As"),
            QDir(startIn(csvFolder_))
                .filePath(QString::fromStdString(initialName) + QStringLiteral(".csv")),
            QStringLiteral("Comma delimited files (*.csv)"));
        dialog.setAcceptMode(QFileDialog::AcceptSave);
        dialog.setDefaultSuffix(QStringLiteral("csv"));
        if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) return {};
        const QString path = dialog.selectedFiles().front();
        csvFolder_ = QFileInfo(path).absolutePath();
        return QFile::encodeName(path).toStdString();
    }

  private:
    static QString startIn(const QString& last) {
        if (!last.isEmpty()) return last;
        const QString documents =
            QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation);
        return QDir(documents).exists() ? documents : QDir::homePath();
    }

    QWidget* parent_;
    QString waveFolder_;
    QString csvFolder_;
};

// A file given on the command line or dropped on the window takes the dialog's place once.
class MainFrame::ChosenFileDialogs final : public FileDialogs {
  public:
    explicit ChosenFileDialogs(FileDialogs& dialogs) : dialogs_(dialogs) {}
    void choose(std::string path) { chosen_ = std::move(path); }
    std::string openWaveFile() override {
        if (chosen_.empty()) return dialogs_.openWaveFile();
        return std::exchange(chosen_, {});
    }
    std::string saveCsv(const std::string& initialName) override {
        return dialogs_.saveCsv(initialName);
    }

  private:
    FileDialogs& dialogs_;
    std::string chosen_;
};

// Monotonic, so a wall-clock change cannot upset what is measured between two blocks.
class MainFrame::SteadyClock final : public MillisecondClock {
  public:
    std::uint32_t milliseconds() override {
        const auto now = std::chrono::steady_clock::now().time_since_epoch();
        return static_cast<std::uint32_t>(
            std::chrono::duration_cast<std::chrono::milliseconds>(now).count());
    }
};

// ---- construction -----------------------------------------------------------------------------

namespace {

struct CommandText {
    const char* name;
    const char* text;
    const char* tip;
    const char* prompt;
    const char* icon;
};

// Toolbar commands in toolbar order.
const CommandText kToolCommands[] = {
    {"tuner", "Chromatic Tuner", "Chromatic Tuner", "Chromatic Tuner - on/off", "tuner"},
    {"spectrum", "Spectrum", "Spectrum ", "Spectrum display - on/off", "spectrum"},
    {"wave", "Wave form", "Wave form", "Wave form display - on/off ", "wave"},
    {"pause", "Pause", "Pause", "Pause or resume ", "pause"},
    {"earTraining", "Ear training", "Ear training", "Ear training - on/off", "ear"},
    {"skip", "Skip", " Skip ", "Advance to next note or ear training exercise", "skip"},
    {"customTuning", "Custom tuning", " Custom tuning", "Custom tuning  on/off", "custom"},
};

}  // namespace

MainFrame::MainFrame(const std::filesystem::path& folder, const FrameDevices& devices,
                     QWidget* parent)
    : QMainWindow(parent), devices_(devices), layoutTimer_(this) {
    setObjectName(QStringLiteral("MainFrame"));
    setWindowTitle(QString::asprintf("Merlop %4.2f", 3.01));
    setWindowIcon(QIcon(QStringLiteral(":/icons/merlop.svg")));
    setFocusPolicy(Qt::StrongFocus);
    setAcceptDrops(true);
    setCentralWidget(new QWidget(this));

    provideDevices();
    screenAwake_ = new ScreenAwake(this);
    createTimers();

    createActions();
    createBars();

    settings_ = std::make_unique<Settings>();
    // Always the file inside the folder, even if the folder is not one: never another file.
    settings_->fileName = (folder / Settings::kDefaultFileName).string();
    settings_->loadSettings();
    tunings_ = std::make_unique<TuningStore>(folder);
    tunings_->readTuning(settings_->currentTuning);

    core_ = std::make_unique<MainFrameCore>(
        *settings_, tunings_.get(),
        FrameServices{*this, *devices_.messages, *devices_.capture, *devices_.player, *chosenFile_,
                      *devices_.clock, *devices_.questions});
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

// What the caller did not hand in, the desktop's own devices and boxes provide.
void MainFrame::provideDevices() {
    if (devices_.messages == nullptr) {
        ownMessages_ = std::make_unique<WidgetMessageBox>(this);
        devices_.messages = ownMessages_.get();
    }
    if (devices_.questions == nullptr) {
        ownQuestions_ = std::make_unique<WidgetQuestionBox>(this);
        devices_.questions = ownQuestions_.get();
    }
    if (devices_.capture == nullptr) {
        auto capture = std::make_unique<QtWaveCapture>();
        if (!devices_.inputPending) {
            devices_.inputPending = [input = capture.get()] { return input->wholeBlockWaiting(); };
        }
        ownCapture_ = std::move(capture);
        devices_.capture = ownCapture_.get();
    }
    if (devices_.midi == nullptr) {
        ownMidi_ = std::make_unique<FluidSynthMidiOutput>();
        devices_.midi = ownMidi_.get();
    }
    if (devices_.sound == nullptr) {
        ownSound_ = std::make_unique<QtWaveSound>();
        devices_.sound = ownSound_.get();
    }
    if (devices_.player == nullptr) {
        ownPlayer_ = std::make_unique<PlayerAdapter>(*devices_.messages);
        devices_.player = ownPlayer_.get();
    }
    if (devices_.dialogs == nullptr) {
        ownDialogs_ = std::make_unique<DesktopDialogs>(this);
        devices_.dialogs = ownDialogs_.get();
    }
    chosenFile_ = std::make_unique<ChosenFileDialogs>(*devices_.dialogs);
    if (devices_.clock == nullptr) {
        ownClock_ = std::make_unique<SteadyClock>();
        devices_.clock = ownClock_.get();
    }
}

void MainFrame::createTimers() {
    // In the order of FrameTimer.
    constexpr const char* kNames[kFrameTimers] = {"startCaptureTimer", "earAnswerTimer",
                                                  "fileFeedTimer", "inputRetryTimer",
                                                  "calibrationStepTimer"};
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

void MainFrame::createActions() {
    for (const CommandText& c : kToolCommands) {
        auto* a = new QAction(QIcon(QStringLiteral(":/icons/%1.svg").arg(c.icon)),
                              QString::fromUtf8(c.text), this);
        a->setObjectName(QString::fromUtf8(c.name));
        a->setToolTip(QString::fromUtf8(c.tip));
        a->setStatusTip(QString::fromUtf8(c.prompt));
        a->setWhatsThis(QString::fromUtf8(c.prompt));
        const bool checkable = std::string_view(c.name) != "skip";
        a->setCheckable(checkable);
    }
    auto connectAction = [this](const char* name, void (MainFrameCore::*command)()) {
        connect(action(QString::fromUtf8(name)), &QAction::triggered, this, [this, command] {
            (core_.get()->*command)();
            refreshUi();
        });
    };
    connectAction("tuner", &MainFrameCore::toggleTuner);
    connectAction("spectrum", &MainFrameCore::toggleSpectrum);
    connectAction("wave", &MainFrameCore::toggleWave);
    connectAction("pause", &MainFrameCore::pause);
    connectAction("earTraining", &MainFrameCore::toggleEarTraining);
    connectAction("skip", &MainFrameCore::skip);
    connectAction("customTuning", &MainFrameCore::toggleCustomTuning);

    auto* open = new QAction(QStringLiteral("Open Wave file"), this);
    open->setObjectName(QStringLiteral("openWave"));
    open->setStatusTip(QStringLiteral("Open a Wave file"));
    open->setShortcut(QKeySequence::Open);
    connect(open, &QAction::triggered, this, [this] { core_->openWaveFile(); });

    auto* saveSpectrum = new QAction(QStringLiteral("Save Spectrum"), this);
    saveSpectrum->setObjectName(QStringLiteral("saveSpectrum"));
    saveSpectrum->setStatusTip(QStringLiteral("Save Spectrum readings"));
    connect(saveSpectrum, &QAction::triggered, this, [this] {
        core_->saveSpectrum([this] {
            return spectrum_ != nullptr ? spectrum_->scanHistory()
                                        : std::vector<SpectrumExtremum>{};
        });
        refreshUi();
    });

    auto* exit = new QAction(QStringLiteral("E&xit"), this);
    exit->setObjectName(QStringLiteral("exit"));
    exit->setStatusTip(QStringLiteral("Quit the application; prompts to save documents"));
    exit->setToolTip(QStringLiteral("Exit"));
    exit->setShortcut(QKeySequence::Quit);
    connect(exit, &QAction::triggered, this, &QWidget::close);

    auto* settings = new QAction(QStringLiteral("Settings"), this);
    settings->setObjectName(QStringLiteral("settings"));
    connect(settings, &QAction::triggered, this, [this] {
        core_->openSettings([this] {
            runSettingsSheet(this, *settings_, tunings_.get(), core_->candidates(),
                             *devices_.questions, *devices_.messages);
        });
        refreshUi();
    });

    auto* calibration = new QAction(QStringLiteral("Calibration"), this);
    calibration->setObjectName(QStringLiteral("calibration"));
    calibration->setStatusTip(QStringLiteral("Calibration"));
    connect(calibration, &QAction::triggered, this, [this] {
        core_->calibrate();
        refreshUi();
    });

    auto* help = new QAction(QIcon(QStringLiteral(":/icons/help.svg")),
                             QStringLiteral("&Help Contents"), this);
    help->setObjectName(QStringLiteral("helpContents"));
    help->setShortcut(QKeySequence::HelpContents);
    connect(help, &QAction::triggered, this, &MainFrame::showHelp);

    auto* about = new QAction(QStringLiteral("&About Merlop"), this);
    about->setObjectName(QStringLiteral("about"));
    connect(about, &QAction::triggered, this, &MainFrame::showAbout);

    QAction* whatsThis = QWhatsThis::createAction(this);
    whatsThis->setObjectName(QStringLiteral("contextHelp"));
    whatsThis->setIcon(QIcon(QStringLiteral(":/icons/context-help.svg")));
}

void MainFrame::createBars() {
    QMenu* file = menuBar()->addMenu(QStringLiteral("&File"));
    file->addAction(action(QStringLiteral("openWave")));
    file->addSeparator();
    file->addAction(action(QStringLiteral("saveSpectrum")));
    file->addAction(action(QStringLiteral("exit")));
    menuBar()->addAction(action(QStringLiteral("settings")));
    QMenu* tools = menuBar()->addMenu(QStringLiteral("&Tools"));
    tools->addAction(action(QStringLiteral("calibration")));
    QMenu* help = menuBar()->addMenu(QStringLiteral("&Help"));
    help->addAction(action(QStringLiteral("helpContents")));
    help->addSeparator();
    help->addAction(action(QStringLiteral("about")));

    toolBar_ = addToolBar(QStringLiteral("Toolbar"));
    toolBar_->setObjectName(QStringLiteral("toolBar"));
    toolBar_->setMovable(false);
    toolBar_->setFloatable(false);
    toolBar_->setIconSize(QSize(16, 16));
    toolBar_->setContextMenuPolicy(Qt::PreventContextMenu);
    bool first = true;
    for (const CommandText& c : kToolCommands) {
        if (!first) toolBar_->addSeparator();
        first = false;
        toolBar_->addAction(action(QString::fromUtf8(c.name)));
    }
    auto makeCombo = [this](const char* name, int width) {
        auto* combo = new QComboBox(toolBar_);
        combo->setObjectName(QString::fromUtf8(name));
        combo->setFixedWidth(width);
        combo->setFocusPolicy(Qt::StrongFocus);
        combo->setSizeAdjustPolicy(QComboBox::AdjustToMinimumContentsLengthWithIcon);
        combo->setMinimumContentsLength(4);
        // The drop-down list is 200 pixels high.
        combo->setMaxVisibleItems(
            std::max(1, 200 / std::max(1, combo->fontMetrics().height() + 4)));
        toolBar_->addSeparator();
        toolBar_->addWidget(combo);
        return combo;
    };
    tuningCombo_ = makeCombo("tuningCombo", 200);
    noteCombo_ = makeCombo("noteCombo", 150);
    toolBar_->addSeparator();
    toolBar_->addAction(action(QStringLiteral("contextHelp")));

    connect(tuningCombo_, &QComboBox::currentIndexChanged, this, [this](int index) {
        if (fillingCombos_ || index < 0) return;
        core_->tuningSelected(index);
        refreshUi();
    });
    connect(noteCombo_, &QComboBox::currentIndexChanged, this, [this](int index) {
        if (fillingCombos_ || index < 0) return;
        core_->noteSelected(index);
        refreshUi();
    });

    statusPane_ = new QLabel(QString::fromUtf8(kIdleStatusText), this);
    statusPane_->setObjectName(QStringLiteral("statusPane"));
    statusPane_->setMinimumWidth(1);
    statusBar()->addWidget(statusPane_, 1);
}

QAction* MainFrame::action(const QString& objectName) const {
    return findChild<QAction*>(objectName, Qt::FindDirectChildrenOnly);
}

QString MainFrame::statusText() const {
    return statusPane_->text();
}

void MainFrame::refreshUi() {
    if (core_ == nullptr) return;
    const FrameUiState s = core_->uiState();
    action(QStringLiteral("tuner"))->setChecked(s.tunerChecked);
    action(QStringLiteral("spectrum"))->setChecked(s.spectrumChecked);
    action(QStringLiteral("wave"))->setChecked(s.waveChecked);
    action(QStringLiteral("pause"))->setChecked(s.pauseChecked);
    action(QStringLiteral("pause"))->setEnabled(s.pauseEnabled);
    action(QStringLiteral("earTraining"))->setChecked(s.earTrainingChecked);
    action(QStringLiteral("skip"))->setEnabled(s.skipEnabled);
    action(QStringLiteral("customTuning"))->setChecked(s.customTuningChecked);
    noteCombo_->setEnabled(s.noteComboEnabled);
    tuningCombo_->setEnabled(s.tuningComboEnabled);
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
    event->accept();
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

void MainFrame::keyPressEvent(QKeyEvent* event) {
    if (event->key() == Qt::Key_Space && !event->isAutoRepeat()) {
        core_->onSpaceKey();
        refreshUi();
    }
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
    if (help_ == nullptr) {
        help_ = new QTextBrowser();
        help_->setAttribute(Qt::WA_DeleteOnClose);
        help_->setObjectName(QStringLiteral("helpWindow"));
        help_->setWindowTitle(QStringLiteral("Merlop Help"));
        help_->setWindowIcon(windowIcon());
        help_->setOpenExternalLinks(true);
        help_->setSource(QUrl(QStringLiteral("qrc:/guide/index.html")));
        help_->resize(640, 720);
    }
    help_->show();
    help_->raise();
    help_->activateWindow();
    core_->applyMode();
    refreshUi();
}

void MainFrame::showAbout() {
    QDialog box(this);
    box.setObjectName(QStringLiteral("aboutBox"));
    box.setWindowTitle(QStringLiteral("About Merlop"));
    auto* icon = new QLabel(&box);
    icon->setPixmap(windowIcon().pixmap(32, 32));
    auto* text = new QLabel(QStringLiteral("Merlop Version 3.01"), &box);
    auto* ok = new QPushButton(QStringLiteral("OK"), &box);
    ok->setDefault(true);
    connect(ok, &QPushButton::clicked, &box, &QDialog::accept);
    auto* row = new QHBoxLayout;
    row->addWidget(icon);
    row->addSpacing(12);
    row->addWidget(text, 1);
    auto* buttons = new QHBoxLayout;
    buttons->addStretch(1);
    buttons->addWidget(ok);
    auto* column = new QVBoxLayout(&box);
    column->addLayout(row);
    column->addStretch(1);
    column->addLayout(buttons);
    // 186 x 95 dialog units of the dialog's font.
    const QFontMetrics fm(box.font());
    const int baseX = fm.averageCharWidth();
    const int baseY = fm.height();
    box.setMinimumSize(186 * baseX / 4, 95 * baseY / 8);
    box.exec();
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
    statusPane_->setText(QString::fromStdString(text));
}

void MainFrame::fillTuningCombo(const std::vector<std::string>& items, int selected) {
    fillingCombos_ = true;
    tuningCombo_->clear();
    for (const std::string& item : items) tuningCombo_->addItem(QString::fromStdString(item));
    tuningCombo_->setCurrentIndex(selected);
    fillingCombos_ = false;
}

void MainFrame::fillNoteCombo(const std::vector<std::string>& items, int selected) {
    fillingCombos_ = true;
    noteCombo_->clear();
    for (const std::string& item : items) noteCombo_->addItem(QString::fromStdString(item));
    noteCombo_->setCurrentIndex(selected);
    fillingCombos_ = false;
}

int MainFrame::toolBarHeight() const {
    return toolBar_->sizeHint().height();
}

int MainFrame::statusBarHeight() const {
    return statusBar()->sizeHint().height();
}

QRect MainFrame::toWindow(const PixelRect& r) const {
    const int menu = menuBar()->isVisible() ? menuBar()->height() : 0;
    return QRect(r.left, r.top + menu, std::max(0, r.right - r.left),
                 std::max(0, r.bottom - r.top));
}

void MainFrame::placeFramed(QWidget* display, const PixelRect& r, const QString& frameName) {
    // Each display in a panel of its own, so that no scale reads as part of its neighbour.
    auto* frame = new QFrame(this);
    frame->setObjectName(frameName);
    frame->setFrameStyle(QFrame::Panel | QFrame::Raised);
    frame->setLineWidth(2);
    // The white and dark grey of the displays' own raised edges, whatever the style's are.
    QPalette colours = frame->palette();
    colours.setColor(QPalette::Light, QColor(255, 255, 255));
    colours.setColor(QPalette::Dark, QColor(96, 96, 96));
    frame->setPalette(colours);
    frame->setGeometry(toWindow(r));
    frame->stackUnder(display);
    frame->show();
    displayFrames_.push_back(frame);
    display->setGeometry(frame->contentsRect().translated(frame->pos()));
}

namespace {

// The frame keeps the keyboard, so that Space always reaches it.
void leaveFocusToFrame(QWidget* display) {
    display->setFocusPolicy(Qt::NoFocus);
    for (QWidget* child : display->findChildren<QWidget*>()) child->setFocusPolicy(Qt::NoFocus);
}

}  // namespace

CycleSinks MainFrame::createDisplays(const DisplayRequest& request) {
    destroyDisplays();
    CycleSinks sinks;
    // Behind a slow analysis the display skips to the newest block rather than lag the sound.
    sinks.inputPending = devices_.inputPending;
    if (request.shown.tuner) {
        tuner_ =
            new TunerWindow(*settings_, core_->pitch(), tunings_.get(), request.customNoteIndex,
                            request.calibrating, request.config.calibrationFactor, *devices_.midi,
                            *devices_.sound, this, this);
        tuner_->setObjectName(QStringLiteral("tunerWindow"));
        placeFramed(tuner_, request.rects.tuner, QStringLiteral("tunerFrame"));
        tuner_->show();
        leaveFocusToFrame(tuner_);
        sinks.reading = tuner_;
    }
    if (request.shown.spectrum) {
        spectrum_ = new SpectrumWindow(*settings_, request.spectrumBand, this, devices_.messages);
        spectrum_->setObjectName(QStringLiteral("spectrumWindow"));
        placeFramed(spectrum_, request.rects.spectrum, QStringLiteral("spectrumFrame"));
        spectrum_->show();
        leaveFocusToFrame(spectrum_);
        sinks.spectrum = spectrum_;
    }
    if (request.shown.wave) {
        wave_ =
            new WaveFormWindow(*settings_, request.config.analysisLength, this, devices_.messages);
        wave_->setObjectName(QStringLiteral("waveWindow"));
        placeFramed(wave_, request.rects.wave, QStringLiteral("waveFrame"));
        wave_->show();
        leaveFocusToFrame(wave_);
        sinks.wave = wave_;
    }
    return sinks;
}

void MainFrame::destroyDisplays() {
    delete tuner_;
    tuner_ = nullptr;
    delete spectrum_;
    spectrum_ = nullptr;
    delete wave_;
    wave_ = nullptr;
    for (QFrame* frame : displayFrames_) delete frame;
    displayFrames_.clear();
}

void MainFrame::focusFrame() {
    setFocus(Qt::OtherFocusReason);
}

void MainFrame::postClose() {
    // After any box reported before it, so a message is read before the window goes.
    auto closeLater = [self = QPointer<MainFrame>(this)] {
        if (self != nullptr) self->close();
    };
    if (ownMessages_ != nullptr) {
        ownMessages_->afterBoxes(closeLater);
    } else {
        QMetaObject::invokeMethod(this, closeLater, Qt::QueuedConnection);
    }
}

void MainFrame::setDisplaysPaused(bool spectrum, bool /*wave*/, bool paused) {
    // The wave form freezes by itself: no blocks reach it while paused.
    if (spectrum && spectrum_ != nullptr) spectrum_->setPaused(paused);
}

void MainFrame::tunerStopTone() {
    if (tuner_ != nullptr) tuner_->stopTone();
}

void MainFrame::tunerRetryTone() {
    if (tuner_ != nullptr) tuner_->retryTone();
}

void MainFrame::tunerPlayTuningNote() {
    if (tuner_ != nullptr) tuner_->playNote(0, true);
}

void MainFrame::keepScreenAwake(bool awake) {
    if (screenAwake_ != nullptr) screenAwake_->setAwake(awake);
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
    if (tuner_ != nullptr) tuner_->playExercise(exercise);
}

}  // namespace merlop
