#include "app/qt/frame_bars.h"

#include <QAction>
#include <QComboBox>
#include <QCoreApplication>
#include <QIcon>
#include <QLabel>
#include <QMainWindow>
#include <QMenuBar>
#include <QStatusBar>
#include <QStyle>
#include <QStyleOptionComboBox>
#include <QToolBar>
#include <QToolButton>
#include <QWhatsThis>
#include <algorithm>
#include <string_view>

#include "app/mainframe.h"
#include "app/qt/level_meter.h"
#include "common/translation.h"

namespace merlop {

namespace {

struct Texts {
    Q_DECLARE_TR_FUNCTIONS(FrameBars)
};

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
    {&FrameBars::tuner, "tuner", QT_TRANSLATE_NOOP("FrameBars", "Chromatic Tuner"),
     QT_TRANSLATE_NOOP("FrameBars", "Chromatic Tuner"),
     QT_TRANSLATE_NOOP("FrameBars", "Chromatic Tuner - on/off"), "tuner"},
    {&FrameBars::spectrum, "spectrum", QT_TRANSLATE_NOOP("FrameBars", "Spectrum"),
     QT_TRANSLATE_NOOP("FrameBars", "Spectrum "),
     QT_TRANSLATE_NOOP("FrameBars", "Spectrum display - on/off"), "spectrum"},
    {&FrameBars::wave, "wave", QT_TRANSLATE_NOOP("FrameBars", "Wave form"),
     QT_TRANSLATE_NOOP("FrameBars", "Wave form"),
     QT_TRANSLATE_NOOP("FrameBars", "Wave form display - on/off "), "wave"},
    {&FrameBars::strobe, "strobe", QT_TRANSLATE_NOOP("FrameBars", "Strobe"),
     QT_TRANSLATE_NOOP("FrameBars", "Strobe"),
     QT_TRANSLATE_NOOP("FrameBars", "Strobe under the tuner - on/off"), "strobe"},
    {&FrameBars::pause, "pause", QT_TRANSLATE_NOOP("FrameBars", "Pause"),
     QT_TRANSLATE_NOOP("FrameBars", "Pause"), QT_TRANSLATE_NOOP("FrameBars", "Pause or resume "),
     "pause"},
    {&FrameBars::earTraining, "earTraining", QT_TRANSLATE_NOOP("FrameBars", "Ear training"),
     QT_TRANSLATE_NOOP("FrameBars", "Ear training"),
     QT_TRANSLATE_NOOP("FrameBars", "Ear training - on/off"), "ear"},
    {&FrameBars::skip, "skip", QT_TRANSLATE_NOOP("FrameBars", "Skip"),
     QT_TRANSLATE_NOOP("FrameBars", " Skip "),
     QT_TRANSLATE_NOOP("FrameBars", "Advance to next note or ear training exercise"), "skip"},
    {&FrameBars::customTuning, "customTuning", QT_TRANSLATE_NOOP("FrameBars", "Custom tuning"),
     QT_TRANSLATE_NOOP("FrameBars", " Custom tuning"),
     QT_TRANSLATE_NOOP("FrameBars", "Custom tuning  on/off"), "custom"},
};

void createToolActions(QMainWindow& window, FrameBars& bars) {
    for (const CommandText& c : kToolCommands) {
        auto* a = new QAction(QIcon(QStringLiteral(":/icons/%1.svg").arg(c.icon)),
                              Texts::tr(c.text), &window);
        a->setObjectName(QString::fromUtf8(c.name));
        a->setToolTip(Texts::tr(c.tip));
        a->setStatusTip(Texts::tr(c.prompt));
        a->setWhatsThis(Texts::tr(c.prompt));
        const bool checkable = std::string_view(c.name) != "skip";
        a->setCheckable(checkable);
        bars.*c.action = a;
    }
}

void createFileActions(QMainWindow& window, FrameBars& bars) {
    bars.openWave = new QAction(Texts::tr("Open Wave file"), &window);
    bars.openWave->setObjectName(QStringLiteral("openWave"));
    bars.openWave->setStatusTip(Texts::tr("Open a Wave file"));
    bars.openWave->setShortcut(QKeySequence::Open);

    bars.saveSpectrum = new QAction(Texts::tr("Save Spectrum"), &window);
    bars.saveSpectrum->setObjectName(QStringLiteral("saveSpectrum"));
    bars.saveSpectrum->setStatusTip(Texts::tr("Save Spectrum readings"));

    bars.importScala = new QAction(Texts::tr("Import Scala Scale\u2026"), &window);
    bars.importScala->setObjectName(QStringLiteral("importScala"));
    bars.importScala->setStatusTip(
        Texts::tr("Adds a Scala scale as a temperament or a custom tuning"));
    bars.exportScala = new QAction(Texts::tr("Export Scala Scale\u2026"), &window);
    bars.exportScala->setObjectName(QStringLiteral("exportScala"));
    bars.exportScala->setStatusTip(
        Texts::tr("Writes the temperament in use as a Scala scale, for other programs"));

    bars.exit = new QAction(Texts::tr("E&xit"), &window);
    bars.exit->setObjectName(QStringLiteral("exit"));
    bars.exit->setStatusTip(Texts::tr("Quit the application; prompts to save documents"));
    bars.exit->setToolTip(Texts::tr("Exit"));
    bars.exit->setShortcut(QKeySequence::Quit);
}

QAction* checkable(QMainWindow& window, const char* name, const QString& text, const QString& tip) {
    auto* a = new QAction(text, &window);
    a->setObjectName(QString::fromUtf8(name));
    a->setCheckable(true);
    a->setStatusTip(tip);
    return a;
}

void createPlayerActions(QMainWindow& window, FrameBars& bars) {
    bars.inputLevel =
        checkable(window, "inputLevel", Texts::tr("Input Level"),
                  Texts::tr("Shows the input level and whether the tuner hears a note"));
    bars.fullScreen = checkable(window, "fullScreen", Texts::tr("Full Screen"),
                                Texts::tr("The tuner alone fills the screen"));
    // The desktop's own key, and F11 wherever that is another.
    QList<QKeySequence> keys = QKeySequence::keyBindings(QKeySequence::FullScreen);
    if (!keys.contains(QKeySequence(Qt::Key_F11))) keys.append(QKeySequence(Qt::Key_F11));
    bars.fullScreen->setShortcuts(keys);
    bars.inputDevice = new QAction(Texts::tr("Input Device\u2026"), &window);
    bars.inputDevice->setObjectName(QStringLiteral("inputDevice"));
    bars.inputDevice->setStatusTip(Texts::tr("Chooses the microphone or input to listen to"));
    bars.hold = checkable(window, "hold", Texts::tr("Hold"),
                          Texts::tr("Holds the tuner's reading - on/off (H)"));
    bars.hold->setIcon(QIcon(QStringLiteral(":/icons/hold.svg")));
    bars.hold->setToolTip(Texts::tr("Hold (H)"));
    bars.hold->setWhatsThis(bars.hold->statusTip());
    bars.hold->setShortcut(QKeySequence(Qt::Key_H));
}

QAction* command(QMainWindow& window, const char* name, const QString& text, const QString& tip) {
    auto* a = new QAction(text, &window);
    a->setObjectName(QString::fromUtf8(name));
    a->setStatusTip(tip);
    return a;
}

void createPianoActions(QMainWindow& window, FrameBars& bars) {
    bars.measurePiano = command(window, "measurePiano", Texts::tr("Measure Inharmonicity\u2026"),
                                Texts::tr("Measures how far a piano string's partials run sharp"));
    bars.stretchPiano = command(window, "stretchPiano", Texts::tr("Create Stretched Tuning\u2026"),
                                Texts::tr("Makes a piano tuning stretched for the keys measured"));
    bars.clearPiano = command(window, "clearPiano", Texts::tr("Clear Inharmonicity Measurements"),
                              Texts::tr("Forgets the piano keys measured"));
}

void createToolsAndHelpActions(QMainWindow& window, FrameBars& bars) {
    bars.settings = new QAction(Texts::tr("Settings"), &window);
    bars.settings->setObjectName(QStringLiteral("settings"));

    bars.calibration = new QAction(Texts::tr("Calibration"), &window);
    bars.calibration->setObjectName(QStringLiteral("calibration"));
    bars.calibration->setStatusTip(Texts::tr("Calibration"));

    bars.autoSensitivity = new QAction(Texts::tr("Automatic Sensitivity"), &window);
    bars.autoSensitivity->setObjectName(QStringLiteral("autoSensitivity"));
    bars.autoSensitivity->setCheckable(true);
    bars.autoSensitivity->setStatusTip(
        Texts::tr("The level threshold follows the noise of the input"));

    bars.keepListening = new QAction(Texts::tr("Keep Listening in Background"), &window);
    bars.keepListening->setObjectName(QStringLiteral("keepListening"));
    bars.keepListening->setCheckable(true);
    bars.keepListening->setStatusTip(
        Texts::tr("The tuner listens on while another window has the focus"));

    bars.inTuneColour = new QAction(Texts::tr("In-Tune Colour"), &window);
    bars.inTuneColour->setObjectName(QStringLiteral("inTuneColour"));
    bars.inTuneColour->setCheckable(true);
    bars.inTuneColour->setStatusTip(Texts::tr("The meter turns green while the note is in tune"));

    bars.inTuneTolerance = new QAction(Texts::tr("In-Tune Tolerance\u2026"), &window);
    bars.inTuneTolerance->setObjectName(QStringLiteral("inTuneTolerance"));
    bars.inTuneTolerance->setStatusTip(
        Texts::tr("How close to its note a reading counts as in tune"));

    bars.addPreset = new QAction(Texts::tr("Add Preset Tuning\u2026"), &window);
    bars.addPreset->setObjectName(QStringLiteral("addPreset"));
    bars.addPreset->setStatusTip(
        Texts::tr("Adds a common bass, ukulele, string or guitar tuning to the tunings"));

    bars.helpContents = new QAction(QIcon(QStringLiteral(":/icons/help.svg")),
                                    Texts::tr("&Help Contents"), &window);
    bars.helpContents->setObjectName(QStringLiteral("helpContents"));
    bars.helpContents->setShortcut(QKeySequence::HelpContents);

    bars.about = new QAction(Texts::tr("&About Merlop"), &window);
    bars.about->setObjectName(QStringLiteral("about"));

    bars.contextHelp = QWhatsThis::createAction(&window);
    bars.contextHelp->setObjectName(QStringLiteral("contextHelp"));
    // Ours, so it is in the player's language even where Qt has no catalogue of that language.
    bars.contextHelp->setText(Texts::tr("What's This?"));
    bars.contextHelp->setIcon(QIcon(QStringLiteral(":/icons/context-help.svg")));
}

void createMenus(QMainWindow& window, const FrameBars& bars) {
    QMenuBar* menus = window.menuBar();
    QMenu* file = menus->addMenu(Texts::tr("&File"));
    file->addAction(bars.openWave);
    file->addSeparator();
    file->addAction(bars.saveSpectrum);
    file->addSeparator();
    file->addAction(bars.importScala);
    file->addAction(bars.exportScala);
    file->addSeparator();
    file->addAction(bars.exit);
    QMenu* view = menus->addMenu(Texts::tr("&View"));
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
    QMenu* tools = menus->addMenu(Texts::tr("&Tools"));
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
    QMenu* help = menus->addMenu(Texts::tr("&Help"));
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

}  // namespace

void fitComboToEntries(QComboBox& combo, const QStringList& sources, int least) {
    const QFontMetrics metrics = combo.fontMetrics();
    QStyleOptionComboBox option;
    option.initFrom(&combo);
    // What the frame and the arrow take of the width.
    const int chrome =
        combo.style()
            ->sizeFromContents(QStyle::CT_ComboBox, &option, QSize(0, metrics.height()), &combo)
            .width();
    int width = least;
    for (int i = 0; i < combo.count() && i < sources.size(); ++i) {
        if (chrome + metrics.horizontalAdvance(sources[i].trimmed()) > least) continue;
        width = std::max(width, chrome + metrics.horizontalAdvance(combo.itemText(i).trimmed()));
    }
    combo.setFixedWidth(std::min(width, 2 * least));
}

namespace {

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
    bars.toolBar = window.addToolBar(Texts::tr("Toolbar"));
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
    bars.tuningCombo = addCombo(*bars.toolBar, "tuningCombo", kTuningComboWidth);
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
    bars.statusPane =
        new QLabel(QString::fromStdString(translate("MainFrame", kIdleStatusText)), &window);
    bars.statusPane->setObjectName(QStringLiteral("statusPane"));
    bars.statusPane->setMinimumWidth(1);
    window.statusBar()->addWidget(bars.statusPane, 1);
    bars.levelMeter = new LevelMeter(&window);
    bars.levelMeter->setVisible(false);
    window.statusBar()->addPermanentWidget(bars.levelMeter);
    return bars;
}

}  // namespace merlop
