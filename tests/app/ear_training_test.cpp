#include <gtest/gtest.h>

#include <cmath>
#include <deque>
#include <set>

#include "app/frame_fixture.h"
#include "display/tuner_state.h"

namespace merlop {
namespace {

using testing::Frame;

struct RecordingTone : TonePlayer {
    int open() override { return 0; }
    int play(float frequency, int, int) override {
        played.push_back(frequency);
        return 0;
    }
    void stop() override {}
    int close() override { return 0; }
    std::vector<float> played;
};

struct TunerTimerLog : TunerTimers {
    void start(TunerTimer t, int ms) override { armed[t] = ms; }
    void stop(TunerTimer t) override { armed.erase(t); }
    std::map<TunerTimer, int> armed;
};

double hzOfKey(int midiKey) {
    return 440.0 * std::pow(2.0, (midiKey - 69) / 12.0);
}

class EarFrame : public Frame {
  protected:
    void SetUp() override {
        Frame::SetUp();
        Settings s;
        s.earTrainingOn = 1;
        s.earTempo = 90;
        s.earNoteCount = 2;
        s.earScale = 1;  // Major
        s.earKey = 0;    // C
        s.earRangeLow = 60;
        s.earRangeHigh = 72;
        s.earMaxInterval = 4;
        writeConfig(s);
    }

    // The frame with a tuner window that really plays exercises; melodies come from `draws`.
    void startEar() {
        start();
        frame->exercise().setRandomSource([this] {
            if (draws.empty()) return 0u;
            const std::uint32_t d = draws.front();
            draws.pop_front();
            return d;
        });
        tuner = std::make_unique<TunerLogic>(
            settings, frame->pitch(), nullptr, -1, false,
            TunerLogic::Services{nullptr, &tone, &tunerTimers, frame.get()});
        view.tuner = tuner.get();
        frame->onSize(800, 600);
    }

    // The tuner window's timers until the melody is over; returns the tones it requested.
    std::vector<float> playMelody() {
        tone.played.clear();
        for (int guard = 0; guard < 100; ++guard) {
            if (tunerTimers.armed.count(TunerTimer::nextNote) != 0) {
                clock.now += tunerTimers.armed[TunerTimer::nextNote];
                tuner->onTimer(TunerTimer::nextNote);
            } else if (tunerTimers.armed.count(TunerTimer::endOfTone) != 0) {
                clock.now += 100;
                tuner->onTimer(TunerTimer::endOfTone);
            } else {
                break;
            }
        }
        return tone.played;
    }

    // Sings the notes back, each for `blocks` buffers, at the pace of the buffers.
    void answer(const std::vector<int>& keys, int blocks = 4) {
        capture.deliver();  // the device opens
        ASSERT_TRUE(frame->recording());
        const double blockMs = 1000.0 * frame->cycle()->length() / frame->config().sampleRate;
        for (int key : keys) {
            for (int i = 0; i < blocks; ++i) {
                clock.now += static_cast<std::uint32_t>(blockMs);
                feedBlock(hzOfKey(key));
            }
        }
    }

    // The answer time runs out; the device closes and the next playing begins.
    void answerTimeOver() {
        fire(FrameTimer::earAnswer);
        EXPECT_FALSE(frame->answering());
        capture.deliver();
        EXPECT_FALSE(frame->captureActive());
    }

    static void expectTones(const std::vector<float>& played, const std::vector<int>& keys) {
        ASSERT_EQ(played.size(), keys.size());
        for (std::size_t i = 0; i < keys.size(); ++i) {
            EXPECT_NEAR(played[i], hzOfKey(keys[i]), 0.01) << "note " << i;
        }
    }

    std::deque<std::uint32_t> draws;
    RecordingTone tone;
    TunerTimerLog tunerTimers;
    std::unique_ptr<TunerLogic> tuner;
};

TEST_F(EarFrame, RightAnswerBringsANewMelodyAndAWrongOneTheSameAgain) {
    draws = {0, 8, 7, 2};  // C4 E4, then G4 F4
    startEar();
    EXPECT_EQ(view.built, (ShownDisplays{true, false, false}));
    fire(FrameTimer::startCapture);  // the exercise starts instead of capture
    EXPECT_FALSE(frame->captureActive());
    ASSERT_EQ(frame->exercise().notes(), (std::vector<int>{60, 64}));
    expectTones(playMelody(), {60, 64});

    // Played: capture starts, the answer time is twice the melody.
    EXPECT_TRUE(frame->captureActive());
    EXPECT_EQ(view.timers[FrameTimer::earAnswer], 2664);
    EXPECT_EQ(view.status, "Play");
    EXPECT_TRUE(frame->answering());

    answer({48, 52});  // an octave lower
    EXPECT_EQ(frame->exercise().answers(), (std::vector<int>{3, 7}));
    answerTimeOver();
    ASSERT_EQ(frame->exercise().notes(), (std::vector<int>{67, 65}));
    EXPECT_EQ(view.status, "Play");  // a new melody keeps the word
    expectTones(playMelody(), {67, 65});

    answer({67, 64});
    answerTimeOver();
    EXPECT_EQ(view.status, "Listen");
    EXPECT_EQ(frame->exercise().answerIndex(), -1);
    expectTones(playMelody(), {67, 65});
    EXPECT_EQ(view.status, "Play");

    answer({67, 65});
    answerTimeOver();
    EXPECT_EQ(view.status, "Play");
    EXPECT_EQ(view.exercisesPlayed, 4);
}

TEST_F(EarFrame, IncompleteAnswerReplaysTheSameMelody) {
    draws = {0, 8};
    startEar();
    fire(FrameTimer::startCapture);
    playMelody();
    answer({60});
    EXPECT_EQ(frame->exercise().answerIndex(), 0);
    answerTimeOver();
    EXPECT_EQ(view.status, "Listen");
    expectTones(playMelody(), {60, 64});
}

TEST_F(EarFrame, SkipAbandonsTheMelodyWhileListeningOrPlaying) {
    draws = {0, 8, 7, 2, 12, 0};  // C4 E4, G4 F4, then from C5
    startEar();
    fire(FrameTimer::startCapture);
    playMelody();
    answer({60}, 1);
    frame->onSpaceKey();  // Skip
    EXPECT_FALSE(view.armed(FrameTimer::earAnswer));
    EXPECT_FALSE(frame->answering());
    capture.deliver();
    EXPECT_EQ(frame->exercise().notes(), (std::vector<int>{67, 65}));

    // While the melody plays nothing records: a new one at once.
    const int stops = view.toneStops;
    frame->skip();
    EXPECT_EQ(view.toneStops, stops + 1);
    EXPECT_EQ(frame->exercise().notes()[0], 72);
    EXPECT_FALSE(frame->captureActive());
    playMelody();
    EXPECT_TRUE(frame->recording() || frame->captureActive());
}

// The close is under way when the answer time runs out: the window must still close.
TEST_F(EarFrame, AnAnswerTimeEndingWhileTheWindowClosesLetsItClose) {
    draws = {0, 8};
    startEar();
    fire(FrameTimer::startCapture);
    playMelody();
    answer({60}, 1);
    EXPECT_FALSE(frame->onClose());
    fire(FrameTimer::earAnswer);
    capture.deliver();
    EXPECT_EQ(view.closesPosted, 1);
    EXPECT_TRUE(frame->onClose());
}

TEST_F(EarFrame, SettingsWithoutAMelodySayWhatToChangeAndLeaveEarTraining) {
    Settings s;
    s.earTrainingOn = 1;
    s.earScale = 3;  // Whole tone
    s.earMaxInterval = 1;
    writeConfig(s);
    startEar();
    fire(FrameTimer::startCapture);
    ASSERT_FALSE(messages.shown.empty());
    EXPECT_NE(messages.shown.back().text.find("Maximum Interval"), std::string::npos);
    EXPECT_FALSE(frame->earTrainingOn());
    EXPECT_EQ(view.exercisesPlayed, 0);
    fire(FrameTimer::startCapture);  // the plain tuner
    EXPECT_TRUE(frame->recording());
}

TEST_F(EarFrame, CalibrationEndsEarTraining) {
    draws = {0, 8};
    startEar();
    fire(FrameTimer::startCapture);
    playMelody();
    capture.deliver();
    frame->calibrate();
    EXPECT_FALSE(frame->earTrainingOn());
    EXPECT_FALSE(view.armed(FrameTimer::earAnswer));
    capture.deliver();
    fire(FrameTimer::calibrationStep);
    ASSERT_EQ(questions.asked.size(), 1u);
    EXPECT_TRUE(frame->calibrating());
}

}  // namespace
}  // namespace merlop
