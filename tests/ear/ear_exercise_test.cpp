#include "ear/ear_exercise.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <deque>
#include <random>
#include <set>

#include "settings/settings.h"

namespace merlop {
namespace {

// Hands out the scripted numbers, then zeros.
struct ScriptedRandom {
    std::deque<std::uint32_t> numbers;
    std::uint32_t operator()() {
        if (numbers.empty()) return 0;
        const std::uint32_t n = numbers.front();
        numbers.pop_front();
        return n;
    }
};

struct Fixture {
    std::uint32_t now = 5000;
    std::shared_ptr<ScriptedRandom> random = std::make_shared<ScriptedRandom>();
    EarExercise exercise{[r = random] { return (*r)(); }, [this] { return now; }};
    Settings settings;

    Fixture() {
        settings.earKey = 0;  // C
        settings.earScale = 0;
    }
};

int pitchClassA(int midiKey) {
    return (midiKey + 3) % 12;
}

TEST(EarExercise, TempoGivesTheNoteDurationAndTheMelodyPlaysOnceThrough) {
    Fixture f;
    EXPECT_EQ(f.exercise.noteDuration(), 200);
    f.settings.earTempo = 90;
    f.settings.earNoteCount = 3;
    ASSERT_EQ(f.exercise.generate(f.settings), MelodyProblem::none);
    EXPECT_EQ(f.exercise.noteDuration(), 666);
    f.settings.earTempo = 120;
    f.exercise.generate(f.settings);
    EXPECT_EQ(f.exercise.noteDuration(), 500);

    const std::vector<int> melody = f.exercise.notes();
    for (int pass = 0; pass < 2; ++pass) {
        for (int note : melody) EXPECT_EQ(f.exercise.nextNote(), note);
        EXPECT_EQ(f.exercise.nextNote(), -1);
        EXPECT_EQ(f.exercise.nextNote(), -1);
        f.exercise.rewind();
    }
}

TEST(EarExercise, FirstNoteIsShownOnlyWithTheSettingAndOnEveryPlaying) {
    Fixture f;
    f.settings.earNoteCount = 3;
    f.settings.earShowFirstNote = 1;
    f.exercise.generate(f.settings);
    for (int pass = 0; pass < 2; ++pass) {
        f.exercise.nextNote();
        EXPECT_TRUE(f.exercise.showNote());
        f.exercise.nextNote();
        EXPECT_FALSE(f.exercise.showNote());
        f.exercise.nextNote();
        EXPECT_FALSE(f.exercise.showNote());
        f.exercise.rewind();
    }
    f.settings.earShowFirstNote = 0;
    f.exercise.generate(f.settings);
    f.exercise.nextNote();
    EXPECT_FALSE(f.exercise.showNote());
}

TEST(EarExercise, MelodiesKeepToRangeScaleKeyAndLargestStep) {
    std::mt19937 engine(7);
    EarExercise exercise([&] { return static_cast<std::uint32_t>(engine() >> 1); },
                         [] { return 0u; });
    std::uniform_int_distribution<int> pick(0, 1 << 20);
    std::set<int> keysSeen;
    for (int round = 0; round < 400; ++round) {
        Settings s;
        s.earScale = pick(engine) % EarExercise::kScales;
        s.earKey = pick(engine) % 13;
        s.earRangeLow = 30 + pick(engine) % 30;
        s.earRangeHigh = s.earRangeLow + 6 + pick(engine) % 30;
        s.earMaxInterval = 3 + pick(engine) % 10;
        s.earNoteCount = 1 + pick(engine) % 12;
        ASSERT_EQ(exercise.generate(s), MelodyProblem::none) << "round " << round;
        const auto& notes = exercise.notes();
        ASSERT_EQ(exercise.melodyLength(), s.earNoteCount);
        const int key = exercise.key();
        if (s.earKey != 12) {
            EXPECT_EQ(key, s.earKey);
        } else {
            keysSeen.insert(key);
        }
        for (std::size_t i = 0; i < notes.size(); ++i) {
            EXPECT_GE(notes[i], s.earRangeLow);
            EXPECT_LE(notes[i], s.earRangeHigh);
            EXPECT_TRUE(EarExercise::kScaleTable[s.earScale][((notes[i] - key) % 12 + 12) % 12])
                << "scale " << s.earScale << " key " << key << " note " << notes[i];
            if (i > 0) {
                EXPECT_NE(notes[i], notes[i - 1]);
                EXPECT_LE(std::abs(notes[i] - notes[i - 1]), s.earMaxInterval);
            }
        }
    }
    EXPECT_GT(keysSeen.size(), 6u);  // "Random" really varies the key
}

TEST(EarExercise, HarmonicMinorUsesTheNaturalSixthAndTheLeadingNote) {
    Fixture f;
    f.random->numbers.clear();
    std::mt19937 engine(3);
    EarExercise exercise([&] { return static_cast<std::uint32_t>(engine() >> 1); },
                         [] { return 0u; });
    f.settings.earScale = 2;
    f.settings.earKey = 0;
    f.settings.earRangeLow = 60;
    f.settings.earRangeHigh = 71;
    f.settings.earNoteCount = 12;
    std::set<int> classes;
    for (int i = 0; i < 50; ++i) {
        exercise.generate(f.settings);
        for (int n : exercise.notes()) classes.insert(n % 12);
    }
    EXPECT_EQ(classes, (std::set<int>{0, 2, 3, 5, 7, 9, 11}));  // C D Eb F G A B
    EXPECT_STREQ(EarExercise::kScaleNames[4], "Diminshed");
}

TEST(EarExercise, RandomKeyIsDrawnForNewMelodiesNotForReplays) {
    Fixture f;
    f.settings.earKey = 12;
    f.settings.earNoteCount = 1;
    f.random->numbers = {5, 0};  // key F, then the first note
    f.exercise.generate(f.settings);
    EXPECT_EQ(f.exercise.key(), 5);
    f.random->numbers = {9};
    f.exercise.rewind();
    EXPECT_EQ(f.exercise.key(), 5);
    EXPECT_EQ(f.random->numbers.size(), 1u);
    f.exercise.generate(f.settings);
    EXPECT_EQ(f.exercise.key(), 9);
}

TEST(EarExercise, AnswersAreJudgedByPitchClassSoAnOctaveLowerIsRight) {
    Fixture f;
    f.settings.earRangeLow = 60;
    f.settings.earRangeHigh = 72;
    f.settings.earMaxInterval = 12;
    f.settings.earNoteCount = 2;
    f.random->numbers = {0, 16};  // 60 + 0, then 60 - 12 + 16
    f.exercise.generate(f.settings);
    ASSERT_EQ(f.exercise.notes(), (std::vector<int>{60, 64}));  // C4 E4

    EXPECT_EQ(f.exercise.judge(), -1);         // nothing heard
    f.exercise.recordAnswer(pitchClassA(48));  // C3
    EXPECT_EQ(f.exercise.judge(), -1);         // incomplete
    f.exercise.recordAnswer(pitchClassA(52));  // E3
    EXPECT_EQ(f.exercise.answers(), (std::vector<int>{3, 7}));
    EXPECT_EQ(f.exercise.judge(), 1);

    f.exercise.rewind();
    f.exercise.recordAnswer(7);
    f.exercise.recordAnswer(3);
    EXPECT_EQ(f.exercise.judge(), -1);  // the right notes in the wrong order

    // The answers keep the latest notes: a false start is forgiven.
    f.exercise.rewind();
    for (int pc : {5, 3, 7}) f.exercise.recordAnswer(pc);
    EXPECT_EQ(f.exercise.answers(), (std::vector<int>{3, 7}));
    EXPECT_EQ(f.exercise.judge(), 1);
    f.exercise.recordAnswer(-3);  // nothing the analysis can deliver: ignored
    f.exercise.recordAnswer(12);
    EXPECT_EQ(f.exercise.judge(), 1);
}

TEST(EarExercise, HeldNoteCountsOnceAndARepeatAfterAPauseTwice) {
    Fixture f;
    f.settings.earTempo = 90;  // 666 ms a note: a gap of up to 333 ms continues a note
    f.settings.earNoteCount = 4;
    f.exercise.generate(f.settings);
    for (int i = 0; i < 5; ++i) {
        f.exercise.recordAnswer(3);
        f.now += 186;
    }
    EXPECT_EQ(f.exercise.answerIndex(), 0);
    f.now += 333 - 186;  // exactly half a note since the last block: still the same note
    f.exercise.recordAnswer(3);
    EXPECT_EQ(f.exercise.answerIndex(), 0);
    f.now += 334;
    f.exercise.recordAnswer(3);
    EXPECT_EQ(f.exercise.answerIndex(), 1);
    f.now += 10;
    f.exercise.recordAnswer(5);  // another note at once is a new answer
    EXPECT_EQ(f.exercise.answers()[2], 5);
    EXPECT_EQ(f.exercise.answerIndex(), 2);
}

TEST(EarExercise, SettingsWithoutAnyMelodyAreReportedNotSearchedForever) {
    Fixture f;
    f.settings.earNoteCount = 2;
    f.settings.earRangeLow = 60;
    f.settings.earRangeHigh = 72;
    f.random->numbers = {0, 16};
    ASSERT_EQ(f.exercise.generate(f.settings), MelodyProblem::none);

    Settings s = f.settings;
    s.earScale = 1;                       // Major in C
    s.earRangeLow = s.earRangeHigh = 61;  // C#
    EXPECT_EQ(f.exercise.generate(s), MelodyProblem::noScaleNote);
    EXPECT_NE(melodyProblemText(MelodyProblem::noScaleNote).find("Range"), std::string::npos);

    s.earRangeLow = s.earRangeHigh = 60;
    EXPECT_EQ(f.exercise.generate(s), MelodyProblem::singleNote);
    EXPECT_NE(melodyProblemText(MelodyProblem::singleNote).find("Number of Notes"),
              std::string::npos);
    s.earNoteCount = 1;
    EXPECT_EQ(f.exercise.generate(s), MelodyProblem::none);
    EXPECT_EQ(f.exercise.notes(), (std::vector<int>{60}));
    const std::vector<int> before = f.exercise.notes();

    s = f.settings;
    s.earScale = 3;  // Whole tone: every step is 2
    s.earMaxInterval = 1;
    EXPECT_EQ(f.exercise.generate(s), MelodyProblem::interval);
    EXPECT_NE(melodyProblemText(MelodyProblem::interval).find("Maximum Interval"),
              std::string::npos);
    s.earKey = 12;  // no key helps either
    EXPECT_EQ(f.exercise.generate(s), MelodyProblem::interval);

    s = f.settings;
    s.earRangeHigh = s.earRangeLow - 1;
    EXPECT_EQ(f.exercise.generate(s), MelodyProblem::range);
    s = f.settings;
    s.earTempo = 0;
    EXPECT_EQ(f.exercise.generate(s), MelodyProblem::tempo);
    s = f.settings;
    s.earNoteCount = 0;
    EXPECT_EQ(f.exercise.generate(s), MelodyProblem::noteCount);

    EXPECT_EQ(f.exercise.notes(), before);  // a refused generation leaves the melody

    s = f.settings;
    s.earScale = 3;
    s.earMaxInterval = 2;  // exactly the whole tone's step: near enough
    ASSERT_EQ(f.exercise.generate(s), MelodyProblem::none);
    for (std::size_t i = 1; i < f.exercise.notes().size(); ++i) {
        EXPECT_EQ(std::abs(f.exercise.notes()[i] - f.exercise.notes()[i - 1]), 2);
    }
}

TEST(EarExercise, RandomKeyFallsBackToAKeyThatHoldsTheRange) {
    Fixture f;
    f.settings.earScale = 1;  // Major
    f.settings.earKey = 12;
    f.settings.earNoteCount = 1;
    f.settings.earRangeLow = f.settings.earRangeHigh = 61;
    for (std::uint32_t first : {0u, 1u, 2u, 3u, 4u, 5u, 6u, 7u, 8u, 9u, 10u, 11u}) {
        f.random->numbers = {first, first * 5};
        ASSERT_EQ(f.exercise.generate(f.settings), MelodyProblem::none);
        EXPECT_TRUE(EarExercise::kScaleTable[1][((61 - f.exercise.key()) % 12 + 12) % 12]);
    }
    f.settings.earNoteCount = 2;  // one note in every key
    EXPECT_EQ(f.exercise.generate(f.settings), MelodyProblem::singleNote);
}

TEST(EarExercise, AFirstNoteWithNothingInReachIsNeverChosen) {
    // Blues in C from C4 to Gb4: C 60, Eb 63, F 65, Gb 66. With steps of at most 2 the C has no
    // neighbour, and a melody starting there could never go on.
    Fixture f;
    f.settings.earScale = 5;
    f.settings.earRangeLow = 60;
    f.settings.earRangeHigh = 66;
    f.settings.earMaxInterval = 2;
    f.settings.earNoteCount = 6;
    f.random->numbers.clear();  // every draw is 0: a plain search would pick C and stall
    ASSERT_EQ(f.exercise.generate(f.settings), MelodyProblem::none);
    const auto& n = f.exercise.notes();
    EXPECT_NE(n[0], 60);
    for (std::size_t i = 1; i < n.size(); ++i) {
        EXPECT_NE(n[i], n[i - 1]);
        EXPECT_LE(std::abs(n[i] - n[i - 1]), 2);
    }
}

}  // namespace
}  // namespace merlop
