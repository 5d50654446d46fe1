// Long live capture through the real device, for scripts/soak-capture: runs only when
// MERLOP_SOAK_SECONDS is set, and reports the process's memory at the start and the end.

#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <string>
#include <vector>

#include "audio/qt/qt_wave_capture.h"
#include "platform/audio_test_support.h"
#include "platform/scripted_capture.h"
#include "tone/qt/qt_wave_sound.h"
#include "tone/sine_image.h"

namespace merlop {
namespace {

// Resident and peak resident size in kB, from /proc/self/status.
struct Memory {
    long rss = -1;
    long peak = -1;
};

Memory memoryNow() {
    Memory m;
    std::ifstream status("/proc/self/status");
    std::string key;
    while (status >> key) {
        if (key == "VmRSS:") status >> m.rss;
        if (key == "VmHWM:") status >> m.peak;
    }
    return m;
}

struct Listener : WaveInListener {
    Listener(WaveInDevice& d, testing::Judge& j) : device(d), judge(j), block(j.blockLength()) {}
    void onWaveInOpen() override { device.start(); }
    void onWaveInData() override {
        const int left = device.bufferReturned();
        if (device.stopping()) {
            if (left == 0) device.close();
            return;
        }
        int min = 0;
        int max = 0;
        device.convert(block.data(), static_cast<unsigned>(block.size()), &min, &max);
        judge.analyse(block.data());
        ++blocks;
        device.start();
    }
    void onWaveInClose() override { closed = true; }
    void onWaveInError(int) override { lost = true; }

    WaveInDevice& device;
    testing::Judge& judge;
    std::vector<int> block;
    long blocks = 0;
    bool closed = false;
    bool lost = false;
};

TEST(LiveSoak, CaptureKeepsItsMemoryFlat) {
    const char* seconds = std::getenv("MERLOP_SOAK_SECONDS");
    if (seconds == nullptr) GTEST_SKIP() << "a soak run: scripts/soak-capture";
    testing::qtApp();
    const std::string missing = testing::testAudioMissing();
    if (!missing.empty()) GTEST_SKIP() << missing;
    testing::AudioLock lock;
    const long total = std::atol(seconds);

    std::vector<std::uint8_t> image(kSineImageBytes);
    ASSERT_GT(writeSineImage(image.data(), 440.0f, 1.0f, 100), 0);
    QtWaveSound tone;
    ASSERT_TRUE(tone.playLooped(image.data(), image.size()));

    Settings settings = testing::measuringSettings(440);
    testing::Judge judge(settings, 44100, 16);
    testing::RecordingMessageBox box;
    QtWaveCapture capture;
    WaveInDevice device(capture, box);
    Listener listener(device, judge);
    ASSERT_EQ(device.open(&listener, 44100, 16, judge.blockLength()), 0);

    // The first seconds fill the allocators' pools; count from there.
    testing::runEventsUntil([] { return false; }, 10000);
    const Memory start = memoryNow();
    const long startBlocks = listener.blocks;
    std::printf("soak start: RSS %ld kB, peak RSS %ld kB, %ld blocks\n", start.rss, start.peak,
                startBlocks);
    for (long minute = 1; minute * 60 <= total; ++minute) {
        testing::runEventsUntil([&] { return listener.lost; }, 60000);
        const Memory m = memoryNow();
        std::printf("after %ld min: RSS %ld kB, peak RSS %ld kB, %ld blocks\n", minute, m.rss,
                    m.peak, listener.blocks);
        std::fflush(stdout);
        ASSERT_FALSE(listener.lost);
    }
    testing::runEventsUntil([&] { return listener.lost; }, (total % 60) * 1000);
    const Memory end = memoryNow();
    std::printf("soak end: RSS %ld kB, peak RSS %ld kB, %ld blocks in %ld s\n", end.rss, end.peak,
                listener.blocks - startBlocks, total);
    device.reset();
    testing::runEventsUntil([&] { return listener.closed; }, 5000);
    tone.stop();

    EXPECT_TRUE(box.shown.empty());
    EXPECT_GT(listener.blocks - startBlocks, total * 44100 / judge.blockLength() * 9 / 10);
    // Flat: the peak may grow by a little noise, not by what a leak per block would add.
    EXPECT_LT(end.peak - start.peak, 2048);
}

}  // namespace
}  // namespace merlop
