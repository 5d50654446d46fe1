#include "pitch/pitch_model.h"

#include <gtest/gtest.h>

#include <cmath>

#include "common/translation.h"
#include "pitch/temperament_table.h"

namespace merlop {
namespace {

struct Split {
    int note;
    float deviation;
    int cents;
};

Split split(const PitchModel& m, float v) {
    Split s{};
    s.cents = m.splitNoteValue(v, &s.note, &s.deviation);
    return s;
}

TEST(PitchModel, EqualTemperamentReadingsAtA440) {
    PitchModel m;
    float dev = 1.0f;
    EXPECT_EQ(m.nearestNote(440.0f, &dev), 60);
    EXPECT_FLOAT_EQ(dev, 0.0f);
    EXPECT_EQ(m.fullNoteName(60), "A 4");

    EXPECT_EQ(m.nearestNote(261.63f, &dev), 51);
    EXPECT_EQ(m.fullNoteName(51), "C 4");
    EXPECT_NEAR(dev, 0.0f, 0.001f);

    EXPECT_EQ(m.nearestNote(13.75f, &dev), 0);
    dev = 5.0f;
    EXPECT_EQ(m.nearestNote(13.7f, &dev), -1);
    EXPECT_EQ(dev, 0.0f);
    EXPECT_EQ(m.nearestNote(0.0f, &dev), -1);
    EXPECT_EQ(m.nearestNote(-440.0f, &dev), -1);

    // A quarter tone sharp of A 4 reads as A with +25 cents, a bit more flips to Bb with a negative
    // one.
    Split s = split(m, m.noteValueOf(440.0f * std::pow(2.0f, 0.25f / 12.0f)));
    EXPECT_EQ(s.note, 60);
    EXPECT_EQ(s.cents, 25);
    s = split(m, m.noteValueOf(440.0f * std::pow(2.0f, 0.6f / 12.0f)));
    EXPECT_EQ(s.note, 61);
    EXPECT_EQ(s.cents, -40);
}

TEST(PitchModel, HalfNotesAndHalfCentsRoundAwayFromZero) {
    PitchModel m;
    Split s = split(m, 60.5f);
    EXPECT_EQ(s.note, 61);
    EXPECT_FLOAT_EQ(s.deviation, -0.5f);
    EXPECT_EQ(s.cents, -50);

    EXPECT_EQ(split(m, 60.0f - 0.004f).cents, 0);
    EXPECT_EQ(split(m, 60.0f - 0.006f).cents, -1);
    EXPECT_EQ(split(m, 60.0f + 0.006f).cents, 1);
    EXPECT_EQ(split(m, 10.125f).cents, 13);
    EXPECT_EQ(split(m, 9.875f).cents, -13);
    // 0.005 as a float lies just below the half and so rounds toward zero.
    EXPECT_EQ(split(m, 0.005f).cents, 0);
    EXPECT_EQ(split(m, -0.0f).cents, 0);
}

TEST(PitchModel, ReferenceAMovesEveryNote) {
    PitchModel m;
    m.setReferenceA(442);
    EXPECT_FLOAT_EQ(m.referenceA(), 442.0f);
    EXPECT_FLOAT_EQ(m.baseFrequency(), 442.0f / 32.0f);
    float dev = 1.0f;
    EXPECT_EQ(m.nearestNote(442.0f, &dev), 60);
    EXPECT_NEAR(dev, 0.0f, 1e-5f);
    // 440 Hz is now about 7.85 cents flat of A.
    EXPECT_EQ(m.nearestNote(440.0f, &dev), 60);
    EXPECT_NEAR(dev * 100.0f, -7.85f, 0.01f);
    EXPECT_NEAR(m.frequencyOfNote(51, 0.0f), 442.0f * std::pow(2.0, -9.0 / 12.0), 0.001);
    EXPECT_NEAR(m.frequencyOfNoteValue(72.0f), 884.0f, 0.001f);
}

TEST(PitchModel, NamesAndOctaves) {
    PitchModel m;
    EXPECT_EQ(m.fullNoteName(-1), " ");
    EXPECT_EQ(m.fullNoteName(3), "C 0");
    EXPECT_EQ(m.fullNoteName(49), "Bb 3");
    EXPECT_EQ(m.fullNoteName(121), "Bb 9");
    EXPECT_EQ(m.fullNoteName(122), "B 9");
    // A nonsense note still gets a name, without overflowing on the way.
    EXPECT_EQ(m.fullNoteName(2147483647), "E 178956970");
    // Outside the one-digit octaves the octave is still written out in full.
    EXPECT_EQ(m.fullNoteName(0), "A -1");
    EXPECT_EQ(m.fullNoteName(2), "B -1");
    EXPECT_EQ(m.fullNoteName(123), "C 10");
    EXPECT_EQ(m.noteNameOfFrequency(10.0f), " ");
    EXPECT_EQ(m.noteNameOfFrequency(466.16f), "Bb");

    m.setSharpNotation(1);
    EXPECT_EQ(m.fullNoteName(49), "A# 3");
    EXPECT_EQ(m.fullNoteName(121), "A# 9");
    EXPECT_EQ(m.noteName(-11), "A#");  // pitch classes wrap for negative numbers
    EXPECT_EQ(m.noteNameOfFrequency(466.16f), "A#");

    EXPECT_EQ(PitchModel::midiNumber(60), 69);
    EXPECT_EQ(PitchModel::octaveOfMidi(60), 4);
    EXPECT_EQ(PitchModel::octaveOfMidi(59), 3);
    EXPECT_EQ(PitchModel::midiOfC(4), 60);
}

TEST(PitchModel, TuningNotesScaleWithReferenceAndPickTheNearest) {
    PitchModel m;
    int index = 7;
    float diff = 1.0f;
    m.nearestTuningNote(60.0f, &index, &diff);
    EXPECT_EQ(index, -1);
    EXPECT_EQ(diff, 0.0f);

    const float guitar[] = {82.407f, 110.0f, 146.832f, 195.998f, 246.942f, 329.628f};
    m.setReferenceA(442);
    m.setTuningNotes(guitar, 6);
    EXPECT_EQ(m.tuningCount(), 6);
    EXPECT_NEAR(m.tuningFrequency(1), 110.5f, 1e-4f);
    EXPECT_NEAR(m.tuningNoteValue(1), 36.0f, 1e-4f);

    m.nearestTuningNote(m.noteValueOf(112.0f), &index, &diff);
    EXPECT_EQ(index, 1);
    EXPECT_NEAR(diff, 12.0 * std::log2(112.0 / 110.5), 1e-4);

    // Equal distance to two entries goes to the lower index.
    const float twins[] = {440.0f, 440.0f * std::pow(2.0f, 2.0f / 12.0f)};
    m.setReferenceA(440);
    m.setTuningNotes(twins, 2);
    m.nearestTuningNote(m.tuningNoteValue(0) + 1.0f, &index, &diff);
    EXPECT_EQ(index, 0);
    EXPECT_NEAR(diff, 1.0f, 1e-4f);
}

TEST(Temperament, CatalogueNamesArePaddedAndComplete) {
    EXPECT_EQ(TemperamentTable::kRows, 75);
    for (int i = 0; i < TemperamentTable::kRows; ++i) {
        const std::string name = temperamentName(i);
        EXPECT_EQ(name.size(), 25u) << i;
        EXPECT_NE(name[0], ' ') << i;
        EXPECT_EQ(TemperamentTable::row(i)[0], 0.0f) << i;
    }
    EXPECT_EQ(temperamentName(0), "Equal temperament        ");
    EXPECT_EQ(temperamentName(74), "Zazal                    ");
    EXPECT_EQ(temperamentName(71), "Werckmeister 3           ");
    EXPECT_EQ(TemperamentTable::row(29)[1], -23.95f);
    // Two rows share their offsets under different names.
    EXPECT_EQ(TemperamentTable::row(4), TemperamentTable::row(65));
}

std::string bracketed(const char* context, const char* source) {
    return std::string("[") + context + "]" + source;
}

// Scala files take the English names; lists take them in the player's language, unpadded.
TEST(Temperament, ShownNamesAreTranslatedAndFileNamesStayEnglish) {
    EXPECT_EQ(TemperamentTable::shownName(3), "Artusi Monochord");
    installTranslator(&bracketed);
    EXPECT_EQ(TemperamentTable::shownName(0), "[Temperaments]Equal temperament");
    EXPECT_EQ(TemperamentTable::shownName(74), "[Temperaments]Zazal");
    EXPECT_EQ(TemperamentTable::name(0), "Equal temperament        ");
    EXPECT_EQ(TemperamentTable::names()[74], "Zazal                    ");
    installTranslator(nullptr);
    for (int i = 0; i < TemperamentTable::kRows; ++i) {
        std::string padded = TemperamentTable::shownName(i);
        padded.resize(TemperamentTable::kNameLength, ' ');
        EXPECT_EQ(padded, TemperamentTable::name(i)) << i;
    }
}

TEST(Temperament, PlacedRowsKeepTheReferenceNoteFixed) {
    PitchModel m;
    for (int row = 0; row < TemperamentTable::kRows; ++row) {
        for (int key = 0; key < 12; ++key) {
            m.setTemperament(row, key, 9);
            ASSERT_EQ(m.temperamentOffset(0), 0.0f) << row << " " << key;
            ASSERT_NEAR(m.frequencyOfNote(60, 0.0f), 440.0f, 1e-3f) << row << " " << key;
            m.setTemperament(row, key, key);
            ASSERT_EQ(m.temperamentOffset((key + 3) % 12), 0.0f) << row << " " << key;
        }
    }
    m.setTemperament(0, 5, 2);
    for (int pc = 0; pc < 12; ++pc) EXPECT_EQ(m.temperamentOffset(pc), 0.0f);
}

TEST(Temperament, MeantoneOnCAnchoredOnA) {
    PitchModel m;
    m.setTemperament(29, 0, 9);
    EXPECT_NEAR(m.temperamentOffset(3), 0.1026f, 1e-6f);   // C
    EXPECT_NEAR(m.temperamentOffset(7), -0.0343f, 1e-6f);  // E
    // A 4 stays at 440 Hz, C 4 sits 10.26 cents above its equal-tempered place ...
    EXPECT_NEAR(m.frequencyOfNote(51, 0.0f), 261.6256 * std::pow(2.0, 0.1026 / 12.0), 0.001);
    // ... and reads back as C with no deviation.
    Split s = split(m, m.noteValueOf(m.frequencyOfNote(51, 0.0f)));
    EXPECT_EQ(s.note, 51);
    EXPECT_EQ(s.cents, 0);
    // An equal-tempered C is now 10 cents flat.
    s = split(m, 51.0f);
    EXPECT_EQ(s.note, 51);
    EXPECT_EQ(s.cents, -10);

    // Without "Use A" the key is the fixed point and A moves instead.
    m.setTemperament(29, 0, 0);
    EXPECT_EQ(m.temperamentOffset(3), 0.0f);
    EXPECT_NEAR(m.temperamentOffset(0), -0.1026f, 1e-6f);
}

TEST(Temperament, SearchLooksOneNoteEitherSide) {
    PitchModel m;
    // Row 74 on C puts E half a semitone flat: 54.3 rounds to Eb but lies nearer the tempered E.
    m.setTemperament(74, 0, 0);
    ASSERT_EQ(m.temperamentOffset(7), -0.5f);
    Split s = split(m, 54.3f);
    EXPECT_EQ(s.note, 55);
    EXPECT_NEAR(s.deviation, -0.2f, 1e-5f);
    EXPECT_EQ(s.cents, -20);
    // Exactly between Eb and the tempered E: the lower note wins.
    s = split(m, 54.25f);
    EXPECT_EQ(s.note, 54);
    EXPECT_FLOAT_EQ(s.deviation, 0.25f);
    // Index 0 ignores any offsets left from earlier placements.
    m.setTemperament(0, 0, 0);
    EXPECT_EQ(split(m, 54.3f).note, 54);
}

}  // namespace
}  // namespace merlop
