#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <vector>

#include "audio/cycle_analyser.h"
#include "audio/spectrum_analyser.h"
#include "test_estimation_signals.h"

namespace merlop {
namespace {

using testsignals::sineBlock;

struct Extrema {
    std::vector<int> positions;
    int min = 0, max = 0, maxPos = 0;
};

Extrema extrema(const std::vector<int>& v, int kind, int sort = 0) {
    Extrema e;
    e.positions.assign(v.size() / 2 + 1, -1);
    int found = 0;
    findExtrema(kind, sort, v.data(), static_cast<int>(v.size()), e.positions.data(), &found,
                &e.min, &e.max, &e.maxPos);
    e.positions.resize(static_cast<size_t>(found));
    return e;
}

TEST(FindExtrema, KindsAndPlateauMiddles) {
    // A four-sample plateau at 2..5, a dip at 7, a peak at 9.
    const std::vector<int> v = {0, 2, 5, 5, 5, 5, 1, -3, 0, 4, 2};
    EXPECT_EQ(extrema(v, 1).positions, (std::vector<int>{4, 9}));
    EXPECT_EQ(extrema(v, -1).positions, (std::vector<int>{7}));
    const Extrema both = extrema(v, 0);
    EXPECT_EQ(both.positions, (std::vector<int>{4, 7, 9}));
    EXPECT_EQ(both.min, -3);
    EXPECT_EQ(both.max, 5);
    EXPECT_EQ(both.maxPos, 4);
    // An odd plateau: exactly its middle.
    EXPECT_EQ(extrema({0, 4, 4, 4, 0}, 1).positions, (std::vector<int>{2}));
    EXPECT_EQ(extrema({9, 1, 1, 1, 1, 1, 9}, -1).positions, (std::vector<int>{3}));
}

TEST(FindExtrema, EndsAndMonotoneRunsAreNotTurns) {
    EXPECT_TRUE(extrema({5, 4, 3, 2, 1}, 0).positions.empty());
    EXPECT_TRUE(extrema({1, 1, 1, 1}, 0).positions.empty());
    EXPECT_TRUE(extrema({3}, 0).positions.empty());
    EXPECT_TRUE(extrema({}, 0).positions.empty());
}

TEST(FindExtrema, RecordsAtMostHalfTheCount) {
    const std::vector<int> zigzag = {0, 1, 0, 1, 0, 1, 0, 1, 0, 1};
    EXPECT_EQ(extrema(zigzag, 0).positions, (std::vector<int>{1, 2, 3, 4, 5}));
}

TEST(FindExtrema, SortsByDescendingValueAndTracksTheHighest) {
    const std::vector<int> v = {0, 3, 0, 7, 0, 5, 0};
    const Extrema e = extrema(v, 1, 1);
    EXPECT_EQ(e.positions, (std::vector<int>{3, 5, 1}));
    EXPECT_EQ(e.maxPos, 3);
    EXPECT_EQ(e.max, 7);
}

TEST(HarmonicIndex, WholeMultiplesWithGrowingTolerance) {
    EXPECT_EQ(harmonicIndex(50, 50), 1);
    EXPECT_EQ(harmonicIndex(100, 50), 2);
    EXPECT_EQ(harmonicIndex(101, 50), 2);
    EXPECT_EQ(harmonicIndex(102, 50), -1);  // two samples off the second multiple
    EXPECT_EQ(harmonicIndex(152, 50), 3);   // but within reach of the third
    EXPECT_EQ(harmonicIndex(153, 50), -1);
    EXPECT_EQ(harmonicIndex(211, 42), 5);
    EXPECT_EQ(harmonicIndex(75, 50), -1);  // halfway
    EXPECT_EQ(harmonicIndex(20, 50), -1);  // below the lag itself
    EXPECT_EQ(harmonicIndex(100, 0), -1);
}

// The analysis cycle's limits at 11025 Hz.
constexpr double kRate = 11025.0;
constexpr int kMaxPeriod = 551;
constexpr int kMinPeriod = 2;

float estimate(CycleAnalyser& ca, const std::vector<int>& x, float expected, int targetMode = 0) {
    return ca.estimatePeriod(static_cast<int>(x.size()), x.data(), kMaxPeriod, kMinPeriod, expected,
                             targetMode, 0.2f, 0.01f);
}

TEST(EstimatePeriod, CleanSinesToAFractionOfASample) {
    const int n = 2048;
    CycleAnalyser ca(n, static_cast<float>(kRate));
    for (double period : {12.6, 20.3, 37.77, 50.0, 73.37, 100.5, 133.8, 200.2, 300.7}) {
        const auto x = sineBlock(n, period, 500.0, 0.4);
        EXPECT_NEAR(estimate(ca, x, static_cast<float>(period)), period, 0.1) << period;
        // Nor does it need the expected period to be exact.
        EXPECT_NEAR(estimate(ca, x, static_cast<float>(period * 1.05)), period, 0.1) << period;
    }
}

TEST(EstimatePeriod, WaveWithSeveralTurnsPerPeriod) {
    // Fundamental plus a strong third harmonic: two maxima and two minima per period.
    const int n = 2048;
    const double period = 91.3;
    auto x = sineBlock(n, period, 400.0);
    const auto third = sineBlock(n, period / 3.0, 250.0, 1.0);
    for (int i = 0; i < n; ++i) x[i] += third[i];
    CycleAnalyser ca(n, static_cast<float>(kRate));
    EXPECT_NEAR(estimate(ca, x, static_cast<float>(period)), period, 0.1);
}

TEST(EstimatePeriod, TooFewTurnsGiveMinusOne) {
    const int n = 2048;
    CycleAnalyser ca(n, static_cast<float>(kRate));
    EXPECT_EQ(estimate(ca, std::vector<int>(n, 300), 100.0f), -1.0f);
    std::vector<int> ramp(n);
    for (int i = 0; i < n; ++i) ramp[i] = i - 1024;
    EXPECT_EQ(estimate(ca, ramp, 100.0f), -1.0f);
    // Two slow periods: four turns.
    EXPECT_EQ(estimate(ca, sineBlock(n, 900.0, 500.0), 100.0f), -1.0f);
}

TEST(EstimatePeriod, MissingWorkAreaIsReported) {
    CycleAnalyser ca(0, static_cast<float>(kRate));
    EXPECT_EQ(ca.extremumCapacity(), 0);
    EXPECT_EQ(estimate(ca, sineBlock(1024, 50.0, 500.0), 50.0f), -9999.0f);
}

// A periodic stretch at the start of an otherwise silent block.
std::vector<int> burst(int n, double period, int length) {
    auto x = sineBlock(n, period, 500.0, 0.4);
    std::fill(x.begin() + length, x.end(), 0);
    return x;
}

TEST(EstimatePeriod, ShortRunsDoNotCount) {
    const int n = 2048;
    CycleAnalyser ca(n, static_cast<float>(kRate));
    // Eight periods of 50 samples: well under a quarter of the block.
    EXPECT_EQ(estimate(ca, burst(n, 50.0, 400), 50.0f), 9999.0f);
    // The marker is not folded as if it were a period, whatever period was expected.
    EXPECT_EQ(estimate(ca, burst(n, 50.0, 400), 5000.0f), 9999.0f);
    EXPECT_EQ(estimate(ca, burst(n, 50.0, 400), 2500.0f), 9999.0f);
}

TEST(EstimatePeriod, TargetModeKeepsOctavesAndDropsTwelfths) {
    const int n = 2048;
    CycleAnalyser ca(n, static_cast<float>(kRate));
    const float expected = 40.0f;
    EXPECT_NEAR(estimate(ca, sineBlock(n, 40.0, 500.0), expected, 1), 40.0, 0.1);
    // Octaves below are kept (the whole block supports them, so no folding).
    EXPECT_NEAR(estimate(ca, sineBlock(n, 80.0, 500.0), expected, 1), 80.0, 0.1);
    EXPECT_NEAR(estimate(ca, sineBlock(n, 160.0, 500.0), expected, 1), 160.0, 0.2);
    // Three times the period is nothing the target can be.
    EXPECT_EQ(estimate(ca, sineBlock(n, 120.0, 500.0), expected, 1), 9999.0f);
    // Two thirds of it is the fifth above: read as the target itself.
    EXPECT_NEAR(estimate(ca, sineBlock(n, 80.0 / 3.0, 500.0), expected, 1), 40.0, 0.1);
    // Without target mode every clean period stands.
    EXPECT_NEAR(estimate(ca, sineBlock(n, 120.0, 500.0), expected, 0), 120.0, 0.1);
}

TEST(EstimatePeriod, OctaveCheckFoldsWeakEvidence) {
    const int n = 2048;
    CycleAnalyser ca(n, static_cast<float>(kRate));
    // Period 80 until sample 770: the first maxima pass spans eight periods (640 samples, just
    // enough to be stored), the passes starting later fall short. Evidence under half the block
    // gives way to the expectation an octave away.
    auto x = sineBlock(n, 80.0, 500.0);
    std::fill(x.begin() + 770, x.end(), 0);
    EXPECT_NEAR(estimate(ca, x, 40.0f, 1), 40.0, 0.01);
    EXPECT_NEAR(estimate(ca, x, 40.0f, 0), 40.0, 0.01);
    EXPECT_NEAR(estimate(ca, x, 160.0f, 0), 160.0, 0.01);
    EXPECT_NEAR(estimate(ca, x, 320.0f, 0), 320.0, 0.01);
    // Three octaves is too far, and no expectation means no folding.
    EXPECT_NEAR(estimate(ca, x, 10.0f, 0), 80.0, 0.01);
    EXPECT_NEAR(estimate(ca, x, 0.0f, 0), 80.0, 0.01);
    // A longer stretch gives every pass a run; together they outweigh half the block although
    // none does alone.
    EXPECT_NEAR(estimate(ca, burst(n, 80.0, 900), 40.0f, 0), 80.0, 0.05);
    // The same stretch over the whole block is strong enough to stand.
    EXPECT_NEAR(estimate(ca, sineBlock(n, 80.0, 500.0), 40.0f, 0), 80.0, 0.05);
}

TEST(EstimatePeriod, BlockLongerThanTheWorkAreaIsSafe) {
    CycleAnalyser ca(64, static_cast<float>(kRate));
    const auto x = sineBlock(2048, 20.0, 500.0);
    const float p = estimate(ca, x, 20.0f);
    // Only the first 64 turns are seen: about three periods' worth of evidence or none.
    EXPECT_TRUE(p == 9999.0f || std::fabs(p - 20.0f) < 0.2f) << p;
}

// The whole chain as the analysis cycle runs it.
double measuredFrequency(double rate, int n, double tone, unsigned seed) {
    SpectrumParams p;
    p.analysisLength = n;
    p.effectiveRate = static_cast<float>(rate);
    SpectrumAnalyser sa(p);
    CycleAnalyser ca(n, static_cast<float>(rate));
    testsignals::SignalSource src(rate, seed);
    src.sawtooth(tone, 500.0).noise(4.0);
    const auto x = src.block(n);
    sa.computeSpectrum(x.data());
    float coarse = 0.0f;
    sa.coarseFrequency(0, &coarse);
    if (coarse <= 0.0f) return -1.0;
    std::vector<int> shaped(static_cast<size_t>(n));
    sa.shapeAroundFrequency(coarse, n, x.data(), shaped.data());
    const float strength = static_cast<float>(std::min(0.15 + 0.0001f * coarse, 0.4));
    const int maxPeriod = static_cast<int>(rate * 0.05);
    const int minPeriod = static_cast<int>(rate / static_cast<float>(rate * 0.47619047619047616));
    const float period = ca.estimatePeriod(n, shaped.data(), maxPeriod, minPeriod,
                                           static_cast<float>(rate / coarse), 0, strength, 0.01f);
    return period > 1.0f && period < rate * 0.05 ? rate / period : -1.0;
}

TEST(PitchChain, SawtoothTonesWithinAFewCents) {
    for (double tone : {82.41, 110.0, 146.83, 196.0, 246.94, 329.63, 440.0, 523.25}) {
        for (unsigned seed : {1u, 2u}) {
            const double f = measuredFrequency(kRate, 2048, tone, seed);
            ASSERT_GT(f, 0.0) << tone;
            EXPECT_NEAR(1200.0 * std::log2(f / tone), 0.0, 3.0) << tone << " Hz read as " << f;
        }
    }
}

TEST(PitchChain, HighRateLongBlock) {
    for (double tone : {41.2, 98.0, 440.0, 987.77}) {
        const double f = measuredFrequency(44100.0, 8192, tone, 7);
        ASSERT_GT(f, 0.0) << tone;
        EXPECT_NEAR(1200.0 * std::log2(f / tone), 0.0, 2.0) << tone << " Hz read as " << f;
    }
}

}  // namespace
}  // namespace merlop
