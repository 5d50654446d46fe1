#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <vector>

#include "audio/analysis_cycle.h"
#include "audio/spectrum_analyser.h"
#include "audio/tone_synth.h"
#include "pitch/pitch_model.h"
#include "settings/settings.h"

namespace merlop {
namespace {

constexpr int kRate = 11025;

struct Block {
    std::vector<int> samples;
    SampleRange range;
};

Block toneBlock(double f, int n, double amplitude = 0.5) {
    const std::vector<float> x = harmonicTone(f, (n + 1.0) / kRate, kRate, 8, amplitude);
    Block b;
    for (int i = 0; i < n; ++i) {
        const int s = static_cast<int>(std::lround(x[i] * 2047.0));
        b.samples.push_back(s);
        b.range.min = std::min(b.range.min, s);
        b.range.max = std::max(b.range.max, s);
    }
    return b;
}

Block silentBlock(int n) {
    Block b;
    b.samples.assign(n, 0);
    b.range.min = b.range.max = 0;
    return b;
}

struct Recorder : ReadingDisplay, WaveDisplay, SpectrumDisplay, EarAnswerSink {
    void showReading(const PitchReading& r) override { readings.push_back(r); }
    void showWave(const int*, int n, float period) override {
        waveLength = n;
        periods.push_back(period);
    }
    void showSpectrum(const SpectrumAnalyser& a) override { spectra.push_back(a.maxLevel()); }
    void recordAnswer(int pitchClass) override { answers.push_back(pitchClass); }

    std::vector<PitchReading> readings;
    std::vector<float> periods;
    int waveLength = 0;
    std::vector<float> spectra;
    std::vector<int> answers;
};

const float kGuitar[6] = {82.407f, 110.0f, 146.832f, 195.998f, 246.942f, 329.628f};
const std::vector<int> kGuitarKeys = {40, 45, 50, 55, 59, 64};

class CycleTest : public ::testing::Test {
  protected:
    void build(CycleOptions options = {}) {
        CaptureMode mode;
        mode.fileMode = true;
        mode.fileSampleRate = kRate;
        mode.fileBitsPerSample = 16;
        settings.customTuningOn = options.customTuningOn ? 1 : 0;
        config = configureCapture(settings, {}, kRate, mode);
        configurePitchModel(pitch, settings, tuning.data(), static_cast<int>(tuning.size()));
        cycle = std::make_unique<AnalysisCycle>(settings, config, pitch, options);
        CycleSinks sinks;
        sinks.reading = &rec;
        sinks.wave = &rec;
        sinks.spectrum = &rec;
        sinks.ear = &rec;
        sinks.inputPending = [this] { return inputPending; };
        cycle->setSinks(sinks);
        cycle->startRun();
    }

    // Feeds the same block several times, as a steady tone would arrive.
    void feed(const Block& b, int times = 4) {
        for (int i = 0; i < times; ++i) cycle->analyseBlock(b.samples.data(), b.range);
    }

    int n() const { return config.analysisLength; }

    Settings settings;
    CaptureConfig config;
    PitchModel pitch;
    std::vector<float> tuning;
    std::unique_ptr<AnalysisCycle> cycle;
    Recorder rec;
    bool inputPending = false;
};

TEST_F(CycleTest, SilenceShowsNoNoteAndANewRunStartsAfresh) {
    build();
    feed(silentBlock(n()), 1);
    ASSERT_EQ(rec.readings.size(), 1u);
    const PitchReading& r = rec.readings[0];
    EXPECT_EQ(r.note, -1);
    EXPECT_EQ(r.tuningIndex, -1);
    EXPECT_EQ(r.frequency, -1.0f);
    EXPECT_EQ(r.deviation, -1.0f);
    EXPECT_EQ(cycle->currentFrequency(), -1.0f);
    EXPECT_EQ(cycle->currentNoteValue(), -1.0f);
    EXPECT_EQ(cycle->lastLevel(), 0);

    feed(toneBlock(330.0, n()));
    EXPECT_GT(cycle->smoother().value(), 0.0f);
    cycle->startRun();  // a new capture run forgets the note
    EXPECT_EQ(cycle->smoother().value(), -1.0f);
    EXPECT_EQ(cycle->currentFrequency(), -1.0f);
}

TEST_F(CycleTest, ReadingIsRoundedToWholeCentsAndItsFrequencyFollowsTheRounding) {
    build();
    const double f = 440.0 * std::pow(2.0, 13.3 / 1200);
    feed(toneBlock(f, n()));
    const PitchReading& r = rec.readings.back();
    EXPECT_EQ(r.note, 60);
    EXPECT_EQ(r.tuningIndex, -1);
    const double cents = r.deviation * 100.0;
    EXPECT_NEAR(cents, std::round(cents), 1e-3);
    EXPECT_NEAR(cents, 13.3, 1.5);
    EXPECT_EQ(r.frequency, pitch.frequencyOfNote(60, r.deviation));
    EXPECT_EQ(cycle->currentFrequency(), r.frequency);
    EXPECT_NEAR(cycle->rawFrequency(), f, f * 0.002);
    EXPECT_NEAR(cycle->currentNoteValue(), pitch.noteValueOf(static_cast<float>(f)), 0.03);
}

TEST_F(CycleTest, FineTuningRoundsToTenthsOfACent) {
    settings.fineTuning = 1;
    build();
    feed(toneBlock(440.0 * std::pow(2.0, -21.37 / 1200), n()));
    const PitchReading& r = rec.readings.back();
    EXPECT_EQ(r.note, 60);
    EXPECT_NEAR(r.deviation * 1000.0, std::round(r.deviation * 1000.0), 1e-2);
    EXPECT_NEAR(r.deviation * 100.0, -21.37, 1.5);
}

TEST_F(CycleTest, DisplaysReceiveOnlyWhatIsOn) {
    CycleOptions o;
    o.tunerOn = false;
    o.waveOn = true;
    build(o);
    feed(toneBlock(220.0, n()), 2);
    EXPECT_TRUE(rec.readings.empty());
    EXPECT_TRUE(rec.spectra.empty());
    ASSERT_EQ(rec.periods.size(), 2u);
    EXPECT_NEAR(rec.periods.back(), kRate / 220.0, 0.05);
    EXPECT_EQ(rec.waveLength, n());
    EXPECT_NEAR(cycle->currentFrequency(), 220.0, 0.5);  // unsmoothed without the tuner

    o.waveOn = false;
    o.spectrumOn = true;
    build(o);
    feed(toneBlock(220.0, n()), 1);
    EXPECT_EQ(rec.spectra.size(), 1u);
    EXPECT_EQ(rec.periods.size(), 2u);
    EXPECT_TRUE(rec.readings.empty());

    // Silence hands the wave display no period.
    o.waveOn = true;
    build(o);
    feed(silentBlock(n()), 1);
    EXPECT_EQ(rec.periods.back(), 0.0f);
}

TEST_F(CycleTest, PendingInputAndCalibrationSkipTheBlock) {
    build();
    inputPending = true;
    const Block b = toneBlock(330.0, n());
    EXPECT_FALSE(cycle->analyseBlock(b.samples.data(), b.range));
    EXPECT_TRUE(rec.readings.empty());
    inputPending = false;
    EXPECT_TRUE(cycle->analyseBlock(b.samples.data(), b.range));
    EXPECT_EQ(rec.readings.size(), 1u);

    CycleOptions o;
    o.calibrating = true;
    build(o);
    EXPECT_FALSE(cycle->analyseBuffer(100, -100));
}

TEST_F(CycleTest, AutomaticCustomTuningMatchesTheNearestNoteAndRecordsIt) {
    tuning.assign(kGuitar, kGuitar + 6);
    CycleOptions o;
    o.customTuningOn = true;
    o.recordReadings = true;
    o.tuningMidiKeys = kGuitarKeys;
    build(o);
    EXPECT_EQ(pitch.temperamentIndex(), 0);
    const double f = 110.0 * std::pow(2.0, 7.0 / 1200);  // A string 7 cents sharp
    feed(toneBlock(f, n()));
    const PitchReading& r = rec.readings.back();
    EXPECT_EQ(r.tuningIndex, 1);
    EXPECT_EQ(r.note, 45 - 9);
    EXPECT_NEAR(r.deviation * 100, 7.0, 1.5);
    EXPECT_EQ(r.frequency, pitch.frequencyOfNoteValue(pitch.tuningNoteValue(1) + r.deviation));
    EXPECT_EQ(cycle->noteDeviations()[1], r.deviation);
    EXPECT_EQ(cycle->noteDeviations()[0], AnalysisCycle::kNoReading);

    // The readings survive a new configuration and go only when cleared.
    cycle->reconfigure(settings, config, o);
    EXPECT_EQ(cycle->noteDeviations()[1], r.deviation);
    cycle->clearNoteDeviations();
    EXPECT_EQ(cycle->noteDeviations()[1], AnalysisCycle::kNoReading);
}

TEST_F(CycleTest, FixedTuningNoteReportsDistantSoundsWithoutRecordingThem) {
    tuning.assign(kGuitar, kGuitar + 6);
    CycleOptions o;
    o.customTuningOn = true;
    o.fixedTuningNote = 1;
    o.recordReadings = true;
    o.tuningMidiKeys = kGuitarKeys;
    build(o);
    feed(toneBlock(110.0 * std::pow(2.0, 0.9 / 12), n()));
    PitchReading r = rec.readings.back();
    EXPECT_EQ(r.tuningIndex, 1);
    EXPECT_EQ(r.note, 36);
    EXPECT_NEAR(r.deviation, 0.9, 0.02);
    EXPECT_EQ(cycle->noteDeviations()[1], AnalysisCycle::kNoReading);

    cycle->startRun();
    feed(toneBlock(110.0 * std::pow(2.0, -0.3 / 12), n()));
    r = rec.readings.back();
    EXPECT_NEAR(r.deviation, -0.3, 0.02);
    EXPECT_EQ(cycle->noteDeviations()[1], r.deviation);

    // An index past the last note is the "Automatic" entry of the note list.
    o.fixedTuningNote = 6;
    build(o);
    feed(toneBlock(196.0, n()));
    EXPECT_EQ(rec.readings.back().tuningIndex, 3);
}

TEST_F(CycleTest, FixedTuningNoteFoldsToTheNearestOctaveOnBothSides) {
    tuning = {110.0f};  // A 2
    CycleOptions o;
    o.customTuningOn = true;
    o.fixedTuningNote = 0;
    o.tuningMidiKeys = {45};
    build(o);
    for (int octave : {-1, 1, 2, 3}) {
        for (double cents : {20.0, -20.0}) {
            cycle->startRun();
            feed(toneBlock(110.0 * std::pow(2.0, octave + cents / 1200), n()));
            const PitchReading& r = rec.readings.back();
            EXPECT_EQ(r.tuningIndex, 0);
            EXPECT_NEAR(r.deviation * 100, cents, 3.0) << "octave " << octave << ", " << cents;
        }
    }
}

TEST_F(CycleTest, TuningNotesOnTheLowestKeysStillHaveANamedReading) {
    tuning = {196.0f};
    CycleOptions o;
    o.customTuningOn = true;
    for (int fixed : {-1, 0}) {
        for (int key : {1, 7, 8, 9, 55}) {
            o.fixedTuningNote = fixed;
            o.tuningMidiKeys = {key};
            build(o);
            feed(toneBlock(196.0, n()));
            const PitchReading& r = rec.readings.back();
            ASSERT_GE(r.note, 0) << "key " << key;
            EXPECT_EQ(r.tuningIndex, 0);
            EXPECT_EQ(pitch.noteName(r.note), pitch.noteName(key - 9)) << "key " << key;
            EXPECT_NEAR(r.deviation, 0.0, 0.02);
        }
    }
    EXPECT_EQ(pitch.fullNoteName(rec.readings.back().note), "G 3");
}

TEST_F(CycleTest, UnsoundableTuningFrequenciesGiveNoReadingAndNoOverflow) {
    CycleOptions o;
    o.customTuningOn = true;
    o.fixedTuningNote = 0;
    o.tuningMidiKeys = {55};
    for (float f : {0.0f, -5.0f, 1e-30f, 1e-40f, 1e30f}) {
        tuning = {f};
        build(o);
        feed(toneBlock(196.0, n()));
        EXPECT_EQ(rec.readings.back().note, -1) << f;
        EXPECT_EQ(cycle->currentFrequency(), -1.0f) << f;
    }
}

TEST_F(CycleTest, CustomTuningWithoutNotesShowsNoNote) {
    CycleOptions o;
    o.customTuningOn = true;
    build(o);
    feed(toneBlock(196.0, n()));
    EXPECT_EQ(rec.readings.back().note, -1);
    EXPECT_EQ(rec.readings.back().tuningIndex, -1);
    EXPECT_EQ(rec.readings.back().frequency, -1.0f);
}

TEST_F(CycleTest, TuningNoteWithoutAKeyIsNamedAfterItsFrequency) {
    tuning = {196.0f};
    CycleOptions o;
    o.customTuningOn = true;
    o.tuningMidiKeys = {0};
    build(o);
    feed(toneBlock(196.0, n()));
    EXPECT_EQ(rec.readings.back().tuningIndex, 0);
    EXPECT_EQ(rec.readings.back().note, 55 - 9);  // G 3
}

TEST_F(CycleTest, TheShortestBlocksAreAnalysedAndShowNoNote) {
    CycleOptions o;
    o.waveOn = o.spectrumOn = true;
    for (int length : {1, 2, 4, 8, 16}) {
        build(o);
        config.analysisLength = length;
        cycle->reconfigure(settings, config, o);
        ASSERT_EQ(cycle->length(), length);
        EXPECT_TRUE(cycle->spectrumUsable()) << length;  // not an out-of-memory case
        EXPECT_TRUE(cycle->cycleUsable()) << length;
        feed(toneBlock(440.0, length), 2);
        EXPECT_EQ(rec.readings.back().note, -1) << length;
        EXPECT_EQ(rec.periods.back(), 0.0f) << length;
        EXPECT_EQ(rec.waveLength, length);
    }
}

TEST_F(CycleTest, EarTrainingHearsPitchClassesAsWritten) {
    settings.earTrainingOn = 1;
    settings.instrumentKey = -2;  // a B flat instrument
    build();
    feed(toneBlock(440.0, n()), 2);
    ASSERT_EQ(rec.answers.size(), 2u);
    EXPECT_EQ(rec.answers[0], 2);  // A sounds as written B: (60 + 2) mod 12
    settings.instrumentKey = 6;
    build();
    feed(silentBlock(n()), 1);
    EXPECT_EQ(rec.answers.size(), 2u);  // no note, no answer
    feed(toneBlock(440.0, n()), 1);
    EXPECT_EQ(rec.answers.back(), 6);  // (60 - 6) mod 12
}

}  // namespace
}  // namespace merlop
