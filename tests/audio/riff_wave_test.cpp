#include "audio/riff_wave.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "support/riff_builder.h"

namespace merlop {
namespace {

using Bytes = std::vector<std::uint8_t>;

using testing::riff;
const auto put = testing::putLittleEndian;

Bytes fmt(int tag, int channels, std::uint32_t rate, int bits) {
    return testing::fmtBody(tag, channels, rate, bits);
}

TEST(RiffWave, WalksPastOtherChunksToFormatAndData) {
    const Bytes b = riff({{"LIST", Bytes(7, 'x')},
                          {"fmt ", fmt(1, 1, 8000, 8)},
                          {"junk", Bytes(3)},
                          {"data", Bytes(10, 0x80)}});
    RiffWaveInfo info;
    ASSERT_TRUE(parseRiffWave(b.data(), b.size(), &info));
    EXPECT_EQ(info.formatTag, 1);
    EXPECT_EQ(info.channels, 1);
    EXPECT_EQ(info.sampleRate, 8000u);
    EXPECT_EQ(info.bitsPerSample, 8);
    EXPECT_EQ(info.dataBytes, 10u);
    EXPECT_EQ(info.dataOffset + 10, b.size());

    // Extensible formats report their sub-format; a truncated data chunk what it holds, in frames.
    Bytes ext = fmt(0xFFFE, 2, 48000, 16);
    put(ext, 22, 2);
    put(ext, 16, 2);
    put(ext, 3, 4);
    put(ext, 1, 2);
    Bytes cut = riff({{"fmt ", ext}, {"data", Bytes(400)}});
    cut.resize(cut.size() - 400 + 7);
    ASSERT_TRUE(parseRiffWave(cut.data(), cut.size(), &info));
    EXPECT_EQ(info.formatTag, 1);
    EXPECT_EQ(info.dataBytes, 4u);
}

TEST(RiffWave, RejectsWhatIsNotAWaveSound) {
    RiffWaveInfo info;
    const Bytes noData = riff({{"fmt ", fmt(1, 1, 8000, 8)}});
    EXPECT_FALSE(parseRiffWave(noData.data(), noData.size(), &info));
    const Bytes dataFirst = riff({{"data", Bytes(4)}, {"fmt ", fmt(1, 1, 8000, 8)}});
    EXPECT_FALSE(parseRiffWave(dataFirst.data(), dataFirst.size(), &info));
    const Bytes shortFmt = riff({{"fmt ", Bytes(10)}, {"data", Bytes(2)}});
    EXPECT_FALSE(parseRiffWave(shortFmt.data(), shortFmt.size(), &info));
    Bytes avi = riff({{"fmt ", fmt(1, 1, 8000, 8)}, {"data", Bytes(4)}});
    std::memcpy(avi.data() + 8, "AVI ", 4);
    EXPECT_FALSE(parseRiffWave(avi.data(), avi.size(), &info));
    // A chunk claiming more than the file holds ends the walk without reading past the end.
    Bytes huge = riff({{"fmt ", fmt(1, 1, 8000, 8)}});
    huge.insert(huge.end(), {'L', 'I', 'S', 'T', 0xF0, 0xFF, 0xFF, 0xFF});
    EXPECT_FALSE(parseRiffWave(huge.data(), huge.size(), &info));
}

}  // namespace
}  // namespace merlop
