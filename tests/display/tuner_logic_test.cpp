#include <gtest/gtest.h>

#include <cmath>
#include <filesystem>
#include <map>
#include <string>
#include <vector>

#include "display/note_buttons.h"
#include "display/tuner_state.h"
#include "pitch/pitch_model.h"
#include "settings/settings.h"
#include "settings/tuning_store.h"

namespace merlop {
namespace {

struct FakeView : TunerView {
    struct Meter {
        float frequency, deviation;
        int note;
        std::string name;
    };
    std::vector<Meter> meter;
    std::vector<std::pair<int, char>> keys;
    std::map<int, Rgb> colour;
    std::map<int, std::string> label;
    void showMeterValues(float f, float d, int n, const std::string& name) override {
        meter.push_back({f, d, n, name});
    }
    void setPianoKey(int key, char state) override { keys.emplace_back(key, state); }
    void setButtonColour(int i, Rgb c) override { colour[i] = c; }
    void setButtonLabel(int i, const std::string& text, Rgb c) override {
        label[i] = text;
        colour[i] = c;
    }
};

struct FakeTone : TonePlayer {
    int openResult = 0, playResult = 0;
    int opens = 0, closes = 0, stops = 0;
    std::vector<float> played;
    int lastCents = 0, lastProgram = -1;
    int open() override { return ++opens, openResult; }
    int play(float f, int cents, int program) override {
        played.push_back(f);
        lastCents = cents;
        lastProgram = program;
        return playResult;
    }
    void stop() override { ++stops; }
    int close() override { return ++closes, 0; }
};

struct FakeTimers : TunerTimers {
    std::map<TunerTimer, int> running;
    void start(TunerTimer t, int ms) override { running[t] = ms; }
    void stop(TunerTimer t) override { running.erase(t); }
    bool on(TunerTimer t) const { return running.count(t) != 0; }
};

struct FakeParent : TunerParent {
    std::vector<std::string> calls;
    void startCapture() override { calls.push_back("start"); }
    void releaseDeviceForTone() override { calls.push_back("release"); }
    void exercisePlayed() override { calls.push_back("played"); }
};

struct FakeExercise : ExerciseNotes {
    std::vector<int> notes;
    int index = -1;
    int showFirst = 0;
    int nextNote() override {
        ++index;
        return index < static_cast<int>(notes.size()) ? notes[index] : -1;
    }
    bool showNote() const override { return showFirst >= index + 1; }
    int noteDuration() const override { return 666; }
};

constexpr Rgb kGreen{0, 255, 0}, kRed{255, 0, 0}, kYellow{255, 255, 0};

class TunerLogicTest : public ::testing::Test {
  protected:
    std::unique_ptr<TunerLogic> make(int customNote = -1, bool calibration = false) {
        return std::make_unique<TunerLogic>(settings, pitch, tunings.get(), customNote, calibration,
                                            TunerLogic::Services{&view, &tone, &timers, &parent});
    }
    void useCustomTuning() {
        const auto dir =
            std::filesystem::temp_directory_path() / ("merlop-tuner-" + std::to_string(::getpid()));
        std::filesystem::create_directories(dir);
        tunings = std::make_unique<TuningStore>(dir);
        tunings->readTuning(0);  // guitar
        pitch.setTuningNotes(tunings->frequencies(), tunings->noteCount());
        settings.customTuningOn = 1;
    }
    Settings settings;
    PitchModel pitch;
    std::unique_ptr<TuningStore> tunings;
    FakeView view;
    FakeTone tone;
    FakeTimers timers;
    FakeParent parent;
};

TEST_F(TunerLogicTest, TenMissesHoldTheDisplayTheEleventhClears) {
    settings.showPiano = 0;
    auto t = make();
    t->showReading(60, -1, 440.0f, 0.02f);  // A4 -> button 9
    EXPECT_EQ(view.colour[9], kRed);
    EXPECT_EQ(view.meter.back().name, "A 4");
    for (int i = 0; i < 10; ++i) t->showReading(-1, -1, -1.0f, -1.0f);
    EXPECT_EQ(view.meter.size(), 1u);
    EXPECT_EQ(view.colour[9], kRed);
    t->showReading(-1, -1, -1.0f, -1.0f);
    ASSERT_EQ(view.meter.size(), 2u);
    EXPECT_EQ(view.meter.back().note, -1);
    EXPECT_EQ(view.colour[9], kGreen);
    EXPECT_EQ(t->shownIndex(), -1);
    EXPECT_EQ(t->missCount(), 0);

    settings.earTrainingOn = 1;
    t->showReading(62, -1, 493.9f, 0.0f);
    t->showReading(-1, -1, -1.0f, -1.0f);
    EXPECT_EQ(view.meter.back().note, -1);
    EXPECT_EQ(view.colour[11], kGreen);
}

TEST_F(TunerLogicTest, KeysAreWrittenForTheInstrument) {
    settings.instrumentKey = 2;
    auto t = make();
    ASSERT_TRUE(t->pianoMode());
    t->showReading(51, -1, 261.6f, 0.0f);  // C4 sounding, written two semitones lower
    EXPECT_EQ(view.keys.back(), (std::pair<int, char>{58, 'T'}));
    t->showReading(2000000000, -1, 1e30f, 0.0f);  // far outside: no overflow, no crash
    EXPECT_GT(view.keys.back().first, 127);
}

TEST_F(TunerLogicTest, TheMeterNamesTheNoteThatLights) {
    settings.instrumentKey = -2;  // an instrument in B flat
    auto t = make();
    ASSERT_TRUE(t->pianoMode());
    t->showReading(49, -1, 233.1f, 0.0f);                          // B flat 3 sounding
    EXPECT_EQ(view.keys.back(), (std::pair<int, char>{60, 'T'}));  // written C 4
    ASSERT_EQ(view.meter.size(), 1u);
    EXPECT_EQ(view.meter[0].name, "C 4");
    EXPECT_EQ(view.meter[0].frequency, 233.1f);

    settings.showPiano = 0;
    settings.instrumentKey = 3;  // in E flat
    auto buttons = make();
    buttons->showReading(51, -1, 261.6f, 0.0f);  // C 4 sounding, A 3 written
    EXPECT_EQ(view.colour[9], kRed);
    EXPECT_EQ(view.meter.back().name, "A 3");
}

TEST_F(TunerLogicTest, ClickWhileSoundingOnlyStops) {
    settings.showPiano = 0;
    settings.toneRepeatRate = 200;
    auto t = make();
    t->playNote(709, false);  // A3 with tone octave 3
    ASSERT_EQ(tone.played.size(), 1u);
    EXPECT_NEAR(tone.played[0], 220.0f, 0.01f);
    EXPECT_EQ(view.colour[9], kYellow);
    EXPECT_EQ(timers.running[TunerTimer::repeat], 300);

    t->playNote(700, false);  // another button: stop only
    EXPECT_EQ(tone.played.size(), 1u);
    EXPECT_EQ(tone.closes, 1);
    EXPECT_EQ(view.colour[9], kGreen);
    EXPECT_FALSE(timers.on(TunerTimer::repeat));
    EXPECT_EQ(timers.running[TunerTimer::endOfTone], 100);
    t->playNote(700, false);  // still stopping: ignored
    EXPECT_EQ(tone.played.size(), 1u);
    t->onTimer(TunerTimer::endOfTone);
    EXPECT_EQ(parent.calls, std::vector<std::string>{"start"});
    t->playNote(700, false);
    EXPECT_NEAR(tone.played.back(), 130.81f, 0.01f);
    t->onTimer(TunerTimer::repeat);
    EXPECT_EQ(tone.played.size(), 3u);
    EXPECT_EQ(tone.stops, 2);
}

TEST_F(TunerLogicTest, SwitchingStartsTheNewNoteAtOnce) {
    auto t = make();  // piano
    t->playNote(69, false);
    t->playNote(72, true);
    ASSERT_EQ(tone.played.size(), 2u);
    EXPECT_NEAR(tone.played[1], 523.25f, 0.01f);
    EXPECT_EQ(t->toneIndex(), 72);
    EXPECT_EQ(view.keys.back(), (std::pair<int, char>{72, 'P'}));
    t->onTimer(TunerTimer::endOfTone);
    EXPECT_EQ(parent.calls, std::vector<std::string>{"start"});
    // The new tone still owns the output and a click stops it.
    t->playNote(60, false);
    EXPECT_EQ(t->toneIndex(), -1);
    EXPECT_EQ(tone.played.size(), 2u);
}

TEST_F(TunerLogicTest, NoRepeatWithRateZeroOrSine) {
    settings.toneRepeatRate = 0;
    auto t = make();
    t->playNote(69, false);
    EXPECT_FALSE(timers.on(TunerTimer::repeat));
    t->stopTone();
    settings.toneRepeatRate = 60;
    settings.toneUseMidi = 0;
    t->playNote(69, false);
    EXPECT_FALSE(timers.on(TunerTimer::repeat));
    EXPECT_EQ(tone.played.size(), 2u);
}

TEST_F(TunerLogicTest, FailedStartAsksForTheDeviceAndRetryIgnoresFailures) {
    tone.playResult = -1;
    auto t = make();
    t->playNote(69, false);
    EXPECT_EQ(parent.calls, std::vector<std::string>{"release"});
    EXPECT_FALSE(t->tonePlaying());
    t->retryTone();
    EXPECT_FALSE(t->firstAttempt());
    EXPECT_TRUE(t->tonePlaying());
    EXPECT_EQ(parent.calls.size(), 1u);
    EXPECT_EQ(view.keys.back(), (std::pair<int, char>{69, 'P'}));
    // A retry with nothing pending plays nothing.
    t->stopTone();
    const size_t played = tone.played.size();
    t->retryTone();
    EXPECT_EQ(tone.played.size(), played);
}

TEST_F(TunerLogicTest, AutomaticCustomTuningWaitsForAMatch) {
    useCustomTuning();
    auto t = make(-1);
    EXPECT_EQ(t->buttonCount(), 1);
    EXPECT_TRUE(t->buttonSetup(0).clicksDisabled);
    EXPECT_EQ(t->buttonSetup(0).label, "");
    t->playNote(0, false);
    EXPECT_TRUE(tone.played.empty());

    t->showReading(36, 1, 110.0f, 0.7f);  // too far from every string
    EXPECT_EQ(view.meter.back().frequency, -1.0f);
    EXPECT_EQ(view.meter.back().note, -1);
    EXPECT_TRUE(view.label.empty());
    t->showReading(36, 1, 110.5f, 0.08f);
    EXPECT_EQ(view.label[0], "A  5th string");
    EXPECT_EQ(view.colour[0], kRed);
    EXPECT_EQ(view.meter.back().name, "A 2");
    t->showReading(std::nanf("") > 0 ? 0 : 41, 2, 146.8f, std::nanf(""));
    EXPECT_EQ(view.meter.back().note, -1);
    EXPECT_EQ(view.label[0], "");
    EXPECT_EQ(view.colour[0], kGreen);
}

TEST_F(TunerLogicTest, AutomaticCaptionFollowsTheMatchedStringNotOnlyItsPitchClass) {
    useCustomTuning();
    auto t = make(-1);
    ASSERT_NE(tunings->description(0), tunings->description(5));
    t->showReading(31, 0, 82.4f, 0.02f);  // the low E string
    EXPECT_EQ(view.label[0], tunings->description(0));
    t->showReading(55, 5, 329.6f, 0.01f);  // the high E string, the same pitch class
    EXPECT_EQ(view.label[0], tunings->description(5));
    EXPECT_EQ(view.colour[0], kRed);
    EXPECT_EQ(view.meter.back().name, "E 4");
    t->showReading(31, 0, 82.4f, 0.0f);
    EXPECT_EQ(view.label[0], tunings->description(0));
}

TEST_F(TunerLogicTest, ChosenTuningNotePlaysItsFrequencyAndPatch) {
    useCustomTuning();
    settings.midiCalibrationCents = -7;
    tunings->current().instrument = 24;
    auto t = make(2);
    EXPECT_EQ(t->buttonSetup(0).label, "D  4th string");
    t->playNote(12345, true);  // the frame's automatic tone
    ASSERT_EQ(tone.played.size(), 1u);
    EXPECT_NEAR(tone.played[0], 146.83f, 0.01f);
    EXPECT_EQ(tone.lastProgram, 24);
    EXPECT_EQ(tone.lastCents, -7);
    EXPECT_EQ(view.colour[0], kYellow);
    t->showReading(41, 2, 147.0f, 0.02f);
    EXPECT_EQ(view.colour[0], kRed);
    t->showReading(41, 2, 160.0f, 1.5f);
    EXPECT_EQ(view.colour[0], kYellow);  // back to the sounding tone's colour
}

TEST_F(TunerLogicTest, CalibrationCountdown) {
    auto t = make(-1, true);
    EXPECT_EQ(t->buttonCount(), 1);
    EXPECT_EQ(t->buttonSetup(0).label, "Calibration starting ");
    EXPECT_EQ(t->buttonSetup(0).style, 30);
    t->showReading(60, 120, 440.1f, 0.001f);
    EXPECT_EQ(view.label[0], "Calibration  120 seconds");
    EXPECT_EQ(view.colour[0], kRed);
    t->showReading(60, 7, 440.1f, 0.001f);
    EXPECT_EQ(view.label[0], "Calibration    7 seconds");
    EXPECT_TRUE(view.meter.empty());
    t->showReading(60, 0, 440.1f, 0.001f);
    ASSERT_EQ(view.meter.size(), 1u);
    EXPECT_EQ(view.meter[0].frequency, 440.1f);
    t->playNote(700, false);
    EXPECT_TRUE(tone.played.empty());
}

TEST_F(TunerLogicTest, ExercisePlaysNoteByNote) {
    settings.showPiano = 0;
    settings.instrumentKey = 2;
    auto t = make();
    t->showReading(60, -1, 440.0f, 0.0f);  // written G: button 7 red
    ASSERT_EQ(view.colour[7], kRed);
    FakeExercise ex;
    ex.notes = {69, 71};
    ex.showFirst = 1;
    t->playExercise(ex);
    EXPECT_EQ(timers.running[TunerTimer::nextNote], 100);
    t->onTimer(TunerTimer::nextNote);
    EXPECT_TRUE(t->exerciseActive());
    EXPECT_EQ(view.colour[7], kGreen);
    ASSERT_EQ(tone.played.size(), 1u);
    EXPECT_NEAR(tone.played[0], 493.88f, 0.01f);  // key + instrument key
    EXPECT_EQ(view.colour[9], kYellow);
    EXPECT_EQ(timers.running[TunerTimer::nextNote], 666);
    t->playNote(700, false);  // clicks wait for the exercise
    EXPECT_EQ(tone.played.size(), 1u);
    t->onTimer(TunerTimer::nextNote);
    EXPECT_EQ(view.colour[9], kGreen);
    EXPECT_EQ(view.colour.count(11), 0u);  // the second note is not shown
    t->onTimer(TunerTimer::nextNote);
    EXPECT_EQ(tone.closes, 1);
    EXPECT_EQ(timers.running[TunerTimer::endOfTone], 100);
    t->onTimer(TunerTimer::endOfTone);
    EXPECT_EQ(parent.calls, std::vector<std::string>{"played"});
    EXPECT_FALSE(t->exerciseActive());
}

TEST_F(TunerLogicTest, StopToneEndsEverythingSilently) {
    auto t = make();
    t->playNote(69, false);
    t->stopTone();
    EXPECT_EQ(t->toneIndex(), -1);
    EXPECT_EQ(view.keys.back(), (std::pair<int, char>{69, 'C'}));
    EXPECT_TRUE(parent.calls.empty());
    EXPECT_FALSE(timers.on(TunerTimer::repeat));
    t->playNote(60, false);  // usable again at once
    EXPECT_EQ(t->toneIndex(), 60);
    t->shutdown();
    EXPECT_EQ(tone.closes, 2);
}

}  // namespace
}  // namespace merlop
