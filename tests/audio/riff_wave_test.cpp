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

// An odd chunk as many writers leave it, without the pad byte after it.
Bytes unpadded(const std::string& id, const Bytes& payload) {
    Bytes c = testing::chunk(id, payload);
    c.pop_back();
    return c;
}

TEST(RiffWave, AnOddChunkWithoutItsPadByteIsWalkedPast) {
    // 112 bytes of data: one past "data" its size field starts "atap", a chunk id of its own.
    const Bytes data(112, 0x80);
    for (const Bytes& b :
         {riff({unpadded("LIST", Bytes(7, 'x')), unpadded("junk", Bytes(3, 0)),
                testing::chunk("fmt ", fmt(1, 1, 8000, 8)), testing::chunk("data", data)}),
          riff({testing::chunk("fmt ", fmt(1, 1, 8000, 8)), unpadded("junk", Bytes(3, 0)),
                testing::chunk("data", data)})}) {
        RiffWaveInfo info;
        ASSERT_TRUE(parseRiffWave(b.data(), b.size(), &info));
        EXPECT_EQ(info.sampleRate, 8000u);
        EXPECT_EQ(info.dataBytes, 112u);
        EXPECT_EQ(info.dataOffset + 112, b.size());
    }

    // With the pad byte the padded position wins, even where the unpadded one looks like a chunk.
    Bytes padded = riff({testing::chunk("junk", Bytes(3, 'a')),
                         testing::chunk("fmt ", fmt(1, 1, 8000, 8)), testing::chunk("data", data)});
    padded[12 + 8 + 3] = 'a';
    RiffWaveInfo info;
    ASSERT_TRUE(parseRiffWave(padded.data(), padded.size(), &info));
    EXPECT_EQ(info.dataOffset + 112, padded.size());
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
