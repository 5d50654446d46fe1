// The custom-tuning readings through the main frame: recorded while the user tunes, offered when
// custom tuning ends or the window closes, and kept in step with the sheet and the tuning combo.
#include <gtest/gtest.h>

#include <cmath>
#include <fstream>
#include <iterator>

#include "app/frame_fixture.h"

namespace merlop {
namespace {

std::string fileText(const std::filesystem::path& p) {
    std::ifstream in(p, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

// The guitar's strings with their targets at A = 440 Hz and no readings.
const char* const kGuitarUnread =
    "E  6th string,   82.4,\n"
    "A  5th string,  110.0,\n"
    "D  4th string,  146.8,\n"
    "G  3rd string,  196.0,\n"
    "B  2nd string,  246.9,\n"
    "E  1st string,  329.6,\n";

// The line of the A string, without its line end.
std::string aLine(const std::string& text) {
    const auto from = text.find("A  5th string,");
    if (from == std::string::npos) return {};
    return text.substr(from, text.find('\n', from) - from);
}

class Readings : public testing::Frame {
  protected:
    // The built-in guitar, with "Record readings" ticked in the file.
    void recordOnGuitar() {
        TuningStore store(dir.path());
        ASSERT_EQ(store.readTuning(0), 0);
        store.current().recordReadings = 1;
        ASSERT_EQ(store.saveCurrent(false), 0);
    }

    // Custom tuning on from the saved settings, recording; blocks then reach the analysis.
    void startCustom(bool automatic = true) {
        Settings s;
        s.customTuningOn = 1;
        s.tuningNoteAutomatic = automatic ? 1 : 0;
        writeConfig(s);
        startRecording();
        ASSERT_TRUE(frame->recording());
    }

    // A tone `cents` off the A string, long enough for the smoothed reading to settle.
    void playA(double cents) {
        for (int i = 0; i < 6; ++i) feedBlock(110.0 * std::pow(2.0, cents / 1200.0));
    }

    // Custom tuning off (capture stops first) with the answers given.
    void endCustom() {
        frame->toggleCustomTuning();
        ASSERT_FALSE(frame->customTuningOn());
    }

    std::filesystem::path csv() const { return dir / "readings.csv"; }
};

TEST_F(Readings, TuningOneStringWritesItsReadingAndLeavesTheOthersOpen) {
    recordOnGuitar();
    startCustom();
    EXPECT_TRUE(frame->readings().prepared());
    playA(8.0);
    dialogs.csvAnswer = csv().string();
    endCustom();

    ASSERT_EQ(questions.asked.size(), 1u);
    EXPECT_EQ(questions.asked[0].text, "save custom readings ?");
    EXPECT_EQ(questions.asked[0].caption, "");
    EXPECT_EQ(dialogs.csvOffered, (std::vector<std::string>{"readings"}));
    const std::string text = fileText(csv());
    // Only the A line carries a reading; it reads sharp by about the tone's 8 cents.
    const std::string a = aLine(text);
    ASSERT_EQ(a.substr(0, 28), "A  5th string,  110.0,  110.") << text;
    EXPECT_NEAR(std::stod(a.substr(a.rfind(',') + 1)), 8.0, 2.0);
    std::string others = kGuitarUnread;
    others.replace(others.find("A  5th string,  110.0,"), 22, a);
    EXPECT_EQ(text, others);
    EXPECT_FALSE(frame->readings().prepared());
}

TEST_F(Readings, WithoutRecordReadingsNothingIsAskedOrRecorded) {
    startCustom();
    EXPECT_FALSE(frame->readings().prepared());
    playA(8.0);
    endCustom();
    EXPECT_TRUE(questions.asked.empty());
    EXPECT_TRUE(dialogs.csvOffered.empty());
}

TEST_F(Readings, CancelDiscardsAndTheNextRunStartsAfresh) {
    recordOnGuitar();
    startCustom();
    playA(8.0);
    questions.answers = {false};
    endCustom();
    EXPECT_TRUE(dialogs.csvOffered.empty());

    capture.deliver();  // the stop of custom tuning's end
    frame->toggleCustomTuning();
    ASSERT_TRUE(frame->customTuningOn());
    EXPECT_TRUE(frame->readings().prepared());
    EXPECT_FALSE(frame->readings().anyReading());
    dialogs.csvAnswer = csv().string();
    endCustom();  // asked although nothing was measured, as always when the mode ends
    EXPECT_EQ(questions.asked.size(), 2u);
    EXPECT_EQ(fileText(csv()), kGuitarUnread);
}

TEST_F(Readings, AFixedStringKeepsOnlyReadingsWithinHalfASemitone) {
    recordOnGuitar();
    startCustom(false);
    frame->noteSelected(1);  // the A string
    capture.deliver();
    fire(FrameTimer::startCapture);
    capture.deliver();
    ASSERT_TRUE(frame->recording());
    playA(70.0);  // heard as A, but too far off to count as tuning it
    dialogs.csvAnswer = csv().string();
    endCustom();
    EXPECT_EQ(fileText(csv()), kGuitarUnread);
}

TEST_F(Readings, TheWindowClosingOffersThemUnlessNobodyIsThere) {
    recordOnGuitar();
    startCustom();
    playA(-5.0);
    EXPECT_FALSE(frame->onClose());  // the device closes first
    EXPECT_TRUE(questions.asked.empty());
    capture.deliver();
    dialogs.csvAnswer = csv().string();
    EXPECT_TRUE(frame->onClose());
    ASSERT_EQ(questions.asked.size(), 1u);
    EXPECT_EQ(aLine(fileText(csv())).substr(0, 28), "A  5th string,  110.0,  109.");
    EXPECT_TRUE(frame->customTuningOn());  // saved as it stands for the next start

    // A logout or a signal: readings are dropped without a box.
    frame.reset();
    questions.asked.clear();
    startCustom();
    playA(-5.0);
    EXPECT_FALSE(frame->onClose(false));
    capture.deliver();
    EXPECT_TRUE(frame->onClose(false));
    EXPECT_TRUE(questions.asked.empty());
    EXPECT_FALSE(frame->readings().prepared());
}

TEST_F(Readings, ChoosingAnotherTuningOffersTheOldReadingsUnderTheirOwnNames) {
    recordOnGuitar();
    {
        TuningStore store(dir.path());
        ASSERT_EQ(store.readTuning(1), 0);  // the violin records too
        store.current().recordReadings = 1;
        ASSERT_EQ(store.saveCurrent(false), 0);
    }
    startCustom();
    playA(8.0);
    dialogs.csvAnswer = csv().string();
    frame->tuningSelected(1);
    ASSERT_EQ(questions.asked.size(), 1u);
    EXPECT_EQ(aLine(fileText(csv())).substr(0, 28), "A  5th string,  110.0,  110.");
    // The violin starts with a fresh set, and nothing is asked while it is still unmeasured.
    EXPECT_TRUE(frame->readings().prepared());
    EXPECT_FALSE(frame->readings().anyReading());
    frame->tuningSelected(0);
    EXPECT_EQ(questions.asked.size(), 1u);
    EXPECT_TRUE(frame->readings().prepared());
}

TEST_F(Readings, TheSheetStartsAndEndsRecordingWhileCustomTuningIsOn) {
    startCustom();
    ASSERT_FALSE(frame->readings().prepared());
    // "Record readings" ticked in the sheet, which writes the tuning.
    frame->openSettings([&] {
        tunings->current().recordReadings = 1;
        ASSERT_EQ(tunings->saveCurrent(false), 0);
    });
    EXPECT_TRUE(frame->readings().prepared());
    capture.deliver();
    fire(FrameTimer::startCapture);
    capture.deliver();
    playA(8.0);

    // Opening the sheet again without a change keeps what was measured.
    frame->openSettings([] {});
    capture.deliver();
    fire(FrameTimer::startCapture);
    capture.deliver();
    EXPECT_TRUE(frame->readings().anyReading());

    // Unticked: what was measured is offered, then recording ends.
    dialogs.csvAnswer = csv().string();
    frame->openSettings([&] {
        tunings->current().recordReadings = 0;
        ASSERT_EQ(tunings->saveCurrent(false), 0);
    });
    ASSERT_EQ(questions.asked.size(), 1u);
    EXPECT_EQ(aLine(fileText(csv())).substr(0, 28), "A  5th string,  110.0,  110.");
    EXPECT_FALSE(frame->readings().prepared());
    endCustom();
    EXPECT_EQ(questions.asked.size(), 1u);
}

TEST_F(Readings, RetuningAStringInTheSheetStartsAFreshSet) {
    recordOnGuitar();
    startCustom();
    playA(8.0);
    questions.answers = {false};
    frame->openSettings([&] {
        tunings->current().frequencies[1] = 112.0f;
        ASSERT_EQ(tunings->saveCurrent(false), 0);
    });
    ASSERT_EQ(questions.asked.size(), 1u);  // the old readings were offered first
    EXPECT_TRUE(frame->readings().prepared());
    EXPECT_FALSE(frame->readings().anyReading());
}

}  // namespace
}  // namespace merlop
