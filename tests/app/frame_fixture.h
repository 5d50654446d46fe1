#pragma once

// The main frame with everything around it scripted: the card, the window, the boxes, the clock.

#include <gtest/gtest.h>

#include <array>
#include <cmath>
#include <filesystem>
#include <fstream>
#include <map>
#include <memory>

#include "app/frame_fakes.h"
#include "app/mainframe.h"
#include "audio/riff_wave.h"
#include "platform/scripted_capture.h"
#include "settings/settings.h"
#include "settings/test_files.h"
#include "settings/tuning_store.h"

namespace merlop::testing {

struct FakeView : FrameView {
    void startTimer(FrameTimer t, int ms) override { timers[t] = ms; }
    void killTimer(FrameTimer t) override { timers.erase(t); }
    void setStatusText(const std::string& text) override { status = text; }
    void fillTuningCombo(const std::vector<std::string>& items, int selected) override {
        tuningItems = items;
        tuningSelected = selected;
    }
    void fillNoteCombo(const std::vector<std::string>& items, int selected) override {
        noteItems = items;
        noteSelected = selected;
    }
    int toolBarHeight() const override { return 28; }
    int statusBarHeight() const override { return 20; }
    CycleSinks createDisplays(const DisplayRequest& r) override {
        ++builds;
        last = r;
        built = r.shown;
        CycleSinks sinks;
        if (r.shown.tuner) sinks.reading = &readings;
        if (r.strobe) sinks.strobe = &strobes;
        return sinks;
    }
    void destroyDisplays() override { built = {}; }
    void focusFrame() override {}
    void postClose() override { ++closesPosted; }
    void setDisplaysPaused(bool, bool, bool p) override { displaysPaused = p; }
    void tunerStopTone() override { ++toneStops; }
    void tunerRetryTone() override { ++toneRetries; }
    void tunerPlayTuningNote() override { ++autoTones; }
    void tunerPlayExercise(ExerciseNotes& exercise) override {
        ++exercisesPlayed;
        if (tuner != nullptr) tuner->playExercise(exercise);
    }
    void keepScreenAwake(bool awake) override { screenAwake = awake; }
    void uiChanged() override {}
    void showInputLevel(const LevelReading& l) override { levels.push_back(l); }
    void setTunerHeld(bool h) override { tunerHeld = h; }

    bool armed(FrameTimer t) const { return timers.count(t) != 0; }

    std::map<FrameTimer, int> timers;
    std::string status;
    std::vector<std::string> tuningItems, noteItems;
    int tuningSelected = -2, noteSelected = -2;
    int builds = 0;
    DisplayRequest last;
    ShownDisplays built;
    int closesPosted = 0;
    bool displaysPaused = false;
    int toneStops = 0, toneRetries = 0, autoTones = 0;
    bool screenAwake = false;
    int exercisesPlayed = 0;
    std::vector<LevelReading> levels;
    bool tunerHeld = false;
    TunerLogic* tuner = nullptr;  // plays exercises when set
    struct Strobes : StrobeDisplay {
        void showStrobe(const std::array<StrobeRow, StrobeAnalyser::kRows>& r) override {
            shown.push_back(r);
        }
        std::vector<std::array<StrobeRow, StrobeAnalyser::kRows>> shown;
    } strobes;
    struct Readings : ReadingDisplay {
        void showReading(const PitchReading& r) override { shown.push_back(r); }
        std::vector<PitchReading> shown;
    } readings;
};

struct ScriptedQuestions : QuestionBox {
    bool ask(const std::string& text, const std::string& caption, Buttons buttons) override {
        asked.push_back({text, caption, buttons});
        const bool answer = answers.empty() ? true : answers.front();
        if (!answers.empty()) answers.erase(answers.begin());
        return answer;
    }
    struct Asked {
        std::string text, caption;
        Buttons buttons = Buttons::okCancel;
    };
    int choose(const std::string& caption, const std::string&,
               const std::vector<std::string>& items, int current) override {
        offered.push_back(caption);
        lastItems = items;
        lastCurrent = current;
        const int choice = choices.empty() ? -1 : choices.front();
        if (!choices.empty()) choices.erase(choices.begin());
        return choice;
    }
    std::vector<Asked> asked;
    std::vector<bool> answers;  // then OK
    bool askNumber(const std::string& caption, const std::string&, double lo, double hi, int,
                   double* value) override {
        offered.push_back(caption);
        numberAsked = {lo, hi, *value};
        if (numbers.empty()) return false;
        *value = numbers.front();
        numbers.erase(numbers.begin());
        return true;
    }
    bool askText(const std::string& caption, const std::string&, std::string* value) override {
        offered.push_back(caption);
        if (texts.empty()) return false;
        *value = texts.front();
        texts.erase(texts.begin());
        return true;
    }
    std::vector<std::string> texts;  // then cancelled
    std::vector<std::string> offered, lastItems;
    std::vector<double> numbers;          // then cancelled
    std::array<double, 3> numberAsked{};  // lo, hi, the value offered
    std::vector<int> choices;             // then cancelled
    int lastCurrent = -1;
};

// A mono 16-bit sine of `seconds` at `rate`, as a well-formed file.
inline void writeSine(const std::filesystem::path& path, double hz, int rate, double seconds) {
    const auto n = static_cast<std::uint32_t>(rate * seconds);
    std::vector<std::uint8_t> bytes(kCanonicalHeaderBytes + 2 * n);
    writeCanonicalHeader(bytes.data(), rate, 16, 2 * n);
    for (std::uint32_t i = 0; i < n; ++i) {
        const auto s = static_cast<std::int16_t>(12000 * std::sin(2 * M_PI * hz * i / rate));
        bytes[kCanonicalHeaderBytes + 2 * i] = static_cast<std::uint8_t>(s & 0xff);
        bytes[kCanonicalHeaderBytes + 2 * i + 1] = static_cast<std::uint8_t>((s >> 8) & 0xff);
    }
    std::ofstream(path, std::ios::binary)
        .write(reinterpret_cast<const char*>(bytes.data()),
               static_cast<std::streamsize>(bytes.size()));
}

class Frame : public ::testing::Test {
  protected:
    void SetUp() override {
        capture.formats = kMono11kHz8Bit | kMono11kHz16Bit | kMono22kHz16Bit | kMono44kHz16Bit;
        writeConfig(Settings{});
    }

    void writeConfig(const Settings& s) {
        const auto image = s.toImage();
        std::ofstream(dir / "merlo301.cfg", std::ios::binary)
            .write(reinterpret_cast<const char*>(image.data()),
                   static_cast<std::streamsize>(image.size()));
    }

    MainFrameCore& start() {
        settings.setLocation(dir.path());
        settings.loadSettings();
        tunings = std::make_unique<TuningStore>(dir.path());
        frame = std::make_unique<MainFrameCore>(
            settings, tunings.get(),
            FrameServices{view, messages, capture, player, dialogs, clock, questions, extensions});
        return *frame;
    }

    // The first sizing, then timer 2 and the device's open notification.
    void startRecording() {
        start();
        frame->onSize(800, 600);
        fire(FrameTimer::startCapture);
        capture.deliver();
    }

    void fire(FrameTimer t) {
        ASSERT_TRUE(view.armed(t));
        frame->onTimer(t);
    }

    // One full buffer of a steady tone through the scripted card.
    void feedBlock(double hz) {
        fillBlock(hz);
        capture.deliver();
    }

    // The same, with its notice left waiting.
    void fillBlock(double hz) {
        const int n = frame->cycle()->length();
        const int rate = frame->config().sampleRate;
        std::vector<std::uint8_t> bytes(2 * n);
        for (int i = 0; i < n; ++i) {
            const auto s =
                static_cast<std::int16_t>(12000 * std::sin(2 * M_PI * hz * (phase + i) / rate));
            bytes[2 * i] = static_cast<std::uint8_t>(s & 0xff);
            bytes[2 * i + 1] = static_cast<std::uint8_t>((s >> 8) & 0xff);
        }
        phase += n;
        capture.feed(bytes);
    }

    TempDir dir;
    Settings settings;
    std::unique_ptr<TuningStore> tunings;
    ScriptedCapture capture;
    RecordingMessageBox messages;
    FakeView view;
    FakePlayer player;
    FakeDialogs dialogs;
    FakeClock clock;
    ScriptedQuestions questions;
    FakeExtensions extensions;
    std::unique_ptr<MainFrameCore> frame;
    long phase = 0;
};

}  // namespace merlop::testing
