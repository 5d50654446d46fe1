#include "display/reading_words.h"

#include <gtest/gtest.h>

#include <limits>

#include "display/announcement_gate.h"
#include "support/scoped_translator.h"

namespace merlop {
namespace {

const ReadingWordsStyle kWhole{};                // whole cents, only zero is in tune
const ReadingWordsStyle kFine{-1.0f, true};      // tenths of a cent
const ReadingWordsStyle kTolerant{2.0f, false};  // green within 2 cents

TEST(ReadingWords, SaysNoteCentsAndFrequency) {
    EXPECT_EQ(readingWords(441.3f, 0.03f, 48, "A 4", kWhole), "A 4, 3 cents sharp, 441.3 Hz");
    EXPECT_EQ(readingWords(438.0f, -0.02f, 48, "A 4", kWhole), "A 4, 2 cents flat, 438.0 Hz");
    EXPECT_EQ(readingWords(440.26f, 0.01f, 48, "A 4", kWhole), "A 4, 1 cent sharp, 440.3 Hz");
    EXPECT_EQ(readingWords(440.0f, 0.0f, 48, "A 4", kWhole), "A 4, in tune, 440.0 Hz");
    // Accidentals are spoken, not spelt.
    EXPECT_EQ(readingWords(277.2f, -0.1f, 40, "C# 4", kWhole),
              "C sharp 4, 10 cents flat, 277.2 Hz");
    EXPECT_EQ(readingWords(233.1f, 0.2f, 37, "Bb 3", kWhole), "B flat 3, 20 cents sharp, 233.1 Hz");
}

TEST(ReadingWords, CentsAgreeWithTheMeterDigits) {
    // The meter truncates whole cents: 2.9 cents reads "+2", so do the words.
    EXPECT_EQ(readingWords(440.7f, 0.029f, 48, "A 4", kWhole), "A 4, 2 cents sharp, 440.7 Hz");
    EXPECT_EQ(readingWords(439.8f, -0.009f, 48, "A 4", kWhole), "A 4, in tune, 439.8 Hz");
    EXPECT_EQ(readingWords(440.6f, 0.024f, 48, "A 4", kFine), "A 4, 2.4 cents sharp, 440.6 Hz");
    EXPECT_EQ(readingWords(439.9f, -0.0004f, 48, "A 4", kFine), "A 4, in tune, 439.9 Hz");
    // Within the green tolerance the meter calls it in tune, and so do the words.
    EXPECT_EQ(readingWords(440.5f, 0.02f, 48, "A 4", kTolerant), "A 4, in tune, 440.5 Hz");
    EXPECT_EQ(readingWords(441.3f, 0.03f, 48, "A 4", kTolerant), "A 4, 3 cents sharp, 441.3 Hz");
}

TEST(ReadingWords, NoNoteForMissingOrBrokenReadings) {
    const float nan = std::numeric_limits<float>::quiet_NaN();
    const float inf = std::numeric_limits<float>::infinity();
    EXPECT_EQ(readingWords(-1.0f, 0.0f, -1, " ", kWhole), "no note");
    EXPECT_EQ(readingWords(440.0f, 0.0f, -1, "A 4", kWhole), "no note");
    EXPECT_EQ(readingWords(0.0f, 0.0f, 48, "A 4", kWhole), "no note");
    EXPECT_EQ(readingWords(nan, 0.0f, 48, "A 4", kWhole), "no note");
    EXPECT_EQ(readingWords(inf, 0.0f, 48, "A 4", kWhole), "no note");
    EXPECT_EQ(readingWords(440.0f, nan, 48, "A 4", kWhole), "no note");
    // A nameless note (custom tuning without a caption) still gets cents and frequency.
    EXPECT_EQ(readingWords(110.0f, -0.05f, 12, " ", kWhole), "5 cents flat, 110.0 Hz");
}

TEST(ReadingWords, SpokenNoteNamesLeaveOwnCaptionsAlone) {
    EXPECT_EQ(spokenNoteName("F#"), "F sharp");
    EXPECT_EQ(spokenNoteName("Eb 2"), "E flat 2");
    EXPECT_EQ(spokenNoteName("Ab-1"), "A flat -1");
    EXPECT_EQ(spokenNoteName("Db0"), "D flat 0");
    EXPECT_EQ(spokenNoteName("A 4"), "A 4");
    EXPECT_EQ(spokenNoteName("Bbass"), "Bbass");
    EXPECT_EQ(spokenNoteName("high e"), "high e");
    EXPECT_EQ(spokenNoteName(""), "");
}

// Another language's words and order: each part of the sentence comes from its own pattern.
TEST(ReadingWords, AnotherLanguageGivesWordsAndOrder) {
    const test::ScopedTranslator german({
        {{"ReadingWords", "%1 cents sharp"}, "%1 Cent zu hoch"},
        {{"ReadingWords", "%1 cents flat"}, "%1 Cent zu tief"},
        {{"ReadingWords", "%1 cent sharp"}, "ein Cent zu hoch"},
        {{"ReadingWords", "%1 cent flat"}, "ein Cent zu tief"},
        {{"ReadingWords", "%1 sharp"}, "%1 Kreuz"},
        {{"ReadingWords", "%1 flat"}, "%1 Be"},
        {{"ReadingWords", "in tune"}, "gestimmt"},
        {{"ReadingWords", "no note"}, "kein Ton"},
        {{"ReadingWords", "%1, %2, %3 Hz"}, "%1 bei %3 Hz: %2"},
        {{"ReadingWords", "%1, %2 Hz"}, "%2 Hz: %1"},
    });
    EXPECT_EQ(readingWords(441.3f, 0.03f, 48, "A 4", kWhole), "A 4 bei 441.3 Hz: 3 Cent zu hoch");
    EXPECT_EQ(readingWords(440.26f, 0.01f, 48, "A 4", kWhole),
              "A 4 bei 440.3 Hz: ein Cent zu hoch");
    EXPECT_EQ(readingWords(439.74f, -0.01f, 48, "A 4", kWhole),
              "A 4 bei 439.7 Hz: ein Cent zu tief");
    // Tenths of a cent are never the singular.
    EXPECT_EQ(readingWords(439.7f, -0.01f, 48, "A 4", kFine), "A 4 bei 439.7 Hz: 1.0 Cent zu tief");
    EXPECT_EQ(readingWords(277.2f, 0.0f, 40, "C# 4", kWhole), "C Kreuz 4 bei 277.2 Hz: gestimmt");
    EXPECT_EQ(spokenNoteName("Bb3"), "B Be 3");
    EXPECT_EQ(readingWords(110.0f, -0.05f, 12, " ", kWhole), "110.0 Hz: 5 Cent zu tief");
    EXPECT_EQ(readingWords(-1.0f, 0.0f, -1, " ", kWhole), "kein Ton");
}

TEST(AnnouncementGate, NewNotesAtOnceButNeverTwiceInHalfASecond) {
    AnnouncementGate gate;
    EXPECT_TRUE(gate.offer(48, "A 4, in tune", 10.0));
    EXPECT_EQ(gate.announced(), "A 4, in tune");
    // A different note 0.1 s later waits for the interval, then goes out at once.
    EXPECT_FALSE(gate.offer(50, "B 4, in tune", 10.1));
    EXPECT_FALSE(gate.offer(50, "B 4, in tune", 10.45));
    EXPECT_TRUE(gate.offer(50, "B 4, in tune", 10.5));
    EXPECT_FALSE(gate.offer(50, "B 4, in tune", 20.0));  // nothing new
    EXPECT_TRUE(gate.offer(-1, "no note", 20.0));
    // A flood of changing notes, every 20 ms for 3 s: at most about two a second.
    int said = 0;
    for (int i = 0; i < 150; ++i)
        said += gate.offer(i % 12, "note " + std::to_string(i % 12), 30.0 + 0.02 * i);
    EXPECT_GE(said, 5);
    EXPECT_LE(said, 7);
    EXPECT_EQ(gate.count(), 3 + said);
}

TEST(AnnouncementGate, SameNoteWaitsForTheCentsToSettle) {
    AnnouncementGate gate;
    ASSERT_TRUE(gate.offer(48, "A 4, 5 cents flat", 0.0));
    // Wobbling cents on the same note: nothing, however long it goes on.
    for (int i = 1; i <= 100; ++i) {
        EXPECT_FALSE(
            gate.offer(48, "A 4, " + std::to_string(i % 3 + 1) + " cents sharp", 1.0 + 0.1 * i))
            << i;
    }
    // Held for kSettle: announced.
    EXPECT_FALSE(gate.offer(48, "A 4, in tune", 20.0));
    EXPECT_FALSE(gate.offer(48, "A 4, in tune", 20.0 + AnnouncementGate::kSettle - 0.01));
    EXPECT_TRUE(gate.offer(48, "A 4, in tune", 20.0 + AnnouncementGate::kSettle));
    // Away and back within the settling time is no news.
    EXPECT_FALSE(gate.offer(48, "A 4, 1 cent sharp", 30.0));
    EXPECT_FALSE(gate.offer(48, "A 4, in tune", 30.1));
    EXPECT_FALSE(gate.offer(48, "A 4, in tune", 31.0));
}

TEST(AnnouncementGate, ClockGoingBackwardsDoesNotSilenceIt) {
    AnnouncementGate gate;
    ASSERT_TRUE(gate.offer(48, "A 4", 100.0));
    EXPECT_TRUE(gate.offer(50, "B 4", 1.0));
    EXPECT_FALSE(gate.offer(52, "C sharp 5", 1.2));
}

}  // namespace
}  // namespace merlop
