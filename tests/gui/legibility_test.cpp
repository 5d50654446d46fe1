// The main window read at every size, from a small netbook window to a 4K screen: digits a
// player can read from the music stand, labels that are not dots, nothing cut off or covered,
// and every toolbar control within reach of Tab.
#include <gtest/gtest.h>

#include <QApplication>
#include <QComboBox>
#include <QDir>
#include <QElapsedTimer>
#include <QFontMetrics>
#include <QKeyEvent>
#include <QToolBar>
#include <QToolButton>
#include <fstream>
#include <set>

#include "app/frame_fakes.h"
#include "app/qt/main_frame.h"
#include "common/question_box.h"
#include "display/qt/meter_window.h"
#include "display/qt/plot_painting.h"
#include "display/qt/spectrum_window.h"
#include "display/qt/tuner_font.h"
#include "display/qt/tuner_window.h"
#include "display/qt/wave_form_window.h"
#include "display/spectrum_image.h"
#include "gui/tone_fakes.h"
#include "platform/scripted_capture.h"
#include "settings/settings.h"
#include "settings/test_files.h"

namespace merlop {
namespace {

using testing::TempDir;

struct YesQuestions : QuestionBox {
    bool ask(const std::string&, const std::string&, Buttons) override { return true; }
};

QRect qrect(const PixelRect& r) {
    return QRect(r.left, r.top, r.width(), r.height());
}

bool clearlyRed(QRgb c) {
    return qRed(c) > 160 && qGreen(c) < 90 && qBlue(c) < 90;
}

bool dark(QRgb c) {
    return qGray(c) < 100;
}

// Rows inside r holding at least one pixel that passes `is`.
template <typename Is>
int inkRows(const QImage& image, const QRect& r, Is is) {
    int rows = 0;
    const QRect in = r & image.rect();
    for (int y = in.top(); y <= in.bottom(); ++y) {
        bool any = false;
        for (int x = in.left(); x <= in.right() && !any; ++x) any = is(image.pixel(x, y));
        rows += any ? 1 : 0;
    }
    return rows;
}

class Legibility : public ::testing::Test {
  protected:
    void SetUp() override {
        capture.formats = kMono11kHz8Bit | kMono11kHz16Bit | kMono22kHz16Bit | kMono44kHz16Bit;
        Settings s;
        s.showSpectrum = 1;
        s.showWaveForm = 1;
        s.spectrum3D = 0;
        const auto image = s.toImage();
        std::ofstream(dir / "merlo301.cfg", std::ios::binary)
            .write(reinterpret_cast<const char*>(image.data()),
                   static_cast<std::streamsize>(image.size()));
    }
    void TearDown() override {
        frame.reset();
        QApplication::processEvents();
    }
    MainFrame& open(int w, int h) {
        FrameDevices d;
        d.capture = &capture;
        d.midi = &midi;
        d.sound = &sound;
        d.player = &player;
        d.dialogs = &dialogs;
        d.clock = &clock;
        d.messages = &messages;
        d.questions = &questions;
        d.inputPending = [] { return false; };
        frame = std::make_unique<MainFrame>(dir.path(), d);
        frame->resize(w, h);
        frame->show();
        QApplication::processEvents();
        frame->layoutNow();
        return *frame;
    }
    static void save(const QImage& image, const QString& name) {
        QDir().mkpath(MERLOP_SCREENSHOT_DIR);
        ASSERT_TRUE(image.save(QString(MERLOP_SCREENSHOT_DIR) + "/" + name + ".png"));
    }

    TempDir dir;
    testing::ScriptedCapture capture;
    testing::FakeMidi midi;
    testing::FakeSound sound;
    testing::FakePlayer player;
    testing::FakeDialogs dialogs;
    testing::FakeClock clock;
    testing::RecordingMessageBox messages;
    YesQuestions questions;
    std::unique_ptr<MainFrame> frame;
};

// The meter's boxes, bar and captions, each where no other one is and inside the meter.
void expectMeterUncovered(const MeterLayout& l, const std::string& at) {
    const QRect meter(0, 0, l.width, l.height);
    std::vector<std::pair<std::string, QRect>> parts = {{"note", qrect(l.noteBox)},
                                                        {"cents", qrect(l.centsBox)},
                                                        {"frequency", qrect(l.frequencyBox)},
                                                        {"bar", qrect(l.bar)}};
    const QFontMetrics label(tunerFont(l.fontH, l.fontW, true));
    const std::pair<const char*, PixelRect> captions[] = {
        {"Note/Octave", l.noteBox}, {"Cents", l.centsBox}, {"Hz", l.frequencyBox}};
    for (const auto& [text, box] : captions) {
        const int x = static_cast<int>(0.1 * l.step + box.right);
        parts.emplace_back(text,
                           QRect(x, l.boxBottom - l.fontH, label.horizontalAdvance(text), l.fontH));
    }
    for (size_t i = 0; i < parts.size(); ++i) {
        EXPECT_TRUE(meter.contains(parts[i].second)) << parts[i].first << at;
        for (size_t j = i + 1; j < parts.size(); ++j) {
            EXPECT_FALSE(parts[i].second.intersects(parts[j].second))
                << parts[i].first << " and " << parts[j].first << at;
        }
    }
}

TEST_F(Legibility, DigitsLabelsAndScalesAtSmallMediumAndHugeWindows) {
    for (const QSize size : {QSize(320, 240), QSize(820, 640), QSize(3840, 2160)}) {
        const std::string at =
            " at " + std::to_string(size.width()) + "x" + std::to_string(size.height());
        MainFrame& f = open(size.width(), size.height());
        ASSERT_EQ(f.size(), size);
        ASSERT_NE(f.tunerWindow(), nullptr);
        ASSERT_NE(f.spectrumWindow(), nullptr);
        ASSERT_NE(f.waveWindow(), nullptr);
        MeterWindow* meter = f.tunerWindow()->meter();
        meter->showValues(440.0f, 0.1f, 57, "A 4");
        const QImage shown = meter->grab().toImage();
        const MeterLayout& l = meter->layout();
        for (const PixelRect& box : {l.frequencyBox, l.centsBox, l.noteBox}) {
            EXPECT_GE(inkRows(shown, qrect(box), clearlyRed), 14) << at;
        }
        // Scale numbers under the bar, drawn.
        const QRect scale(0, l.bar.bottom + 1, l.width, l.height - l.bar.bottom - 1);
        EXPECT_GE(inkRows(shown, scale, dark), 6) << at;
        EXPECT_GE(tunerFont(l.fontH, l.fontW, true).pixelSize(), 9) << at;
        expectMeterUncovered(l, at);

        // The spectrum's labels: readable, and the last one inside the window, not cut at its
        // edge (no label ink in the two columns at the right).
        SpectrumWindow* spectrum = f.spectrumWindow();
        const SpectrumAxes& axes = spectrum->plot()->axes();
        const QFont font = plotFont(axes.fontH(), axes.fontW());
        EXPECT_GE(font.pixelSize(), 9) << at;
        const QImage plot = spectrum->grab().toImage();
        const QRect labels(0, axes.plot().bottom + 1, plot.width(), plot.height());
        EXPECT_EQ(inkRows(plot, labels.adjusted(plot.width() - 2, 0, 0, 0), dark), 0) << at;
        const QFontMetrics metrics(font);
        std::vector<TextItem> texts = axes.frequencyLabels();
        const std::vector<TextItem> levels = axes.dbLabels();
        texts.insert(texts.end(), levels.begin(), levels.end());
        EXPECT_GT(texts.size(), 8u) << at;
        for (const TextItem& t : texts) {
            const QRect ink = metrics.tightBoundingRect(QString::fromStdString(t.text))
                                  .translated(t.x, t.y + metrics.ascent());
            EXPECT_TRUE(plot.rect().contains(ink)) << t.text << at;
        }
        // Level labels apart by at least their height.
        for (size_t i = 2; i < levels.size(); ++i) {
            EXPECT_GE(levels[i - 1].y - levels[i].y, axes.fontH()) << levels[i].text << at;
        }
        save(f.grab().toImage(),
             QString("legible_main_%1x%2").arg(size.width()).arg(size.height()));
        save(shown, QString("legible_meter_%1x%2").arg(size.width()).arg(size.height()));
        frame.reset();
    }
}

// From the lowest meter that is meant to hold them up, any width the window may have.
TEST(MeterLegibility, ShortMetersKeepTheirDigitsAndLabelsUncovered) {
    for (int w : {316, 476, 816, 1916, 3836}) {
        for (int h = MeterLayout::kLegibleHeight; h < 400; h += 7) {
            for (bool fine : {false, true}) {
                const MeterLayout l = MeterLayout::compute(w, h, fine);
                const std::string at = " at " + std::to_string(w) + "x" + std::to_string(h);
                EXPECT_GE(l.valueFontHeight(), MeterLayout::kMinValuePixels) << at;
                EXPECT_GE(l.fontH, MeterLayout::kMinLabelCell) << at;
                EXPECT_GE(l.bar.height(), 4) << at;
                expectMeterUncovered(l, at);
            }
        }
    }
    // Below that the digits shrink with the meter, never into nothing before it does.
    int last = 0;
    for (int h = 20; h < MeterLayout::kLegibleHeight; ++h) {
        const int v = MeterLayout::compute(476, h, false).valueFontHeight();
        EXPECT_GE(v, last) << h;
        last = v;
    }
    EXPECT_GT(last, 0);
}

// Tab goes through every toolbar control and on to the displays; in a narrow window it reaches
// the overflow button, whose Space opens the toolbar's hidden combo boxes to the keyboard.
TEST_F(Legibility, TabReachesTheToolbarControlsAndTheDisplays) {
    MainFrame& f = open(820, 640);
    QApplication::setActiveWindow(&f);
    f.setFocus();
    QApplication::processEvents();
    ASSERT_EQ(QApplication::focusWidget(), &f);
    const auto tabs = [](int n) {
        std::vector<QWidget*> seen;
        for (int i = 0; i < n; ++i) {
            QWidget* at = QApplication::focusWidget();
            if (at == nullptr) break;
            QKeyEvent tab(QEvent::KeyPress, Qt::Key_Tab, Qt::NoModifier);
            QApplication::sendEvent(at, &tab);
            seen.push_back(QApplication::focusWidget());
        }
        return seen;
    };
    const std::vector<QWidget*> order = tabs(40);
    const std::set<QWidget*> reached(order.begin(), order.end());
    auto* toolBar = f.findChild<QToolBar*>();
    int buttons = 0;
    for (QAction* a : toolBar->actions()) {
        QWidget* w = toolBar->widgetForAction(a);
        if (a->isSeparator() || w == nullptr || !w->isVisible() || !w->isEnabled()) continue;
        EXPECT_TRUE(reached.count(w)) << a->objectName().toStdString();
        buttons += qobject_cast<QToolButton*>(w) != nullptr ? 1 : 0;
    }
    EXPECT_GE(buttons, 9);
    EXPECT_TRUE(reached.count(f.tuningCombo()));
    EXPECT_TRUE(reached.count(f.tunerWindow()));
    EXPECT_TRUE(reached.count(f.spectrumWindow()));
    EXPECT_TRUE(reached.count(f.waveWindow()));

    // Space on a focused tool button presses it (and does not pause).
    QWidget* waveButton = toolBar->widgetForAction(f.action("wave"));
    waveButton->setFocus();
    const bool paused = f.core().paused();
    QKeyEvent press(QEvent::KeyPress, Qt::Key_Space, Qt::NoModifier, QStringLiteral(" "));
    QKeyEvent release(QEvent::KeyRelease, Qt::Key_Space, Qt::NoModifier, QStringLiteral(" "));
    QApplication::sendEvent(waveButton, &press);
    QApplication::sendEvent(waveButton, &release);
    EXPECT_FALSE(f.action("wave")->isChecked());
    EXPECT_EQ(f.core().paused(), paused);
    frame.reset();

    MainFrame& narrow = open(320, 240);
    QApplication::setActiveWindow(&narrow);
    ASSERT_FALSE(narrow.tuningCombo()->isVisible());
    auto* more = narrow.findChild<QToolBar*>()->findChild<QToolButton*>(
        QStringLiteral("qt_toolbar_ext_button"));
    ASSERT_NE(more, nullptr);
    ASSERT_TRUE(more->isVisible());
    narrow.setFocus();
    const std::vector<QWidget*> short_ = tabs(30);
    ASSERT_TRUE(std::set<QWidget*>(short_.begin(), short_.end()).count(more));
    more->setFocus();
    QApplication::sendEvent(more, &press);
    QApplication::sendEvent(more, &release);
    QElapsedTimer opening;
    opening.start();
    while (!narrow.tuningCombo()->isVisible() && opening.elapsed() < 3000) {
        QApplication::processEvents();
    }
    ASSERT_TRUE(narrow.tuningCombo()->isVisible());
    const std::vector<QWidget*> opened = tabs(12);
    EXPECT_TRUE(std::set<QWidget*>(opened.begin(), opened.end()).count(narrow.tuningCombo()));
    save(narrow.grab().toImage(), "legible_toolbar_opened_320x240");
}

}  // namespace
}  // namespace merlop
