#include "app/calibration.h"

#include <gtest/gtest.h>

#include <cmath>

#include "app/frame_fixture.h"
#include "pitch/pitch_model.h"

namespace merlop {
namespace {

using testing::Frame;
using testing::writeSine;

// Runs a whole measurement with buffers msPerBuffer apart (arrival times rounded to whole
// milliseconds, as a millisecond clock has them); returns the readings shown.
std::vector<PitchReading> measure(Calibration& c, const PitchModel& pitch, double msPerBuffer,
                                  std::uint32_t t0 = 123456) {
    std::vector<PitchReading> shown;
    c.begin();
    for (int i = 0; i <= Calibration::kSeconds; ++i) {
        PitchReading r;
        const auto t = t0 + static_cast<std::uint32_t>(std::lround(i * msPerBuffer));
        if (c.onBlock(t, pitch, &r)) shown.push_back(r);
    }
    return shown;
}

TEST(Calibration, ExactCardCountsDownAndReadsZero) {
    PitchModel pitch;
    Calibration c;
    const auto shown = measure(c, pitch, 1000.0);
    EXPECT_TRUE(c.finished());
    ASSERT_EQ(shown.size(), 120u);
    for (int k = 0; k < 120; ++k) {
        EXPECT_EQ(shown[k].note, 60);
        EXPECT_EQ(shown[k].tuningIndex, 119 - k);  // the seconds still to go
    }
    EXPECT_FLOAT_EQ(shown.back().frequency, 440.0f);
    EXPECT_EQ(c.resultText(), "measured deviation = + 0.0 Cents");
    EXPECT_EQ(c.resultTenths(), 0);
    PitchReading r;
    EXPECT_FALSE(c.onBlock(999999, pitch, &r));  // nothing after the last second
    EXPECT_EQ(c.count(), 121);
}

TEST(Calibration, SlowFastAndShiftedReferenceGiveSignedResults) {
    PitchModel pitch;
    Calibration c;
    // A card at 11000 Hz for a nominal 11025: about 1002.27 ms a buffer.
    measure(c, pitch, 1000.0 * 11025 / 11000);
    EXPECT_NEAR(c.rawEstimate(), 441.0f, 0.01f);
    EXPECT_EQ(c.resultText(), "measured deviation = + 3.9 Cents");
    EXPECT_EQ(c.resultTenths(), -39);
    EXPECT_NEAR(11025 * std::pow(2.0, c.resultTenths() / 12000.0), 11000.2, 0.1);

    // 1.23 cents fast: no "+" before the minus, and a positive correction.
    measure(c, pitch, 1000.0 * std::pow(2.0, -0.0123 / 12));
    EXPECT_EQ(c.resultText(), "measured deviation = -1.2 Cents");
    EXPECT_EQ(c.resultTenths(), 12);

    // The deviation is taken against the current reference A.
    pitch.setReferenceA(442);
    measure(c, pitch, 1000.0);
    EXPECT_EQ(c.resultText(), "measured deviation = -7.9 Cents");
    EXPECT_EQ(c.resultTenths(), 78);  // truncated, not rounded: 78.5

    // The millisecond counter wraps during the measurement.
    pitch.setReferenceA(440);
    measure(c, pitch, 1000.0, 0xffffffffu - 30000);
    EXPECT_EQ(c.resultTenths(), 0);
}

class CalibrationFrame : public Frame {
  protected:
    // One second of silence through the scripted card, arriving msLater after the last.
    void feedSecond(double msLater) {
        exactNow += msLater;
        clock.now = static_cast<std::uint32_t>(std::lround(exactNow));
        capture.feed(std::vector<std::uint8_t>(2 * frame->cycle()->length()));
        capture.deliver();
    }

    // Calibration from the menu while recording, confirmed, up to the first measured block.
    void startCalibration() {
        startRecording();
        frame->calibrate();
        EXPECT_TRUE(frame->calibrating());
        EXPECT_TRUE(questions.asked.empty());  // not before the device has closed
        capture.deliver();
        EXPECT_TRUE(questions.asked.empty());  // nor inside its notice of the close
        fire(FrameTimer::calibrationStep);
        ASSERT_EQ(questions.asked.size(), 1u);
        EXPECT_EQ(questions.asked[0].caption, "Calibration will take 120 seconds");
        EXPECT_EQ(questions.asked[0].text, "Calibration will take 120 seconds");
        fire(FrameTimer::startCapture);
        capture.deliver();
        ASSERT_TRUE(frame->recording());
        exactNow = clock.now;
    }

    double exactNow = 0;
};

TEST_F(CalibrationFrame, CardThatRunsFastGetsTheCorrectionThatMatchesItsRate) {
    Settings s;
    s.showSpectrum = 1;
    writeConfig(s);
    startCalibration();
    EXPECT_TRUE(view.last.calibrating);
    EXPECT_EQ(view.built, (ShownDisplays{true, false, false}));
    EXPECT_EQ(capture.format.samplesPerSec, 11025u);
    EXPECT_EQ(frame->cycle()->length(), 11025);  // one-second buffers
    EXPECT_TRUE(messages.shown.empty());         // no analyser is missed

    // 0.3 % fast: a second's worth of samples comes in 1/1.003 s.
    const double trueRate = 11025 * 1.003;
    for (int i = 0; i < 120; ++i) feedSecond(i == 0 ? 0 : 1000.0 * 11025 / trueRate);
    EXPECT_EQ(questions.asked.size(), 1u);
    ASSERT_EQ(view.readings.shown.size(), 119u);
    EXPECT_EQ(view.readings.shown.front().tuningIndex, 119);
    EXPECT_EQ(view.readings.shown.back().tuningIndex, 1);
    // The last second stops the run; the device closes once the other buffer is back.
    feedSecond(1000.0 * 11025 / trueRate);
    EXPECT_FALSE(frame->captureActive());
    fire(FrameTimer::calibrationStep);
    ASSERT_EQ(view.readings.shown.size(), 120u);
    EXPECT_EQ(view.readings.shown.back().tuningIndex, 0);
    EXPECT_LT(view.readings.shown.back().frequency, 440.0f);  // it reads a 440 Hz tone low
    ASSERT_EQ(questions.asked.size(), 2u);
    EXPECT_EQ(questions.asked[1].caption, "Update Calibration ?");
    EXPECT_EQ(questions.asked[1].text, "measured deviation = -5.2 Cents");
    EXPECT_FALSE(frame->calibrating());
    // The deviation is negative; the correction raises the rate the arithmetic assumes.
    EXPECT_EQ(settings.calibrationTenths, 51);
    EXPECT_NEAR(11025 * std::pow(2.0, settings.calibrationTenths / 12000.0), trueRate,
                trueRate * 6e-5);  // within one tenth of a cent
    EXPECT_NEAR(frame->config().effectiveRate, trueRate, trueRate * 6e-5);
    EXPECT_FALSE(view.last.calibrating);
    fire(FrameTimer::startCapture);
    EXPECT_EQ(frame->cycle()->length(), 2048);
}

TEST_F(CalibrationFrame, InterruptedMeasurementStartsAgainInsteadOfCountingTheGap) {
    startCalibration();
    for (int i = 0; i < 50; ++i) feedSecond(1000);

    // Another program is used for half a minute.
    frame->onActivate(false);
    capture.deliver();
    EXPECT_FALSE(frame->captureActive());
    exactNow += 30000;
    frame->onActivate(true);
    fire(FrameTimer::startCapture);
    capture.deliver();
    for (int i = 0; i < 30; ++i) feedSecond(1000);
    EXPECT_EQ(frame->calibration().count(), 30);

    // The card goes away and comes back.
    capture.lose();
    capture.deliver();
    EXPECT_FALSE(frame->captureActive());
    EXPECT_TRUE(frame->calibrating());
    exactNow += 5000;
    frame->onActivate(true);
    fire(FrameTimer::startCapture);
    capture.deliver();
    EXPECT_EQ(frame->calibration().count(), 0);

    for (int i = 0; i <= 120; ++i) feedSecond(i == 0 ? 700 : 1000);
    fire(FrameTimer::calibrationStep);
    ASSERT_EQ(questions.asked.size(), 2u);
    EXPECT_EQ(questions.asked[1].text, "measured deviation = + 0.0 Cents");
    EXPECT_EQ(settings.calibrationTenths, 0);
}

TEST_F(CalibrationFrame, CancelAtTheStartBringsTheNormalTunerBack) {
    startRecording();
    questions.answers = {false};
    frame->calibrate();
    capture.deliver();
    fire(FrameTimer::calibrationStep);
    ASSERT_EQ(questions.asked.size(), 1u);
    EXPECT_FALSE(frame->calibrating());
    EXPECT_FALSE(view.last.calibrating);
    fire(FrameTimer::startCapture);
    capture.deliver();
    EXPECT_EQ(frame->cycle()->length(), 2048);
    feedBlock(440.0);
    feedBlock(440.0);
    EXPECT_NEAR(frame->cycle()->currentFrequency(), 440.0, 1.0);
    EXPECT_EQ(settings.calibrationTenths, 0);
}

TEST_F(CalibrationFrame, PauseCancelsAndCancelAtTheResultStoresNothing) {
    Settings s;
    s.calibrationTenths = -17;
    writeConfig(s);
    startCalibration();
    EXPECT_TRUE(frame->uiState().pauseEnabled);
    // Mode commands wait for the calibration.
    frame->toggleTuner();
    frame->toggleSpectrum();
    frame->toggleWave();
    frame->toggleEarTraining();
    frame->toggleCustomTuning();
    EXPECT_TRUE(frame->calibrating());
    EXPECT_EQ(frame->shown(), (ShownDisplays{true, false, false}));
    EXPECT_FALSE(frame->earTrainingOn());
    EXPECT_FALSE(frame->customTuningOn());
    for (int i = 0; i < 10; ++i) feedSecond(1000);
    frame->pause();
    EXPECT_FALSE(frame->calibrating());
    capture.deliver();
    EXPECT_FALSE(view.last.calibrating);
    fire(FrameTimer::startCapture);
    capture.deliver();
    EXPECT_EQ(frame->cycle()->length(), 2048);
    EXPECT_EQ(questions.asked.size(), 1u);  // no result is offered

    // Again to the end, this time declining the result.
    frame->calibrate();
    capture.deliver();
    fire(FrameTimer::calibrationStep);
    fire(FrameTimer::startCapture);
    capture.deliver();
    questions.answers = {false};
    for (int i = 0; i <= 120; ++i) feedSecond(997);
    fire(FrameTimer::calibrationStep);
    ASSERT_EQ(questions.asked.size(), 3u);
    EXPECT_EQ(settings.calibrationTenths, -17);
    EXPECT_FALSE(frame->calibrating());
}

TEST_F(CalibrationFrame, PauseBeforeTheDeviceHasClosedLeavesCaptureRunning) {
    startRecording();
    frame->calibrate();
    frame->pause();
    EXPECT_FALSE(frame->calibrating());
    fire(FrameTimer::startCapture);  // the start waits for the close
    capture.deliver();
    EXPECT_TRUE(questions.asked.empty());
    capture.deliver();
    EXPECT_TRUE(frame->recording());
    EXPECT_EQ(frame->cycle()->length(), 2048);
}

TEST_F(CalibrationFrame, WhileNothingRecordsTheProcedureStartsAtOnce) {
    // Paused: the box comes at once.
    Settings s;
    s.showSpectrum = 1;
    writeConfig(s);
    startRecording();
    frame->pause();
    capture.deliver();
    frame->calibrate();
    ASSERT_EQ(questions.asked.size(), 1u);
    EXPECT_TRUE(frame->calibrating());
    EXPECT_FALSE(frame->paused());
    fire(FrameTimer::startCapture);
    capture.deliver();
    EXPECT_TRUE(frame->recording());

    // A file being fed gives way to the card.
    frame->pause();  // ends this calibration
    capture.deliver();
    writeSine(dir / "a.wav", 220.0, 11025, 2.0);
    dialogs.answer = (dir / "a.wav").string();
    frame->openWaveFile();
    fire(FrameTimer::startCapture);
    fire(FrameTimer::fileFeed);
    frame->calibrate();
    EXPECT_FALSE(frame->fileMode());
    EXPECT_FALSE(view.armed(FrameTimer::fileFeed));
    ASSERT_EQ(questions.asked.size(), 2u);
    fire(FrameTimer::startCapture);
    capture.deliver();
    EXPECT_TRUE(frame->recording());
    EXPECT_EQ(frame->cycle()->length(), 11025);
}

TEST_F(CalibrationFrame, WithoutACardNothingStarts) {
    capture.devices = 0;
    start();
    frame->onSize(800, 600);
    frame->calibrate();
    EXPECT_FALSE(frame->calibrating());
    EXPECT_TRUE(questions.asked.empty());
    EXPECT_EQ(messages.shown.back().text, "no recording sound card installed");
}

}  // namespace
}  // namespace merlop
