#include "audio/samples.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <vector>

namespace merlop {
namespace {

std::vector<int> convert(const std::vector<std::uint8_t>& bytes, int bits, std::size_t count,
                         SampleRange* range = nullptr) {
    std::vector<int> out(count + 2, 7);  // two guard slots must stay untouched
    const SampleRange r = convertSamples(bytes.data(), bytes.size(), bits, out.data(), count);
    EXPECT_EQ(out[count], 7);
    EXPECT_EQ(out[count + 1], 7);
    out.resize(count);
    if (range) *range = r;
    return out;
}

TEST(SampleConversion, EveryDepthLandsOnTheTwelveBitScale) {
    SampleRange range;
    EXPECT_EQ(convert({0x80, 0x00, 0xFF, 0x81, 0x7F}, 8, 5, &range),
              (std::vector<int>{0, -2048, 2032, 16, -16}));
    EXPECT_EQ(range.min, -2048);
    EXPECT_EQ(range.max, 2032);
    // 16-bit: 0x7FFF, 0x8000, -1, 16, -17; the shift is arithmetic.
    EXPECT_EQ(convert({0xFF, 0x7F, 0x00, 0x80, 0xFF, 0xFF, 0x10, 0x00, 0xEF, 0xFF}, 16, 5),
              (std::vector<int>{2047, -2048, -1, 1, -2}));
    // 24-bit: 0x7FFFFF, 0x800000, 0xFFF000 (-4096).
    EXPECT_EQ(convert({0xFF, 0xFF, 0x7F, 0x00, 0x00, 0x80, 0x00, 0xF0, 0xFF}, 24, 3),
              (std::vector<int>{2047, -2048, -1}));
    // 32-bit: INT32_MAX, INT32_MIN, 1 << 20.
    EXPECT_EQ(
        convert({0xFF, 0xFF, 0xFF, 0x7F, 0x00, 0x00, 0x00, 0x80, 0x00, 0x00, 0x10, 0x00}, 32, 3),
        (std::vector<int>{2047, -2048, 1}));
}

TEST(SampleConversion, SurplusBytesAreLeftAndShortBuffersPaddedWithCountedZeros) {
    EXPECT_EQ(convert(std::vector<std::uint8_t>(100, 0x90), 8, 64), std::vector<int>(64, 256));

    SampleRange range;
    EXPECT_EQ(convert({0xA0, 0xB0, 0xC0}, 8, 6, &range),
              (std::vector<int>{512, 768, 1024, 0, 0, 0}));
    EXPECT_EQ(range.min, 0);
    EXPECT_EQ(range.max, 1024);
    // A trailing half sample is not a sample.
    EXPECT_EQ(convert({0x00, 0x01, 0x7F}, 16, 2), (std::vector<int>{16, 0}));
}

TEST(SampleConversion, EmptyOrUnsupportedInputIsSilence) {
    SampleRange range;
    EXPECT_EQ(convert({}, 16, 4, &range), std::vector<int>(4, 0));
    EXPECT_EQ(range.level(), 0);
    EXPECT_EQ(convert({1, 2, 3, 4}, 12, 2, &range), std::vector<int>(2, 0));
    EXPECT_EQ(range.level(), 0);
}

}  // namespace
}  // namespace merlop
