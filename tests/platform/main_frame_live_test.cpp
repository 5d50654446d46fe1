// The whole tuner window on the real sound input of the test sound server: a tone played into
// the null sink is read off the tuner's meter, live and from a WAV file opened as a user would.
#include <gtest/gtest.h>

#include <QAction>
#include <QApplication>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <string>

#include "app/frame_fakes.h"
#include "app/qt/main_frame.h"
#include "display/qt/meter_window.h"
#include "display/qt/tuner_window.h"
#include "gui/tone_fakes.h"
#include "platform/audio_test_support.h"
#include "platform/scripted_capture.h"
#include "settings/settings.h"
#include "settings/test_files.h"
#include "signals/tone_synth.h"
#include "tone/qt/fluidsynth_midi_output.h"
#include "tone/qt/qt_wave_sound.h"
#include "tone/reference_tone.h"

// The icons and the guide; outside any namespace, as the resource functions are.
static void initResources() {
    Q_INIT_RESOURCE(merlop);
}

namespace merlop {
namespace {

class MainFrameLive : public ::testing::Test {
  protected:
    void SetUp() override {
        testing::qtApp();
        initResources();
        const std::string missing = testing::testAudioMissing();
        if (!missing.empty()) GTEST_SKIP() << missing;
        lock_ = std::make_unique<testing::AudioLock>();
        Settings s = testing::measuringSettings(440);
        const auto image = s.toImage();
        std::ofstream(dir_ / "merlo301.cfg", std::ios::binary)
            .write(reinterpret_cast<const char*>(image.data()),
                   static_cast<std::streamsize>(image.size()));
    }

    MainFrame& open() {
        FrameDevices d;
        d.midi = &midi_;
        d.sound = &sound_;
        d.dialogs = &dialogs_;
        d.messages = &messages_;
        frame_ = std::make_unique<MainFrame>(dir_.path(), d);
        frame_->resize(800, 600);
        frame_->show();
        return *frame_;
    }

    // Waits until the meter has shown `name` on several blocks running.
    bool meterSettlesOn(const std::string& name, int timeoutMs) {
        int run = 0;
        return testing::runEventsUntil(
            [&] {
                TunerWindow* t = frame_->tunerWindow();
                const bool on = t != nullptr && t->meter()->model().name() == name;
                run = on ? run + 1 : 0;
                return run >= 5;
            },
            timeoutMs);
    }

    testing::TempDir dir_;
    testing::FakeMidi midi_;
    testing::FakeSound sound_;
    testing::FakeDialogs dialogs_;
    testing::RecordingMessageBox messages_;
    std::unique_ptr<testing::AudioLock> lock_;
    std::unique_ptr<MainFrame> frame_;
};

TEST_F(MainFrameLive, ReadsALiveToneOffTheMeter) {
    MainFrame& f = open();
    // A 4, 15 cents flat, as a sine into the sink the input records.
    const float hz = static_cast<float>(440.0 * std::pow(2.0, -15.0 / 1200.0));
    QtWaveSound out;
    FluidSynthMidiOutput unused(FluidSynthMidiOutput::Mode::offline);
    ReferenceTone tone(100, 1.0f, 0, 0, 4, unused, out);
    ASSERT_EQ(tone.open(), 0);
    ASSERT_EQ(tone.play(hz, 0, 0), 0);

    ASSERT_TRUE(meterSettlesOn("A 4", 15000))
        << "meter shows \""
        << (f.tunerWindow() != nullptr ? f.tunerWindow()->meter()->model().name()
                                       : std::string("no tuner"))
        << "\"";
    EXPECT_TRUE(f.core().recording());
    const MeterModel& meter = f.tunerWindow()->meter()->model();
    EXPECT_NEAR(meter.deviation(), -0.15, 0.03);
    EXPECT_NEAR(meter.frequency(), hz, 1.0);
    tone.stop();
    tone.close();
    EXPECT_TRUE(messages_.shown.empty());
}

// The input goes away under a running tuner and comes back: one box, and the tuner reads the
// next note without being switched off and on.
TEST_F(MainFrameLive, TheTunerListensAgainWhenItsInputReturns) {
    testing::TestSource guard;
    MainFrame& f = open();
    QtWaveSound out;
    FluidSynthMidiOutput unused(FluidSynthMidiOutput::Mode::offline);
    ReferenceTone tone(100, 1.0f, 0, 0, 4, unused, out);
    ASSERT_EQ(tone.open(), 0);
    ASSERT_EQ(tone.play(440.0f, 0, 0), 0);
    ASSERT_TRUE(meterSettlesOn("A 4", 15000));

    ASSERT_TRUE(testing::TestSource::unload());
    ASSERT_TRUE(testing::runEventsUntil([&] { return f.core().awaitingInput(); }, 10000));
    ASSERT_TRUE(testing::runEventsUntil([&] { return !f.core().captureActive(); }, 10000));
    tone.stop();
    ASSERT_EQ(tone.play(196.0f, 0, 0), 0);
    testing::runEventsUntil([] { return false; }, 3000);  // a retry or two finds nothing
    ASSERT_TRUE(testing::TestSource::load());

    EXPECT_TRUE(meterSettlesOn("G 3", 20000))
        << "meter shows \"" << f.tunerWindow()->meter()->model().name() << "\"";
    EXPECT_FALSE(f.core().awaitingInput());
    tone.stop();
    tone.close();
    ASSERT_EQ(messages_.shown.size(), 1u);
    EXPECT_EQ(messages_.shown[0].text, waveInErrorText(kWaveInDeviceLost));
}

// A second source on the same sink, as a USB interface would be: its module's index, -1 none.
int loadSecondSource() {
    FILE* p = popen(
        "pactl load-module module-remap-source master=S.monitor source_name=U channels=1 "
        "source_properties=device.description=USB-Interface",
        "r");
    if (p == nullptr) return -1;
    int index = -1;
    if (std::fscanf(p, "%d", &index) != 1) index = -1;
    return pclose(p) == 0 ? index : -1;
}

bool unloadModule(int index) {
    return std::system(("pactl unload-module " + std::to_string(index)).c_str()) == 0;
}

TEST_F(MainFrameLive, AChosenSourceUnpluggedFallsBackToTheDefaultAndIsTakenBackWhenItReturns) {
    int second = loadSecondSource();
    if (second < 0) GTEST_SKIP() << "the sound server cannot add a source";
    std::ofstream(dir_ / "merlop.conf")
        << "[capture]\ninputSource=U\ninputSourceName=USB-Interface\n";
    MainFrame& f = open();
    QtWaveSound out;
    FluidSynthMidiOutput unused(FluidSynthMidiOutput::Mode::offline);
    ReferenceTone tone(100, 1.0f, 0, 0, 4, unused, out);
    ASSERT_EQ(tone.open(), 0);
    ASSERT_EQ(tone.play(440.0f, 0, 0), 0);
    EXPECT_TRUE(meterSettlesOn("A 4", 15000));

    // Unplugged: no error box; the default listens, and the status bar says why.
    ASSERT_TRUE(unloadModule(second));
    EXPECT_TRUE(testing::runEventsUntil(
        [&] { return f.statusText().contains(QStringLiteral("is not there")); }, 10000))
        << f.statusText().toStdString();
    tone.stop();
    ASSERT_EQ(tone.play(196.0f, 0, 0), 0);
    EXPECT_TRUE(meterSettlesOn("G 3", 15000));

    // Plugged in again: back to it.
    second = loadSecondSource();
    ASSERT_GE(second, 0);
    EXPECT_TRUE(testing::runEventsUntil(
        [&] { return f.statusText() == QStringLiteral("Listening to \"USB-Interface\""); }, 10000))
        << f.statusText().toStdString();
    tone.stop();
    ASSERT_EQ(tone.play(330.0f, 0, 0), 0);
    EXPECT_TRUE(meterSettlesOn("E 4", 15000));
    tone.stop();
    tone.close();
    frame_.reset();
    unloadModule(second);
    EXPECT_TRUE(messages_.shown.empty()) << messages_.shown.front().text;
}

TEST_F(MainFrameLive, AWaveFileOpenedThroughTheDialogIsHeardAndRead) {
    const auto path = dir_ / "g3.wav";
    ASSERT_TRUE(writeWav(path.string(), sineTone(196.0, 6.0, 22050, 0.4), 22050, 16));
    dialogs_.answer = path.string();
    MainFrame& f = open();
    ASSERT_TRUE(testing::runEventsUntil([&] { return f.core().recording(); }, 5000));

    f.action(QStringLiteral("openWave"))->trigger();
    // The live run closes first; under a loaded test run that can take a while.
    ASSERT_TRUE(testing::runEventsUntil([&] { return f.core().fileMode(); }, 15000));
    EXPECT_TRUE(testing::runEventsUntil(
        [&] { return f.statusText() == QStringLiteral("WAV file display"); }, 15000))
        << f.statusText().toStdString();
    ASSERT_TRUE(meterSettlesOn("G 3", 8000));
    EXPECT_NEAR(f.tunerWindow()->meter()->model().deviation(), 0.0, 0.02);

    // At its end the tuner goes back to the card.
    ASSERT_TRUE(testing::runEventsUntil([&] { return !f.core().fileMode(); }, 12000));
    EXPECT_TRUE(testing::runEventsUntil([&] { return f.core().recording(); }, 5000));
    EXPECT_TRUE(messages_.shown.empty());
}

}  // namespace
}  // namespace merlop
