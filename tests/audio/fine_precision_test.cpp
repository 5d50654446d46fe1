// Fine tuning reads steady tones to a tenth of a cent: the period is refined below whole samples.
#include <gtest/gtest.h>

#include <cmath>
#include <vector>

#include "analysis_harness.h"
#include "audio/period_refiner.h"
#include "signals/tone_synth.h"

namespace merlop {
namespace {

using testing::analyseImage;
using testing::BlockResult;
using testing::expectedCents;
using testing::expectedNote;

struct Detuned {
    double note;   // Hz of the equal-tempered note (A 440)
    double cents;  // off it
    int rate;
    int bits;
    int lowest;  // lowest partial: 1 with the fundamental
    int highest;
};

std::vector<float> toneOf(const Detuned& d, double f) {
    std::vector<Partial> partials;
    for (int k = d.lowest; k <= d.highest; ++k) partials.push_back({k * f, 0.45 / k, 0.3 * k});
    const std::vector<double> x =
        partialSum(partials, d.rate, 0, static_cast<std::size_t>(d.rate) * 2);
    return {x.begin(), x.end()};
}

// The raw frequency within `raw` cents of the truth, and the note and tenth of a cent shown as
// the truth rounds.
void expectFineReading(const BlockResult& b, double f, double raw, std::size_t block) {
    ASSERT_GT(b.rawFrequency, 0.0f) << f << " Hz, block " << block;
    EXPECT_NEAR(1200.0 * std::log2(b.rawFrequency / f), 0.0, raw) << f << " Hz, block " << block;
    EXPECT_EQ(b.reading.note, expectedNote(f)) << f << " Hz, block " << block;
    EXPECT_NEAR(b.reading.deviation * 100.0, expectedCents(f), 0.1001)
        << f << " Hz, block " << block;
}

void expectFineReadings(const std::vector<BlockResult>& blocks, double f, double raw) {
    ASSERT_GT(blocks.size(), 4u) << f;
    for (std::size_t i = 1; i < blocks.size(); ++i) expectFineReading(blocks[i], f, raw, i);
}

TEST(FinePrecision, DetunedTonesReadWithinATenthOfACent) {
    const Detuned cases[] = {
        {440.0, 0.37, 11025, 8, 1, 1},     {146.832, -12.64, 11025, 8, 1, 8},
        {98.0, 3.21, 11025, 8, 2, 8},      {55.0, 0.37, 44100, 16, 1, 6},
        {987.767, -0.81, 44100, 16, 1, 1}, {261.626, -12.64, 44100, 16, 2, 7},
        {659.255, 24.55, 11025, 16, 1, 3},
    };
    Settings settings;
    settings.fineTuning = 1;
    for (const Detuned& d : cases) {
        const double f = d.note * std::pow(2.0, d.cents / 1200.0);
        const auto image = wavImage(toneOf(d, f), d.rate, d.bits);
        expectFineReadings(analyseImage(image, settings), f, 0.05);
    }
}

TEST(FinePrecision, TheCalibratedRateCarriesOverToTheRefinedReading) {
    // A card whose clock runs 3.5 cents slow: a file read with its calibration reads that much
    // higher, to the same tenth.
    Settings settings;
    settings.fineTuning = 1;
    settings.calibrationTenths = 35;
    const double f = 329.628 * std::pow(2.0, -4.4 / 1200.0);
    const auto image = wavImage(harmonicTone(f, 2.0, 11025, 6, 0.5), 11025, 8);
    expectFineReadings(analyseImage(image, settings), f * std::pow(2.0, 3.5 / 1200.0), 0.05);
}

TEST(FinePrecision, RefinerFindsThePeriodFromTheSearchsOrLeavesItAlone) {
    const double period = 11025.0 / 196.37;
    const std::vector<double> tone =
        partialSum({{196.37, 900.0, 0.2}, {392.74, 400.0, 1.1}}, 11025, 0, 2048);
    std::vector<int> x(tone.size());
    for (std::size_t i = 0; i < x.size(); ++i) x[i] = static_cast<int>(std::lround(tone[i]));
    PeriodRefiner refiner(2048);
    // The search's run means miss by well under a sample.
    for (double start : {period - 0.4, period + 0.15, period + 0.4}) {
        EXPECT_NEAR(refiner.refine(x.data(), 2048, start), period, period * 2e-6) << start;
    }
    // Too short a block for four periods, and silence: the found period stands.
    EXPECT_EQ(refiner.refine(x.data(), 200, 56.0), 56.0);
    const std::vector<int> silence(2048, 0);
    EXPECT_EQ(refiner.refine(silence.data(), 2048, 56.0), 56.0);
}

}  // namespace
}  // namespace merlop
