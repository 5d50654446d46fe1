// Stiff-string recordings of known f0 and B through the inharmonicity measurement.
#include "audio/inharmonicity.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <vector>

#include "signals/tone_synth.h"

namespace merlop {
namespace {

constexpr int kRate = 44100;

double centsBetween(double f, double reference) {
    return 1200.0 * std::log2(f / reference);
}

double truePartial(const StiffString& s, int n) {
    return n * s.frequency * std::sqrt(1.0 + s.b * n * n);
}

std::vector<float> recording(const StiffString& s, double snrDb, double seconds = 1.0) {
    std::vector<float> x = stiffStringTone(s, seconds, kRate, 0.5);
    if (snrDb < 200.0) addWhiteNoise(x, rmsDb(x) - snrDb, 3);
    return x;
}

// f0 within 0.05 cent, B within 3 %, and every partial named by its true number and found within
// `partialCents` of its true frequency.
void expectMeasured(const StiffString& s, const InharmonicityResult& r, double partialCents = 1.0) {
    const std::string what = "f0 " + std::to_string(s.frequency) + " B " + std::to_string(s.b);
    ASSERT_TRUE(r.valid) << what << ": " << r.problem;
    EXPECT_NEAR(centsBetween(r.f0, s.frequency), 0.0, 0.05) << what;
    EXPECT_NEAR(r.b / s.b, 1.0, 0.03) << what;
    for (const InharmonicPartial& p : r.partials) {
        EXPECT_NEAR(centsBetween(p.frequency, truePartial(s, p.number)), 0.0, partialCents)
            << what << " partial " << p.number;
        const double fromHarmonic = centsBetween(truePartial(s, p.number), p.number * s.frequency);
        EXPECT_NEAR(p.cents, fromHarmonic, partialCents + 0.05) << what << " partial " << p.number;
    }
}

TEST(Inharmonicity, RecoversF0AndBOverTheKeyboardCleanAndInNoise) {
    const double keys[] = {27.5, 110.0, 440.0, 1046.502, 4186.009};
    for (const double f : keys) {
        for (const double b : {1e-4, 1e-3, 1e-2}) {
            StiffString s;
            s.frequency = f;
            s.b = b;
            InharmonicityOptions o;
            o.nominalF0 = f;
            for (const double snr : {1000.0, 20.0}) {
                const InharmonicityResult r = measureInharmonicity(recording(s, snr), kRate, o);
                expectMeasured(s, r, snr > 100.0 ? 0.05 : 1.0);
                // All 16 where they fit below half the rate, as none is missing; in noise the
                // faintest may drown.
                int expected = 0;
                while (expected < 16 && truePartial(s, expected + 1) < 0.98 * kRate / 2) ++expected;
                const int found = static_cast<int>(r.partials.size());
                if (snr > 100.0) {
                    EXPECT_EQ(found, expected) << f << ' ' << b;
                }
                EXPECT_GE(found, std::min(expected, 10)) << f << ' ' << b << ' ' << snr;
            }
        }
    }
}

TEST(Inharmonicity, MissingPartialsKeepTheNumberingAndStayOutOfTheFit) {
    StiffString s;
    s.frequency = 55.0;
    s.b = 2e-3;
    s.missing = {1, 3, 7};
    InharmonicityOptions o;
    o.nominalF0 = 55.0;
    const InharmonicityResult r = measureInharmonicity(recording(s, 30.0), kRate, o);
    expectMeasured(s, r);
    ASSERT_FALSE(r.partials.empty());
    EXPECT_EQ(r.partials.front().number, 2);
    for (const InharmonicPartial& p : r.partials) {
        EXPECT_NE(p.number, 1);
        EXPECT_NE(p.number, 3);
        EXPECT_NE(p.number, 7);
    }
    EXPECT_EQ(r.partials.size(), 13u);
}

TEST(Inharmonicity, FindsTheKeyWhenNoneIsGivenAndToleratesAMistunedOne) {
    for (const double f : {32.7032, 261.6256, 1760.0}) {
        StiffString s;
        s.frequency = f * 1.004;  // 7 cents sharp of the key
        s.b = 8e-4;
        expectMeasured(s, measureInharmonicity(recording(s, 20.0), kRate));
        InharmonicityOptions o;
        o.nominalF0 = f * std::pow(2.0, -0.6 / 12.0);  // the nominal 67 cents off the truth
        expectMeasured(s, measureInharmonicity(recording(s, 20.0), kRate, o));
    }
}

TEST(Inharmonicity, AHarmonicToneHasNoStiffness) {
    std::vector<float> x = harmonicTone(220.0, 1.0, kRate, 8, 0.5);
    addWhiteNoise(x, rmsDb(x) - 20.0, 8);  // a seed whose plain fit falls below 0
    InharmonicityOptions o;
    o.nominalF0 = 220.0;
    const InharmonicityResult r = measureInharmonicity(x, kRate, o);
    ASSERT_TRUE(r.valid) << r.problem;
    EXPECT_EQ(r.partials.size(), 8u);
    EXPECT_GE(r.b, 0.0);
    EXPECT_LT(r.b, 1e-6);
    EXPECT_NEAR(centsBetween(r.f0, 220.0), 0.0, 0.05);
}

TEST(Inharmonicity, RefusesWhatCannotGiveThreePartials) {
    StiffString s;
    s.frequency = 4186.009;
    s.b = 1e-2;
    InharmonicityOptions o;
    o.nominalF0 = s.frequency;
    // At 11025 Hz only the fundamental lies below half the rate.
    const InharmonicityResult high =
        measureInharmonicity(stiffStringTone(s, 1.0, 11025, 0.5), 11025, o);
    EXPECT_FALSE(high.valid);
    EXPECT_NE(high.problem.find("at least 3"), std::string::npos) << high.problem;
    EXPECT_LE(high.partials.size(), 1u);

    const InharmonicityResult silent =
        measureInharmonicity(std::vector<float>(kRate, 0.0f), kRate, o);
    EXPECT_FALSE(silent.valid);
    EXPECT_TRUE(silent.partials.empty());
    const InharmonicityResult brief = measureInharmonicity(std::vector<float>(100, 0.1f), kRate, o);
    EXPECT_FALSE(brief.valid);
    EXPECT_FALSE(brief.problem.empty());
}

TEST(Inharmonicity, FitIsExactOnModelPartialsAndIgnoresNonsense) {
    std::vector<InharmonicPartial> partials;
    for (const int n : {2, 5, 6, 11}) {
        partials.push_back({n, n * 100.0 * std::sqrt(1.0 + 3e-3 * n * n), 1.0 / n, 0.0});
    }
    InharmonicFit fit = fitInharmonicity(partials);
    ASSERT_TRUE(fit.ok);
    EXPECT_NEAR(fit.f0, 100.0, 1e-9);
    EXPECT_NEAR(fit.b, 3e-3, 1e-12);
    // Entries with no number or no frequency carry no information.
    partials.push_back({0, 1234.0, 1.0, 0.0});
    partials.push_back({4, 0.0, 1.0, 0.0});
    fit = fitInharmonicity(partials);
    ASSERT_TRUE(fit.ok);
    EXPECT_NEAR(fit.b, 3e-3, 1e-12);
    // One partial number alone cannot separate f0 from B.
    EXPECT_FALSE(fitInharmonicity({{3, 300.0, 1.0, 0.0}, {3, 301.0, 1.0, 0.0}}).ok);
    EXPECT_FALSE(fitInharmonicity({}).ok);
}

}  // namespace
}  // namespace merlop
