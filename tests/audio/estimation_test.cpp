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

std::vector<int> maxima(const std::vector<int>& v, int kind, int sort, int* maxPos = nullptr) {
    std::vector<int> positions(v.size() / 2 + 1);
    int found = 0, lo = 0, hi = 0, top = 0;
    findExtrema(kind, sort, v.data(), static_cast<int>(v.size()), positions.data(), &found, &lo,
                &hi, &top);
    if (maxPos != nullptr) *maxPos = top;
    positions.resize(static_cast<size_t>(found));
    return positions;
}

TEST(FindExtrema, TurnsPlateauMiddlesLimitAndOrder) {
    // A four-sample plateau at 2..5, a dip at 7, a peak at 9.
    const std::vector<int> v = {0, 2, 5, 5, 5, 5, 1, -3, 0, 4, 2};
    EXPECT_EQ(maxima(v, 1, 0), (std::vector<int>{4, 9}));
    EXPECT_EQ(maxima(v, -1, 0), (std::vector<int>{7}));
    EXPECT_EQ(maxima(v, 0, 0), (std::vector<int>{4, 7, 9}));
    EXPECT_EQ(maxima({9, 1, 1, 1, 1, 1, 9}, -1, 0), (std::vector<int>{3}));
    EXPECT_TRUE(maxima({5, 4, 4, 2, 1}, 0, 0).empty());
    EXPECT_EQ(maxima({0, 1, 0, 1, 0, 1, 0, 1, 0, 1}, 0, 0), (std::vector<int>{1, 2, 3, 4, 5}));
    int top = 0;
    EXPECT_EQ(maxima({0, 3, 0, 7, 0, 5, 0}, 1, 1, &top), (std::vector<int>{3, 5, 1}));
    EXPECT_EQ(top, 3);
}

TEST(HarmonicIndex, WholeMultiplesWithGrowingTolerance) {
    EXPECT_EQ(harmonicIndex(50, 50), 1);
    EXPECT_EQ(harmonicIndex(101, 50), 2);
    EXPECT_EQ(harmonicIndex(102, 50), -1);
    EXPECT_EQ(harmonicIndex(152, 50), 3);
    EXPECT_EQ(harmonicIndex(75, 50), -1);
    EXPECT_EQ(harmonicIndex(20, 50), -1);
    EXPECT_EQ(harmonicIndex(100, 0), -1);
}

constexpr double kRate = 11025.0;

// With the analysis cycle's limits at 11025 Hz.
float estimate(const std::vector<int>& x, float expected, int targetMode = 0) {
    CycleAnalyser ca(2048, static_cast<float>(kRate));
    return ca.estimatePeriod(static_cast<int>(x.size()), x.data(), 551, 2, expected, targetMode,
                             0.2f, 0.01f);
}

TEST(EstimatePeriod, CleanBlocksToAFractionOfASample) {
    for (double period : {12.6, 37.77, 73.37, 100.5, 133.8, 200.2, 300.7}) {
        const auto x = sineBlock(2048, period, 500.0, 0.4);
        EXPECT_NEAR(estimate(x, static_cast<float>(period)), period, 0.1) << period;
        EXPECT_NEAR(estimate(x, static_cast<float>(period * 1.05)), period, 0.1) << period;
    }
    // Two maxima and two minima per period.
    auto x = sineBlock(2048, 91.3, 400.0);
    const auto third = sineBlock(2048, 91.3 / 3.0, 250.0, 1.0);
    for (size_t i = 0; i < x.size(); ++i) x[i] += third[i];
    EXPECT_NEAR(estimate(x, 91.3f), 91.3, 0.1);
}

TEST(EstimatePeriod, MarkersForNoTurnsNoRunsNoMemory) {
    std::vector<int> ramp(2048);
    for (int i = 0; i < 2048; ++i) ramp[i] = i - 1024;
    EXPECT_EQ(estimate(std::vector<int>(2048, 300), 100.0f), -1.0f);
    EXPECT_EQ(estimate(ramp, 100.0f), -1.0f);
    EXPECT_EQ(estimate(sineBlock(2048, 900.0, 500.0), 100.0f), -1.0f);
    // Eight periods of 50 samples span less than a quarter of the block: no run. The marker is
    // not folded like a period, whatever period was expected.
    auto shortRun = sineBlock(2048, 50.0, 500.0);
    std::fill(shortRun.begin() + 400, shortRun.end(), 0);
    for (float expected : {50.0f, 2500.0f, 5000.0f}) {
        EXPECT_EQ(estimate(shortRun, expected), 9999.0f) << expected;
    }
    CycleAnalyser none(0, static_cast<float>(kRate));
    EXPECT_EQ(none.estimatePeriod(1024, shortRun.data(), 551, 2, 50.0f, 0, 0.2f, 0.01f), -9999.0f);
    // A block longer than the work area is read only as far as the area goes: 64 extrema are
    // 32 periods of 20 samples, still more than a quarter of the block, so they count.
    CycleAnalyser small(64, static_cast<float>(kRate));
    const float p = small.estimatePeriod(2048, sineBlock(2048, 20.0, 500.0).data(), 551, 2, 20.0f,
                                         0, 0.2f, 0.01f);
    EXPECT_NEAR(p, 20.0f, 0.2f);
    // 24 periods (48 extrema) fall short of the quarter: no run.
    CycleAnalyser smaller(48, static_cast<float>(kRate));
    EXPECT_EQ(smaller.estimatePeriod(2048, sineBlock(2048, 20.0, 500.0).data(), 551, 2, 20.0f, 0,
                                     0.2f, 0.01f),
              9999.0f);
}

TEST(EstimatePeriod, TargetModeKeepsOctavesAndDropsTwelfths) {
    EXPECT_NEAR(estimate(sineBlock(2048, 40.0, 500.0), 40.0f, 1), 40.0, 0.1);
    EXPECT_NEAR(estimate(sineBlock(2048, 80.0, 500.0), 40.0f, 1), 80.0, 0.1);
    EXPECT_NEAR(estimate(sineBlock(2048, 160.0, 500.0), 40.0f, 1), 160.0, 0.2);
    EXPECT_EQ(estimate(sineBlock(2048, 120.0, 500.0), 40.0f, 1), 9999.0f);
    EXPECT_NEAR(estimate(sineBlock(2048, 120.0, 500.0), 40.0f, 0), 120.0, 0.1);
    // Two thirds of the target period reads as the target itself.
    EXPECT_NEAR(estimate(sineBlock(2048, 80.0 / 3.0, 500.0), 40.0f, 1), 40.0, 0.1);
}

TEST(EstimatePeriod, TargetModeToleratesSixPercentAroundEachOctave) {
    // 5 % off the expected period or an octave of it is kept; 8 % off is dropped.
    for (double octave : {1.0, 2.0, 4.0}) {
        for (double off : {1.05, 1.0 / 1.05}) {
            const double period = 40.0 * octave * off;
            EXPECT_NEAR(estimate(sineBlock(2048, period, 500.0), 40.0f, 1), period, 0.2)
                << octave << " " << off;
        }
        for (double off : {1.08, 1.0 / 1.08}) {
            const double period = 40.0 * octave * off;
            EXPECT_EQ(estimate(sineBlock(2048, period, 500.0), 40.0f, 1), 9999.0f)
                << octave << " " << off;
        }
    }
}

TEST(EstimatePeriod, UnreachableExpectationsAreNoMatchAndNeverOverflow) {
    const auto x = sineBlock(2048, 40.0, 500.0);
    for (float expected : {1e-30f, 1e30f, INFINITY}) {
        EXPECT_EQ(estimate(x, expected, 1), 9999.0f) << expected;
        EXPECT_NEAR(estimate(x, expected, 0), 40.0, 0.1) << expected;
    }
}

TEST(EstimatePeriod, OctaveCheckFoldsWeakEvidence) {
    // Period 80 until sample 770: the first maxima pass spans eight periods (640 samples, just
    // enough to count), the passes starting later fall short. Evidence under half the block
    // gives way to an expectation one or two octaves away.
    auto x = sineBlock(2048, 80.0, 500.0);
    std::fill(x.begin() + 770, x.end(), 0);
    EXPECT_NEAR(estimate(x, 40.0f, 1), 40.0, 0.01);
    EXPECT_NEAR(estimate(x, 40.0f, 0), 40.0, 0.01);
    EXPECT_NEAR(estimate(x, 320.0f, 0), 320.0, 0.01);
    EXPECT_NEAR(estimate(x, 10.0f, 0), 80.0, 0.01);
    EXPECT_NEAR(estimate(x, 0.0f, 0), 80.0, 0.01);
    // Upside down the minima pass starts first; the same holds.
    for (int& v : x) v = -v;
    EXPECT_NEAR(estimate(x, 40.0f, 0), 40.0, 0.01);
    // A longer stretch gives every pass a run; together they outweigh half the block.
    auto longer = sineBlock(2048, 80.0, 500.0, 0.4);
    std::fill(longer.begin() + 900, longer.end(), 0);
    EXPECT_NEAR(estimate(longer, 40.0f, 0), 80.0, 0.05);
}

// Coarse frequency of a weak in-band line plus a strong line at spectrum index `probe` (both at
// bin centres, no window): 8192 Hz, 2048 samples, 4 Hz per bin, analysed indexes 65..150.
float coarseWithProbe(int probe) {
    SpectrumParams p;
    p.analysisLength = 2048;
    p.effectiveRate = 8192.0f;
    p.hammingWindow = 0;
    p.analysisLowHz = 260;
    p.analysisHighHz = 600;
    p.freqLowHz = 20;
    p.freqHighHz = 4000;
    SpectrumAnalyser sa(p);
    EXPECT_EQ(sa.loBin(), 65u);
    EXPECT_EQ(sa.hiBin(), 151u);
    auto x = sineBlock(2048, 2048.0 / 99, 30.0);  // index 100
    if (probe > 0) {
        const auto strong = sineBlock(2048, 2048.0 / (probe - 1), 1500.0);
        for (std::size_t i = 0; i < x.size(); ++i) x[i] += strong[i];
    }
    sa.computeSpectrum(x.data());
    float f = 0.0f;
    sa.coarseFrequency(0, &f);
    return f;
}

TEST(CoarseFrequency, TheCepstrumTakesExactlyTheBandFromLoBinToBelowHiBin) {
    const float weakAlone = coarseWithProbe(0);
    ASSERT_GT(weakAlone, 0.0f);
    // Just outside either end: as if the line were not there.
    EXPECT_EQ(coarseWithProbe(64), weakAlone);
    EXPECT_EQ(coarseWithProbe(151), weakAlone);
    // Just inside either end: the strong line takes over the estimate.
    EXPECT_NE(coarseWithProbe(65), weakAlone);
    EXPECT_NE(coarseWithProbe(150), weakAlone);
}

// The whole chain as the analysis cycle runs it, as a frequency.
double measure(double rate, int n, double tone, unsigned seed) {
    SpectrumParams p;
    p.analysisLength = n;
    p.effectiveRate = static_cast<float>(rate);
    SpectrumAnalyser sa(p);
    CycleAnalyser ca(n, static_cast<float>(rate));
    const auto x = testsignals::SignalSource(rate, seed, tone, 500.0, 4.0).block(n);
    sa.computeSpectrum(x.data());
    float f = 0.0f;
    sa.coarseFrequency(0, &f);
    if (f <= 0.0f) return -1.0;
    std::vector<int> shaped(static_cast<size_t>(n));
    sa.shapeAroundFrequency(f, n, x.data(), shaped.data());
    const float strength = static_cast<float>(std::min(0.15 + 0.0001f * f, 0.4));
    const float period =
        ca.estimatePeriod(n, shaped.data(), static_cast<int>(rate * 0.05),
                          static_cast<int>(rate / static_cast<float>(rate * 0.47619047619047616)),
                          static_cast<float>(rate / f), 0, strength, 0.01f);
    return period > 1.0f && period < rate * 0.05 ? rate / period : -1.0;
}

TEST(PitchChain, SawtoothTonesWithinAFewCents) {
    for (double tone : {82.41, 110.0, 146.83, 196.0, 246.94, 329.63, 440.0, 523.25}) {
        for (unsigned seed : {1u, 2u}) {
            const double f = measure(kRate, 2048, tone, seed);
            EXPECT_NEAR(1200.0 * std::log2(f / tone), 0.0, 3.0) << tone << " Hz read as " << f;
        }
    }
    for (double tone : {41.2, 98.0, 440.0, 987.77}) {
        const double f = measure(44100.0, 8192, tone, 7);
        EXPECT_NEAR(1200.0 * std::log2(f / tone), 0.0, 2.0) << tone << " Hz read as " << f;
    }
}

}  // namespace
}  // namespace merlop
