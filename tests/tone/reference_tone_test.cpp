#include "tone/reference_tone.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <climits>
#include <cmath>
#include <vector>

#include "tone/midi_output.h"
#include "tone/sine_image.h"
#include "tone/wave_sound.h"

namespace merlop {
namespace {

constexpr std::uint32_t kReset = 0xFFFFFFFF;  // stands for a reset in the recorded stream

struct Outputs : MidiOutput, WaveSound {
    int open() override { return openResult; }
    void reset() override { sent.push_back(kReset); }
    void shortMessage(std::uint32_t m) override { sent.push_back(m); }
    void close() override { ++closes; }
    bool playLooped(const std::uint8_t* image, std::size_t size) override {
        images.emplace_back(image, image + size);
        return accept;
    }
    void stop() override { ++stops; }

    int openResult = 0;
    int closes = 0;
    int stops = 0;
    bool accept = true;
    std::vector<std::uint32_t> sent;
    std::vector<std::vector<std::uint8_t>> images;
};

int status(std::uint32_t m) {
    return m & 0xFF;
}
int bend(std::uint32_t m) {
    return ((m >> 8) & 0x7F) | (((m >> 16) & 0x7F) << 7);
}

TEST(MidiPitch, SplitsTheNoteIntoKeyAndUpwardBend) {
    EXPECT_EQ(packShortMessage(0x90, 69, 100), 0x00644590u);
    const MidiPitch a = midiPitchOf(440.0f, 0, 4);
    EXPECT_EQ(a.key, 69);
    EXPECT_EQ(a.bend, 8192);  // data bytes 0 and 64
    // 445 Hz is 0.1956 semitones above A: 4096 steps per semitone.
    EXPECT_EQ(midiPitchOf(445.0f, 0, 4).bend, 8993);
    // Cents count before the split, so 30 cents below A is key 68 bent up 0.7 semitone.
    const MidiPitch below = midiPitchOf(440.0f, -30, 4);
    EXPECT_EQ(below.key, 68);
    EXPECT_NEAR(below.bend, 8192 + 0.7 * 4096, 1.0);
    // The span as the settings take it: 0 and 1 are the default 4, 2 gives 8192 steps.
    EXPECT_EQ(midiPitchOf(445.0f, 0, 0).bend, 8993);
    EXPECT_EQ(midiPitchOf(445.0f, 0, 1).bend, 8993);
    EXPECT_NEAR(midiPitchOf(440.0f, -30, 2).bend, 8192 + 0.7 * 8192, 1.0);
    EXPECT_LE(midiPitchOf(440.0f, -1, 2).bend, 16383);
}

TEST(MidiPitch, AnyStoredCalibrationCountsAsAtMostAnOctave) {
    // 50 cents is kept as it is; far beyond, the correction stops at an octave.
    EXPECT_EQ(midiPitchOf(440.0f, 50, 4).key, 69);
    EXPECT_EQ(midiPitchOf(440.0f, 50, 4).bend, 8192 + 2048);
    for (const int cents : {INT32_MAX, 1201, 999999}) {
        const MidiPitch p = midiPitchOf(440.0f, cents, 4);
        EXPECT_EQ(p.key, 81) << cents;
        EXPECT_EQ(p.bend, 8192) << cents;
    }
    for (const int cents : {INT32_MIN, -1201, -999999}) {
        const MidiPitch p = midiPitchOf(440.0f, cents, 4);
        EXPECT_EQ(p.key, 57) << cents;
        EXPECT_EQ(p.bend, 8192) << cents;
    }
}

TEST(MidiTone, StrikesResetProgramBendNoteOnAndStopsWithNoteOff) {
    Outputs out;
    ReferenceTone tone(90, 1.0f, 1, 0, 4, out, out);
    ASSERT_EQ(tone.open(), 0);
    ASSERT_EQ(tone.play(445.0f, 0, 40), 0);
    ASSERT_EQ(out.sent.size(), 4u);
    EXPECT_EQ(out.sent[0], kReset);
    EXPECT_EQ(out.sent[1], packShortMessage(0xC0, 40, 0));
    EXPECT_EQ(status(out.sent[2]), 0xE0);
    EXPECT_EQ(bend(out.sent[2]), 8993);
    EXPECT_EQ(out.sent[3], packShortMessage(0x90, 69, 90));

    tone.stop();
    EXPECT_EQ(out.sent.back(), packShortMessage(0x80, 69, 0));
    tone.stop();  // every stop ends the last note struck
    ASSERT_EQ(out.sent.size(), 6u);
    EXPECT_EQ(out.sent[5], packShortMessage(0x80, 69, 0));
    // A repeat is a whole new strike, reset included.
    tone.play(445.0f, 0, 40);
    EXPECT_EQ(out.sent[6], kReset);
    EXPECT_EQ(out.sent.size(), 10u);
    EXPECT_TRUE(out.images.empty());
}

TEST(MidiTone, ChannelVolumeAndProgramNeverCorruptAByte) {
    for (int channel : {0, 9, 15, 16, 40, -3}) {
        Outputs out;
        {
            ReferenceTone tone(300, 1.0f, 1, channel, 4, out, out);
            tone.open();
            tone.play(440.0f, 0, 999);
        }  // destroying a sounding player stops the note and closes the output
        const int expected = std::clamp(channel, 0, 15);  // 16 is the sixteenth channel
        ASSERT_EQ(out.sent.size(), 5u);
        const int kinds[] = {0xC0, 0xE0, 0x90, 0x80};
        for (int i = 0; i < 4; ++i) {
            const std::uint32_t m = out.sent[i + 1];
            EXPECT_EQ(status(m), kinds[i] | expected) << "channel " << channel;
            EXPECT_LT((m >> 8) & 0xFF, 0x80u);
            EXPECT_LT((m >> 16) & 0xFF, 0x80u);
        }
        EXPECT_EQ(out.sent[1], packShortMessage(0xC0 | expected, 127, 0));
        EXPECT_EQ(out.sent[3], packShortMessage(0x90 | expected, 69, 127));
        EXPECT_EQ(out.closes, 1);
    }
}

TEST(MidiTone, VolumeZeroStrikesWithVelocityZero) {
    Outputs out;
    ReferenceTone tone(0, 1.0f, 1, 0, 4, out, out);
    tone.open();
    tone.play(440.0f, 0, 0);
    EXPECT_EQ(out.sent[3], packShortMessage(0x90, 69, 0));
}

TEST(MidiTone, NothingIsSentWhenClosedOrForAnUnplayableNote) {
    Outputs out;
    ReferenceTone tone(60, 1.0f, 1, 0, 4, out, out);
    EXPECT_EQ(tone.play(440.0f, 0, 0), -1);
    EXPECT_EQ(tone.close(), -1);
    out.openResult = 2;
    EXPECT_NE(tone.open(), 0);
    EXPECT_EQ(tone.play(440.0f, 0, 0), -1);
    EXPECT_TRUE(out.sent.empty());

    out.openResult = 0;
    ASSERT_EQ(tone.open(), 0);
    EXPECT_EQ(tone.play(0.0f, 0, 0), -1);
    EXPECT_EQ(tone.play(NAN, 0, 0), -1);
    EXPECT_TRUE(out.sent.empty());
    // Keys outside 0..127 (octave 10 reaches them): the output is reset and left silent, and
    // stop has no note of its own to end.
    for (float hz : {15000.0f, 5.0f}) {
        out.sent.clear();
        EXPECT_EQ(tone.play(hz, 0, 0), 0);
        tone.stop();
        EXPECT_EQ(out.sent, (std::vector<std::uint32_t>{kReset})) << hz;
    }
    EXPECT_EQ(midiPitchOf(12600.0f, 0, 4).key, 127);  // the top key still sounds
    EXPECT_EQ(midiPitchOf(8.0f, 0, 4).key, 0);
    EXPECT_EQ(tone.close(), 0);
    EXPECT_EQ(out.closes, 1);
}

TEST(SineTone, PlaysTheImageOfThePlainFrequencyUntilStopped) {
    Outputs out;
    ReferenceTone tone(127, 1.0f, 0, 0, 4, out, out);
    ASSERT_EQ(tone.open(), 0);
    ASSERT_EQ(tone.play(440.0f, 25, 3), 0);  // cents and program are MIDI matters
    EXPECT_EQ(tone.waveRate(), 44100);
    std::vector<std::uint8_t> expected(kSineImageBytes);
    writeSineImage(expected.data(), 440.0f, 1.0f, 127);
    ASSERT_EQ(out.images.size(), 1u);
    EXPECT_EQ(out.images[0], expected);

    out.accept = false;  // the wave output is busy
    EXPECT_EQ(tone.play(440.0f, 0, 0), -1);
    tone.stop();
    EXPECT_EQ(out.stops, 1);
    EXPECT_EQ(tone.close(), 0);
    EXPECT_EQ(tone.waveImage(), nullptr);
    EXPECT_TRUE(out.sent.empty());
}

}  // namespace
}  // namespace merlop
