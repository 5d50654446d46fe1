// Hold, the input level and the choice of input source, through the main frame's commands.
#include <algorithm>
#include <cmath>

#include "app/frame_fixture.h"
#include "support/scoped_translator.h"

namespace merlop {
namespace {

using testing::Frame;

class PlayerAids : public Frame {
  protected:
    // One block of a tone of `amplitude` (full scale 32767; beyond it clips), 0 for silence.
    void feedLevel(double hz, double amplitude) {
        const int n = frame->cycle()->length();
        const int rate = frame->config().sampleRate;
        std::vector<std::uint8_t> bytes(2 * n);
        for (int i = 0; i < n; ++i) {
            const double v = amplitude * std::sin(2 * M_PI * hz * (phase + i) / rate);
            const auto s = static_cast<std::int16_t>(std::clamp(v, -32768.0, 32767.0));
            bytes[2 * i] = static_cast<std::uint8_t>(s & 0xff);
            bytes[2 * i + 1] = static_cast<std::uint8_t>((s >> 8) & 0xff);
        }
        phase += n;
        capture.feed(bytes);
        capture.deliver();
    }
    double blockSeconds() const {
        return frame->cycle()->length() / static_cast<double>(frame->config().sampleRate);
    }
    int blocksFor(double seconds) const {
        return static_cast<int>(std::ceil(seconds / blockSeconds())) + 1;
    }
};

TEST_F(PlayerAids, HoldFreezesTheTunerAloneAndKeepsTheLastNoteHeard) {
    startRecording();
    for (int i = 0; i < 4; ++i) feedBlock(440.0);
    // The note dies away before Hold is pressed: the held reading is still the A.
    for (int i = 0; i < 3; ++i) feedLevel(440.0, 0.0);
    ASSERT_LT(view.readings.shown.back().note, 0);
    frame->toggleHold();
    EXPECT_TRUE(view.tunerHeld);
    EXPECT_TRUE(frame->uiState().holdChecked);
    const PitchReading held = view.readings.shown.back();
    EXPECT_EQ(held.note, 60);
    EXPECT_NEAR(held.frequency, 440.0f, 0.5f);

    // Capture and the analysis go on; the tuner display hears nothing of them.
    const std::size_t shown = view.readings.shown.size();
    for (int i = 0; i < 4; ++i) feedBlock(494.0);
    EXPECT_EQ(view.readings.shown.size(), shown);
    EXPECT_EQ(frame->captureState(), CaptureState::recording);
    EXPECT_NEAR(frame->cycle()->currentFrequency(), 494.0f, 2.0f);

    // A new layout (the window resized) builds a tuner that shows the held reading, marked.
    frame->onSize(900, 650);
    capture.deliver();
    EXPECT_TRUE(view.last.held);
    EXPECT_EQ(view.readings.shown.back().note, held.note);
    EXPECT_EQ(view.readings.shown.back().frequency, held.frequency);

    // Pressed again, the readings flow.
    frame->toggleHold();
    EXPECT_FALSE(view.tunerHeld);
    fire(FrameTimer::startCapture);
    capture.deliver();
    for (int i = 0; i < 4; ++i) feedBlock(494.0);
    EXPECT_EQ(view.readings.shown.back().note, 62);  // B 4
}

TEST_F(PlayerAids, HoldNeedsTheTunerAndEndsWithIt) {
    startRecording();
    frame->toggleSpectrum();
    capture.deliver();
    frame->toggleHold();
    ASSERT_TRUE(frame->uiState().holdChecked);
    frame->toggleTuner();  // the spectrum alone
    capture.deliver();
    EXPECT_FALSE(frame->uiState().holdChecked);
    EXPECT_FALSE(frame->uiState().holdEnabled);
    EXPECT_FALSE(view.last.held);
    frame->toggleHold();
    EXPECT_FALSE(frame->uiState().holdChecked);

    // Ear training reads the tuner live: no hold there either.
    frame->toggleTuner();
    capture.deliver();
    frame->toggleHold();
    frame->toggleEarTraining();
    capture.deliver();
    EXPECT_FALSE(frame->uiState().holdChecked);
}

TEST_F(PlayerAids, TheLevelMeterShowsPeakAndClipAndTheStatusTellsQuietFromListening) {
    // Off, as the classic tuner is: no meter, the status bar as it was.
    startRecording();
    feedBlock(440.0);
    EXPECT_TRUE(std::none_of(view.levels.begin(), view.levels.end(),
                             [](const LevelReading& l) { return l.shown; }));
    EXPECT_TRUE(view.status.empty()) << view.status;  // nothing wrote there

    frame->toggleInputLevel();
    EXPECT_TRUE(extensions.stored.inputLevel);
    capture.deliver();
    fire(FrameTimer::startCapture);
    capture.deliver();
    feedLevel(440.0, 8192.0);  // a quarter of full scale
    ASSERT_FALSE(view.levels.empty());
    EXPECT_TRUE(view.levels.back().shown);
    EXPECT_NEAR(view.levels.back().peakDbfs, 20 * std::log10(0.25), 0.2);
    EXPECT_FALSE(view.levels.back().clipped);
    EXPECT_EQ(view.status, kListeningStatusText);

    // A block at full scale lights the clip mark, which stays a moment and then goes.
    feedLevel(440.0, 60000.0);
    EXPECT_TRUE(view.levels.back().clipped);
    EXPECT_NEAR(view.levels.back().peakDbfs, 0.0, 0.01);
    feedLevel(440.0, 8192.0);
    EXPECT_TRUE(view.levels.back().clipped);
    for (int i = 0; i < blocksFor(LevelWatch::kClipHoldSeconds); ++i) feedLevel(440.0, 8192.0);
    EXPECT_FALSE(view.levels.back().clipped);

    // Silence: still "Listening" for a while, then "Too quiet"; a note puts it right.
    const int quiet = static_cast<int>(LevelWatch::kQuietSeconds / blockSeconds());
    for (int i = 0; i < quiet - 1; ++i) feedLevel(440.0, 0.0);
    EXPECT_EQ(view.status, kListeningStatusText);
    EXPECT_LE(view.levels.back().peakDbfs, -90.0f);
    for (int i = 0; i < 3; ++i) feedLevel(440.0, 0.0);
    EXPECT_EQ(view.status, kTooQuietStatusText);
    feedLevel(440.0, 8192.0);
    EXPECT_EQ(view.status, kListeningStatusText);

    // Switched off, the meter goes.
    frame->toggleInputLevel();
    capture.deliver();
    EXPECT_FALSE(view.levels.back().shown);
}

// The words are taken when the run starts, so a language installed at start-up is the one heard.
TEST_F(PlayerAids, TheListeningWordsAreInThePlayersLanguage) {
    const test::ScopedTranslator german({
        {{"MainFrame", kListeningStatusText}, "Hört zu"},
        {{"MainFrame", kTooQuietStatusText}, "Zu leise"},
    });
    startRecording();
    frame->toggleInputLevel();
    capture.deliver();
    fire(FrameTimer::startCapture);
    capture.deliver();
    feedLevel(440.0, 8192.0);
    EXPECT_EQ(view.status, "Hört zu");
    for (int i = 0; i < blocksFor(LevelWatch::kQuietSeconds); ++i) feedLevel(440.0, 0.0);
    EXPECT_EQ(view.status, "Zu leise");
    feedLevel(440.0, 8192.0);
    EXPECT_EQ(view.status, "Hört zu");
}

TEST_F(PlayerAids, AChosenSourceIsRememberedFallsBackWhenUnpluggedAndReturns) {
    const InputSource builtIn{"alsa_input.pci.analog", "Built-in Audio Analog Stereo", true};
    const InputSource usb{"alsa_input.usb-Scarlett", "Scarlett 2i2 USB", false};
    capture.sources = {builtIn, usb};
    startRecording();
    EXPECT_EQ(capture.openedSource, "default");

    // The dialog lists the default first, then the sources by name; picking the USB one moves
    // the recording there and keeps it in merlop.conf.
    questions.choices = {2};
    frame->chooseInputDevice();
    EXPECT_EQ(questions.lastItems,
              (std::vector<std::string>{kSystemDefaultSource, builtIn.name, usb.name}));
    EXPECT_EQ(questions.lastCurrent, 0);
    EXPECT_EQ(extensions.stored.inputSource, usb.id);
    EXPECT_EQ(extensions.stored.inputSourceName, usb.name);
    capture.deliver();  // the old run closes, the layout runs again
    fire(FrameTimer::startCapture);
    capture.deliver();
    EXPECT_EQ(capture.openedSource, usb.id);
    feedBlock(440.0);
    EXPECT_EQ(view.readings.shown.back().note, 60);

    // Unplugged while recording: no error box, the default takes over, and the status says so.
    const std::size_t boxes = messages.shown.size();
    capture.replug({builtIn});
    capture.deliver();
    EXPECT_EQ(messages.shown.size(), boxes);
    EXPECT_NE(view.status.find("not there"), std::string::npos) << view.status;
    EXPECT_NE(view.status.find(usb.name), std::string::npos) << view.status;
    fire(FrameTimer::startCapture);
    capture.deliver();
    EXPECT_EQ(capture.openedSource, "default");
    EXPECT_TRUE(frame->recording());
    EXPECT_EQ(extensions.stored.inputSource, usb.id);  // still the choice

    // Plugged in again: back to it.
    capture.replug({builtIn, usb});
    capture.deliver();
    EXPECT_EQ(view.status, "Listening to \"" + usb.name + "\"");
    fire(FrameTimer::startCapture);
    capture.deliver();
    EXPECT_EQ(capture.openedSource, usb.id);

    // The next start listens to it at once, and the dialog opens on it.
    frame.reset();
    capture.chosen.clear();
    startRecording();
    EXPECT_EQ(capture.openedSource, usb.id);
    questions.choices = {};
    frame->chooseInputDevice();
    EXPECT_EQ(questions.lastCurrent, 2);
}

TEST_F(PlayerAids, AChosenSourceMissingAtStartIsToldAndTheDefaultListens) {
    extensions.stored.inputSource = "alsa_input.usb-Headset";
    extensions.stored.inputSourceName = "USB Headset";
    extensions.stored.inputLevel = true;
    capture.sources = {{"alsa_input.pci.analog", "Built-in Audio", true}};
    startRecording();
    EXPECT_EQ(capture.openedSource, "default");
    feedBlock(440.0);
    EXPECT_NE(view.status.find("\"USB Headset\" is not there"), std::string::npos) << view.status;

    // Two sources of one name are told apart in the list.
    capture.sources.push_back({"alsa_input.usb-Headset-2", "Built-in Audio", false});
    questions.choices = {0};
    frame->chooseInputDevice();
    EXPECT_EQ(questions.lastItems.back(), "Built-in Audio (2)");
    EXPECT_TRUE(extensions.stored.inputSource.empty());  // the system default
}

}  // namespace
}  // namespace merlop

namespace merlop {
namespace {

// The strobe's target is the note as the tuner shows it: in a temperament, E is not the equal-
// tempered E, and a tone on the tempered E a third of a cent sharp reads a third of a cent.
TEST_F(PlayerAids, TheStrobeFollowsTheNoteInTheTemperamentInUse) {
    Settings s;
    s.temperamentIndex = 1;
    writeConfig(s);
    extensions.stored.strobe = true;
    startRecording();
    ASSERT_TRUE(view.last.strobe);
    const int e4 = 55;  // five semitones under the reference A
    const double tempered = frame->pitch().frequencyOfNote(e4, 0.0f);
    ASSERT_GT(std::fabs(1200.0 * std::log2(tempered / (440.0 * std::pow(2.0, -5.0 / 12)))), 1.5);
    const double sharp = tempered * std::pow(2.0, 0.3 / 1200.0);
    for (int i = 0; i < blocksFor(2.5); ++i) feedBlock(sharp);
    ASSERT_FALSE(view.strobes.shown.empty());
    const StrobeRow& row = view.strobes.shown.back()[0];
    ASSERT_FALSE(row.resting);
    EXPECT_NEAR(row.cents, 0.3, 0.03);
    EXPECT_GT(row.rate, 0.0);  // sharp: the bands drift right

    // Silence: every row rests.
    for (int i = 0; i < blocksFor(1.0); ++i) feedLevel(440.0, 0.0);
    for (const StrobeRow& r : view.strobes.shown.back()) EXPECT_TRUE(r.resting);

    // Off, the tuner has no strobe and the analysis runs none.
    frame->toggleStrobe();
    capture.deliver();
    EXPECT_FALSE(view.last.strobe);
    const std::size_t shown = view.strobes.shown.size();
    fire(FrameTimer::startCapture);
    capture.deliver();
    feedBlock(sharp);
    EXPECT_EQ(view.strobes.shown.size(), shown);
}

}  // namespace
}  // namespace merlop
