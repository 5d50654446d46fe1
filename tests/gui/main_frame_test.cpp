// The tuner's main window on the offscreen platform, with a scripted sound card: what a musician
// sees and does, from the first layout to closing the window.
#include "app/qt/main_frame.h"

#include <gtest/gtest.h>

#include <QAction>
#include <QApplication>
#include <QComboBox>
#include <QDialog>
#include <QDir>
#include <QFrame>
#include <QKeyEvent>
#include <QLabel>
#include <QMenu>
#include <QMenuBar>
#include <QStatusBar>
#include <QTextBrowser>
#include <QTimer>
#include <QToolBar>
#include <QWidget>
#include <cmath>
#include <fstream>

#include "app/qt/language.h"
#include "app/qt/level_meter.h"
#include "audio/riff_wave.h"
#include "common/question_box.h"
#include "display/qt/meter_window.h"
#include "display/qt/piano_wnd.h"
#include "display/qt/spectrum_window.h"
#include "display/qt/strobe_panel.h"
#include "display/qt/tuner_window.h"
#include "display/qt/wave_form_window.h"
#include "gui/catalogue.h"
#include "gui/frame_fixture.h"
#include "gui/tone_fakes.h"
#include "platform/scripted_capture.h"
#include "settings/settings.h"
#include "settings/test_files.h"
#include "settings/tuning_store.h"

namespace merlop {
namespace {

using testing::TempDir;

void save(QWidget& w, const QString& name) {
    QDir().mkpath(MERLOP_SCREENSHOT_DIR);
    ASSERT_TRUE(w.grab().toImage().save(QString(MERLOP_SCREENSHOT_DIR) + "/" + name + ".png"));
}

class MainFrameWindow : public testing::FrameFixture {
  protected:
    // What the 500 ms timer and the device's open notice do.
    void startRecording() {
        auto* t = frame->findChild<QTimer*>(QStringLiteral("startCaptureTimer"));
        ASSERT_NE(t, nullptr);
        ASSERT_TRUE(t->isActive());
        t->stop();
        frame->core().onTimer(FrameTimer::startCapture);
        capture.deliver();
        ASSERT_TRUE(frame->core().recording());
    }

    void feedTone(double hz, int blocks) {
        for (int b = 0; b < blocks; ++b) {
            const int n = frame->core().cycle()->length();
            const int rate = frame->core().config().sampleRate;
            std::vector<std::uint8_t> bytes(2 * n);
            for (int i = 0; i < n; ++i) {
                const auto s = static_cast<std::int16_t>(
                    12000 * std::sin(2 * M_PI * hz * static_cast<double>(phase + i) / rate));
                bytes[2 * i] = static_cast<std::uint8_t>(s & 0xff);
                bytes[2 * i + 1] = static_cast<std::uint8_t>((s >> 8) & 0xff);
            }
            phase += n;
            capture.feed(bytes);
            capture.deliver();
        }
    }

    // The panel a display stands in, where the layout puts the display.
    QRect panelOf(const QWidget* display) const {
        QString name = display->objectName();
        const auto* panel = frame->findChild<QFrame*>(name.replace("Window", "Frame"));
        return panel != nullptr ? panel->geometry() : QRect();
    }

    QRect expected(const PixelRect& r) const {
        const int menu = frame->menuBar()->height();
        return QRect(r.left, r.top + menu, r.right - r.left, r.bottom - r.top);
    }

    long phase = 0;
};

TEST_F(MainFrameWindow, OpensWithItsBarsAndTheTunerReadsATone) {
    MainFrame& f = open();
    EXPECT_EQ(f.windowTitle(), QStringLiteral("Merlop " MERLOP_VERSION_TEXT));
    EXPECT_EQ(f.statusText(), QStringLiteral("For Help, press F1"));

    // The toolbar in its order, each command separated from the next.
    auto* bar = f.findChild<QToolBar*>(QStringLiteral("toolBar"));
    ASSERT_NE(bar, nullptr);
    QStringList order;
    for (QAction* a : bar->actions()) {
        if (a->isSeparator()) {
            order << "|";
        } else if (a->objectName().isEmpty()) {
            order << "[combo]";
        } else {
            order << a->objectName();
        }
    }
    EXPECT_EQ(order.join(' '),
              "tuner | spectrum | wave | strobe | pause | earTraining | skip | customTuning | "
              "[combo] | "
              "[combo] | contextHelp | hold");
    EXPECT_EQ(f.action("spectrum")->toolTip(), QStringLiteral("Spectrum "));
    EXPECT_EQ(f.action("wave")->statusTip(), QStringLiteral("Wave form display - on/off "));
    EXPECT_EQ(f.tuningCombo()->width(), 200);
    EXPECT_EQ(f.noteCombo()->width(), 150);
    EXPECT_EQ(f.tuningCombo()->count(), 75);
    EXPECT_TRUE(f.tuningCombo()->isEnabled());
    EXPECT_FALSE(f.noteCombo()->isEnabled());
    EXPECT_FALSE(f.action("pause")->isEnabled());  // only the tuner is shown
    EXPECT_TRUE(f.action("tuner")->isChecked());

    // The tuner fills the area between the bars, and listens half a second later.
    ASSERT_NE(f.tunerWindow(), nullptr);
    EXPECT_EQ(f.spectrumWindow(), nullptr);
    const DisplayRects rects =
        layoutDisplays(f.width(), f.height() - f.menuBar()->height(),
                       f.findChild<QToolBar*>()->sizeHint().height(),
                       f.statusBar()->sizeHint().height(), {true, false, false});
    EXPECT_EQ(panelOf(f.tunerWindow()), expected(rects.tuner));
    startRecording();

    feedTone(440.0 * std::pow(2.0, 10.0 / 1200.0), 8);  // A 4, 10 cents sharp
    const MeterModel& meter = f.tunerWindow()->meter()->model();
    EXPECT_EQ(meter.name(), "A 4");
    EXPECT_NEAR(meter.deviation(), 0.10, 0.02);
    EXPECT_NEAR(meter.frequency(), 442.55, 0.5);
    save(f, "main_frame_tuner_800x600");
}

TEST_F(MainFrameWindow, ABlockWithNewerInputWaitingIsNotDrawn) {
    MainFrame& f = open();
    startRecording();
    feedTone(440.0, 8);
    const MeterModel& meter = f.tunerWindow()->meter()->model();
    ASSERT_EQ(meter.name(), "A 4");
    inputPending = true;  // each block is stale by the time it is handed over
    feedTone(330.0, 8);
    EXPECT_EQ(meter.name(), "A 4");
    EXPECT_NEAR(meter.frequency(), 440.0, 0.5);
    inputPending = false;
    feedTone(330.0, 8);
    EXPECT_EQ(meter.name(), "E 4");
}

TEST_F(MainFrameWindow, AboutBoxIsTitledForTheProgram) {
    MainFrame& f = open();
    QString title, text;
    QTimer::singleShot(0, &f, [&] {
        auto* box = f.findChild<QDialog*>(QStringLiteral("aboutBox"));
        ASSERT_NE(box, nullptr);
        title = box->windowTitle();
        for (QLabel* l : box->findChildren<QLabel*>()) text += l->text();
        box->accept();
    });
    f.action("about")->trigger();
    EXPECT_EQ(title, QStringLiteral("About Merlop"));
    EXPECT_EQ(text, QStringLiteral("Merlop Version " MERLOP_VERSION_TEXT));
}

TEST_F(MainFrameWindow, EachDisplayStandsInAPanelOfItsOwn) {
    Settings s;
    s.showSpectrum = 1;
    s.showWaveForm = 1;
    writeConfig(s);
    MainFrame& f = open(1000, 700);
    const DisplayRects rects =
        layoutDisplays(f.width(), f.height() - f.menuBar()->height(),
                       f.findChild<QToolBar*>()->sizeHint().height(),
                       f.statusBar()->sizeHint().height(), {true, true, true});
    const std::pair<QWidget*, PixelRect> displays[] = {{f.tunerWindow(), rects.tuner},
                                                       {f.spectrumWindow(), rects.spectrum},
                                                       {f.waveWindow(), rects.wave}};
    for (const auto& [display, rect] : displays) {
        ASSERT_NE(display, nullptr);
        // The panel takes the layout's rectangle, the display a little less inside it.
        const QRect panel = panelOf(display);
        EXPECT_EQ(panel, expected(rect)) << display->objectName().toStdString();
        EXPECT_TRUE(panel.contains(display->geometry()));
        EXPECT_NE(panel, display->geometry());
        EXPECT_LE(panel.width() - display->width(), 6);
        EXPECT_LE(panel.height() - display->height(), 6);
    }
    // Between the spectrum and the wave form a line stands out from the displays' grey.
    const QImage shot = f.grab().toImage();
    const QColor grey(192, 192, 192);
    const int y = (f.waveWindow()->geometry().top() + f.waveWindow()->geometry().bottom()) / 2;
    const int edge = expected(rects.wave).left();
    EXPECT_NE(shot.pixelColor(edge - 1, y), grey);
    EXPECT_NE(shot.pixelColor(edge, y), grey);
    save(f, "main_frame_panels_1000x700");
}

TEST_F(MainFrameWindow, ToggledDisplaysAreRebuiltOnceTheDeviceHasClosed) {
    MainFrame& f = open(1000, 700);
    startRecording();

    f.action("spectrum")->trigger();
    // Reason 4: nothing is rebuilt while the device is still closing.
    EXPECT_FALSE(f.core().recording());
    EXPECT_EQ(f.spectrumWindow(), nullptr);
    capture.deliver();
    ASSERT_NE(f.spectrumWindow(), nullptr);
    EXPECT_TRUE(f.action("spectrum")->isChecked());
    EXPECT_TRUE(f.action("pause")->isEnabled());

    f.action("wave")->trigger();
    ASSERT_NE(f.waveWindow(), nullptr);
    ASSERT_NE(f.tunerWindow(), nullptr);
    const QRect tuner = panelOf(f.tunerWindow());
    const QRect spectrum = panelOf(f.spectrumWindow());
    const QRect wave = panelOf(f.waveWindow());
    EXPECT_EQ(spectrum.top(), tuner.bottom() + 1);
    EXPECT_EQ(spectrum.width(), 670);  // 67 : 33 of 1000
    EXPECT_EQ(wave.left(), 670);
    EXPECT_EQ(wave.right(), 999);

    startRecording();
    feedTone(196.0, 8);  // G 3
    EXPECT_EQ(f.tunerWindow()->meter()->model().name(), "G 3");
    save(f, "main_frame_three_displays_1000x700");

    // Space pauses the lower displays and says so.
    QKeyEvent space(QEvent::KeyPress, Qt::Key_Space, Qt::NoModifier, QStringLiteral(" "));
    QApplication::sendEvent(&f, &space);
    EXPECT_TRUE(f.core().paused());
    EXPECT_TRUE(f.spectrumWindow()->paused());
    EXPECT_EQ(f.statusText(), QStringLiteral("Pausing"));
    EXPECT_TRUE(f.action("pause")->isChecked());
}

TEST_F(MainFrameWindow, BigAndTinyWindowsLayOutWithoutOverlap) {
    Settings s;
    s.showSpectrum = 1;
    s.showWaveForm = 1;
    writeConfig(s);
    for (const QSize size : {QSize(1920, 1080), QSize(320, 200), QSize(120, 90)}) {
        MainFrame& f = open(size.width(), size.height());
        ASSERT_NE(f.tunerWindow(), nullptr);
        ASSERT_NE(f.spectrumWindow(), nullptr);
        ASSERT_NE(f.waveWindow(), nullptr);
        EXPECT_LE(f.tunerWindow()->geometry().bottom(), f.spectrumWindow()->geometry().top());
        EXPECT_LE(f.spectrumWindow()->geometry().right(), f.waveWindow()->geometry().left());
        startRecording();
        feedTone(110.0, 4);
        save(f, QString("main_frame_%1x%2").arg(size.width()).arg(size.height()));
        frame.reset();
    }
}

TEST_F(MainFrameWindow, ClosingWhileRecordingWaitsForTheDeviceThenSaves) {
    MainFrame& f = open();
    startRecording();
    f.action("spectrum")->trigger();
    capture.deliver();
    startRecording();

    EXPECT_FALSE(f.close());  // the device is still closing
    EXPECT_TRUE(f.isVisible());
    capture.deliver();  // it has closed: the close is posted again
    QApplication::processEvents();
    EXPECT_FALSE(f.isVisible());
    frame.reset();

    Settings saved;
    saved.setLocation(dir.path());
    ASSERT_EQ(saved.loadSettings(), 0);
    EXPECT_EQ(saved.showSpectrum, 1);
    EXPECT_EQ(saved.showTuner, 1);
}

TEST_F(MainFrameWindow, ClosingInCustomTuningOffersTheReadingsButASignalDropsThem) {
    {
        TuningStore store(dir.path());
        ASSERT_EQ(store.readTuning(0), 0);
        store.current().recordReadings = 1;
        ASSERT_EQ(store.saveCurrent(false), 0);
    }
    Settings s;
    s.customTuningOn = 1;
    writeConfig(s);
    dialogs.csvAnswer = (dir / "guitar.csv").string();

    MainFrame& f = open();
    startRecording();
    feedTone(110.0, 6);
    EXPECT_FALSE(f.close());
    capture.deliver();
    QApplication::processEvents();
    EXPECT_FALSE(f.isVisible());
    EXPECT_EQ(questions.asked, (std::vector<std::string>{"save custom readings ?"}));
    std::ifstream in(dir / "guitar.csv");
    std::string first, second;
    std::getline(in, first);
    std::getline(in, second);
    EXPECT_EQ(first, "E  6th string,   82.4,");
    EXPECT_EQ(second.substr(0, 28), "A  5th string,  110.0,  110.");

    // The session ends or a signal comes: nobody is there to answer.
    questions.asked.clear();
    frame.reset();
    MainFrame& g = open();
    startRecording();
    feedTone(110.0, 6);
    g.closeFromOutside();
    capture.deliver();
    QApplication::processEvents();
    EXPECT_FALSE(g.isVisible());
    EXPECT_TRUE(questions.asked.empty());
}

TEST_F(MainFrameWindow, SaveSpectrumWritesThePausedWaterfallToTheChosenFile) {
    Settings s;
    s.showSpectrum = 1;
    s.showTuner = 0;
    s.spectrum3D = 1;
    writeConfig(s);
    MainFrame& f = open();
    startRecording();
    feedTone(440.0, 8);
    f.action("pause")->trigger();
    capture.deliver();
    ASSERT_TRUE(f.core().paused());
    dialogs.csvAnswer = (dir / "spectrum.csv").string();
    f.action("saveSpectrum")->trigger();
    EXPECT_EQ(dialogs.csvOffered, (std::vector<std::string>{"spectrum"}));
    std::ifstream in(dir / "spectrum.csv");
    std::string header, line;
    std::getline(in, header);
    EXPECT_EQ(header, "Time,Hz,dB,Peak/Valley");
    // The tone's peak is among the newest slice's extrema.
    bool peakAt440 = false;
    while (std::getline(in, line)) {
        if (line.rfind("0,", 0) == 0 && line.back() == 'P') {
            const double hz = std::stod(line.substr(2));
            peakAt440 = peakAt440 || std::fabs(hz - 440.0) < 15.0;
        }
    }
    EXPECT_TRUE(peakAt440);
}

TEST_F(MainFrameWindow, AMissingConfigurationIsReportedAndNeverWritten) {
    std::filesystem::remove(dir / "merlo301.cfg");
    MainFrame& f = open();
    ASSERT_EQ(messages.shown.size(), 1u);
    EXPECT_EQ(messages.shown[0].text, "Make sure that file merlo301.cfg has been installed");
    EXPECT_EQ(messages.shown[0].caption, "Configuration file missing or corrupt");
    QApplication::processEvents();
    EXPECT_FALSE(f.isVisible());
    frame.reset();
    EXPECT_FALSE(std::filesystem::exists(dir / "merlo301.cfg"));
}

// Ticks of their own in Tools, kept in merlop.conf and never in the classic file.
TEST_F(MainFrameWindow, ToolsTicksAreKeptInTheirOwnFile) {
    const std::filesystem::path conf = dir / "merlop.conf";
    std::ofstream(conf) << "\x01\xff[analysis\nautoSensitivity=maybe\n";  // broken: defaults
    MainFrame& f = open();
    QAction* autoSensitivity = f.action("autoSensitivity");
    ASSERT_NE(autoSensitivity, nullptr);
    QMenu* tools = nullptr;
    QStringList menus;
    for (QAction* a : f.menuBar()->actions()) {
        menus << a->text();
        if (a->text() == QStringLiteral("&Tools")) tools = a->menu();
        if (a->text() == QStringLiteral("&View")) {
            EXPECT_TRUE(a->menu()->actions().contains(f.action("inTuneColour")));
            EXPECT_TRUE(a->menu()->actions().contains(f.action("inTuneTolerance")));
        }
    }
    EXPECT_EQ(menus.join(' '), QStringLiteral("&File &View Settings &Tools &Help"));
    ASSERT_NE(tools, nullptr);
    EXPECT_EQ(tools->actions().indexOf(autoSensitivity),
              tools->actions().indexOf(f.action("calibration")) + 1);
    EXPECT_EQ(tools->actions().indexOf(f.action("keepListening")),
              tools->actions().indexOf(autoSensitivity) + 1);
    ASSERT_NE(f.action("addPreset"), nullptr);
    EXPECT_TRUE(tools->actions().contains(f.action("addPreset")));
    EXPECT_EQ(f.action("addPreset")->text(), QString::fromUtf8("Add Preset Tuning\u2026"));
    for (const char* piano : {"measurePiano", "stretchPiano", "clearPiano", "inputDevice"}) {
        ASSERT_NE(f.action(piano), nullptr) << piano;
        EXPECT_TRUE(tools->actions().contains(f.action(piano))) << piano;
    }
    EXPECT_TRUE(autoSensitivity->isCheckable());
    EXPECT_TRUE(f.action("keepListening")->isCheckable());
    EXPECT_FALSE(autoSensitivity->isChecked());
    EXPECT_FALSE(f.action("keepListening")->isChecked());
    EXPECT_TRUE(messages.shown.empty());

    std::filesystem::remove(conf);
    const auto classic = testing::readBytes(dir / "merlo301.cfg");
    autoSensitivity->trigger();
    EXPECT_TRUE(autoSensitivity->isChecked());
    EXPECT_EQ(testing::readBytes(dir / "merlo301.cfg"), classic);
    std::ifstream in(conf);
    const std::string text((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    EXPECT_NE(text.find("[analysis]\nautoSensitivity=true"), std::string::npos) << text;

    frame.reset();
    EXPECT_TRUE(open().action("autoSensitivity")->isChecked());
}

TEST_F(MainFrameWindow, TheMeterTurnsGreenWithinTheInTuneTolerance) {
    std::ofstream(dir / "merlop.conf") << "[display]\ninTuneColour=true\n";
    MainFrame& f = open();
    EXPECT_TRUE(f.action("inTuneColour")->isChecked());
    startRecording();
    feedTone(440.0 * std::pow(2.0, 1.0 / 1200.0), 8);  // one cent sharp
    const MeterModel& meter = f.tunerWindow()->meter()->model();
    ASSERT_EQ(meter.name(), "A 4");
    EXPECT_TRUE(meter.inTune());
    feedTone(440.0 * std::pow(2.0, 6.0 / 1200.0), 8);
    EXPECT_FALSE(meter.inTune());
    save(f, "main_frame_out_of_tune_800x600");
}

TEST_F(MainFrameWindow, AWaveFileIsShownAsFileInputAndEndsBackOnTheCard) {
    MainFrame& f = open();
    startRecording();
    const auto path = dir / "a3.wav";
    {
        const int rate = 22050;
        const int n = rate / 2;
        std::vector<std::uint8_t> bytes(kCanonicalHeaderBytes + 2 * n);
        writeCanonicalHeader(bytes.data(), rate, 16, 2 * n);
        for (int i = 0; i < n; ++i) {
            const auto s = static_cast<std::int16_t>(12000 * std::sin(2 * M_PI * 220.0 * i / rate));
            bytes[kCanonicalHeaderBytes + 2 * i] = static_cast<std::uint8_t>(s & 0xff);
            bytes[kCanonicalHeaderBytes + 2 * i + 1] = static_cast<std::uint8_t>((s >> 8) & 0xff);
        }
        std::ofstream(path, std::ios::binary)
            .write(reinterpret_cast<const char*>(bytes.data()),
                   static_cast<std::streamsize>(bytes.size()));
    }
    f.openFile(QString::fromStdString(path.string()));
    capture.deliver();  // the live run closes (reason 5)
    EXPECT_TRUE(f.core().fileMode());
    EXPECT_EQ(f.statusText(), QStringLiteral("WAV file display"));
    f.core().onTimer(FrameTimer::startCapture);
    auto* feed = f.findChild<QTimer*>(QStringLiteral("fileFeedTimer"));
    ASSERT_NE(feed, nullptr);
    for (int i = 0; i < 1000 && f.core().fileMode(); ++i) {
        ASSERT_TRUE(feed->isActive());
        f.core().onTimer(FrameTimer::fileFeed);
    }
    EXPECT_FALSE(f.core().fileMode());
    EXPECT_GT(f.core().fileBlocksFed(), 0);
    ASSERT_NE(f.tunerWindow(), nullptr);
    EXPECT_EQ(f.statusText(), QStringLiteral("For Help, press F1"));
}

TEST_F(MainFrameWindow, HelpOpensTheBundledGuide) {
    MainFrame& f = open();
    f.action("helpContents")->trigger();
    QTextBrowser* browser = nullptr;
    for (QWidget* w : QApplication::topLevelWidgets()) {
        if (w->objectName() == QStringLiteral("helpWindow"))
            browser = qobject_cast<QTextBrowser*>(w);
    }
    ASSERT_NE(browser, nullptr);
    EXPECT_TRUE(browser->isVisible());
    EXPECT_TRUE(browser->toPlainText().contains(QStringLiteral("Tuning a guitar")));
    EXPECT_TRUE(browser->toPlainText().contains(QStringLiteral("Calibration")));
    // The ear-training words as the status bar shows them: Play while your answer is awaited,
    // Listen when the melody comes again.
    const QString guide = browser->toPlainText().simplified();
    const qsizetype answer = guide.indexOf(QStringLiteral("while you sing or play it back"));
    const qsizetype again = guide.indexOf(QStringLiteral("plays the same melody again"));
    ASSERT_GE(answer, 0);
    ASSERT_GT(again, answer);
    const QString awaited = guide.mid(answer, again - answer);
    EXPECT_TRUE(awaited.contains(QStringLiteral("status bar: Play"))) << awaited.toStdString();
    EXPECT_FALSE(awaited.contains(QStringLiteral("Listen"))) << awaited.toStdString();
    const QString replayed = guide.mid(again, guide.indexOf(QLatin1Char('.'), again) - again);
    EXPECT_TRUE(replayed.contains(QStringLiteral("status bar: Listen"))) << replayed.toStdString();
    save(*browser, "help_window");
    browser->close();
}

}  // namespace
}  // namespace merlop

namespace merlop {
namespace {

// Rows of the image inside r holding pixels of colour c.
int rowsOfColour(const QImage& image, const QRect& r, const QColor& c) {
    int rows = 0;
    for (int y = r.top(); y <= r.bottom(); ++y) {
        bool any = false;
        for (int x = r.left(); x <= r.right() && !any; ++x) any = image.pixelColor(x, y) == c;
        rows += any ? 1 : 0;
    }
    return rows;
}

QRect rectOf(const PixelRect& r) {
    return QRect(r.left, r.top, r.width(), r.height());
}

TEST_F(MainFrameWindow, HoldMarksTheMeterAndKeepsItsReadingWhileTheSpectrumGoesOn) {
    MainFrame& f = open(1000, 700);
    f.action("spectrum")->trigger();
    startRecording();
    feedTone(440.0 * std::pow(2.0, 4.0 / 1200.0), 8);
    const MeterModel& meter = f.tunerWindow()->meter()->model();
    ASSERT_EQ(meter.name(), "A 4");
    QAction* hold = f.action("hold");
    ASSERT_NE(hold, nullptr);
    EXPECT_EQ(hold->shortcut(), QKeySequence(Qt::Key_H));
    EXPECT_TRUE(hold->isEnabled());
    hold->trigger();
    EXPECT_TRUE(hold->isChecked());
    const QImage marked = f.tunerWindow()->meter()->grab().toImage();
    const QRect mark = rectOf(f.tunerWindow()->meter()->layout().holdBox);
    EXPECT_GT(rowsOfColour(marked, mark, QColor(255, 255, 0)), mark.height() / 4);

    const float before = meter.frequency();
    feedTone(523.25, 8);  // C 5
    EXPECT_EQ(meter.name(), "A 4");
    EXPECT_EQ(meter.frequency(), before);
    EXPECT_NEAR(f.core().cycle()->currentFrequency(), 523.25f, 2.0f);
    save(f, "main_frame_hold_1000x700");

    hold->trigger();
    EXPECT_EQ(rowsOfColour(f.tunerWindow()->meter()->grab().toImage(), mark, QColor(255, 255, 0)),
              0);
    feedTone(523.25, 8);
    EXPECT_EQ(meter.name(), "C 5");
}

TEST_F(MainFrameWindow, TheLevelMeterSitsInTheStatusBarWhenAskedFor) {
    MainFrame& f = open();
    auto* level = f.findChild<LevelMeter*>(QStringLiteral("levelMeter"));
    ASSERT_NE(level, nullptr);
    EXPECT_FALSE(level->isVisible());
    f.action("inputLevel")->trigger();
    capture.deliver();
    startRecording();
    feedTone(440.0, 8);
    EXPECT_TRUE(level->isVisible());
    EXPECT_NEAR(level->level().peakDbfs, 20 * std::log10(12000.0 / 32768.0), 0.3);
    EXPECT_EQ(f.statusText(), QString::fromUtf8(kListeningStatusText));
    EXPECT_GE(level->geometry().right(), f.statusBar()->width() - 40);
    save(f, "main_frame_input_level_800x600");
}

TEST_F(MainFrameWindow, FullScreenShowsTheTunerAloneWithReadoutsATallAsAThirdOfTheMeter) {
    MainFrame& f = open(1000, 700);
    f.action("spectrum")->trigger();
    QAction* full = f.action("fullScreen");
    ASSERT_NE(full, nullptr);
    EXPECT_TRUE(full->shortcuts().contains(QKeySequence(Qt::Key_F11)));
    full->trigger();
    QApplication::processEvents();
    f.layoutNow();
    capture.deliver();
    EXPECT_TRUE(full->isChecked());
    EXPECT_FALSE(f.menuBar()->isVisible());
    EXPECT_FALSE(f.findChild<QToolBar*>()->isVisible());
    EXPECT_FALSE(f.statusBar()->isVisible());
    ASSERT_NE(f.tunerWindow(), nullptr);
    EXPECT_EQ(f.spectrumWindow(), nullptr);
    EXPECT_GT(f.tunerWindow()->width(), f.width() - 8) << f.width() << "x" << f.height();
    EXPECT_GT(f.tunerWindow()->height(), f.height() - 8) << f.tunerWindow()->height();

    startRecording();
    feedTone(440.0 * std::pow(2.0, 4.0 / 1200.0), 8);
    MeterWindow* meter = f.tunerWindow()->meter();
    ASSERT_EQ(meter->model().name(), "A 4");
    EXPECT_TRUE(meter->layout().large);
    save(f, "main_frame_full_screen");

    // On a 1920 x 1080 screen the meter is the tuner's top 432 rows: its digits, drawn, stand a
    // third of that high.
    MeterWindow wide(nullptr, false, nullptr, true);
    wide.resize(1920, 432);
    wide.showValues(441.02f, 0.04f, 60, "A 4");
    const QImage image = wide.grab().toImage();
    for (const PixelRect& box : {wide.layout().noteBox, wide.layout().frequencyBox}) {
        const int digits = rowsOfColour(image, rectOf(box), QColor(255, 0, 0));
        EXPECT_GE(3 * digits, wide.height()) << digits;
    }
    image.save(QString(MERLOP_SCREENSHOT_DIR) + "/meter_full_screen_1920x432.png");

    // Back from full screen, the bars and the views chosen return.
    full->trigger();
    f.resize(1000, 700);
    QApplication::processEvents();
    f.layoutNow();
    capture.deliver();
    EXPECT_FALSE(full->isChecked());
    EXPECT_TRUE(f.menuBar()->isVisible());
    EXPECT_NE(f.spectrumWindow(), nullptr);
}

}  // namespace
}  // namespace merlop

namespace merlop {
namespace {

TEST_F(MainFrameWindow, TheStrobeSitsUnderTheKeysAndDriftsWithTheNote) {
    MainFrame& f = open(1000, 700);
    QAction* strobe = f.action("strobe");
    ASSERT_NE(strobe, nullptr);
    strobe->trigger();
    EXPECT_TRUE(strobe->isChecked());
    ASSERT_NE(f.tunerWindow()->strobe(), nullptr);
    const QRect panel = f.tunerWindow()->strobe()->geometry();
    const QRect piano = f.tunerWindow()->piano()->geometry();
    EXPECT_GE(panel.top(), piano.bottom());
    EXPECT_LE(panel.bottom(), f.tunerWindow()->height());
    EXPECT_GT(panel.height(), f.tunerWindow()->height() / 6);

    startRecording();
    feedTone(440.0 * std::pow(2.0, 0.5 / 1200.0), 24);  // half a cent sharp
    const std::vector<StrobeRowState>& rows = f.tunerWindow()->strobe()->rows();
    ASSERT_EQ(rows.size(), 3u);
    EXPECT_FALSE(rows[0].resting);
    EXPECT_GT(rows[0].rate, 0.0);
    save(f, "main_frame_strobe_1000x700");

    feedTone(440.0 * std::pow(2.0, -2.0 / 1200.0), 24);
    EXPECT_LT(f.tunerWindow()->strobe()->rows()[0].rate, 0.0);
}

}  // namespace
}  // namespace merlop

namespace merlop {
namespace {

TEST_F(MainFrameWindow, TheWindowOpensWhereItWasClosedOrAtTheDefaultWhenThatIsOffScreen) {
    {
        MainFrame& f = open();
        f.setGeometry(40, 50, 700, 500);
        f.close();
    }
    std::ifstream in(dir / "merlop.conf");
    const std::string text((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    EXPECT_NE(text.find("width=700"), std::string::npos) << text;
    frame.reset();

    MainFrame& again = open();
    again.showAtSavedPlace();
    EXPECT_EQ(again.geometry(), QRect(40, 50, 700, 500));
    frame.reset();

    // A place on a monitor that has gone: the default size.
    std::ofstream(dir / "merlop.conf") << "[window]\nx=9000\ny=50\nwidth=700\nheight=500\n";
    MainFrame& lost = open();
    lost.showAtSavedPlace();
    EXPECT_EQ(lost.size(), QSize(MainFrame::kDefaultWidth, MainFrame::kDefaultHeight));
}

}  // namespace
}  // namespace merlop

namespace merlop {
namespace {

// Without a mouse every toolbar command is still reached, through a menu or its own key.
TEST_F(MainFrameWindow, EveryToolbarCommandIsInAMenuOrHasAKey) {
    MainFrame& f = open();
    QList<QAction*> inMenus;
    for (QAction* top : f.menuBar()->actions()) {
        if (top->menu() != nullptr) inMenus += top->menu()->actions();
    }
    for (QAction* a : f.findChild<QToolBar*>()->actions()) {
        if (a->isSeparator() || a->objectName().isEmpty()) continue;
        EXPECT_TRUE(inMenus.contains(a) || !a->shortcut().isEmpty())
            << a->objectName().toStdString();
    }
    // The combo boxes take the keyboard focus, and so does each display by Tab (not its keys),
    // while Space on a display still reaches the frame.
    EXPECT_EQ(f.tuningCombo()->focusPolicy(), Qt::StrongFocus);
    EXPECT_EQ(f.noteCombo()->focusPolicy(), Qt::StrongFocus);
    f.action("spectrum")->trigger();
    EXPECT_EQ(f.tunerWindow()->focusPolicy(), Qt::TabFocus);
    EXPECT_EQ(f.spectrumWindow()->focusPolicy(), Qt::TabFocus);
    EXPECT_EQ(f.tunerWindow()->meter()->focusPolicy(), Qt::NoFocus);
    startRecording();
    QKeyEvent space(QEvent::KeyPress, Qt::Key_Space, Qt::NoModifier, QStringLiteral(" "));
    QApplication::sendEvent(f.spectrumWindow(), &space);
    EXPECT_TRUE(f.core().paused());
}

// A text that skipped the translation shows in English on a German desktop; every window part,
// menu entry, tool tip and accessible name must be one of the catalogue's translations.
TEST_F(MainFrameWindow, UnderAGermanLocaleEveryTextIsGerman) {
    const Language german(QLocale(QLocale::German, QLocale::Germany));
    ASSERT_FALSE(german.catalogue().isEmpty()) << "no merlop_de.qm in the build";
    MainFrame& f = open();
    EXPECT_EQ(f.menuBar()->actions().front()->text(), "&Datei");
    std::vector<testing::ShownText> shown = testing::shownTexts(f);
    shown.push_back({"status bar", f.statusBar()->currentMessage()});
    const QStringList missing =
        testing::untranslated(shown, testing::readCatalogue(testing::germanCatalogue()));
    EXPECT_TRUE(missing.isEmpty()) << missing.join('\n').toStdString();
    // The longer German names are not cut in the toolbar.
    auto* combo = f.findChild<QComboBox*>(QStringLiteral("tuningCombo"));
    ASSERT_NE(combo, nullptr);
    const int text = combo->fontMetrics().horizontalAdvance(combo->currentText().trimmed());
    EXPECT_GT(combo->width() - 30, text) << combo->currentText().toStdString();
    save(f, "german-main-window");
}

}  // namespace
}  // namespace merlop
