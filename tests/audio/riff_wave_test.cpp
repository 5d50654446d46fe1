#include "audio/riff_wave.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

namespace merlop {
namespace {

using Bytes = std::vector<std::uint8_t>;

void put(Bytes& b, std::uint32_t v, int size) {
    for (int i = 0; i < size; ++i) b.push_back(static_cast<std::uint8_t>(v >> (8 * i)));
}

// A RIFF/WAVE image of the given chunks, each (id, body), padded to even sizes.
Bytes riff(const std::vector<std::pair<std::string, Bytes>>& chunks) {
    Bytes b = {'R', 'I', 'F', 'F', 0, 0, 0, 0, 'W', 'A', 'V', 'E'};
    for (const auto& [id, body] : chunks) {
        b.insert(b.end(), id.begin(), id.end());
        put(b, static_cast<std::uint32_t>(body.size()), 4);
        b.insert(b.end(), body.begin(), body.end());
        if (body.size() % 2) b.push_back(0);
    }
    return b;
}

Bytes fmt(int tag, int channels, int rate, int bits) {
    Bytes b;
    put(b, tag, 2);
    put(b, channels, 2);
    put(b, rate, 4);
    put(b, rate * channels * bits / 8, 4);
    put(b, channels * bits / 8, 2);
    put(b, bits, 2);
    return b;
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
