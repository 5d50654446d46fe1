#include "display/qt/tuner_window.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QDir>
#include <QImage>
#include <QMouseEvent>
#include <cmath>
#include <filesystem>
#include <limits>
#include <vector>

#include "audio/analysis_cycle.h"
#include "audio/capture_config.h"
#include "audio/wav_reader.h"
#include "display/qt/meter_window.h"
#include "display/qt/note_button.h"
#include "display/qt/piano_wnd.h"
#include "gui/tone_fakes.h"
#include "pitch/pitch_model.h"
#include "settings/settings.h"
#include "settings/tuning_store.h"
#include "signals/tone_synth.h"

namespace merlop {
namespace {

using testing::FakeMidi;
using testing::FakeSound;

struct FakeParent : TunerParent {
    int starts = 0, stops = 0, played = 0;
    void startCapture() override { ++starts; }
    void releaseDeviceForTone() override { ++stops; }
    void exercisePlayed() override { ++played; }
};

void save(QWidget& w, const QString& name) {
    QDir().mkpath(MERLOP_SCREENSHOT_DIR);
    const QImage img = w.grab().toImage();
    ASSERT_TRUE(img.save(QString(MERLOP_SCREENSHOT_DIR) + "/" + name + ".png"));
}

QColor pixel(QWidget& w, int x, int y) {
    return w.grab().toImage().pixelColor(x, y);
}

void click(QWidget* w, QPoint at) {
    QMouseEvent press(QEvent::MouseButtonPress, QPointF(at), w->mapToGlobal(QPointF(at)),
                      Qt::LeftButton, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(w, &press);
}

class TunerWindowTest : public ::testing::Test {
  protected:
    std::unique_ptr<TunerWindow> make(int w, int h, int customNote = -1, bool calib = false) {
        auto t = std::make_unique<TunerWindow>(settings, pitch, tunings.get(), customNote, calib,
                                               1.0f, midi, sound, &parent);
        t->resize(w, h);
        t->show();
        QApplication::processEvents();
        return t;
    }
    Settings settings;
    PitchModel pitch;
    std::unique_ptr<TuningStore> tunings;
    FakeMidi midi;
    FakeSound sound;
    FakeParent parent;
};

const QColor kRed(255, 0, 0), kBlack(0, 0, 0), kYellow(255, 255, 0), kGreen(0, 255, 0);

TEST_F(TunerWindowTest, ScreenshotsPianoAndButtons) {
    for (auto [w, h] : {std::pair{800, 600}, std::pair{1920, 1080}}) {
        const QString size = QString("%1x%2").arg(w).arg(h);
        settings.showPiano = 1;
        settings.fineTuning = 0;
        auto piano = make(w, h);
        piano->playNote(64, false);                 // E4 sounding, yellow
        piano->showReading(60, -1, 442.0f, 0.07f);  // A4 detected, red
        save(*piano, "tuner_piano_" + size);
        piano->showReading(75, -1, 1046.5f, -0.32f);  // C6: the view shifts an octave
        save(*piano, "tuner_piano_shifted_" + size);
        piano.reset();

        settings.showPiano = 0;
        settings.fineTuning = 1;
        auto buttons = make(w, h);
        buttons->playNote(704, false);  // E yellow
        buttons->showReading(60, -1, 440.0f, 0.0f);
        save(*buttons, "tuner_buttons_" + size);
        buttons->showReading(58, -1, 389.0f, -0.5f);
        save(*buttons, "tuner_buttons_flat_" + size);
    }
}

TEST_F(TunerWindowTest, ScreenshotsCustomAndCalibration) {
    const auto dir = std::filesystem::temp_directory_path() / "merlop-gui-tunings";
    std::filesystem::create_directories(dir);
    tunings = std::make_unique<TuningStore>(dir);
    tunings->readTuning(0);
    pitch.setTuningNotes(tunings->frequencies(), tunings->noteCount());
    settings.customTuningOn = 1;
    auto automatic = make(800, 600);
    save(*automatic, "tuner_custom_waiting_800x600");
    automatic->showReading(36, 1, 110.4f, 0.06f);
    EXPECT_EQ(automatic->button(0)->label(), "A  5th string");
    save(*automatic, "tuner_custom_match_800x600");
    automatic.reset();
    settings.customTuningOn = 0;

    auto calib = make(1920, 1080, -1, true);
    calib->showReading(60, 45, 440.2f, 0.004f);
    EXPECT_EQ(calib->button(0)->label(), "Calibration   45 seconds");
    save(*calib, "tuner_calibration_1920x1080");
}

TEST_F(TunerWindowTest, RedBarExtentMatchesTheDeviation) {
    settings.showPiano = 1;
    auto t = make(800, 600);
    MeterWindow* m = t->meter();
    const MeterLayout& l = m->layout();
    ASSERT_EQ(m->width(), 800);
    ASSERT_EQ(m->height(), 240);
    t->showReading(60, -1, 446.4f, 0.25f);
    const int e = static_cast<int>(10.0 * l.step * 0.25f);
    const int y = l.bar.top + 3;
    EXPECT_EQ(pixel(*m, l.centre + e - 1, y), kRed);
    EXPECT_EQ(pixel(*m, l.centre + e, y), kBlack);
    EXPECT_EQ(pixel(*m, l.centre - l.minHalf, y), kRed);
    EXPECT_EQ(pixel(*m, l.centre - l.minHalf - 1, y), kBlack);
    EXPECT_EQ(pixel(*m, l.centre, y), kYellow);
    EXPECT_EQ(pixel(*m, l.left + l.step, y), kGreen);
    // Beyond half a semitone the bar goes; the texts stay.
    t->showReading(60, -1, 460.0f, 0.51f);
    EXPECT_EQ(pixel(*m, l.centre + 10, y), kBlack);
    EXPECT_EQ(m->model().note(), 60);
}

TEST_F(TunerWindowTest, ReadingsRepaintOnlyTheValuesAndAtOnce) {
    auto t = make(800, 600);
    MeterWindow* m = t->meter();
    const int full = m->fullPaints();
    ASSERT_GE(full, 1);
    const int values = m->valuePaints();
    t->showReading(60, -1, 440.0f, 0.01f);
    EXPECT_EQ(m->valuePaints(), values + 1);  // synchronous
    EXPECT_EQ(m->fullPaints(), full);
    m->update();  // an exposure
    QApplication::processEvents();
    EXPECT_EQ(m->fullPaints(), full + 1);
    EXPECT_EQ(m->model().dirty(), false);
}

TEST_F(TunerWindowTest, MarkedPianoKeyAndClicks) {
    settings.pianoFirstOctave = 2;
    settings.pianoOctaveCount = 3;
    settings.toneUseMidi = 1;
    auto t = make(800, 600);
    PianoWnd* p = t->piano();
    ASSERT_NE(p, nullptr);
    const PianoLayout& l = p->layout();
    t->showReading(60, -1, 440.0f, 0.0f);
    // A4: the sixth white key of the last octave, red at its bottom.
    const int left = l.x0 + 19 * l.whiteW;
    const int bottom = l.y0 + l.whiteH - 2;
    EXPECT_EQ(pixel(*p, left + 3, bottom), kRed);
    EXPECT_EQ(pixel(*p, left - 3, bottom), QColor(255, 255, 255));

    // Near the top at the right edge of C4 plays C#4; lower down C4.
    const int c4 = l.x0 + 14 * l.whiteW;
    click(p, QPoint(c4 + l.whiteW - 2, l.y0 + 4));
    EXPECT_EQ(midi.lastNoteOn(), 61);
    EXPECT_EQ(p->state().markState(), 'P');
    click(p, QPoint(c4 + 5, l.y0 + l.whiteH - 5));  // stops only
    EXPECT_EQ(t->logic().toneIndex(), -1);
    EXPECT_TRUE(t->timerActive(TunerTimer::endOfTone));
    t->fireTimer(TunerTimer::endOfTone);
    EXPECT_EQ(parent.starts, 1);
    click(p, QPoint(c4 + 5, l.y0 + l.whiteH - 5));
    EXPECT_EQ(midi.lastNoteOn(), 60);
    click(p, QPoint(2, 2));  // outside the keys: nothing
    EXPECT_EQ(t->logic().toneIndex(), 60);
}

TEST_F(TunerWindowTest, NoteButtonClickPlaysItsNote) {
    settings.showPiano = 0;
    settings.toneOctave = 4;
    settings.toneRepeatRate = 200;
    auto t = make(800, 600);
    NoteButton* a = t->button(9);
    ASSERT_NE(a, nullptr);
    EXPECT_EQ(a->label(), "A");
    click(a, QPoint(5, 5));
    EXPECT_EQ(midi.lastNoteOn(), 69);
    EXPECT_EQ(a->colour(), (Rgb{255, 255, 0}));
    EXPECT_TRUE(t->timerActive(TunerTimer::repeat));
    // The sounding button looks pressed: sunken frame, white bottom edge hidden, grey top.
    EXPECT_EQ(pixel(*a, a->width() / 2, 0), QColor(96, 96, 96));
}

TEST_F(TunerWindowTest, TinyWindowsAndBadValuesDoNotCrash) {
    const float nan = std::numeric_limits<float>::quiet_NaN();
    const float inf = std::numeric_limits<float>::infinity();
    for (int showPiano : {0, 1}) {
        settings.showPiano = showPiano;
        for (auto [w, h] : {std::pair{1, 1}, std::pair{1, 0}, std::pair{0, 0}, std::pair{7, 3},
                            std::pair{300, 2}}) {
            auto t = make(w, h);
            t->showReading(60, -1, nan, nan);
            t->showReading(60, -1, inf, 0.0f);
            t->showReading(60, -1, 440.0f, -inf);
            t->showReading(2147483647, -1, 1e30f, 0.3f);
            t->showReading(-5, -1, -1.0f, -1.0f);
            t->playNote(2147483647, false);
            t->playNote(-100, false);
            (void)t->grab();
            t->resize(w + 1, h + 1);
            (void)t->grab();
        }
    }
}

// A plucked G3 string from a WAV file, through the analysis, into the window.
TEST_F(TunerWindowTest, ShowsTheNoteOfARecordedString) {
    const std::string path =
        (std::filesystem::temp_directory_path() / "merlop-gui-g3.wav").string();
    constexpr int kRate = 22050;
    ASSERT_TRUE(writeWav(path, pluckedString(196.0 * std::pow(2.0, 0.12 / 12), 1.5, kRate, 0.8),
                         kRate, 16));
    WavReader wav;
    ASSERT_EQ(wav.open(path), WavStatus::ok);
    CaptureMode mode;
    mode.fileMode = true;
    mode.fileSampleRate = wav.sampleRate();
    mode.fileBitsPerSample = wav.bitsPerSample();
    const CaptureConfig config = configureCapture(settings, {}, kRate, mode);
    configurePitchModel(pitch, settings, nullptr, 0);
    AnalysisCycle cycle(settings, config, pitch, CycleOptions{});

    auto t = make(1920, 1080);
    CycleSinks sinks;
    sinks.reading = t.get();
    cycle.setSinks(sinks);
    cycle.startRun();
    SampleRange range;
    int blocks = 0;
    while (blocks < 6 && wav.readBlock(cycle.sampleBuffer(), cycle.length(), &range)) {
        cycle.analyseBuffer(range.max, range.min);
        ++blocks;
    }
    ASSERT_GT(blocks, 2);
    save(*t, "tuner_wav_g3_1920x1080");
    EXPECT_EQ(t->meter()->model().name(), "G 3");
    EXPECT_EQ(t->piano()->state().markKey(), 55);
    EXPECT_NEAR(t->meter()->model().deviation(), 0.12f, 0.03f);
    EXPECT_NEAR(t->meter()->model().frequency(), 196.0f * std::pow(2.0f, 0.01f), 1.0f);
}

}  // namespace
}  // namespace merlop
