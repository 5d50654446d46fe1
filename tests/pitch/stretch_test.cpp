// Stretched tunings against the octave rules they claim, and the text form of key measurements.
#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <string>
#include <vector>

#include "pitch/piano_keys.h"
#include "pitch/stretch_tuning.h"

namespace merlop {
namespace {

constexpr int kA0 = 21;
constexpr int kA4 = 69;
constexpr int kC8 = 108;

// Partial n of a string whose partial 1 is at f1, straight from f_n = n F sqrt(1 + B n^2).
double partial(double f1, double b, int n) {
    const double fundamental = f1 / std::sqrt(1.0 + b);
    return n * fundamental * std::sqrt(1.0 + b * n * n);
}

double cents(double f, double reference) {
    return 1200.0 * std::log2(f / reference);
}

const StretchTarget& target(const StretchResult& r, int midi) {
    return r.targets.at(static_cast<std::size_t>(midi - kA0));
}

// Somewhat like a small grand: stiffest in the extreme treble, least in the tenor.
const std::vector<KeyStiffness> kTypical = {
    {kA0, 6e-4}, {45, 1.5e-4}, {kA4, 4e-4}, {84, 1.5e-3}, {kC8, 2e-2}};

TEST(Stretch, ConstantStiffnessMatchesTheClosedForm) {
    for (const double b : {1e-4, 1e-3, 1e-2}) {
        for (const int h : {1, 2, 3}) {
            const OctaveRule rule = h == 1   ? OctaveRule::twoOne
                                    : h == 2 ? OctaveRule::fourTwo
                                             : OctaveRule::sixThree;
            const StretchResult r = computeStretch({{30, b}, {60, b}, {100, b}}, 440.0, rule);
            ASSERT_EQ(r.problem, "");
            ASSERT_EQ(r.targets.size(), 88u);
            // Partial 2h on partial h makes every octave 2 sqrt((1 + 4h^2 B) / (1 + h^2 B)), and
            // equal division spreads it evenly over the semitones, A4 fixed.
            const double octave =
                cents(2.0 * std::sqrt((1.0 + 4.0 * h * h * b) / (1.0 + h * h * b)), 1.0);
            for (const StretchTarget& t : r.targets) {
                const double expected = (t.midi - kA4) / 12.0 * (octave - 1200.0);
                EXPECT_NEAR(t.cents, expected, 0.01)
                    << "B " << b << " h " << h << " key " << t.midi;
                EXPECT_NEAR(cents(t.frequency, 440.0 * std::pow(2.0, (t.midi - kA4) / 12.0)),
                            t.cents, 1e-9);
                EXPECT_NEAR(t.b, b, 1e-12 * b);
            }
        }
    }
}

TEST(Stretch, EveryOctaveIsPureByItsRuleAndStretchedOutwards) {
    for (const OctaveRule rule :
         {OctaveRule::twoOne, OctaveRule::fourTwo, OctaveRule::sixThree, OctaveRule::mix}) {
        const StretchResult r = computeStretch(kTypical, 442.0, rule);
        ASSERT_EQ(r.problem, "") << octaveRuleName(rule);
        EXPECT_DOUBLE_EQ(target(r, kA4).frequency, 442.0);
        for (int lo = kA0; lo + 12 <= kC8; ++lo) {
            const StretchTarget& low = target(r, lo);
            const StretchTarget& up = target(r, lo + 12);
            const int h = upperPartialOf(rule, lo);
            EXPECT_NEAR(cents(partial(low.frequency, low.b, 2 * h), partial(up.frequency, up.b, h)),
                        0.0, 1e-6)
                << octaveRuleName(rule) << " octave from " << lo;
            EXPECT_NEAR(partialOfTarget(up.frequency, up.b, h), partial(up.frequency, up.b, h),
                        1e-9 * up.frequency);
            // Each octave wider than 2:1 in partial 1, and each key above its neighbour.
            EXPECT_GT(up.frequency, 2.0 * low.frequency) << lo;
            EXPECT_GT(target(r, lo + 1).frequency, low.frequency) << lo;
        }
        // The temperament octave in equal steps of the stretched octave.
        const double step = cents(target(r, kA4 + 12).frequency, 442.0) / 12.0;
        for (int s = 1; s < 12; ++s)
            EXPECT_NEAR(cents(target(r, kA4 + s).frequency, 442.0), s * step, 1e-9) << s;
    }
}

TEST(Stretch, ATypicalCurveGivesTheUsualStretch) {
    for (const OctaveRule rule : {OctaveRule::fourTwo, OctaveRule::mix}) {
        const StretchResult r = computeStretch(kTypical, 440.0, rule);
        ASSERT_EQ(r.problem, "");
        EXPECT_LT(target(r, kA0).cents, -12.0) << octaveRuleName(rule);
        EXPECT_GT(target(r, kA0).cents, -40.0) << octaveRuleName(rule);
        EXPECT_GT(target(r, kC8).cents, 18.0) << octaveRuleName(rule);
        EXPECT_LT(target(r, kC8).cents, 40.0) << octaveRuleName(rule);
    }
    // Wider octaves in the bass mean a flatter bass.
    const double six = target(computeStretch(kTypical, 440.0, OctaveRule::sixThree), kA0).cents;
    const double two = target(computeStretch(kTypical, 440.0, OctaveRule::twoOne), kA0).cents;
    EXPECT_LT(six, two - 10.0);
}

TEST(Stretch, StiffnessCurveIsLogLinearBetweenKeysAndCarriedOnBeyond) {
    const StretchResult r =
        computeStretch({{45, 2e-4}, {57, 8e-4}, {93, 1e-3}, {105, 4e-3}}, 440.0, OctaveRule::mix);
    ASSERT_EQ(r.problem, "");
    EXPECT_NEAR(target(r, 57).b, 8e-4, 1e-15);
    EXPECT_NEAR(target(r, 51).b, 4e-4, 1e-12);             // geometric mean halfway
    EXPECT_NEAR(target(r, 33).b, 5e-5, 1e-12);             // the bass line 45..57 carried down
    EXPECT_NEAR(target(r, 75).b, std::sqrt(8e-7), 1e-12);  // halfway 57..93
    EXPECT_NEAR(target(r, kC8).b, 4e-3 * std::pow(4.0, 3.0 / 12.0), 1e-12);
    // Far out, the carried line is held to what strings can be.
    const StretchResult steep =
        computeStretch({{60, 1e-3}, {62, 1e-2}, {64, 4e-2}}, 440.0, OctaveRule::twoOne);
    ASSERT_EQ(steep.problem, "");
    EXPECT_DOUBLE_EQ(target(steep, kC8).b, StiffnessCurve::kMaxB);
    EXPECT_DOUBLE_EQ(target(steep, kA0).b, StiffnessCurve::kMinB);
}

TEST(Stretch, RefusesBadCurvesAndSaysWhy) {
    const double nan = std::numeric_limits<double>::quiet_NaN();
    const struct {
        std::vector<KeyStiffness> keys;
        double a;
        const char* says;
    } cases[] = {
        {{{21, 1e-3}, {69, 1e-3}}, 440.0, "at least 3 keys, 2 given"},
        {{}, 440.0, "at least 3"},
        {{{21, 1e-3}, {69, 1e-3}, {21, 2e-3}}, 440.0, "A0 is given twice"},
        {{{21, 1e-3}, {69, -1e-4}, {108, 1e-2}}, 440.0, "A4: B must be 0 to 0.05"},
        {{{21, 1e-3}, {69, 1e-4}, {108, 0.06}}, 440.0, "C8: B must be"},
        {{{21, nan}, {69, 1e-4}, {108, 0.01}}, 440.0, "A0: B must be"},
        {{{20, 1e-3}, {69, 1e-4}, {108, 0.01}}, 440.0, "key 20 is not one of the 88"},
        {{{21, 1e-3}, {69, 1e-4}, {109, 0.01}}, 440.0, "key 109"},
        {{{21, 1e-3}, {69, 1e-4}, {108, 0.01}}, 399.0, "reference A"},
    };
    for (const auto& c : cases) {
        const StretchResult r = computeStretch(c.keys, c.a, OctaveRule::fourTwo);
        EXPECT_NE(r.problem.find(c.says), std::string::npos) << r.problem;
        EXPECT_TRUE(r.targets.empty()) << c.says;
    }
    // B of 0 is allowed: a string as stiff as no string is.
    EXPECT_EQ(computeStretch({{21, 0.0}, {69, 1e-4}, {108, 0.05}}, 440.0, OctaveRule::mix).problem,
              "");
}

TEST(Stretch, OctaveRulesByNameAndByRegister) {
    OctaveRule rule{};
    for (const char* name : {"2:1", "4:2", "6:3", "mix"}) {
        ASSERT_TRUE(parseOctaveRule(name, &rule)) << name;
        EXPECT_STREQ(octaveRuleName(rule), name);
    }
    EXPECT_FALSE(parseOctaveRule("3:1", &rule));
    EXPECT_FALSE(parseOctaveRule("", &rule));
    EXPECT_EQ(upperPartialOf(OctaveRule::mix, 47), 3);
    EXPECT_EQ(upperPartialOf(OctaveRule::mix, 48), 2);
    EXPECT_EQ(upperPartialOf(OctaveRule::mix, 71), 2);
    EXPECT_EQ(upperPartialOf(OctaveRule::mix, 72), 1);
    EXPECT_EQ(upperPartialOf(OctaveRule::sixThree, 90), 3);
}

TEST(PianoKeys, NamesRoundTripAndOnlyThe88Parse) {
    for (int m = kA0; m <= kC8; ++m) EXPECT_EQ(pianoKeyOfName(pianoKeyName(m)), m) << m;
    EXPECT_EQ(pianoKeyName(kA0), "A0");
    EXPECT_EQ(pianoKeyName(22), "Bb0");
    EXPECT_EQ(pianoKeyName(60), "C4");
    EXPECT_EQ(pianoKeyName(kC8), "C8");
    EXPECT_EQ(pianoKeyName(20), "");
    EXPECT_EQ(pianoKeyOfName("C#4"), 61);
    EXPECT_EQ(pianoKeyOfName("Db4"), 61);
    EXPECT_EQ(pianoKeyOfName("a4"), kA4);
    EXPECT_EQ(pianoKeyOfName("Cb4"), 59);
    for (const char* bad : {"", "A", "H4", "G#0", "Ab0", "C#8", "D8", "A10", "A-1", "A4 ", "#4"})
        EXPECT_EQ(pianoKeyOfName(bad), -1) << bad;
}

TEST(PianoKeys, MeasurementTextRoundTripsAndBadLinesAreRefused) {
    const KeyMeasurement m{22, 29.13524, 5.1234567e-4, 14};
    const std::string text = formatKeyMeasurement(m);
    EXPECT_EQ(text, "Bb0 29.13524 0.00051234567 14");
    KeyMeasurement back;
    ASSERT_EQ(parseKeyMeasurement("  Bb0\t29.13524  0.00051234567 14 ", &back), "");
    EXPECT_EQ(back.midi, 22);
    EXPECT_DOUBLE_EQ(back.f0, 29.13524);
    EXPECT_DOUBLE_EQ(back.b, 5.1234567e-4);
    EXPECT_EQ(back.partials, 14);

    const struct {
        const char* line;
        const char* says;
    } bad[] = {
        {"A0 27.5 0.0005", "give KEY F0 B PARTIALS"},
        {"A0 27.5 0.0005 12 7", "give KEY F0 B PARTIALS"},
        {"H0 27.5 0.0005 12", "'H0' is no piano key"},
        {"A0 x 0.0005 12", "A0: f0 must be"},
        {"A0 5 0.0005 12", "A0: f0 must be"},
        {"A0 27.5 0.07 12", "A0: B must be 0 to 0.05"},
        {"A0 27.5 -0.001 12", "A0: B must be"},
        {"A0 27.5 0.0005 2", "A0: measured from 2 partials; B needs at least 3"},
        {"A0 27.5 0.0005 17", "at most 16"},
        {"A0 27.5 0.0005 12.5", "whole number"},
    };
    for (const auto& c : bad) {
        KeyMeasurement kept = m;
        const std::string problem = parseKeyMeasurement(c.line, &kept);
        EXPECT_NE(problem.find(c.says), std::string::npos) << c.line << ": " << problem;
        EXPECT_EQ(kept.midi, m.midi) << c.line;
    }
}

TEST(PianoKeys, MeasurementListsTakeSemicolonsOrLinesAndRefuseTwins) {
    std::vector<KeyMeasurement> list;
    ASSERT_EQ(
        parseKeyMeasurements("A0 27.5 0.0006 12; A4 440.2 0.0004 16\n\nC8 4190 0.02 4;", &list),
        "");
    ASSERT_EQ(list.size(), 3u);
    EXPECT_EQ(list[2].midi, kC8);
    std::vector<KeyMeasurement> again;
    ASSERT_EQ(parseKeyMeasurements(formatKeyMeasurements(list), &again), "");
    ASSERT_EQ(again.size(), 3u);
    EXPECT_DOUBLE_EQ(again[1].b, 0.0004);
    const std::vector<KeyStiffness> keys = stiffnessOf(again);
    ASSERT_EQ(keys.size(), 3u);
    EXPECT_EQ(keys[1].midi, kA4);
    EXPECT_DOUBLE_EQ(keys[1].b, 0.0004);

    EXPECT_EQ(parseKeyMeasurements("A0 27.5 0.0006 12; A0 27.6 0.0006 12", &list),
              "A0 is given twice");
    EXPECT_NE(parseKeyMeasurements("A0 27.5 0.0006 12; A4 440 0.0004 2", &list), "");
    EXPECT_EQ(list.size(), 3u);  // unchanged by the refused texts
    ASSERT_EQ(parseKeyMeasurements("", &list), "");
    EXPECT_TRUE(list.empty());
}

}  // namespace
}  // namespace merlop
