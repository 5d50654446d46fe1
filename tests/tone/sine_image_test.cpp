#include "tone/sine_image.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <vector>

namespace merlop {
namespace {

struct Image {
    Image(float frequency, float factor, int volume) : bytes(kSineImageBytes, 0xAA) {
        count = writeSineImage(bytes.data(), frequency, factor, volume);
    }
    std::uint32_t le32(int at) const {
        return bytes[at] | (bytes[at + 1] << 8) | (bytes[at + 2] << 16) |
               (static_cast<std::uint32_t>(bytes[at + 3]) << 24);
    }
    int le16(int at) const { return bytes[at] | (bytes[at + 1] << 8); }
    int sample(int j) const { return static_cast<std::int16_t>(le16(44 + 2 * j)); }

    std::vector<std::uint8_t> bytes;
    int count;
};

TEST(SineImage, HeaderDescribesMono16BitAt44100WithWholePeriods) {
    const Image b(440.0f, 1.0f, 127);
    // 100.227 samples per period, 98 whole periods.
    EXPECT_EQ(b.count, static_cast<int>(98 * (44100.0 / 440.0)));
    EXPECT_EQ(0, std::memcmp(b.bytes.data(), "RIFF", 4));
    EXPECT_EQ(b.le32(4), 2u * b.count + 36);
    EXPECT_EQ(0, std::memcmp(b.bytes.data() + 8, "WAVEfmt ", 8));
    EXPECT_EQ(b.le32(16), 16u);
    EXPECT_EQ(b.le16(20), 1);
    EXPECT_EQ(b.le16(22), 1);
    EXPECT_EQ(b.le32(24), 44100u);
    EXPECT_EQ(b.le32(28), 88200u);
    EXPECT_EQ(b.le16(32), 2);
    EXPECT_EQ(b.le16(34), 16);
    EXPECT_EQ(0, std::memcmp(b.bytes.data() + 36, "data", 4));
    EXPECT_EQ(b.le32(40), 2u * b.count);
}

TEST(SineImage, SamplesAreTheRoundedSineThenSilence) {
    // A card running 1% fast plays every sample early: each period needs 1% more samples. The
    // period is held in single precision, which here makes it exactly 101 samples.
    for (float factor : {1.0f, 1.01f}) {
        const Image b(441.0f, factor, 60);
        const double period = static_cast<float>(44100.0 * factor / 441.0);
        EXPECT_EQ(b.count, static_cast<int>(std::trunc(std::trunc(10000 / period - 1) * period)));
        const double amplitude = std::trunc(60 / 127.0 * 16384);  // 7740
        int peak = 0;
        for (int j = 0; j < b.count; ++j) {
            ASSERT_NEAR(b.sample(j), std::floor(amplitude * std::sin(j * 2 * M_PI / period) + 0.5),
                        1)
                << j;
            peak = std::max(peak, std::abs(b.sample(j)));
        }
        EXPECT_NEAR(peak, 7740, 1);
        for (int j = b.count; j < 10000; ++j) ASSERT_EQ(b.sample(j), 0) << j;
        // The data ends less than a sample short of a whole period, so the loop joins.
        EXPECT_LT(std::abs(b.sample(b.count - 1) - b.sample(0)), 2 * 7740 * 2 * M_PI / period);
    }
}

TEST(SineImage, VolumeZeroIsSilenceInAValidImage) {
    const Image b(440.0f, 1.0f, 0);
    EXPECT_GT(b.count, 9000);
    EXPECT_EQ(b.le32(40), 2u * b.count);
    for (int j = 0; j < 10000; ++j) ASSERT_EQ(b.sample(j), 0);
}

TEST(SineImage, ExtremeFrequenciesStayInsideTheBuffer) {
    EXPECT_EQ(Image(5.0f, 1.0f, 127).count, 0);  // one period is more than half the buffer
    for (float f : {40000.0f, 1e30f}) {
        const int count = Image(f, 1.0f, 127).count;
        EXPECT_GE(count, 0);
        EXPECT_LE(count, 10000);
    }
    for (float bad : {0.0f, -440.0f, NAN, INFINITY}) {
        const Image b(bad, 1.0f, 127);
        EXPECT_EQ(b.count, -1) << bad;
        EXPECT_EQ(b.bytes[0], 0xAA);  // untouched
    }
}

}  // namespace
}  // namespace merlop
