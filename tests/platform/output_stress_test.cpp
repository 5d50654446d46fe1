// Many short lives of every sound output and of the capture on the test sound server, with the
// other core kept busy: starting, stopping and destroying a stream races the sound server
// client's own thread, which once called back into outputs already destroyed.
// MERLOP_STRESS_CYCLES sets the number of cycles (scripts/stress-audio runs long ones).

#include <gtest/gtest.h>

#include <QTemporaryDir>
#include <atomic>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <random>
#include <string>
#include <thread>
#include <vector>

#include "app/qt/wav_file_player.h"
#include "audio/qt/qt_wave_capture.h"
#include "audio/wave_input.h"
#include "platform/audio_test_support.h"
#include "platform/scripted_capture.h"
#include "signals/tone_synth.h"
#include "tone/qt/fluidsynth_midi_output.h"
#include "tone/qt/qt_wave_sound.h"
#include "tone/sine_image.h"

namespace merlop {
namespace {

using testing::RecordingMessageBox;
using testing::runEventsUntil;

int cyclesOr(int fallback) {
    if (const char* s = std::getenv("MERLOP_STRESS_CYCLES")) {
        const int n = std::atoi(s);
        if (n > 0) return n;
    }
    return fallback;
}

// Keeps the other core busy for as long as it lives.
class BusyCore {
  public:
    BusyCore()
        : thread_([this] {
              volatile std::uint64_t x = 0;
              while (!stop_.load(std::memory_order_relaxed)) x = x + 1;
          }) {}
    ~BusyCore() {
        stop_ = true;
        thread_.join();
    }

  private:
    std::atomic<bool> stop_{false};
    std::thread thread_;
};

void settle(int ms) {
    runEventsUntil([] { return false; }, ms);
}

class OutputStress : public ::testing::Test {
  protected:
    void SetUp() override {
        testing::qtApp();
        const std::string missing = testing::testAudioMissing();
        if (!missing.empty()) GTEST_SKIP() << missing;
        lock_ = std::make_unique<testing::AudioLock>();
    }

    std::mt19937 random_{20261208};
    std::unique_ptr<testing::AudioLock> lock_;
};

// Each cycle plays the last few milliseconds of a file, so the output runs dry and lets itself
// go, or stops it early; the player is destroyed every cycle.
TEST_F(OutputStress, WavFilePlayerSurvivesShortPlaysToTheEndAndEarlyStops) {
    QTemporaryDir dir;
    const std::string path = dir.filePath("short.wav").toStdString();
    ASSERT_TRUE(writeWav(path, sineTone(440.0, 0.2, 22050, 0.3), 22050, 16));
    // Before the mend about 0.7 % of these cycles crashed: 450 catch that with 96 % certainty.
    const int cycles = cyclesOr(450);
    RecordingMessageBox box;
    BusyCore busy;
    int ended = 0;
    for (int i = 0; i < cycles; ++i) {
        WavFilePlayer player(box);
        ASSERT_EQ(player.Open(path), 0);
        const auto tail = static_cast<std::int64_t>(random_() % 400);
        ASSERT_EQ(player.Play(player.frameCount() - tail), 0);
        if (i % 2 == 0) {
            ended += runEventsUntil([&] { return !player.isPlaying(); }, 3000);
        } else {
            // Around the moment the data runs out and the output drains.
            settle(static_cast<int>(random_() % 60));
            player.Stop();
        }
    }
    std::printf("%d player cycles, %d ran to their end\n", cycles, ended);
    EXPECT_EQ(ended, (cycles + 1) / 2);
    EXPECT_TRUE(box.shown.empty());
}

TEST_F(OutputStress, SineToneSurvivesShortPlaysAndStops) {
    std::vector<std::uint8_t> image(kSineImageBytes);
    ASSERT_GT(writeSineImage(image.data(), 440.0f, 1.0f, 100), 0);
    const int cycles = cyclesOr(150);
    BusyCore busy;
    for (int i = 0; i < cycles; ++i) {
        QtWaveSound sound;
        ASSERT_TRUE(sound.playLooped(image.data(), image.size()));
        settle(static_cast<int>(random_() % 15));
        if (i % 2 == 0) sound.stop();
    }
}

TEST_F(OutputStress, MidiOutputSurvivesShortNotesAndClose) {
    if (FluidSynthMidiOutput::findSoundFont().empty()) GTEST_SKIP() << "no General MIDI soundfont";
    const int cycles = cyclesOr(150) / 5;
    FluidSynthMidiOutput kept;  // the soundfont is read once; each cycle opens a stream
    BusyCore busy;
    for (int i = 0; i < cycles; ++i) {
        ASSERT_EQ(kept.open(), 0) << kept.lastError();
        kept.shortMessage(0x7F4590);  // Note On A4
        settle(static_cast<int>(random_() % 15));
        kept.close();
    }
    for (int i = 0; i < cycles / 5; ++i) {
        FluidSynthMidiOutput synth;
        ASSERT_EQ(synth.open(), 0) << synth.lastError();
        synth.shortMessage(0x7F4590);
        settle(static_cast<int>(random_() % 15));
    }
}

// Drives the device as the main frame does and stops after a few blocks or at once.
struct Cycler : WaveInListener {
    explicit Cycler(WaveInDevice& d) : device(d) {}
    void onWaveInOpen() override {
        if (device.start() != 0) closed = true;
        if (wanted == 0) device.reset();
    }
    void onWaveInData() override {
        const int left = device.bufferReturned();
        if (device.stopping()) {
            if (left == 0) device.close();
            return;
        }
        if (++blocks >= wanted) {
            device.reset();
        } else {
            device.start();
        }
    }
    void onWaveInClose() override { closed = true; }

    WaveInDevice& device;
    int wanted = 1;
    int blocks = 0;
    bool closed = false;
};

TEST_F(OutputStress, CaptureSurvivesOpenAndCloseCycles) {
    const int cycles = cyclesOr(150) / 3;
    RecordingMessageBox box;
    BusyCore busy;
    int closedCleanly = 0;
    for (int i = 0; i < cycles; ++i) {
        QtWaveCapture capture;
        WaveInDevice device(capture, box);
        Cycler cycler(device);
        cycler.wanted = static_cast<int>(random_() % 3);
        ASSERT_EQ(device.open(&cycler, 11025, 16, 256), 0);
        if (i % 3 == 2) {
            settle(static_cast<int>(random_() % 15));  // destroyed while recording
            continue;
        }
        closedCleanly += runEventsUntil([&] { return cycler.closed; }, 3000);
    }
    EXPECT_EQ(closedCleanly, cycles - cycles / 3);
    EXPECT_TRUE(box.shown.empty());
}

}  // namespace
}  // namespace merlop
