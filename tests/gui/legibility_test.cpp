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

#include "app/qt/main_frame.h"
#include "common/question_box.h"
#include "display/qt/meter_window.h"
#include "display/qt/note_button.h"
#include "display/qt/plot_painting.h"
#include "display/qt/spectrum_window.h"
#include "display/qt/tuner_font.h"
#include "display/qt/tuner_window.h"
#include "display/qt/wave_form_window.h"
#include "display/spectrum_image.h"
#include "gui/frame_fixture.h"
#include "gui/tone_fakes.h"
#include "pitch/pitch_model.h"
#include "platform/scripted_capture.h"
#include "settings/settings.h"
#include "settings/test_files.h"

namespace merlop {
namespace {

using testing::TempDir;

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

void save(const QImage& image, const QString& name) {
    QDir().mkpath(MERLOP_SCREENSHOT_DIR);
    ASSERT_TRUE(image.save(QString(MERLOP_SCREENSHOT_DIR) + "/" + name + ".png"));
}

class Legibility : public testing::FrameFixture {
  protected:
    void SetUp() override {
        FrameFixture::SetUp();
        Settings s;
        s.showSpectrum = 1;
        s.showWaveForm = 1;
        s.spectrum3D = 0;
        writeConfig(s);
    }
    MainFrame& open(int w, int h) {
        FrameFixture::open(w, h);
        QApplication::processEvents();
        frame->layoutNow();
        return *frame;
    }
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

// Digits and scale of the meter, drawn: returns the meter's image.
QImage expectMeterReadable(MeterWindow& meter, const std::string& at) {
    meter.showValues(440.0f, 0.1f, 57, "A 4");
    QImage shown = meter.grab().toImage();
    const MeterLayout& l = meter.layout();
    for (const PixelRect& box : {l.frequencyBox, l.centsBox, l.noteBox}) {
        EXPECT_GE(inkRows(shown, qrect(box), clearlyRed), 14) << at;
    }
    const QRect scale(0, l.bar.bottom + 1, l.width, l.height - l.bar.bottom - 1);
    EXPECT_GE(inkRows(shown, scale, dark), 6) << at;
    EXPECT_GE(tunerFont(l.fontH, l.fontW, true).pixelSize(), 9) << at;
    expectMeterUncovered(l, at);
    return shown;
}

// The spectrum's labels: readable, apart, and inside the window; the last one not cut at its
// edge (no label ink in the two columns at the right).
void expectSpectrumLabelsReadable(SpectrumWindow& spectrum, const std::string& at) {
    const SpectrumAxes& axes = spectrum.plot()->axes();
    const QFont font = plotFont(axes.fontH(), axes.fontW());
    EXPECT_GE(font.pixelSize(), 9) << at;
    const QImage plot = spectrum.grab().toImage();
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
    for (size_t i = 2; i < levels.size(); ++i) {
        EXPECT_GE(levels[i - 1].y - levels[i].y, axes.fontH()) << levels[i].text << at;
    }
}

TEST_F(Legibility, DigitsLabelsAndScalesAtSmallMediumAndHugeWindows) {
    for (const QSize size : {QSize(320, 240), QSize(820, 640), QSize(3840, 2160)}) {
        const QString name = QString("%1x%2").arg(size.width()).arg(size.height());
        const std::string at = " at " + name.toStdString();
        MainFrame& f = open(size.width(), size.height());
        ASSERT_EQ(f.size(), size);
        ASSERT_NE(f.tunerWindow(), nullptr);
        ASSERT_NE(f.spectrumWindow(), nullptr);
        ASSERT_NE(f.waveWindow(), nullptr);
        const QImage meter = expectMeterReadable(*f.tunerWindow()->meter(), at);
        expectSpectrumLabelsReadable(*f.spectrumWindow(), at);
        save(f.grab().toImage(), "legible_main_" + name);
        save(meter, "legible_meter_" + name);
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

struct NoParent : TunerParent {
    void startCapture() override {}
    void releaseDeviceForTone() override {}
    void exercisePlayed() override {}
};

// A short tuner gives its meter the room for legible read-outs; the note buttons, shrunk, stay
// under it, inside the window and apart.
TEST(TunerLegibility, AShortTunerKeepsItsMeterLegibleAndItsButtonsApart) {
    Settings settings;
    settings.showPiano = 0;
    settings.fineTuning = 1;
    PitchModel pitch;
    testing::FakeMidi midi;
    testing::FakeSound sound;
    NoParent parent;
    TunerWindow tuner(settings, pitch, nullptr, -1, false, 1.0f, midi, sound, &parent);
    tuner.resize(316, 74);
    tuner.show();
    QApplication::processEvents();
    ASSERT_NE(tuner.button(11), nullptr);
    EXPECT_GE(tuner.meter()->height(), MeterLayout::kLegibleHeight);
    expectMeterReadable(*tuner.meter(), " in buttons mode");
    std::vector<QRect> buttons;
    for (int i = 0; i < 12; ++i) {
        const QRect b = tuner.button(i)->geometry();
        EXPECT_GE(b.top(), tuner.meter()->geometry().bottom()) << i;
        EXPECT_TRUE(tuner.rect().contains(b)) << i;
        EXPECT_GT(b.height(), 4) << i;
        for (const QRect& other : buttons) EXPECT_FALSE(b.intersects(other)) << i;
        buttons.push_back(b);
    }
    save(tuner.grab().toImage(), "legible_tuner_buttons_316x74");
}

// Widgets that have the focus after each of n Tabs.
std::set<QWidget*> tabThrough(int n) {
    std::set<QWidget*> seen;
    for (int i = 0; i < n && QApplication::focusWidget() != nullptr; ++i) {
        QKeyEvent tab(QEvent::KeyPress, Qt::Key_Tab, Qt::NoModifier);
        QApplication::sendEvent(QApplication::focusWidget(), &tab);
        seen.insert(QApplication::focusWidget());
    }
    return seen;
}

void pressSpace(QWidget* w) {
    w->setFocus();
    QKeyEvent press(QEvent::KeyPress, Qt::Key_Space, Qt::NoModifier, QStringLiteral(" "));
    QKeyEvent release(QEvent::KeyRelease, Qt::Key_Space, Qt::NoModifier, QStringLiteral(" "));
    QApplication::sendEvent(w, &press);
    QApplication::sendEvent(w, &release);
}

// Tab goes through every toolbar control and on to the displays; Space presses a tool button.
TEST_F(Legibility, TabReachesEveryToolbarControlAndTheDisplays) {
    MainFrame& f = open(820, 640);
    QApplication::setActiveWindow(&f);
    f.setFocus();
    ASSERT_EQ(QApplication::focusWidget(), &f);
    const std::set<QWidget*> reached = tabThrough(40);
    auto* toolBar = f.findChild<QToolBar*>();
    int buttons = 0;
    for (QAction* a : toolBar->actions()) {
        QWidget* w = toolBar->widgetForAction(a);
        if (a->isSeparator() || w == nullptr || !w->isVisible() || !w->isEnabled()) continue;
        EXPECT_TRUE(reached.count(w)) << a->objectName().toStdString();
        buttons += qobject_cast<QToolButton*>(w) != nullptr ? 1 : 0;
    }
    EXPECT_GE(buttons, 9);
    for (QWidget* w :
         {static_cast<QWidget*>(f.tuningCombo()), static_cast<QWidget*>(f.tunerWindow()),
          static_cast<QWidget*>(f.spectrumWindow()), static_cast<QWidget*>(f.waveWindow())}) {
        EXPECT_TRUE(reached.count(w)) << w->objectName().toStdString();
    }
    const bool paused = f.core().paused();
    pressSpace(toolBar->widgetForAction(f.action("wave")));
    EXPECT_FALSE(f.action("wave")->isChecked());
    EXPECT_EQ(f.core().paused(), paused);
}

// A narrow window hides the combo boxes behind the toolbar's overflow button; Tab reaches it, and
// once Space has opened it, Tab reaches them.
TEST_F(Legibility, InANarrowWindowTabAndSpaceOpenTheHiddenCombos) {
    MainFrame& f = open(320, 240);
    QApplication::setActiveWindow(&f);
    ASSERT_FALSE(f.tuningCombo()->isVisible());
    auto* more =
        f.findChild<QToolBar*>()->findChild<QToolButton*>(QStringLiteral("qt_toolbar_ext_button"));
    ASSERT_NE(more, nullptr);
    ASSERT_TRUE(more->isVisible());
    f.setFocus();
    ASSERT_TRUE(tabThrough(30).count(more));
    pressSpace(more);
    QElapsedTimer opening;
    opening.start();
    while (!f.tuningCombo()->isVisible() && opening.elapsed() < 3000) {
        QApplication::processEvents();
    }
    ASSERT_TRUE(f.tuningCombo()->isVisible());
    EXPECT_TRUE(tabThrough(12).count(f.tuningCombo()));
    save(f.grab().toImage(), "legible_toolbar_opened_320x240");
}

}  // namespace
}  // namespace merlop
