#include <gtest/gtest.h>

#include <vector>

#include "audio/wave_input.h"
#include "platform/scripted_capture.h"

namespace merlop {
namespace {

using testing::RecordingMessageBox;
using testing::ScriptedCapture;

constexpr const char* kCaption = "sound recording device error";

// Plays the main frame's part: start on open, convert and re-queue each buffer; once stopped,
// count the buffers home and close.
struct Owner : WaveInListener {
    explicit Owner(WaveInDevice& d) : device(d) {}
    void onWaveInOpen() override {
        events += 'O';
        startResult = device.start();
    }
    void onWaveInData() override {
        events += 'D';
        const int left = device.bufferReturned();
        if (stopped) {
            if (left == 0) closeResult = device.close();
            return;
        }
        std::vector<int> block(blockSize);
        int min = 0;
        int max = 0;
        device.convert(block.data(), blockSize, &min, &max);
        samples.insert(samples.end(), block.begin(), block.end());
        device.start();
        queued.push_back(device.queued());
    }
    void onWaveInClose() override { events += 'C'; }
    void onWaveInError(int error) override {
        events += 'E';
        errors.push_back(error);
        stopped = true;
    }

    WaveInDevice& device;
    std::vector<int> errors;
    unsigned blockSize = 4;
    bool stopped = false;
    int startResult = -100;
    int closeResult = -100;
    std::string events;
    std::vector<int> samples;
    std::vector<int> queued;
};

// 16-bit samples whose 12-bit values are from, from + 1, ...
std::vector<std::uint8_t> ramp(int from, int count) {
    std::vector<std::uint8_t> bytes;
    for (int i = 0; i < count; ++i) {
        const auto v = static_cast<std::uint16_t>((from + i) * 16);
        bytes.push_back(v & 0xFF);
        bytes.push_back(v >> 8);
    }
    return bytes;
}

struct WaveInDeviceTest : ::testing::Test {
    void openRecording(int rate, int bits, unsigned n) {
        owner.blockSize = n;
        ASSERT_EQ(device.open(&owner, rate, bits, n), 0);
        EXPECT_EQ(owner.events, "");  // notices come from the event loop, never from a call
        service.deliver();
        ASSERT_EQ(owner.startResult, 0);
    }

    ScriptedCapture service;
    RecordingMessageBox box;
    WaveInDevice device{service, box};
    Owner owner{device};
    int rates[3] = {-1, -1, -1};
    int depths[2] = {-1, -1};
    int count = -1;
    std::string name;
};

TEST_F(WaveInDeviceTest, QueryMapsMonoFormatsToRatesAndDepths) {
    service.devices = 0;
    EXPECT_EQ(device.queryFormats(rates, depths, &count, &name), -1);
    EXPECT_EQ(count, 0);
    EXPECT_EQ(rates[0] | rates[1] | rates[2] | depths[0] | depths[1], 0);

    service.devices = 2;
    service.formats = kMono11kHz8Bit | kMono44kHz16Bit;
    ASSERT_EQ(device.queryFormats(rates, depths, &count, &name), 0);
    EXPECT_EQ(count, 2);
    EXPECT_EQ(std::vector<int>(rates, rates + 3), (std::vector<int>{11025, 0, 44100}));
    EXPECT_EQ(std::vector<int>(depths, depths + 2), (std::vector<int>{8, 16}));
    EXPECT_EQ(name, "Mapper");
    EXPECT_EQ(service.capsAsked, (std::vector<int>{-1, -1}));
}

TEST_F(WaveInDeviceTest, QueryFallsBackToEachDeviceAndShowsWhenBothFail) {
    service.devices = 2;
    service.formats = kMono22kHz8Bit;
    service.mapperWorks = false;
    ASSERT_EQ(device.queryFormats(rates, depths, &count, &name), 0);
    EXPECT_EQ(service.capsAsked, (std::vector<int>{-1, 0, -1, 1}));
    EXPECT_EQ(name, "Card 1");
    EXPECT_EQ(std::vector<int>(rates, rates + 3), (std::vector<int>{0, 22050, 0}));
    EXPECT_EQ(std::vector<int>(depths, depths + 2), (std::vector<int>{8, 0}));
    EXPECT_TRUE(box.shown.empty());

    service.devicesWork = false;
    ASSERT_EQ(device.queryFormats(rates, depths, &count, &name), 0);
    ASSERT_EQ(box.shown.size(), 2u);
    EXPECT_EQ(box.shown[0].caption, kCaption);
    EXPECT_EQ(rates[1], 0);
}

TEST_F(WaveInDeviceTest, OpenDescribesMonoPcmOrShowsWhyNot) {
    EXPECT_EQ(device.open(&owner, 11025, 8, 0), kWaveInInvalidParameter);
    EXPECT_EQ(device.open(&owner, 11025, 24, 512), kWaveInInvalidParameter);
    service.openError = kWaveInNoDevice;
    EXPECT_EQ(device.open(&owner, 11025, 8, 512), kWaveInNoDevice);
    EXPECT_FALSE(device.isOpen());
    ASSERT_EQ(box.shown.size(), 3u);
    EXPECT_EQ(box.shown[2].text, "No sound recording device is available.");
    EXPECT_EQ(box.shown[2].caption, kCaption);

    service.openError = 0;
    ASSERT_EQ(device.open(&owner, 22050, 16, 1024), 0);
    EXPECT_EQ(device.bufferBytes(), 2048);
    const WaveFormat& f = service.format;
    EXPECT_EQ(f.formatTag, 1);
    EXPECT_EQ(f.channels, 1);
    EXPECT_EQ(f.samplesPerSec, 22050u);
    EXPECT_EQ(f.avgBytesPerSec, 44100u);
    EXPECT_EQ(f.blockAlign, 2);
    EXPECT_EQ(f.bitsPerSample, 16);
    EXPECT_EQ(device.open(&owner, 22050, 16, 1024), kWaveInAlreadyOpen);
}

TEST_F(WaveInDeviceTest, BlocksArriveWholeAndInOrderAcrossTheHandOver) {
    openRecording(11025, 16, 4);
    // Both buffers are queued around the start.
    EXPECT_EQ(service.calls, "open add start add ");
    EXPECT_EQ(device.queued(), 2);
    EXPECT_EQ(device.current(), 0);
    for (int block = 0; block < 3; ++block) {
        service.feed(ramp(-6 + 4 * block, 4));
        service.deliver();
    }
    EXPECT_EQ(owner.samples, (std::vector<int>{-6, -5, -4, -3, -2, -1, 0, 1, 2, 3, 4, 5}));
    EXPECT_EQ(owner.queued, (std::vector<int>{2, 2, 2}));
    ASSERT_EQ(service.added.size(), 5u);
    EXPECT_NE(service.added[0], service.added[1]);
    EXPECT_EQ(service.added[2], service.added[0]);
    EXPECT_EQ(service.added[4], service.added[0]);
    EXPECT_EQ(device.current(), 1);

    // While the owner is busy, input beyond the two queued buffers is lost.
    service.feed(ramp(100, 14));
    service.deliver();
    service.feed(ramp(200, 4));
    service.deliver();
    const std::vector<int> tail(owner.samples.end() - 12, owner.samples.end());
    EXPECT_EQ(tail, (std::vector<int>{100, 101, 102, 103, 104, 105, 106, 107, 200, 201, 202, 203}));
}

TEST_F(WaveInDeviceTest, EightAndSixteenBitSamplesComeOutOnTheTwelveBitScale) {
    openRecording(11025, 8, 4);
    service.feed({0x80, 0x00, 0xFF, 0x81});
    std::vector<int> out(6, 99);  // more than the buffer holds: the rest is zero
    int min = 0;
    int max = 0;
    device.convert(out.data(), 6, &min, &max);
    EXPECT_EQ(out, (std::vector<int>{0, -2048, 2032, 16, 0, 0}));
    EXPECT_EQ(min, -2048);
    EXPECT_EQ(max, 2032);

    ScriptedCapture service16;
    WaveInDevice wide(service16, box);
    Owner owner16(wide);
    ASSERT_EQ(wide.open(&owner16, 44100, 16, 2), 0);
    service16.deliver();
    service16.feed({0xFF, 0x7F, 0x00, 0x80});
    wide.convert(out.data(), 2, &min, &max);
    EXPECT_EQ(out[0], 2047);
    EXPECT_EQ(out[1], -2048);
}

TEST_F(WaveInDeviceTest, ResetReturnsEveryQueuedBufferAndCloseFollowsThem) {
    openRecording(11025, 16, 4);
    service.feed(ramp(1, 4));
    service.deliver();
    service.feed(ramp(5, 2));

    // Closing with buffers still queued is refused, and nothing is freed.
    EXPECT_EQ(device.close(), kWaveInStillRecording);
    ASSERT_EQ(box.shown.size(), 1u);
    EXPECT_EQ(box.shown[0].caption, kCaption);
    EXPECT_TRUE(device.isOpen());

    owner.stopped = true;
    ASSERT_EQ(device.reset(), 0);
    EXPECT_TRUE(device.stopping());
    // The partly filled buffer comes back first and reads as its samples padded with zeros.
    std::vector<int> block(4, 99);
    int min = 0;
    int max = 0;
    device.convert(block.data(), 4, &min, &max);
    EXPECT_EQ(block, (std::vector<int>{5, 6, 0, 0}));
    EXPECT_EQ(device.start(), 0);  // a start after the reset queues nothing
    EXPECT_EQ(service.added.size(), 3u);

    service.deliver();
    EXPECT_EQ(owner.events, "ODDDC");
    EXPECT_EQ(owner.closeResult, 0);
    EXPECT_FALSE(device.isOpen());
    EXPECT_EQ(device.close(), kWaveInNotOpen);
}

TEST_F(WaveInDeviceTest, StartFailureIsShownAndAnOpenDeviceShutsDownQuietly) {
    service.startError = kWaveInDeviceFailed;
    ASSERT_EQ(device.open(&owner, 11025, 8, 16), 0);
    service.deliver();
    EXPECT_EQ(owner.startResult, kWaveInDeviceFailed);
    ASSERT_EQ(box.shown.size(), 1u);
    EXPECT_EQ(box.shown[0].text, "The sound recording device could not be started.");
    EXPECT_FALSE(device.started());
    {
        WaveInDevice scoped(service, box);
        ASSERT_EQ(scoped.open(&owner, 11025, 8, 16), 0);
    }
    EXPECT_EQ(service.calls.substr(service.calls.size() - 9), "shutdown ");
    EXPECT_TRUE(service.notes.empty());
}

TEST_F(WaveInDeviceTest, ALostDeviceIsShownStopsCleanlyAndCanBeOpenedAgain) {
    openRecording(11025, 16, 4);
    service.feed(ramp(1, 4));
    service.deliver();
    service.feed(ramp(5, 2));
    service.lose();
    service.deliver();
    // The error comes first, shown once with the device's caption; then both buffers come home
    // and the owner's ordinary close follows.
    EXPECT_EQ(owner.events, "ODEDDC");
    EXPECT_EQ(owner.errors, (std::vector<int>{kWaveInDeviceLost}));
    ASSERT_EQ(box.shown.size(), 1u);
    EXPECT_EQ(box.shown[0].caption, kCaption);
    EXPECT_EQ(box.shown[0].text, waveInErrorText(kWaveInDeviceLost));
    EXPECT_EQ(owner.closeResult, 0);
    EXPECT_FALSE(device.isOpen());
    EXPECT_EQ(service.added.size(), 3u);  // nothing was queued once the error had arrived

    owner.stopped = false;
    owner.events.clear();
    openRecording(11025, 16, 4);
    service.feed(ramp(9, 4));
    service.deliver();
    EXPECT_EQ(owner.events, "OD");
    EXPECT_EQ(std::vector<int>(owner.samples.end() - 4, owner.samples.end()),
              (std::vector<int>{9, 10, 11, 12}));
}

}  // namespace
}  // namespace merlop
