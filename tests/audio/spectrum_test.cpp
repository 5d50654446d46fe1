#include <gtest/gtest.h>

#include <cmath>
#include <numbers>
#include <vector>

#include "audio/spectrum_analyser.h"
#include "test_estimation_signals.h"

namespace merlop {
namespace {

using testsignals::SignalSource;
using testsignals::sineBlock;

constexpr double kRate = 11025.0;

SpectrumParams params(int n = 2048, double rate = kRate, int low = 20, int high = 1200,
                      int hamming = 0) {
    SpectrumParams p;
    p.analysisLength = n;
    p.effectiveRate = static_cast<float>(rate);
    p.analysisLowHz = p.freqLowHz = low;
    p.analysisHighHz = p.freqHighHz = high;
    p.hammingWindow = hamming;
    return p;
}

float coarse(SpectrumAnalyser& sa, const std::vector<int>& x, int humFilter) {
    sa.computeSpectrum(x.data());
    float f = 0.0f;
    sa.coarseFrequency(humFilter, &f);
    return f;
}

// The cepstrum resolves one sample of lag.
bool sameLag(double f, double tone, double rate = kRate) {
    return f > 0.0 && std::fabs(rate / f - rate / tone) <= 1.0;
}

TEST(SpectrumLayout, BinsOfTheBand) {
    SpectrumAnalyser sa(params());
    EXPECT_EQ(sa.fftSize(), 2048u);
    EXPECT_NEAR(sa.binWidth(), 5.383, 0.001);
    EXPECT_EQ(sa.loBin(), 4u);
    EXPECT_EQ(sa.hiBin(), 223u);
    EXPECT_NEAR(sa.referenceLevel(), 42.247, 0.001);
    EXPECT_EQ(SpectrumAnalyser(params(3000)).fftSize(), 2048u);
    SpectrumAnalyser narrow(params(2048, kRate, 500, 501));
    EXPECT_EQ(narrow.hiBin(), narrow.loBin() + 1);
    EXPECT_EQ(SpectrumAnalyser(params(256, 8000.0, 100, 20000)).hiBin(), 128u);
}

TEST(SpectrumLayout, UnusableOrEmptySetupsDoNothing) {
    for (const auto& [n, rate] :
         std::vector<std::pair<int, double>>{{0, kRate}, {-8, kRate}, {2048, 0.0}, {2048, -1.0}}) {
        SpectrumAnalyser sa(params(n, rate));
        EXPECT_EQ(sa.fftSize(), 0u) << n << " " << rate;
        std::vector<int> in(8, 100), out(8, 7);
        EXPECT_EQ(coarse(sa, in, 1), -1.0f);
        sa.shapeAroundFrequency(100.0f, 8, in.data(), out.data());
        EXPECT_EQ(out, std::vector<int>(8, 7));
        EXPECT_EQ(sa.level()[0], sa.threshold());
    }
    // A band beyond Nyquist is silent; a length other than the analyser's is not shaped.
    SpectrumAnalyser high(params(256, 8000.0, 5000, 6000));
    EXPECT_EQ(coarse(high, sineBlock(256, 256 / 20.0, 2000.0), 1), -1.0f);
    EXPECT_EQ(high.maxLevel(), high.threshold());
    std::vector<int> in(128, 1), out(128, 9);
    high.shapeAroundFrequency(200.0f, 128, in.data(), out.data());
    EXPECT_EQ(out, std::vector<int>(128, 9));
}

TEST(SpectrumLayout, TheShortestBlocksAreSilentButUsable) {
    for (int n : {1, 2, 3, 4, 8, 16}) {
        SpectrumAnalyser sa(params(n, kRate, 20, 1200, 1));
        ASSERT_TRUE(sa.usable()) << n;
        EXPECT_EQ(sa.fftSize(), n == 3 ? 2u : static_cast<unsigned>(n));
        EXPECT_LE(sa.hiBin(), sa.fftSize() / 2 > 0 ? sa.fftSize() / 2 : 0u);
        std::vector<int> in(static_cast<size_t>(n), 1500), out(in.size(), 7);
        in[0] = -1500;
        EXPECT_EQ(coarse(sa, in, 1), -1.0f) << n;
        sa.shapeAroundFrequency(440.0f, static_cast<int>(sa.fftSize()), in.data(), out.data());
        // Below four samples no index lies in the band: shaping removes everything.
        for (size_t i = 0; i < sa.fftSize() && n < 4; ++i) EXPECT_EQ(out[i], 0) << n;
        for (size_t i = 0; i < sa.fftSize(); ++i) EXPECT_LE(std::abs(out[i]), 1500) << n;
    }
    // Two samples: index 1 holds DC and Nyquist together.
    SpectrumAnalyser two(params(2));
    two.computeSpectrum(std::vector<int>{2000, 0}.data());
    EXPECT_NEAR(two.level()[1], 10.0 * std::log10(2.0 * 1000.0 * 1000.0) - 42.247, 0.01);
    EXPECT_EQ(two.maxLevel(), two.threshold());
}

TEST(SpectrumLevels, SineLevelsWithAndWithoutWindow) {
    SpectrumAnalyser plain(params());
    const auto x = sineBlock(2048, 2048 / 40.0, 2048.0);
    plain.computeSpectrum(x.data());
    // Index 41 holds transform bin 40: 10 log10(1024^2) - 42.247.
    EXPECT_NEAR(plain.level()[41], 17.96, 0.01);
    EXPECT_NEAR(plain.maxLevel(), 17.96, 0.01);
    EXPECT_EQ(plain.level()[40], plain.threshold());

    // Hamming: coherent gain 0.54, 0.23 in each side bin, 1.75 dB less halfway between bins.
    SpectrumAnalyser windowed(params(2048, kRate, 20, 1200, 1));
    windowed.computeSpectrum(x.data());
    EXPECT_NEAR(windowed.level()[41], 17.96 + 20.0 * std::log10(0.54), 0.02);
    EXPECT_NEAR(windowed.level()[42], 17.96 + 20.0 * std::log10(0.23), 0.02);
    const auto between = sineBlock(2048, 2048 / 40.5, 2048.0);
    windowed.computeSpectrum(between.data());
    EXPECT_NEAR(windowed.level()[42], 17.96 + 20.0 * std::log10(0.54) - 1.75, 0.05);
}

TEST(SpectrumLevels, ThresholdFloorAndBandLimits) {
    SpectrumAnalyser sa(params());
    sa.computeSpectrum(std::vector<int>(2048, 0).data());
    for (unsigned i = 1; i <= 1024; ++i) ASSERT_EQ(sa.level()[i], sa.threshold()) << i;
    EXPECT_EQ(sa.maxLevel(), sa.threshold());
    // Amplitude 20: 10 log10(10^2) - 42.247 = -22.2 dB; amplitude 2 stays under -36 dB.
    sa.computeSpectrum(sineBlock(2048, 2048 / 40.0, 20.0).data());
    EXPECT_NEAR(sa.level()[41], -22.25, 0.05);
    sa.computeSpectrum(sineBlock(2048, 2048 / 40.0, 2.0).data());
    EXPECT_EQ(sa.level()[41], sa.threshold());
    // A DC offset and a line above the band are not counted in the block's maximum.
    auto x = sineBlock(2048, 2048 / 400.0, 1000.0);  // 2153 Hz
    for (int& v : x) v += 500;
    sa.computeSpectrum(x.data());
    EXPECT_EQ(sa.maxLevel(), sa.threshold());
    EXPECT_EQ(sa.level()[401], sa.threshold());
    EXPECT_GT(sa.level()[1], sa.threshold());
}

TEST(SpectrumLevels, WeightingCurvesMatchPublishedValues) {
    struct Point {
        int type, hz;
        double db;
    };
    for (const Point& p :
         {Point{1, 1000, 0.0}, Point{1, 100, -19.1}, Point{1, 50, -30.2}, Point{1, 2500, 1.27},
          Point{2, 100, -5.6}, Point{3, 50, -1.3}, Point{3, 1000, 0.0}, Point{0, 100, 0.0}}) {
        SpectrumParams sp = params(8192, 8192.0, 20, 4000);  // 1 Hz per bin
        sp.weighting = p.type;
        SpectrumAnalyser sa(sp);
        EXPECT_NEAR(10.0 * std::log10(sa.weight(p.hz + 1)), p.db, 0.1) << p.type << " " << p.hz;
        // 1500 / 2 = 750: 57.5 dB less the reference level, plus the weighting.
        sa.computeSpectrum(sineBlock(8192, 8192.0 / p.hz, 1500.0).data());
        EXPECT_NEAR(sa.level()[p.hz + 1], 20.0 * std::log10(750.0) - 42.247 + p.db, 0.1);
    }
}

TEST(CoarseFrequency, SawtoothTonesAtSeveralRates) {
    struct Setup {
        double rate;
        int n, hamming;
    };
    for (const Setup& s :
         {Setup{kRate, 2048, 1}, Setup{22050.0, 4096, 0}, Setup{44100.0, 8192, 1}}) {
        SpectrumAnalyser sa(params(s.n, s.rate, 20, 1200, s.hamming));
        for (double tone : {55.0, 82.41, 146.83, 196.0, 329.63, 440.0, 659.26}) {
            SignalSource src(s.rate, 99, tone, 500.0, 3.0);
            for (int block = 0; block < 2; ++block) {
                const float f = coarse(sa, src.block(s.n), 0);
                EXPECT_TRUE(sameLag(f, tone, s.rate)) << tone << " Hz read as " << f;
            }
        }
    }
    // Outside the user's range there is no estimate, even inside the analysed band.
    SpectrumParams p = params();
    p.freqLowHz = 100;
    SpectrumAnalyser sa(p);
    EXPECT_EQ(coarse(sa, SignalSource(kRate, 5, 82.41, 500.0).block(2048), 0), -1.0f);
}

// Amplitude of the frequency f in a block (a projection; exact for whole periods).
double amplitudeAt(const std::vector<int>& v, double f) {
    double re = 0.0, im = 0.0;
    for (size_t i = 0; i < v.size(); ++i) {
        re += v[i] * std::cos(2.0 * std::numbers::pi * f * i / kRate);
        im += v[i] * std::sin(2.0 * std::numbers::pi * f * i / kRate);
    }
    return 2.0 * std::hypot(re, im) / v.size();
}

TEST(Shaping, HalfAmplitudeFundamentalAndNoiseFloorHighUp) {
    SpectrumAnalyser sa(params());
    const auto x = SignalSource(kRate, 3, 110.25, 800.0).block(2048);  // 20.48 periods
    sa.computeSpectrum(x.data());
    std::vector<int> shaped(2048);
    sa.shapeAroundFrequency(110.25f, 2048, x.data(), shaped.data());
    EXPECT_NEAR(amplitudeAt(shaped, 110.25) / amplitudeAt(x, 110.25), 0.5, 0.03);
    EXPECT_LT(amplitudeAt(shaped, 1102.5) / amplitudeAt(x, 1102.5), 0.5 * 0.05);
}

// --- mains hum ----------------------------------------------------------------------------

SpectrumAnalyser humAnalyser(int humHz) {
    SpectrumParams p = params(2048, kRate, 20, 1200, 1);
    p.humFrequency = humHz;
    return SpectrumAnalyser(p);
}

TEST(HumDetection, FindsThePresentHarmonicsOfTheSetMains) {
    struct Case {
        int setting, actual, harmonics;
    };
    for (const Case& c : {Case{50, 50, 5}, Case{60, 60, 5}, Case{50, 50, 2}, Case{60, 50, 5}}) {
        SpectrumAnalyser sa = humAnalyser(c.setting);
        sa.computeSpectrum(SignalSource(kRate, 17, 0.0, 400.0, 2.0)
                               .hum(c.actual, 0.0, c.harmonics)
                               .block(2048)
                               .data());
        sa.detectHum();
        const bool found = c.setting == c.actual;
        EXPECT_EQ(sa.detectedHumFrequency(), found ? c.setting : -1);
        for (int k = 0; k < SpectrumAnalyser::kHumHarmonics; ++k) {
            const int index = sa.humIndex()[k];
            if (found && k < c.harmonics) {
                ASSERT_GT(index, 0) << c.setting << " Hz, harmonic " << k + 1;
                EXPECT_NEAR((index - 1) * sa.binWidth(), (k + 1) * c.setting, 1.5 * sa.binWidth());
                EXPECT_EQ(sa.humLevel()[k], static_cast<int>(sa.level()[index]));
            } else {
                EXPECT_EQ(index, 0);
                EXPECT_EQ(sa.humLevel()[k], static_cast<int>(sa.threshold()));
            }
        }
    }
}

struct HumCase {
    double tone;
    int hum;
};
const HumCase kHumCases[] = {{261.63, 50}, {196.0, 50}, {146.83, 50}, {82.41, 50},
                             {261.63, 60}, {196.0, 60}, {146.83, 60}, {82.41, 60}};
constexpr int kBlocks = 20;

// Blocks, out of kBlocks, whose coarse frequency is the tone's and the hum's; the hum lines
// lie dbBelow the tone's fundamental.
std::pair<int, int> countReadings(HumCase c, int harmonics, int filter, double dbBelow = 12.0) {
    SpectrumAnalyser sa = humAnalyser(c.hum);
    SignalSource src(kRate, 1000 + static_cast<unsigned>(c.tone), c.tone, 600.0, 4.0);
    src.hum(c.hum, dbBelow, harmonics);
    int tone = 0, hum = 0;
    for (int b = 0; b < kBlocks; ++b) {
        const float f = coarse(sa, src.block(2048), filter);
        tone += sameLag(f, c.tone);
        hum += f > 0.0f && std::fabs(f - c.hum) <= 3.0;
    }
    return {tone, hum};
}

TEST(HumFilter, ReadsTheToneThroughHum) {
    for (const HumCase& c : kHumCases) {
        // Five lines, 12 dB below the tone's fundamental: all tracked by the filter.
        EXPECT_GE(countReadings(c, 5, 1).first, kBlocks - 1) << c.tone << " Hz, " << c.hum;
        // The filter tracks five lines. A sixth one stays in the estimate and, closer than about
        // 20 dB to the tone, can tip it (G3 at 50 Hz then reads an octave low, C4 at 60 Hz mostly
        // not at all); the hum itself is never read. At 20 dB every tone is read.
        EXPECT_EQ(countReadings(c, 6, 1).second, 0) << c.tone << " Hz, " << c.hum;
        EXPECT_EQ(countReadings(c, 6, 1, 20.0), std::make_pair(kBlocks, 0))
            << c.tone << " Hz, " << c.hum;
    }
}

TEST(HumFilter, WithoutTheFilterOnlyHumWellBelowTheToneLeavesItsReading) {
    // Unfiltered, hum lines take over the estimate when they come within about 20 dB of the
    // tone's fundamental; 30 dB below, the tone is read in every block.
    for (const HumCase& c : kHumCases) {
        EXPECT_EQ(countReadings(c, 6, 0, 30.0), std::make_pair(kBlocks, 0))
            << c.tone << " Hz, " << c.hum;
    }
}

TEST(HumFilter, HumAloneReadsNothing) {
    for (int humHz : {50, 60}) {
        SpectrumAnalyser sa = humAnalyser(humHz);
        SignalSource src(kRate, 37, 0.0, 300.0, 3.0);
        src.hum(humHz, 0.0, 5);
        for (int b = 0; b < 8; ++b) {
            const auto x = src.block(2048);
            EXPECT_EQ(coarse(sa, x, 1), -1.0f) << humHz;
            EXPECT_NEAR(coarse(sa, x, 0), humHz, 3.0);
        }
    }
}

TEST(HumFilter, ToneAtTheMainsIsRejectedOnlyWhereTheFilterFindsIt) {
    for (double tone : {47.5, 50.0, 52.5}) {
        const auto x = SignalSource(kRate, 23, tone, 600.0, 3.0).block(2048);
        SpectrumAnalyser fifty = humAnalyser(50);
        EXPECT_EQ(coarse(fifty, x, 1), -1.0f) << tone;
        EXPECT_TRUE(sameLag(coarse(fifty, x, 0), tone)) << tone;
    }
    // A 60 Hz filter finds no line at 50 Hz and changes nothing; nor does any filter for 440 Hz.
    const auto x = SignalSource(kRate, 23, 50.0, 600.0, 3.0).block(2048);
    SpectrumAnalyser sixty = humAnalyser(60);
    EXPECT_TRUE(sameLag(coarse(sixty, x, 1), 50.0));
    EXPECT_EQ(sixty.detectedHumFrequency(), -1);
    const auto a4 = SignalSource(kRate, 29, 440.0, 500.0, 3.0).block(2048);
    EXPECT_EQ(coarse(sixty, a4, 1), coarse(sixty, a4, 0));
}

TEST(HumFilter, ShapingNotchesTheHumLines) {
    SpectrumAnalyser sa = humAnalyser(50);
    const auto x = SignalSource(kRate, 31, 220.0, 600.0, 2.0).hum(50.0, 6.0, 5).block(2048);
    std::vector<int> plain(2048), notched(2048);
    const float f = coarse(sa, x, 0);
    sa.shapeAroundFrequency(f, 2048, x.data(), plain.data());
    ASSERT_TRUE(sameLag(coarse(sa, x, 1), 220.0));
    ASSERT_EQ(sa.detectedHumFrequency(), 50);
    sa.shapeAroundFrequency(f, 2048, x.data(), notched.data());
    EXPECT_LT(amplitudeAt(notched, 50.0), 0.25 * amplitudeAt(plain, 50.0));
    EXPECT_NEAR(amplitudeAt(notched, 220.0), amplitudeAt(plain, 220.0),
                0.02 * amplitudeAt(plain, 220.0));
}

}  // namespace
}  // namespace merlop
