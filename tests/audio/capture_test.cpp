#include <gtest/gtest.h>

#include <climits>
#include <cmath>
#include <utility>

#include "audio/capture_config.h"
#include "pitch/pitch_model.h"
#include "settings/settings.h"

namespace merlop {
namespace {

CaptureConfig live(Settings& s, CaptureCandidates c = {}, int previous = 11025) {
    const CaptureConfig config = configureCapture(s, c, previous, CaptureMode{});
    keepLiveChoices(s, config, CaptureMode{});
    return config;
}

CaptureConfig file(Settings& s, int rate, int bits = 16) {
    CaptureMode m;
    m.fileMode = true;
    m.fileSampleRate = rate;
    m.fileBitsPerSample = bits;
    const CaptureConfig config = configureCapture(s, {}, 11025, m);
    keepLiveChoices(s, config, m);
    return config;
}

TEST(ConfigureCapture, LiveRateAndDepthFollowTheRangeAndTheCard) {
    Settings s;
    s.freqHighHz = 5511;
    EXPECT_EQ(live(s).sampleRate, 11025);
    s.freqHighHz = 5512;  // 11025 / 2 = 5512 is not above it
    EXPECT_EQ(live(s).sampleRate, 22050);
    EXPECT_EQ(s.sampleRate, 22050);
    EXPECT_EQ(s.bitsPerSample, 16);

    CaptureCandidates c;
    c.rates[1] = 0;
    c.rates[2] = 0;
    c.bits[1] = 0;
    EXPECT_EQ(live(s, c, 44100).sampleRate, 44100);  // nothing covers the range: kept
    EXPECT_EQ(live(s, c, 0).sampleRate, 11025);      // nothing before: the fastest offered
    EXPECT_EQ(s.bitsPerSample, 8);
}

TEST(ConfigureCapture, WindowBecomesAPowerOfTwoAndIsRewritten) {
    Settings s;
    CaptureConfig c = live(s);
    EXPECT_EQ(c.analysisLength, 2048);
    EXPECT_NEAR(c.bufferSeconds, 0.18576, 1e-5);
    EXPECT_EQ(s.analysisWindowMs, 195);
    EXPECT_EQ(live(s).analysisLength, 2048);  // stable on the next derivation
    EXPECT_EQ(s.analysisWindowMs, 195);

    s.analysisWindowMs = 1000;
    s.freqHighHz = 20000;
    c = live(s);
    EXPECT_EQ(c.sampleRate, 44100);
    EXPECT_EQ(c.analysisLength, 8192);
    EXPECT_EQ(s.analysisWindowMs, 195);

    s.freqHighHz = 1200;
    // Short windows keep the power-of-two rule; only an empty block is never made.
    s.analysisWindowMs = 10;  // 110 samples
    EXPECT_EQ(live(s).analysisLength, 64);
    EXPECT_EQ(s.analysisWindowMs, 15);
    for (int ms : {0, -5}) {
        s.analysisWindowMs = ms;
        EXPECT_EQ(live(s).analysisLength, 1);
        EXPECT_EQ(s.analysisWindowMs, 10);
    }
}

TEST(ConfigureCapture, CalibrationEarTrainingAndTheCalibrationRun) {
    Settings s;
    EXPECT_EQ(live(s).effectiveRate, 11025.0f);
    s.calibrationTenths = -50;  // -5 cents
    const CaptureConfig c = live(s);
    EXPECT_NEAR(c.effectiveRate, 11025 * std::pow(2.0, -50 / 12000.0), 1e-3);
    EXPECT_NEAR(c.effectiveRate / 11025.0, 0.9971, 1e-4);
    // The record keeps any calibration; the rate is never moved by more than an octave.
    for (const auto& [tenths, factor] :
         {std::pair{INT32_MAX, 2.0f}, std::pair{12001, 2.0f}, std::pair{12000, 2.0f},
          std::pair{INT32_MIN, 0.5f}, std::pair{-13000, 0.5f}}) {
        s.calibrationTenths = tenths;
        const CaptureConfig far = live(s);
        EXPECT_FLOAT_EQ(far.calibrationFactor, factor) << tenths;
        EXPECT_FLOAT_EQ(far.effectiveRate, 11025.0f * factor) << tenths;
        EXPECT_EQ(s.calibrationTenths, tenths);
    }
    s.calibrationTenths = -50;

    CaptureMode m;
    m.earTraining = true;
    s.earTempo = 200;  // a third of a beat is 0.1 s
    EXPECT_EQ(configureCapture(s, {}, 11025, m).analysisLength, 1024);

    m = CaptureMode{};
    m.calibrating = true;
    s.analysisWindowMs = 200;
    const CaptureConfig calibration = configureCapture(s, {}, 11025, m);
    EXPECT_EQ(calibration.analysisLength, 11025);
    keepLiveChoices(s, calibration, m);
    EXPECT_EQ(s.analysisWindowMs, 200);
}

TEST(ConfigureCapture, FileModeTakesTheFilesFormatAndLeavesTheSettings) {
    Settings s;
    s.freqHighHz = 20000;
    CaptureConfig c = file(s, 44100);
    EXPECT_EQ(c.analysisHighHz, 20000);
    EXPECT_EQ(c.analysisLength, 8192);

    c = file(s, 8000, 8);
    EXPECT_EQ(c.sampleRate, 8000);
    EXPECT_EQ(c.bitsPerSample, 8);
    EXPECT_EQ(c.analysisHighHz, 3809);
    EXPECT_EQ(c.analysisLength, 1024);
    EXPECT_EQ(s.sampleRate, 11025);
    EXPECT_EQ(s.bitsPerSample, 8);
    EXPECT_EQ(s.analysisWindowMs, 200);

    s.analysisWindowMs = 50;
    EXPECT_EQ(file(s, 4000).analysisLength, 128);  // 200 samples

    c = file(s, 0);  // the reader refuses such files; the derivation still stays finite
    EXPECT_EQ(c.sampleRate, 11025);
}

TEST(ConfigurePitchModel, AppliesTheSettingsAndTheCustomTuning) {
    Settings s;
    s.frequencyOfA = 442;
    s.sharpNotation = 1;
    s.temperamentIndex = 5;
    PitchModel p;
    const float guitar[2] = {82.407f, 110.0f};
    configurePitchModel(p, s, guitar, 2);
    EXPECT_EQ(p.referenceA(), 442.0f);
    EXPECT_EQ(p.noteName(1), "A#");
    EXPECT_EQ(p.temperamentIndex(), 5);
    EXPECT_EQ(p.tuningCount(), 0);

    s.customTuningOn = 1;
    configurePitchModel(p, s, guitar, 2);
    EXPECT_EQ(p.temperamentIndex(), 0);
    ASSERT_EQ(p.tuningCount(), 2);
    EXPECT_NEAR(p.tuningFrequency(1), 110.0 * 442 / 440, 1e-3);
}

}  // namespace
}  // namespace merlop
