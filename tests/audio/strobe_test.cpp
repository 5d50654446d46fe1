// The strobe reads each row's partial from the phase of the sound: steady tones to hundredths of
// a cent, in the right direction, and rests where there is no partial to follow.
#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <cmath>
#include <string>
#include <vector>

#include "audio/strobe_analyser.h"
#include "signals/tone_synth.h"

namespace merlop {
namespace {

using Rows = std::array<StrobeRow, StrobeAnalyser::kRows>;

constexpr double kA4 = 440.0;
constexpr double kE2 = 82.4069;
constexpr double kA2 = 110.0;

double detuned(double hz, double cents) {
    return hz * std::pow(2.0, cents / 1200.0);
}

std::vector<int> toBlockScale(const std::vector<float>& x) {
    std::vector<int> out(x.size());
    for (std::size_t i = 0; i < x.size(); ++i) {
        out[i] = std::clamp(static_cast<int>(std::lround(x[i] * 2047.0)), -2048, 2047);
    }
    return out;
}

// The rows after every block of x, all read against one target.
std::vector<Rows> strobeRun(const std::vector<float>& x, int rate, int n, double target,
                            StrobeAnalyser* strobe = nullptr) {
    StrobeParams params;
    params.effectiveRate = static_cast<float>(rate);
    StrobeAnalyser own(params);
    StrobeAnalyser& s = strobe != nullptr ? *strobe : own;
    const std::vector<int> samples = toBlockScale(x);
    std::vector<Rows> out;
    for (std::size_t at = 0; at + n <= samples.size(); at += n) {
        s.analyse(samples.data() + at, n, target);
        out.push_back(s.rows());
    }
    return out;
}

// The deviation each row should show: its partial's own, in cents from partial x target.
struct Truth {
    std::array<double, 3> cents;
    std::array<bool, 3> present;
};

// After `settle` blocks every row follows its partial within 0.01 cent or 2 %, on the right side
// of the target, or rests where there is none.
void expectRows(const std::vector<Rows>& run, const Truth& t, std::size_t settle, double tolerance,
                const std::string& what) {
    ASSERT_GT(run.size(), settle + 2) << what;
    for (std::size_t b = settle; b < run.size(); ++b) {
        for (int r = 0; r < 3; ++r) {
            const StrobeRow& row = run[b][r];
            const std::string where =
                what + ", block " + std::to_string(b) + ", row " + std::to_string(row.partial);
            if (!t.present[r]) {
                EXPECT_TRUE(row.resting) << where;
                continue;
            }
            ASSERT_FALSE(row.resting) << where;
            EXPECT_NEAR(row.cents, t.cents[r], std::max(tolerance, 0.02 * std::fabs(t.cents[r])))
                << where;
            EXPECT_GT(row.cents * t.cents[r], 0.0) << where << ": wrong direction";
        }
    }
}

constexpr std::array<double, 10> kDetunings = {0.05, -0.05, 0.3,  -0.3, 1.0,
                                               -1.0, 5.0,   -5.0, 30.0, -30.0};

TEST(StrobeAnalyser, FollowsDetunedTonesToHundredthsOfACent) {
    for (const double cents : kDetunings) {
        const std::string c = std::to_string(cents) + " cents";
        const Truth all{{cents, cents, cents}, {true, true, true}};
        expectRows(strobeRun(sineTone(detuned(kA4, cents), 3.0, 11025, 0.5), 11025, 4096, kA4),
                   {{cents, 0.0, 0.0}, {true, false, false}}, 2, 0.01, "sine A4 " + c);
        expectRows(
            strobeRun(harmonicTone(detuned(kE2, cents), 4.0, 11025, 8, 0.6), 11025, 4096, kE2), all,
            3, 0.01, "harmonic E2 " + c);
        expectRows(
            strobeRun(harmonicTone(detuned(kA4, cents), 2.0, 44100, 6, 0.6), 44100, 4096, kA4), all,
            8, 0.01, "harmonic A4 at 44.1 kHz " + c);
    }
}

TEST(StrobeAnalyser, EachRowReadsItsOwnStretchedPartial) {
    constexpr double kB = 0.0008;  // a piano's bass strings
    for (const double cents : kDetunings) {
        const double f0 = detuned(kA2, cents);
        Truth t{{}, {true, true, true}};
        for (int r = 0; r < 3; ++r) {
            const int k = StrobeAnalyser::kPartials[r];
            t.cents[r] = cents + 1200.0 * std::log2(std::sqrt(1.0 + kB * k * k));
        }
        expectRows(strobeRun(stretchedTone(f0, kB, 4.0, 11025, 10, 0.6), 11025, 4096, kA2), t, 3,
                   0.01, "stretched A2 " + std::to_string(cents) + " cents");
    }
}

TEST(StrobeAnalyser, HoldsItsPrecisionInNoise) {
    // White noise 20 dB below the tone's RMS.
    for (const double cents : {0.5, -0.5, 3.0, -3.0}) {
        for (const double note : {kE2, kA4}) {
            std::vector<float> x = harmonicTone(detuned(note, cents), 5.0, 11025, 8, 0.5);
            double power = 0.0;
            for (float v : x) power += static_cast<double>(v) * v;
            addWhiteNoise(x, 10.0 * std::log10(power / x.size()) - 20.0, 3);
            expectRows(strobeRun(x, 11025, 4096, note), {{cents, cents, cents}, {true, true, true}},
                       3, 0.05, std::to_string(note) + " Hz in noise, " + std::to_string(cents));
        }
    }
}

TEST(StrobeAnalyser, RestsWithoutATone) {
    const std::vector<float> silence(11025 * 3, 0.0f);
    std::vector<float> noise(11025 * 10, 0.0f);
    addWhiteNoise(noise, -20.0, 5);
    const std::vector<float> tone = harmonicTone(kA4, 3.0, 11025, 6, 0.5);
    const Truth none{{0.0, 0.0, 0.0}, {false, false, false}};
    expectRows(strobeRun(silence, 11025, 4096, kA4), none, 0, 0.0, "silence");
    expectRows(strobeRun(noise, 11025, 4096, kA4), none, 0, 0.0, "white noise at A4");
    expectRows(strobeRun(noise, 11025, 2048, kE2), none, 0, 0.0, "white noise at E2");
    expectRows(strobeRun(tone, 11025, 4096, 0.0), none, 0, 0.0, "a tone with no note shown");
    // A tone far below the sensitivity threshold.
    StrobeParams quiet;
    quiet.sensitivityDb = -6.0f;
    StrobeAnalyser deaf(quiet);
    expectRows(strobeRun(harmonicTone(kA4, 3.0, 11025, 6, 0.01), 11025, 4096, kA4, &deaf), none, 0,
               0.0, "a tone under the threshold");
}

// A partial far under the tone is distortion or noise to the strobe, though above the threshold;
// one a little louder is the instrument's.
TEST(StrobeAnalyser, FollowsOnlyPartialsWithinFortyDecibelsOfTheTone) {
    for (const auto& [db, followed] : {std::pair{-46.0, false}, std::pair{-34.0, true}}) {
        const double level = std::pow(10.0, db / 20.0);
        const std::vector<double> x = partialSum(
            {{kA4, 0.85, 0.0}, {2.0 * kA4, 0.85 * level, 1.0}, {4.0 * kA4, 0.85 * level, 2.0}},
            11025, 0, 11025 * 3);
        StrobeParams p;
        p.sensitivityDb = -42.0f;
        StrobeAnalyser s(p);
        const std::vector<Rows> run =
            strobeRun(std::vector<float>(x.begin(), x.end()), 11025, 2048, kA4, &s);
        const Truth t{{0.0, 0.0, 0.0}, {true, followed, followed}};
        for (std::size_t b = 3; b < run.size(); ++b) {
            for (int r = 0; r < 3; ++r) {
                EXPECT_EQ(run[b][r].resting, !t.present[r]) << db << " dB, row " << r;
                if (t.present[r]) {
                    EXPECT_NEAR(run[b][r].cents, 0.0, 0.01) << db << " dB";
                }
            }
        }
    }
}

TEST(StrobeAnalyser, RelocksOnANewTargetAndRestsWhenTheNoteStops) {
    StrobeParams params;
    StrobeAnalyser s(params);
    const std::vector<int> x = toBlockScale(harmonicTone(kA4, 4.0, 11025, 6, 0.5));
    const double other = detuned(kA4, 10.0);
    int b = 0;
    for (; b < 4; ++b) s.analyse(x.data() + b * 4096, 4096, kA4);
    ASSERT_FALSE(s.rows()[0].resting);
    const int before = s.segmentLength();
    // Read against a target 10 cents higher the same tone is 10 cents flat at once: nothing of
    // the old target's phases is left in the reading.
    s.analyse(x.data() + b * 4096, 4096, other);
    EXPECT_NE(s.segmentLength(), before);
    for (const StrobeRow& row : s.rows()) {
        ASSERT_FALSE(row.resting) << row.partial;
        EXPECT_NEAR(row.cents, -10.0, 0.2) << row.partial;
    }
    const double held = s.rows()[1].phase;
    s.analyse(x.data() + (b + 1) * 4096, 4096, 0.0);
    for (const StrobeRow& row : s.rows()) {
        EXPECT_TRUE(row.resting) << row.partial;
        EXPECT_EQ(row.rate, 0.0) << row.partial;
    }
    EXPECT_EQ(s.rows()[1].phase, held);
}

TEST(StrobeAnalyser, PhaseDriftsAtTheDeviationAndCarriesOnBetweenBlocks) {
    const double cents = 2.0;
    const double f = detuned(kA2, cents);
    const std::vector<Rows> run = strobeRun(harmonicTone(f, 6.0, 11025, 8, 0.5), 11025, 2048, kA2);
    const double blockSeconds = 2048.0 / 11025.0;
    for (std::size_t b = 4; b + 1 < run.size(); ++b) {
        for (int r = 0; r < 3; ++r) {
            const int k = StrobeAnalyser::kPartials[r];
            const double expectedRate = k * (f - kA2);
            EXPECT_NEAR(run[b][r].rate, expectedRate, 1e-3 * expectedRate) << b << " row " << k;
            // What the display extrapolates to is where the next block finds the phase.
            const double extrapolated = run[b][r].phase + run[b][r].rate * blockSeconds;
            EXPECT_NEAR(run[b + 1][r].phase, extrapolated, 0.005) << b << " row " << k;
        }
    }
}

TEST(StrobeAnalyser, FollowsAFadingPluckWhileItSounds) {
    const double f = detuned(196.0, -4.0);
    const double blockSeconds = 1024.0 / 11025.0;
    for (const double decay : {1.0, 3.0}) {  // seconds to fall by 60 dB
        const std::vector<float> x = pluckedString(f, 3.0, 11025, 0.8, decay, 9);
        const std::vector<Rows> run = strobeRun(x, 11025, 1024, 196.0);
        // From a quarter second after the attack until the string has fallen by 30 dB, smoothly:
        // each block finds the phase where the last one sent the bands.
        for (std::size_t b = 3; (b + 1) * blockSeconds < 0.5 * decay; ++b) {
            ASSERT_FALSE(run[b][0].resting) << decay << " s, block " << b;
            EXPECT_NEAR(run[b][0].cents, -4.0, 0.02) << decay << " s, block " << b;
            EXPECT_NEAR(run[b + 1][0].phase, run[b][0].phase + run[b][0].rate * blockSeconds, 0.005)
                << decay << " s, block " << b;
        }
    }
}

}  // namespace
}  // namespace merlop
