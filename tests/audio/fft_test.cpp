#include <gtest/gtest.h>

#include <cmath>
#include <complex>
#include <numbers>
#include <random>
#include <vector>

#include "audio/real_fft.h"

namespace merlop {
namespace {

std::vector<float> randomBlock(unsigned n, unsigned seed) {
    std::mt19937 rng(seed);
    std::uniform_int_distribution<int> dist(-2048, 2047);
    std::vector<float> x(n);
    for (auto& v : x) v = static_cast<float>(dist(rng));
    return x;
}

// Forward + inverse halves every component except DC and Nyquist, which come back whole.
std::vector<double> expectedRoundTrip(const std::vector<float>& x) {
    const size_t n = x.size();
    double dc = 0.0, nyquist = 0.0;
    for (size_t j = 0; j < n; ++j) {
        dc += x[j];
        nyquist += (j % 2 == 0 ? 1.0 : -1.0) * x[j];
    }
    dc /= n;
    nyquist /= n;
    std::vector<double> y(n);
    for (size_t j = 0; j < n; ++j) {
        y[j] = 0.5 * x[j] + 0.5 * dc + 0.5 * nyquist * (j % 2 == 0 ? 1.0 : -1.0);
    }
    return y;
}

// Plain O(n^2) transform with the same scaling as the forward direction.
std::vector<std::complex<double>> directDft(const std::vector<float>& x) {
    const size_t n = x.size();
    std::vector<std::complex<double>> out(n / 2 + 1);
    for (size_t k = 0; k <= n / 2; ++k) {
        std::complex<double> sum = 0.0;
        for (size_t j = 0; j < n; ++j) {
            const double angle = -2.0 * std::numbers::pi * static_cast<double>(j * k % n) / n;
            sum += static_cast<double>(x[j]) * std::polar(1.0, angle);
        }
        out[k] = sum / static_cast<double>(n);
    }
    return out;
}

class RealFftSizes : public ::testing::TestWithParam<unsigned> {};

TEST_P(RealFftSizes, ForwardMatchesDirectTransformPacked) {
    const unsigned n = GetParam();
    RealFft fft(n);
    ASSERT_EQ(fft.size(), n);
    auto x = randomBlock(n, 11 + n);
    const auto expected = directDft(x);
    fft.forward(x.data());

    const double tol = 1e-3;
    EXPECT_NEAR(x[0], expected[0].real(), tol);
    EXPECT_NEAR(x[1], expected[n / 2].real(), tol);
    // The sign of the imaginary parts is a convention; it must be one convention for all bins.
    double sameSign = 0.0, flipped = 0.0;
    for (unsigned k = 1; k < n / 2; ++k) {
        EXPECT_NEAR(x[2 * k], expected[k].real(), tol) << "bin " << k;
        sameSign = std::max(sameSign, std::fabs(x[2 * k + 1] - expected[k].imag()));
        flipped = std::max(flipped, std::fabs(x[2 * k + 1] + expected[k].imag()));
    }
    EXPECT_LT(std::min(sameSign, flipped), tol);
}

TEST_P(RealFftSizes, RoundTripReturnsHalfAmplitudeWithFullDcAndNyquist) {
    const unsigned n = GetParam();
    RealFft fft(n);
    auto x = randomBlock(n, 5 * n + 1);
    // Make the DC and Nyquist terms large so that treating them like the other bins shows.
    for (unsigned j = 0; j < n; ++j) x[j] += 300.0f + (j % 2 == 0 ? 200.0f : -200.0f);
    const auto expected = expectedRoundTrip(x);
    auto y = x;
    fft.forward(y.data());
    fft.inverse(y.data());
    for (unsigned j = 0; j < n; ++j) ASSERT_NEAR(y[j], expected[j], 2e-3) << "sample " << j;
}

TEST_P(RealFftSizes, InverseOfRealBinsIsCosineSum) {
    const unsigned n = GetParam();
    RealFft fft(n);
    std::mt19937 rng(n);
    std::uniform_real_distribution<float> dist(-50.0f, 50.0f);
    std::vector<float> spectrum(n, 0.0f);
    for (unsigned k = 1; k < n / 2; ++k) spectrum[2 * k] = dist(rng);
    auto y = spectrum;
    fft.inverse(y.data());
    for (unsigned j = 0; j < n; ++j) {
        double sum = 0.0;
        for (unsigned k = 1; k < n / 2; ++k) {
            sum += spectrum[2 * k] *
                   std::cos(2.0 * std::numbers::pi * static_cast<double>(j * k % n) / n);
        }
        ASSERT_NEAR(y[j], sum, 1e-5 * 50.0 * n) << "lag " << j;
    }
}

INSTANTIATE_TEST_SUITE_P(PowersOfTwo, RealFftSizes, ::testing::Values(4u, 8u, 16u, 256u, 2048u));

TEST(RealFft, SineAtBinCentreHasHalfItsAmplitude) {
    const unsigned n = 8192;
    RealFft fft(n);
    for (unsigned bin : {1u, 37u, 1000u, 4095u}) {
        std::vector<float> x(n);
        for (unsigned j = 0; j < n; ++j) {
            x[j] = static_cast<float>(
                2048.0 * std::sin(2.0 * std::numbers::pi * static_cast<double>(j) * bin / n + 0.3));
        }
        fft.forward(x.data());
        EXPECT_NEAR(std::hypot(x[2 * bin], x[2 * bin + 1]), 1024.0, 0.01) << "bin " << bin;
        // Nothing leaks into the neighbours.
        EXPECT_LT(std::hypot(x[2 * bin - 2], x[2 * bin - 1]), 0.01);
    }
}

TEST(RealFft, LargeBlockRoundTripStaysAccurate) {
    const unsigned n = 8192;
    RealFft fft(n);
    std::vector<float> x(n);
    for (unsigned j = 0; j < n; ++j) x[j] = static_cast<float>(1000.0 * std::sin(0.01 * j * j));
    const auto expected = expectedRoundTrip(x);
    auto y = x;
    fft.forward(y.data());
    fft.inverse(y.data());
    double worst = 0.0;
    for (unsigned j = 0; j < n; ++j) worst = std::max(worst, std::fabs(y[j] - expected[j]));
    // Float storage, double arithmetic: far below one step of the 12-bit scale.
    EXPECT_LT(worst, 0.01);
}

TEST(RealFft, UnusableSizesLeaveDataAlone) {
    for (unsigned n : {0u, 1u, 2u, 3u, 6u, 100u, 1000u}) {
        RealFft fft(n);
        EXPECT_EQ(fft.size(), 0u) << n;
        EXPECT_FALSE(fft.usable());
        std::vector<float> x(8, 3.0f);
        fft.forward(x.data());
        fft.inverse(x.data());
        EXPECT_EQ(x, std::vector<float>(8, 3.0f));
    }
}

}  // namespace
}  // namespace merlop
