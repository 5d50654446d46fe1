// Real sound through the desktop's audio: tones are played into the null sink of the test sound
// server (scripts/with-test-env) and recorded back from its monitor through the wave input
// device, then judged by the analysis. Without that server these tests skip.

#include <gtest/gtest.h>

#include <QMediaDevices>
#include <QTemporaryDir>
#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "app/qt/wav_file_player.h"
#include "audio/qt/qt_wave_capture.h"
#include "platform/audio_test_support.h"
#include "platform/scripted_capture.h"
#include "signals/tone_synth.h"
#include "tone/qt/fluidsynth_midi_output.h"
#include "tone/qt/qt_wave_sound.h"
#include "tone/reference_tone.h"

namespace merlop {
namespace {

using testing::centsBetween;
using testing::Heard;
using testing::Judge;
using testing::measuringSettings;
using testing::RecordingMessageBox;

// Drives the device as the main frame does, handing each block to the judge.
struct Recorder : WaveInListener {
    Recorder(WaveInDevice& d, Judge& j, int wanted) : device(d), judge(j), wanted(wanted) {}

    void onWaveInOpen() override {
        events += 'O';
        failed |= device.start() != 0;
    }
    void onWaveInData() override {
        events += 'D';
        const int left = device.bufferReturned();
        if (stopping) {
            if (left == 0) failed |= device.close() != 0;
            return;
        }
        std::vector<int> block(judge.blockLength());
        int min = 0;
        int max = 0;
        device.convert(block.data(), static_cast<unsigned>(block.size()), &min, &max);
        judge.analyse(block.data());
        levels.push_back(max - min);
        gaps.push_back(longestQuiet(block));
        failed |= device.start() != 0;
        if (static_cast<int>(levels.size()) == wanted) {
            stopping = true;
            failed |= device.reset() != 0;
        }
    }
    void onWaveInClose() override { events += 'C'; }
    // The longest run of samples within one 8-bit step of silence: a tone has none longer than
    // its zero crossings, a gap in the sound has.
    static int longestQuiet(const std::vector<int>& block) {
        int run = 0;
        int longest = 0;
        for (int v : block) {
            run = std::abs(v) <= 16 ? run + 1 : 0;
            longest = std::max(longest, run);
        }
        return longest;
    }
    void onWaveInError(int) override {
        events += 'E';
        stopping = true;
    }

    WaveInDevice& device;
    Judge& judge;
    int wanted;
    bool stopping = false;
    bool failed = false;
    std::string events;
    std::vector<int> levels;
    std::vector<int> gaps;
};

class LiveAudio : public ::testing::Test {
  protected:
    void SetUp() override {
        testing::qtApp();
        const std::string missing = testing::testAudioMissing();
        if (!missing.empty()) GTEST_SKIP() << missing;
        lock_ = std::make_unique<testing::AudioLock>();
    }

    // Records `blocks` blocks at the rate and depth given and returns what the tuner heard; the
    // first `skip` blocks, while the sound finds its way round, do not count.
    Heard listen(Settings settings, int rate, int bits, int blocks, int skip) {
        settings.analysisWindowMs = 100;  // short blocks keep the recording short
        Judge judge(settings, rate, bits, skip);
        Recorder recorder(device_, judge, blocks);
        const std::size_t boxes = box_.shown.size();
        EXPECT_EQ(device_.open(&recorder, rate, bits, judge.blockLength()), 0);
        EXPECT_TRUE(testing::runEventsUntil(
            [&] { return !recorder.events.empty() && recorder.events.back() == 'C'; }, 15000));
        // Every block came back, the two queued at the reset included, and the close came last.
        EXPECT_EQ(recorder.events, "O" + std::string(blocks + 2, 'D') + "C");
        EXPECT_FALSE(recorder.failed);
        EXPECT_EQ(box_.shown.size(), boxes);
        EXPECT_EQ(capture_.foreignThreadDeliveries(), 0);
        levels_ = recorder.levels;
        gaps_ = recorder.gaps;
        return judge.heard();
    }

    RecordingMessageBox box_;
    QtWaveCapture capture_;
    WaveInDevice device_{capture_, box_};
    std::unique_ptr<testing::AudioLock> lock_;
    std::vector<int> levels_;
    std::vector<int> gaps_;
};

TEST_F(LiveAudio, QueryFindsTheTestSourceWithEveryMonoFormat) {
    int rates[3];
    int depths[2];
    int count = 0;
    std::string name;
    ASSERT_EQ(device_.queryFormats(rates, depths, &count, &name), 0);
    EXPECT_GE(count, 1);
    EXPECT_FALSE(name.empty());
    EXPECT_EQ(std::vector<int>(rates, rates + 3), (std::vector<int>{11025, 22050, 44100}));
    EXPECT_EQ(std::vector<int>(depths, depths + 2), (std::vector<int>{8, 16}));
}

TEST_F(LiveAudio, HearsTheSineReferenceToneAtItsNote) {
    PitchModel pitch;
    pitch.setReferenceA(446);
    const float f = pitch.frequencyOfNote(58, 0.0f);  // G4 under A = 446 Hz
    QtWaveSound sound;
    FluidSynthMidiOutput unused(FluidSynthMidiOutput::Mode::offline);
    ReferenceTone tone(100, 1.0f, 0, 0, 4, unused, sound);
    ASSERT_EQ(tone.open(), 0);
    ASSERT_EQ(tone.play(f, 0, 0), 0);
    const Heard h = listen(measuringSettings(446), 44100, 16, 12, 3);
    tone.stop();
    tone.close();
    ASSERT_GT(h.blocks, 5);
    std::printf("sine %.3f Hz heard at %.3f Hz (%+.2f cents)\n", f, h.frequency,
                centsBetween(h.frequency, f));
    EXPECT_EQ(h.note, 58);
    EXPECT_NEAR(h.deviation, 0.0f, 0.02f);
    EXPECT_NEAR(centsBetween(h.frequency, f), 0.0, 2.0);
}

TEST_F(LiveAudio, HearsTheMidiReferenceToneThroughAnEightBitCapture) {
    if (FluidSynthMidiOutput::findSoundFont().empty()) GTEST_SKIP() << "no General MIDI soundfont";
    const float f = 330.0f;  // 2 cents above E4: the bend has work to do
    FluidSynthMidiOutput synth;
    QtWaveSound unused;
    ReferenceTone tone(120, 1.0f, 1, 0, 4, synth, unused);
    ASSERT_EQ(tone.open(), 0) << synth.lastError();
    ASSERT_EQ(tone.play(f, 0, 71), 0);  // clarinet: sustained, in tune to about a cent
    // Its sample starts up to 7 cents flat for about 0.3 s and sways by 5 cents from 1.7 s on,
    // with or without a bend: the blocks between are judged.
    const Heard h = listen(measuringSettings(440), 11025, 8, 10, 3);
    tone.stop();
    tone.close();
    ASSERT_GT(h.blocks, 5);
    // The sound flows without a break once it has begun (2 ms of silence is a gap). A busy
    // system may drop a stretch of the recording now and then; a synthesiser that runs dry
    // leaves gaps in most blocks.
    int broken = 0;
    for (std::size_t i = 3; i < gaps_.size(); ++i) broken += gaps_[i] >= 22 ? 1 : 0;
    EXPECT_LE(broken, 2);
    std::printf("MIDI %.3f Hz heard at %.3f Hz (%+.2f cents)\n", f, h.frequency,
                centsBetween(h.frequency, f));
    EXPECT_EQ(h.note, 55);
    EXPECT_NEAR(centsBetween(h.frequency, f), 0.0, 2.0);
}

TEST_F(LiveAudio, WavFilePlayerPlaysFromTheGivenSampleAndStops) {
    QTemporaryDir dir;
    const std::string path = dir.filePath("two-tones.wav").toStdString();
    const int rate = 22050;
    std::vector<float> x = sineTone(300.0, 1.0, rate, 0.5);
    const std::vector<float> later = sineTone(500.0, 3.0, rate, 0.5);
    x.insert(x.end(), later.begin(), later.end());
    ASSERT_TRUE(writeWav(path, x, rate, 16));

    WavFilePlayer player(box_);
    ASSERT_EQ(player.Open(path), 0);
    EXPECT_EQ(player.frameCount(), static_cast<std::int64_t>(x.size()));
    EXPECT_EQ(player.Play(player.frameCount() + 1), WavFilePlayer::kPositionOutOfRange);
    // Just past the first second: only the 500 Hz tone may be heard.
    ASSERT_EQ(player.Play(rate + rate / 10), 0);
    const Heard h = listen(measuringSettings(440), 44100, 16, 10, 3);
    EXPECT_NEAR(centsBetween(h.frequency, 500.0), 0.0, 2.0);
    EXPECT_EQ(h.note, 62);  // B4 and 21 cents

    EXPECT_EQ(player.Stop(), 0);
    testing::runEventsUntil([] { return false; }, 300);
    listen(measuringSettings(440), 44100, 16, 3, 0);
    for (std::size_t i = 1; i < levels_.size(); ++i) EXPECT_LT(levels_[i], 8);

    // Played near its end, the output lets itself go when the data runs out.
    ASSERT_EQ(player.Play(player.frameCount() - 100), 0);
    EXPECT_TRUE(testing::runEventsUntil([&] { return !player.isPlaying(); }, 3000));
    EXPECT_EQ(player.Close(), 0);
    EXPECT_FALSE(player.isOpen());
    EXPECT_TRUE(box_.shown.empty());
}

TEST_F(LiveAudio, LosingTheInputStopsCaptureCleanlyAndItStartsAgainWhenBack) {
    testing::TestSource guard;
    Settings settings = measuringSettings(440);
    settings.analysisWindowMs = 100;
    Judge judge(settings, 11025, 16);
    Recorder recorder(device_, judge, 1 << 30);  // until the device goes
    ASSERT_EQ(device_.open(&recorder, 11025, 16, judge.blockLength()), 0);
    ASSERT_TRUE(testing::runEventsUntil([&] { return recorder.levels.size() >= 3; }, 10000));

    ASSERT_TRUE(testing::TestSource::unload());
    ASSERT_TRUE(testing::runEventsUntil(
        [&] { return !recorder.events.empty() && recorder.events.back() == 'C'; }, 10000))
        << recorder.events;
    const std::size_t e = recorder.events.find('E');
    ASSERT_NE(e, std::string::npos);
    // Shown once, as any other device error; the two buffers came home and the device closed.
    EXPECT_EQ(recorder.events.substr(e), "EDDC");
    ASSERT_EQ(box_.shown.size(), 1u);
    EXPECT_EQ(box_.shown[0].caption, "sound recording device error");
    EXPECT_EQ(box_.shown[0].text, waveInErrorText(kWaveInDeviceLost));
    EXPECT_FALSE(device_.isOpen());
    EXPECT_FALSE(recorder.failed);
    // Nothing keeps running once it has closed.
    const std::string closed = recorder.events;
    testing::runEventsUntil([] { return false; }, 500);
    EXPECT_EQ(recorder.events, closed);

    ASSERT_TRUE(testing::TestSource::load());
    ASSERT_TRUE(testing::runEventsUntil([] { return !QMediaDevices::defaultAudioInput().isNull(); },
                                        10000));
    listen(settings, 11025, 16, 4, 0);
    EXPECT_EQ(levels_.size(), 4u);
    EXPECT_EQ(box_.shown.size(), 1u);
}

TEST(WavFilePlayerErrors, OpenFailuresAreShownOthersOnlyKept) {
    testing::qtApp();
    RecordingMessageBox box;
    WavFilePlayer player(box);
    EXPECT_EQ(player.Play(0), WavFilePlayer::kNotOpen);
    EXPECT_EQ(player.Stop(), WavFilePlayer::kNotOpen);
    EXPECT_EQ(player.Close(), WavFilePlayer::kNotOpen);
    EXPECT_EQ(player.lastError(), WavFilePlayer::kNotOpen);
    EXPECT_TRUE(box.shown.empty());

    QTemporaryDir dir;
    const std::string text = dir.filePath("notes.wav").toStdString();
    const std::string deep = dir.filePath("deep.wav").toStdString();
    std::FILE* f = std::fopen(text.c_str(), "wb");
    std::fputs("these are not the samples you are looking for", f);
    std::fclose(f);
    // 24 bits in frames that claim 2 bytes: a wave file, but none that can be played.
    std::vector<std::uint8_t> image = wavImage(sineTone(440, 0.1, 8000, 0.5), 8000, 16);
    image[34] = 24;
    f = std::fopen(deep.c_str(), "wb");
    std::fwrite(image.data(), 1, image.size(), f);
    std::fclose(f);

    EXPECT_EQ(player.Open("/nonexistent/sound.wav"), WavFilePlayer::kCannotOpenFile);
    EXPECT_EQ(player.Open(text), WavFilePlayer::kNotWaveFile);
    EXPECT_EQ(player.Open(deep), WavFilePlayer::kUnsupportedFormat);
    EXPECT_FALSE(player.isOpen());
    ASSERT_EQ(box.shown.size(), 3u);
    EXPECT_EQ(box.shown[0].text, WavFilePlayer::errorText(WavFilePlayer::kCannotOpenFile));
    for (const auto& s : box.shown) {
        EXPECT_EQ(s.caption, "MCI device error");
        EXPECT_LE(s.text.size(), 128u);
    }

    QtWaveSound sound;  // the same goes for the sine's wave output
    const std::uint8_t junk[64] = {'R', 'I', 'F', 'F'};
    EXPECT_FALSE(sound.playLooped(junk, sizeof junk));
    EXPECT_FALSE(sound.isPlaying());
}

}  // namespace
}  // namespace merlop
