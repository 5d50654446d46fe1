#include <gtest/gtest.h>

#include <cmath>
#include <numbers>
#include <random>
#include <vector>

#include "audio/real_fft.h"

namespace merlop {
namespace {

class RealFftSizes : public ::testing::TestWithParam<unsigned> {};

TEST_P(RealFftSizes, RoundTripReturnsHalfAmplitudeButWholeDcAndNyquist) {
    const unsigned n = GetParam();
    std::mt19937 rng(n);
    std::uniform_int_distribution<int> dist(-1500, 1500);
    std::vector<float> x(n);
    double dc = 0.0, nyquist = 0.0;
    for (unsigned j = 0; j < n; ++j) {
        // Large DC and Nyquist terms, so that halving them too would show.
        x[j] = static_cast<float>(dist(rng) + 300 + (j % 2 == 0 ? 200 : -200));
        dc += x[j] / n;
        nyquist += (j % 2 == 0 ? x[j] : -x[j]) / n;
    }
    auto y = x;
    RealFft fft(n);
    ASSERT_EQ(fft.size(), n);
    fft.forward(y.data());
    EXPECT_NEAR(y[0], dc, 1e-3);
    EXPECT_NEAR(y[1], nyquist, 1e-3);
    fft.inverse(y.data());
    for (unsigned j = 0; j < n; ++j) {
        const double expected = 0.5 * (x[j] + dc + (j % 2 == 0 ? nyquist : -nyquist));
        ASSERT_NEAR(y[j], expected, 2e-3) << "sample " << j;
    }
}

TEST_P(RealFftSizes, InverseOfRealBinsIsTheirCosineSum) {
    const unsigned n = GetParam();
    std::mt19937 rng(n + 1);
    std::uniform_real_distribution<float> dist(-50.0f, 50.0f);
    std::vector<float> spectrum(n, 0.0f);
    for (unsigned k = 1; k < n / 2; ++k) spectrum[2 * k] = dist(rng);
    auto y = spectrum;
    RealFft(n).inverse(y.data());
    std::vector<double> cosine(n);
    for (unsigned m = 0; m < n; ++m) cosine[m] = std::cos(2.0 * std::numbers::pi * m / n);
    for (unsigned j = 0; j < n; ++j) {
        double sum = 0.0;
        for (unsigned k = 1; k < n / 2; ++k) sum += spectrum[2 * k] * cosine[j * k % n];
        ASSERT_NEAR(y[j], sum, 2e-5 * 50.0 * n) << "lag " << j;
    }
}

INSTANTIATE_TEST_SUITE_P(PowersOfTwo, RealFftSizes, ::testing::Values(4u, 8u, 64u, 2048u, 8192u));

TEST(RealFft, SineGivesHalfItsAmplitudeInItsBinOnly) {
    const unsigned n = 8192;
    RealFft fft(n);
    for (unsigned bin : {1u, 37u, 1000u, 4095u}) {
        std::vector<float> x(n);
        for (unsigned j = 0; j < n; ++j) {
            x[j] =
                static_cast<float>(2048.0 * std::sin(2.0 * std::numbers::pi * j * bin / n + 0.3));
        }
        fft.forward(x.data());
        EXPECT_NEAR(std::hypot(x[2 * bin], x[2 * bin + 1]), 1024.0, 0.01) << bin;
        EXPECT_LT(std::hypot(x[2 * bin - 2], x[2 * bin - 1]), 0.01) << bin;
    }
}

TEST(RealFft, OneAndTwoSamplesAreDcAndNyquist) {
    RealFft one(1), two(2);
    ASSERT_TRUE(one.usable());
    ASSERT_TRUE(two.usable());
    float x1[1] = {5.0f};
    one.forward(x1);
    EXPECT_EQ(x1[0], 5.0f);
    float x2[2] = {3.0f, 1.0f};
    two.forward(x2);
    EXPECT_EQ(x2[0], 2.0f);
    EXPECT_EQ(x2[1], 1.0f);
    two.inverse(x2);  // DC and Nyquist come back at full amplitude
    EXPECT_EQ(x2[0], 3.0f);
    EXPECT_EQ(x2[1], 1.0f);
}

TEST(RealFft, UnusableSizesLeaveDataAlone) {
    for (unsigned n : {0u, 3u, 6u, 1000u}) {
        RealFft fft(n);
        EXPECT_FALSE(fft.usable()) << n;
        std::vector<float> x(8, 3.0f);
        fft.forward(x.data());
        fft.inverse(x.data());
        EXPECT_EQ(x, std::vector<float>(8, 3.0f));
    }
}

}  // namespace
}  // namespace merlop
