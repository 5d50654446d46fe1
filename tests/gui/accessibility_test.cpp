#include <gtest/gtest.h>

#include <QAccessible>
#include <QAccessibleActionInterface>
#include <QAccessibleValueInterface>
#include <QApplication>
#include <memory>
#include <vector>

#include "display/qt/meter_window.h"
#include "display/qt/note_button.h"
#include "display/qt/piano_wnd.h"
#include "display/qt/spectrum_window.h"
#include "display/qt/strobe_panel.h"
#include "display/qt/tuner_window.h"
#include "display/qt/wave_form_window.h"
#include "gui/tone_fakes.h"
#include "pitch/pitch_model.h"
#include "settings/settings.h"

namespace merlop {
namespace {

struct NoParent : TunerParent {
    void startCapture() override {}
    void releaseDeviceForTone() override {}
    void exercisePlayed() override {}
};

struct Announcement {
    QObject* object;
    QString value;
};
std::vector<Announcement>* heard = nullptr;

void hear(QAccessibleEvent* event) {
    if (heard == nullptr || event->type() != QAccessible::ValueChanged) return;
    const auto* change = static_cast<QAccessibleValueChangeEvent*>(event);
    heard->push_back({event->object(), change->value().toString()});
}

QString text(QObject* o, QAccessible::Text t) {
    QAccessibleInterface* iface = QAccessible::queryAccessibleInterface(o);
    return iface ? iface->text(t) : QStringLiteral("<no interface>");
}

class AccessibilityTest : public ::testing::Test {
  protected:
    void SetUp() override {
        heard = &events;
        previous = QAccessible::installUpdateHandler(hear);
    }
    void TearDown() override {
        QAccessible::installUpdateHandler(previous);
        heard = nullptr;
    }
    std::unique_ptr<TunerWindow> make(bool piano, bool strobe = false) {
        settings.showPiano = piano ? 1 : 0;
        auto t = std::make_unique<TunerWindow>(settings, pitch, nullptr, -1, false, 1.0f, midi,
                                               sound, &parent);
        t->setStrobeShown(strobe);
        t->setAnnouncementClock([this] { return now; });
        t->resize(800, 600);
        t->show();
        QApplication::processEvents();
        return t;
    }
    // Offscreen Qt has no platform accessibility, so no events reach the update handler; the
    // window's own record of what it announced stands in, and where events do flow (a desktop
    // session with a screen reader bridge) they must agree with it.
    int announcementsOf(const TunerWindow& t) const {
        if (!QAccessible::isActive()) return t.announcements().count() - counted;
        int n = 0;
        for (const Announcement& a : events) n += a.object == &t;
        EXPECT_EQ(n, t.announcements().count() - counted);
        return n;
    }
    std::string lastAnnounced(const TunerWindow& t) const {
        if (QAccessible::isActive() && !events.empty()) {
            EXPECT_EQ(events.back().value.toStdString(), t.announcements().announced());
        }
        return t.announcements().announced();
    }
    void restartCount(const TunerWindow& t) {
        events.clear();
        counted = t.announcements().count();
    }
    int counted = 0;

    Settings settings;
    PitchModel pitch;
    testing::FakeMidi midi;
    testing::FakeSound sound;
    NoParent parent;
    double now = 100.0;
    std::vector<Announcement> events;
    QAccessible::UpdateHandler previous = nullptr;
};

TEST_F(AccessibilityTest, EveryDisplayHasANameAndDescription) {
    auto buttons = make(false, true);
    for (QWidget* w : std::vector<QWidget*>{buttons.get(), buttons->meter(), buttons->strobe()}) {
        ASSERT_NE(w, nullptr);
        EXPECT_FALSE(text(w, QAccessible::Name).isEmpty()) << w->metaObject()->className();
        EXPECT_FALSE(text(w, QAccessible::Description).isEmpty()) << w->metaObject()->className();
    }
    EXPECT_EQ(text(buttons.get(), QAccessible::Name), "Tuner");
    EXPECT_EQ(text(buttons->meter(), QAccessible::Name), "Cent meter");
    EXPECT_EQ(text(buttons->strobe(), QAccessible::Name), "Strobe");
    // Buttons are named after their notes, accidentals spoken.
    EXPECT_EQ(text(buttons->button(0), QAccessible::Name), "C");
    EXPECT_EQ(text(buttons->button(1), QAccessible::Name), "D flat");
    EXPECT_EQ(text(buttons->button(9), QAccessible::Name), "A");

    auto piano = make(true);
    ASSERT_NE(piano->piano(), nullptr);
    EXPECT_EQ(text(piano->piano(), QAccessible::Name), "Keyboard");
    EXPECT_TRUE(text(piano->piano(), QAccessible::Description).startsWith("Piano keyboard of "));

    const SpectrumBand band{11025.0f / 2048.0f, 4, 223};
    SpectrumWindow spectrum(settings, band);
    WaveFormWindow wave(settings, 1024);
    EXPECT_EQ(text(&spectrum, QAccessible::Name), "Spectrum");
    EXPECT_EQ(text(&wave, QAccessible::Name), "Wave form");
    EXPECT_FALSE(text(&spectrum, QAccessible::Description).isEmpty());
    EXPECT_FALSE(text(&wave, QAccessible::Description).isEmpty());
}

TEST_F(AccessibilityTest, DetectedNoteIsToldOnButtonsAndKeys) {
    auto buttons = make(false);
    buttons->showReading(60, -1, 441.3f, 0.03f);
    EXPECT_TRUE(text(buttons->button(9), QAccessible::Description).startsWith("Detected"));
    EXPECT_FALSE(text(buttons->button(8), QAccessible::Description).startsWith("Detected"));
    buttons->showReading(62, -1, 494.0f, 0.0f);
    EXPECT_TRUE(text(buttons->button(11), QAccessible::Description).startsWith("Detected"));
    EXPECT_FALSE(text(buttons->button(9), QAccessible::Description).startsWith("Detected"));

    auto piano = make(true);
    piano->showReading(60, -1, 441.3f, 0.03f);
    EXPECT_TRUE(text(piano->piano(), QAccessible::Description).contains("Detected A 4."))
        << text(piano->piano(), QAccessible::Description).toStdString();
    piano->showReading(61, -1, 466.2f, 0.0f);
    EXPECT_TRUE(text(piano->piano(), QAccessible::Description).contains("Detected B flat 4."))
        << text(piano->piano(), QAccessible::Description).toStdString();
}

TEST_F(AccessibilityTest, PianoKeysAreChildrenNamedPlacedAndPressable) {
    settings.pianoFirstOctave = 3;
    settings.pianoOctaveCount = 2;
    auto t = make(true);
    PianoWnd* piano = t->piano();
    ASSERT_NE(piano, nullptr);
    QAccessibleInterface* keyboard = QAccessible::queryAccessibleInterface(piano);
    ASSERT_NE(keyboard, nullptr);
    ASSERT_EQ(keyboard->childCount(), 24);
    QAccessibleInterface* c3 = keyboard->child(0);
    QAccessibleInterface* cSharp3 = keyboard->child(1);
    QAccessibleInterface* a3 = keyboard->child(9);
    ASSERT_TRUE(c3 && cSharp3 && a3);
    EXPECT_EQ(c3->text(QAccessible::Name), "C 3");
    EXPECT_EQ(cSharp3->text(QAccessible::Name), "D flat 3");
    EXPECT_EQ(a3->text(QAccessible::Name), "A 3");
    EXPECT_EQ(a3->role(), QAccessible::Button);
    EXPECT_EQ(a3->parent(), keyboard);
    EXPECT_EQ(keyboard->indexOfChild(a3), 9);
    EXPECT_EQ(keyboard->child(9), a3);  // one interface per key, not a new one each time
    // Each key's rect lies on the keyboard, and the keyboard finds the key there.
    const QRect board(piano->mapToGlobal(QPoint(0, 0)), piano->size());
    for (int i = 0; i < keyboard->childCount(); ++i) {
        QAccessibleInterface* key = keyboard->child(i);
        const QRect r = key->rect();
        EXPECT_TRUE(board.contains(r)) << i;
        const bool white = !key->text(QAccessible::Name).contains("flat");
        const QPoint probe(r.center().x(), white ? r.bottom() - 1 : r.center().y());
        EXPECT_EQ(keyboard->childAt(probe.x(), probe.y()), key) << i;
    }
    // The detected key says so.
    t->showReading(48, -1, 220.0f, 0.0f);
    EXPECT_EQ(a3->text(QAccessible::Description), "Detected");
    EXPECT_EQ(c3->text(QAccessible::Description), "");
    // Pressing a key is a click on it.
    std::vector<int> clicked;
    QObject::connect(piano, &PianoWnd::keyClicked, [&](int key) { clicked.push_back(key); });
    QAccessibleActionInterface* press = c3->actionInterface();
    ASSERT_NE(press, nullptr);
    ASSERT_TRUE(press->actionNames().contains(QAccessibleActionInterface::pressAction()));
    press->doAction(QAccessibleActionInterface::pressAction());
    EXPECT_EQ(clicked, std::vector<int>{48});
}

TEST_F(AccessibilityTest, TunerValueIsTheReadingInWords) {
    auto t = make(false);
    QAccessibleInterface* iface = QAccessible::queryAccessibleInterface(t.get());
    ASSERT_NE(iface, nullptr);
    EXPECT_EQ(iface->text(QAccessible::Value), "no note");
    t->showReading(60, -1, 441.3f, 0.03f);
    EXPECT_EQ(iface->text(QAccessible::Value), "A 4, 3 cents sharp, 441.3 Hz");
    QAccessibleValueInterface* value = iface->valueInterface();
    ASSERT_NE(value, nullptr);
    EXPECT_NEAR(value->currentValue().toDouble(), 3.0, 1e-4);
    t->showReading(58, -1, 389.0f, -0.02f);
    EXPECT_EQ(iface->text(QAccessible::Value), "G 4, 2 cents flat, 389.0 Hz");
    t->setInTuneCents(2.0f);
    t->showReading(58, -1, 392.0f, -0.02f);
    EXPECT_EQ(iface->text(QAccessible::Value), "G 4, in tune, 392.0 Hz");
    // A few misses are bridged; a lasting silence is no note.
    for (int i = 0; i < 20; ++i) t->showReading(-1, -1, -1.0f, 0.0f);
    EXPECT_EQ(iface->text(QAccessible::Value), "no note");
    EXPECT_FALSE(value->currentValue().isValid());
}

TEST_F(AccessibilityTest, AnnouncementsAreRateLimited) {
    auto t = make(false);
    restartCount(*t);
    // One reading: announced at once, carrying the words.
    t->showReading(60, -1, 441.3f, 0.03f);
    ASSERT_EQ(announcementsOf(*t), 1);
    EXPECT_EQ(lastAnnounced(*t), "A 4, 3 cents sharp, 441.3 Hz");
    // Notes changing every 20 ms for 2 s: about two announcements a second, not fifty.
    for (int i = 0; i < 100; ++i) {
        now += 0.02;
        t->showReading(50 + i % 12, -1, 300.0f + static_cast<float>(i % 12), 0.1f);
    }
    EXPECT_GE(announcementsOf(*t), 4);
    EXPECT_LE(announcementsOf(*t), 6);
    // Steady reading: said once when it settles, then silence.
    restartCount(*t);
    now += 1.0;
    for (int i = 0; i < 50; ++i) {
        now += 0.02;
        t->showReading(60, -1, 440.0f, 0.0f);
    }
    ASSERT_EQ(announcementsOf(*t), 1);
    EXPECT_EQ(lastAnnounced(*t), "A 4, in tune, 440.0 Hz");
}

}  // namespace
}  // namespace merlop
