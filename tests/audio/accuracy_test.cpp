// Whole synthesised recordings through the file-mode analysis: what a tuner must deliver.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <vector>

#include "analysis_harness.h"
#include "signals/tone_synth.h"

namespace merlop {
namespace {

using testing::analyseImage;
using testing::BlockResult;
using testing::expectedCents;
using testing::expectedNote;

Settings fineSettings() {
    Settings s;
    s.fineTuning = 1;
    return s;
}

double median(std::vector<double> v) {
    std::sort(v.begin(), v.end());
    return v.empty() ? 1e9 : v[v.size() / 2];
}

// Every block after the first shows the note of f within `worst` cents, and the median error is
// within `typical`.
void expectSteadyReading(const std::vector<BlockResult>& blocks, double f, double worst,
                         double typical) {
    ASSERT_GT(blocks.size(), 2u) << f;
    std::vector<double> errors;
    for (std::size_t i = 1; i < blocks.size(); ++i) {
        const PitchReading& r = blocks[i].reading;
        ASSERT_EQ(r.note, expectedNote(f)) << f << " Hz, block " << i;
        const double error = std::fabs(r.deviation * 100.0 - expectedCents(f));
        EXPECT_LE(error, worst) << f << " Hz, block " << i;
        errors.push_back(error);
    }
    EXPECT_LE(median(errors), typical) << f << " Hz";
}

TEST(Accuracy, CleanHarmonicTonesAcrossTheDefaultBand) {
    for (double f : {41.2, 46.0, 55.0, 61.3, 87.3, 116.54, 155.56, 207.65, 277.18, 311.13,
                     440.0 * std::pow(2.0, -13.0 / 1200), 523.25, 698.46, 830.61, 1000.0}) {
        const auto image = wavImage(harmonicTone(f, 2.0, 11025, 8, 0.5), 11025, 16);
        expectSteadyReading(analyseImage(image, fineSettings()), f, 2.0, 1.0);
    }
}

TEST(Accuracy, SineToneOtherRatesAndDepths) {
    for (double f : {82.41, 440.0, 987.77}) {
        expectSteadyReading(
            analyseImage(wavImage(sineTone(f, 2.0, 11025, 0.5), 11025, 16), fineSettings()), f, 2.0,
            1.0);
        expectSteadyReading(
            analyseImage(wavImage(harmonicTone(f, 2.0, 11025, 8, 0.5), 11025, 8), fineSettings()),
            f, 2.0, 1.0);
        expectSteadyReading(
            analyseImage(wavImage(harmonicTone(f, 2.0, 44100, 8, 0.5), 44100, 16), fineSettings()),
            f, 2.0, 1.0);
    }
}

TEST(Accuracy, ALowRateFileWithTheShortestWindowIsRead) {
    // 4000 Hz and 50 ms: 128-sample blocks, a dozen periods of A4 each.
    Settings s = fineSettings();
    s.analysisWindowMs = 50;
    const auto blocks = analyseImage(wavImage(harmonicTone(440.0, 2.0, 4000, 4, 0.5), 4000, 16), s);
    ASSERT_EQ(blocks.size(), 62u);
    int read = 0;
    for (const BlockResult& b : blocks) {
        if (b.reading.note < 0) continue;
        ++read;
        EXPECT_EQ(b.reading.note, 60);
        EXPECT_LE(std::fabs(b.reading.deviation * 100), 10.0);
    }
    EXPECT_GE(read, 50);
}

TEST(Accuracy, PluckedStringsAreReadWhileTheySound) {
    for (double f : {82.41, 110.0, 146.83, 196.0, 246.94, 329.63, 440.0, 880.0}) {
        const auto blocks = analyseImage(
            wavImage(pluckedString(f, 3.0, 11025, 0.8, 3.0), 11025, 16), fineSettings());
        int read = 0;
        for (const BlockResult& b : blocks) {
            if (b.reading.note < 0) continue;
            ++read;
            EXPECT_EQ(b.reading.note, expectedNote(f)) << f;
            EXPECT_LE(std::fabs(b.reading.deviation * 100 - expectedCents(f)), 2.5) << f;
        }
        EXPECT_GE(read, 4) << f;  // the first three quarters of a second at least
    }
}

TEST(Accuracy, ModerateNoiseDoesNotMoveTheReading) {
    for (double f : {55.0, 110.0, 220.0, 440.0, 880.0}) {
        auto x = harmonicTone(f, 2.0, 11025, 8, 0.5);
        addWhiteNoise(x, -30.0);
        expectSteadyReading(analyseImage(wavImage(x, 11025, 16), fineSettings()), f, 2.0, 1.0);
    }
}

TEST(Accuracy, HumFilterKeepsStrongHumFromTakingOverTheReading) {
    Settings s = fineSettings();
    s.humFilter = 1;
    for (int mains : {50, 60}) {
        s.humFrequency = mains;
        for (double f : {110.0, 196.0, 440.0}) {
            auto x = harmonicTone(f, 2.0, 11025, 8, 0.5);
            addHum(x, 11025, mains, -20.0);
            expectSteadyReading(analyseImage(wavImage(x, 11025, 16), s), f, 5.0, 3.0);
        }
    }
}

TEST(Accuracy, HumAloneIsANoteOnlyWithoutTheFilter) {
    std::vector<float> x(2 * 11025, 0.0f);
    addHum(x, 11025, 60.0, -20.0);
    const auto image = wavImage(x, 11025, 16);

    Settings s = fineSettings();
    for (const BlockResult& b : analyseImage(image, s)) {
        EXPECT_NEAR(b.rawFrequency, 60.0, 0.5);
    }
    s.humFilter = 1;
    int shown = 0;
    for (const BlockResult& b : analyseImage(image, s)) shown += b.reading.note >= 0;
    EXPECT_EQ(shown, 0);
}

TEST(Accuracy, CustomTuningFindsTheStringAndItsDeviation) {
    const std::vector<float> guitar = {82.407f, 110.0f, 146.832f, 195.998f, 246.942f, 329.628f};
    CycleOptions o;
    o.customTuningOn = true;
    o.tuningMidiKeys = {40, 45, 50, 55, 59, 64};
    for (int string = 0; string < 6; ++string) {
        const double cents = string * 3.0 - 8.0;
        const double f = guitar[string] * std::pow(2.0, cents / 1200);
        const auto image = wavImage(harmonicTone(f, 2.0, 11025, 8, 0.5), 11025, 16);
        for (int fixed : {-1, string}) {
            o.fixedTuningNote = fixed;
            const auto blocks = analyseImage(image, fineSettings(), o, guitar);
            ASSERT_GT(blocks.size(), 2u);
            for (std::size_t i = 1; i < blocks.size(); ++i) {
                const PitchReading& r = blocks[i].reading;
                EXPECT_EQ(r.tuningIndex, string);
                EXPECT_EQ(r.note, o.tuningMidiKeys[string] - 9);
                EXPECT_NEAR(r.deviation * 100, cents, 2.0) << string << " fixed " << fixed;
                EXPECT_NEAR(r.frequency, f, f * 0.0015);
            }
        }
    }
}

// Exactly `samples` samples of a harmonic tone.
std::vector<float> toneSamples(double f, std::size_t samples, double amplitude) {
    auto x = harmonicTone(f, (samples + 1.0) / 11025, 11025, 8, amplitude);
    x.resize(samples);
    return x;
}

TEST(Accuracy, AnOctaveSlipIsFoldedButANewAttackIsNot) {
    // A steady A2 slipping to A3 at the same level for two whole blocks, A2 again, then louder:
    // a fresh pluck of A3.
    const std::size_t n = 2048;
    auto x = toneSamples(110.0, 6 * n, 0.3);
    const auto slip = toneSamples(220.0, 2 * n, 0.3);
    const auto back = toneSamples(110.0, 4 * n, 0.3);
    const auto attack = toneSamples(220.0, 6 * n, 0.6);
    for (const auto* part : {&slip, &back, &attack}) x.insert(x.end(), part->begin(), part->end());

    const auto blocks = analyseImage(wavImage(x, 11025, 16), fineSettings());
    ASSERT_EQ(blocks.size(), 18u);
    for (std::size_t i = 1; i < 12; ++i) {
        EXPECT_EQ(blocks[i].reading.note, 36) << i;  // A2 throughout
        EXPECT_NEAR(blocks[i].rawFrequency, i == 6 || i == 7 ? 220.0 : 110.0, 0.5) << i;
    }
    for (std::size_t i = 12; i < 18; ++i) EXPECT_EQ(blocks[i].reading.note, 48) << i;  // A3
}

TEST(Accuracy, AHeldOctaveJumpIsFollowedWithinAboutHalfASecond) {
    // A3 running straight into A4 at the same level.
    auto x = harmonicTone(220.0, 2.0, 11025, 8, 0.5);
    const std::size_t change = x.size();
    const auto up = harmonicTone(440.0, 2.0, 11025, 8, 0.5);
    x.insert(x.end(), up.begin(), up.end());

    const auto blocks = analyseImage(wavImage(x, 11025, 16), fineSettings());
    const std::size_t n = 2048;
    ASSERT_EQ(blocks.size(), x.size() / n);
    bool followed = false;
    for (std::size_t i = 0; i < blocks.size(); ++i) {
        const int note = blocks[i].reading.note;
        const std::size_t end = (i + 1) * n;
        if (end <= change) {
            EXPECT_EQ(note, 48) << i;
        } else {
            // Once followed the reading stays; before, it shows nothing but A3.
            EXPECT_TRUE(note == 60 || (!followed && note == 48)) << i;
            followed = note == 60;
            EXPECT_TRUE(followed || end < change + 0.6 * 11025) << i;
        }
    }
}

TEST(Accuracy, SilenceAndSoundsBelowTheThresholdShowNothing) {
    const auto silent =
        analyseImage(wavImage(std::vector<float>(22050, 0.0f), 11025, 16), fineSettings());
    ASSERT_EQ(silent.size(), 10u);
    for (const BlockResult& b : silent) {
        EXPECT_EQ(b.reading.note, -1);
        EXPECT_EQ(b.reading.frequency, -1.0f);
        EXPECT_EQ(b.level, 0);
    }
    auto faint = harmonicTone(440.0, 2.0, 11025, 8, 1.0);
    scaleDb(faint, -75.0);
    for (const BlockResult& b : analyseImage(wavImage(faint, 11025, 16), fineSettings())) {
        EXPECT_EQ(b.reading.note, -1);
    }
}

}  // namespace
}  // namespace merlop
