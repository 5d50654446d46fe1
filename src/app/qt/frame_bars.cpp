#include "app/qt/frame_bars.h"

#include <QAction>
#include <QComboBox>
#include <QIcon>
#include <QLabel>
#include <QMainWindow>
#include <QMenuBar>
#include <QStatusBar>
#include <QToolBar>
#include <QToolButton>
#include <QWhatsThis>
#include <algorithm>
#include <string_view>

#include "app/mainframe.h"
#include "app/qt/level_meter.h"

namespace merlop {

namespace {

struct CommandText {
    QAction* FrameBars::*action;
    const char* name;
    const char* text;
    const char* tip;
    const char* prompt;
    const char* icon;
};

// Toolbar commands in toolbar order.
const CommandText kToolCommands[] = {
    {&FrameBars::tuner, "tuner", "Chromatic Tuner", "Chromatic Tuner", "Chromatic Tuner - on/off",
     "tuner"},
    {&FrameBars::spectrum, "spectrum", "Spectrum", "Spectrum ", "Spectrum display - on/off",
     "spectrum"},
    {&FrameBars::wave, "wave", "Wave form", "Wave form", "Wave form display - on/off ", "wave"},
    {&FrameBars::strobe, "strobe", "Strobe", "Strobe", "Strobe under the tuner - on/off", "strobe"},
    {&FrameBars::pause, "pause", "Pause", "Pause", "Pause or resume ", "pause"},
    {&FrameBars::earTraining, "earTraining", "Ear training", "Ear training",
     "Ear training - on/off", "ear"},
    {&FrameBars::skip, "skip", "Skip", " Skip ", "Advance to next note or ear training exercise",
     "skip"},
    {&FrameBars::customTuning, "customTuning", "Custom tuning", " Custom tuning",
     "Custom tuning  on/off", "custom"},
};

void createToolActions(QMainWindow& window, FrameBars& bars) {
    for (const CommandText& c : kToolCommands) {
        auto* a = new QAction(QIcon(QStringLiteral(":/icons/%1.svg").arg(c.icon)),
                              QString::fromUtf8(c.text), &window);
        a->setObjectName(QString::fromUtf8(c.name));
        a->setToolTip(QString::fromUtf8(c.tip));
        a->setStatusTip(QString::fromUtf8(c.prompt));
        a->setWhatsThis(QString::fromUtf8(c.prompt));
        const bool checkable = std::string_view(c.name) != "skip";
        a->setCheckable(checkable);
        bars.*c.action = a;
    }
}

void createFileActions(QMainWindow& window, FrameBars& bars) {
    bars.openWave = new QAction(QStringLiteral("Open Wave file"), &window);
    bars.openWave->setObjectName(QStringLiteral("openWave"));
    bars.openWave->setStatusTip(QStringLiteral("Open a Wave file"));
    bars.openWave->setShortcut(QKeySequence::Open);

    bars.saveSpectrum = new QAction(QStringLiteral("Save Spectrum"), &window);
    bars.saveSpectrum->setObjectName(QStringLiteral("saveSpectrum"));
    bars.saveSpectrum->setStatusTip(QStringLiteral("Save Spectrum readings"));

    bars.importScala = new QAction(QString::fromUtf8("Import Scala Scale\u2026"), &window);
    bars.importScala->setObjectName(QStringLiteral("importScala"));
    bars.importScala->setStatusTip(
        QStringLiteral("Adds a Scala scale as a temperament or a custom tuning"));
    bars.exportScala = new QAction(QString::fromUtf8("Export Scala Scale\u2026"), &window);
    bars.exportScala->setObjectName(QStringLiteral("exportScala"));
    bars.exportScala->setStatusTip(
        QStringLiteral("Writes the temperament in use as a Scala scale, for other programs"));

    bars.exit = new QAction(QStringLiteral("E&xit"), &window);
    bars.exit->setObjectName(QStringLiteral("exit"));
    bars.exit->setStatusTip(QStringLiteral("Quit the application; prompts to save documents"));
    bars.exit->setToolTip(QStringLiteral("Exit"));
    bars.exit->setShortcut(QKeySequence::Quit);
}

QAction* checkable(QMainWindow& window, const char* name, const QString& text, const char* tip) {
    auto* a = new QAction(text, &window);
    a->setObjectName(QString::fromUtf8(name));
    a->setCheckable(true);
    a->setStatusTip(QString::fromUtf8(tip));
    return a;
}

void createPlayerActions(QMainWindow& window, FrameBars& bars) {
    bars.inputLevel = checkable(window, "inputLevel", QStringLiteral("Input Level"),
                                "Shows the input level and whether the tuner hears a note");
    bars.fullScreen = checkable(window, "fullScreen", QStringLiteral("Full Screen"),
                                "The tuner alone fills the screen");
    // The desktop's own key, and F11 wherever that is another.
    QList<QKeySequence> keys = QKeySequence::keyBindings(QKeySequence::FullScreen);
    if (!keys.contains(QKeySequence(Qt::Key_F11))) keys.append(QKeySequence(Qt::Key_F11));
    bars.fullScreen->setShortcuts(keys);
    bars.inputDevice = new QAction(QString::fromUtf8("Input Device\u2026"), &window);
    bars.inputDevice->setObjectName(QStringLiteral("inputDevice"));
    bars.inputDevice->setStatusTip(QStringLiteral("Chooses the microphone or input to listen to"));
    bars.hold =
        checkable(window, "hold", QStringLiteral("Hold"), "Holds the tuner's reading - on/off (H)");
    bars.hold->setIcon(QIcon(QStringLiteral(":/icons/hold.svg")));
    bars.hold->setToolTip(QStringLiteral("Hold (H)"));
    bars.hold->setWhatsThis(bars.hold->statusTip());
    bars.hold->setShortcut(QKeySequence(Qt::Key_H));
}

QAction* command(QMainWindow& window, const char* name, const char* text, const char* tip) {
    auto* a = new QAction(QString::fromUtf8(text), &window);
    a->setObjectName(QString::fromUtf8(name));
    a->setStatusTip(QString::fromUtf8(tip));
    return a;
}

void createPianoActions(QMainWindow& window, FrameBars& bars) {
    bars.measurePiano = command(window, "measurePiano", "Measure Inharmonicity\u2026",
                                "Measures how far a piano string's partials run sharp");
    bars.stretchPiano = command(window, "stretchPiano", "Create Stretched Tuning\u2026",
                                "Makes a piano tuning stretched for the keys measured");
    bars.clearPiano = command(window, "clearPiano", "Clear Inharmonicity Measurements",
                              "Forgets the piano keys measured");
}

void createToolsAndHelpActions(QMainWindow& window, FrameBars& bars) {
    bars.settings = new QAction(QStringLiteral("Settings"), &window);
    bars.settings->setObjectName(QStringLiteral("settings"));

    bars.calibration = new QAction(QStringLiteral("Calibration"), &window);
    bars.calibration->setObjectName(QStringLiteral("calibration"));
    bars.calibration->setStatusTip(QStringLiteral("Calibration"));

    bars.autoSensitivity = new QAction(QStringLiteral("Automatic Sensitivity"), &window);
    bars.autoSensitivity->setObjectName(QStringLiteral("autoSensitivity"));
    bars.autoSensitivity->setCheckable(true);
    bars.autoSensitivity->setStatusTip(
        QStringLiteral("The level threshold follows the noise of the input"));

    bars.keepListening = new QAction(QStringLiteral("Keep Listening in Background"), &window);
    bars.keepListening->setObjectName(QStringLiteral("keepListening"));
    bars.keepListening->setCheckable(true);
    bars.keepListening->setStatusTip(
        QStringLiteral("The tuner listens on while another window has the focus"));

    bars.inTuneColour = new QAction(QStringLiteral("In-Tune Colour"), &window);
    bars.inTuneColour->setObjectName(QStringLiteral("inTuneColour"));
    bars.inTuneColour->setCheckable(true);
    bars.inTuneColour->setStatusTip(
        QStringLiteral("The meter turns green while the note is in tune"));

    bars.inTuneTolerance = new QAction(QString::fromUtf8("In-Tune Tolerance\u2026"), &window);
    bars.inTuneTolerance->setObjectName(QStringLiteral("inTuneTolerance"));
    bars.inTuneTolerance->setStatusTip(
        QStringLiteral("How close to its note a reading counts as in tune"));

    bars.addPreset = new QAction(QString::fromUtf8("Add Preset Tuning\u2026"), &window);
    bars.addPreset->setObjectName(QStringLiteral("addPreset"));
    bars.addPreset->setStatusTip(
        QStringLiteral("Adds a common bass, ukulele, string or guitar tuning to the tunings"));

    bars.helpContents = new QAction(QIcon(QStringLiteral(":/icons/help.svg")),
                                    QStringLiteral("&Help Contents"), &window);
    bars.helpContents->setObjectName(QStringLiteral("helpContents"));
    bars.helpContents->setShortcut(QKeySequence::HelpContents);

    bars.about = new QAction(QStringLiteral("&About Merlop"), &window);
    bars.about->setObjectName(QStringLiteral("about"));

    bars.contextHelp = QWhatsThis::createAction(&window);
    bars.contextHelp->setObjectName(QStringLiteral("contextHelp"));
    bars.contextHelp->setIcon(QIcon(QStringLiteral(":/icons/context-help.svg")));
}

void createMenus(QMainWindow& window, const FrameBars& bars) {
    QMenuBar* menus = window.menuBar();
    QMenu* file = menus->addMenu(QStringLiteral("&File"));
    file->addAction(bars.openWave);
    file->addSeparator();
    file->addAction(bars.saveSpectrum);
    file->addSeparator();
    file->addAction(bars.importScala);
    file->addAction(bars.exportScala);
    file->addSeparator();
    file->addAction(bars.exit);
    QMenu* view = menus->addMenu(QStringLiteral("&View"));
    // The toolbar's commands too, so that the keyboard alone reaches every one.
    view->addActions({bars.tuner, bars.spectrum, bars.wave, bars.pause});
    view->addSeparator();
    view->addAction(bars.inTuneColour);
    view->addAction(bars.inTuneTolerance);
    view->addSeparator();
    view->addAction(bars.strobe);
    view->addAction(bars.inputLevel);
    view->addAction(bars.hold);
    view->addAction(bars.fullScreen);
    menus->addAction(bars.settings);
    QMenu* tools = menus->addMenu(QStringLiteral("&Tools"));
    tools->addAction(bars.calibration);
    tools->addAction(bars.autoSensitivity);
    tools->addAction(bars.keepListening);
    tools->addAction(bars.inputDevice);
    tools->addSeparator();
    tools->addAction(bars.addPreset);
    tools->addSeparator();
    tools->addAction(bars.measurePiano);
    tools->addAction(bars.stretchPiano);
    tools->addAction(bars.clearPiano);
    tools->addSeparator();
    tools->addActions({bars.earTraining, bars.customTuning, bars.skip});
    QMenu* help = menus->addMenu(QStringLiteral("&Help"));
    help->addAction(bars.helpContents);
    help->addSeparator();
    help->addAction(bars.about);
}

QComboBox* addCombo(QToolBar& toolBar, const char* name, int width) {
    auto* combo = new QComboBox(&toolBar);
    combo->setObjectName(QString::fromUtf8(name));
    combo->setFixedWidth(width);
    combo->setFocusPolicy(Qt::StrongFocus);
    combo->setSizeAdjustPolicy(QComboBox::AdjustToMinimumContentsLengthWithIcon);
    combo->setMinimumContentsLength(4);
    // The drop-down list is 200 pixels high.
    combo->setMaxVisibleItems(std::max(1, 200 / std::max(1, combo->fontMetrics().height() + 4)));
    toolBar.addSeparator();
    toolBar.addWidget(combo);
    return combo;
}

// Tab reaches every toolbar control in toolbar order, after the button a narrow window shows for
// the ones that do not fit: once Space has opened it, the next Tabs go through them all.
void chainToolBarFocus(QToolBar& toolBar) {
    QWidget* previous = nullptr;
    const auto chain = [&previous](QWidget* w) {
        if (w == nullptr) return;
        if (w->focusPolicy() == Qt::NoFocus) w->setFocusPolicy(Qt::TabFocus);
        if (previous != nullptr) QWidget::setTabOrder(previous, w);
        previous = w;
    };
    chain(toolBar.findChild<QToolButton*>(QStringLiteral("qt_toolbar_ext_button"),
                                          Qt::FindDirectChildrenOnly));
    for (QAction* a : toolBar.actions()) {
        if (!a->isSeparator()) chain(toolBar.widgetForAction(a));
    }
}

void createToolBar(QMainWindow& window, FrameBars& bars) {
    bars.toolBar = window.addToolBar(QStringLiteral("Toolbar"));
    bars.toolBar->setObjectName(QStringLiteral("toolBar"));
    bars.toolBar->setMovable(false);
    bars.toolBar->setFloatable(false);
    bars.toolBar->setIconSize(QSize(16, 16));
    bars.toolBar->setContextMenuPolicy(Qt::PreventContextMenu);
    bool first = true;
    for (const CommandText& c : kToolCommands) {
        if (!first) bars.toolBar->addSeparator();
        first = false;
        bars.toolBar->addAction(bars.*c.action);
    }
    bars.tuningCombo = addCombo(*bars.toolBar, "tuningCombo", 200);
    bars.noteCombo = addCombo(*bars.toolBar, "noteCombo", 150);
    bars.toolBar->addSeparator();
    bars.toolBar->addAction(bars.contextHelp);
    bars.toolBar->addSeparator();
    bars.toolBar->addAction(bars.hold);
    chainToolBarFocus(*bars.toolBar);
}

}  // namespace

FrameBars createFrameBars(QMainWindow& window) {
    FrameBars bars;
    createToolActions(window, bars);
    createFileActions(window, bars);
    createToolsAndHelpActions(window, bars);
    createPlayerActions(window, bars);
    createPianoActions(window, bars);
    createMenus(window, bars);
    createToolBar(window, bars);
    bars.statusPane = new QLabel(QString::fromUtf8(kIdleStatusText), &window);
    bars.statusPane->setObjectName(QStringLiteral("statusPane"));
    bars.statusPane->setMinimumWidth(1);
    window.statusBar()->addWidget(bars.statusPane, 1);
    bars.levelMeter = new LevelMeter(&window);
    bars.levelMeter->setVisible(false);
    window.statusBar()->addPermanentWidget(bars.levelMeter);
    return bars;
}

}  // namespace merlop
