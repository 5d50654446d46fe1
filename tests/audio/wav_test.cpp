#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <random>
#include <string>
#include <vector>

#include "analysis_harness.h"
#include "audio/wav_reader.h"
#include "signals/tone_synth.h"
#include "support/riff_builder.h"

namespace merlop {
namespace {

using Bytes = std::vector<std::uint8_t>;

using testing::chunk;
using testing::riff;
const auto put = testing::putLittleEndian;

Bytes fmt(int tag, int channels, std::uint32_t rate, int bits, const Bytes& extra = {}) {
    return testing::fmtChunk(tag, channels, rate, bits, extra);
}

Bytes pcm16(const std::vector<int>& values) {
    Bytes b;
    for (int v : values) put(b, static_cast<std::uint32_t>(v), 2);
    return b;
}

std::vector<int> readAll(WavReader& r, int block) {
    std::vector<int> all, buf(block);
    while (r.readBlock(buf.data(), block, nullptr)) all.insert(all.end(), buf.begin(), buf.end());
    return all;
}

TEST(WavReader, WrittenTonesComeBackOnTheTwelveBitScale) {
    const std::vector<float> x = {0.0f, 0.5f, -0.5f, 1.0f, -1.0f, 0.25f, 0.1f, -0.1f};
    WavReader r;
    ASSERT_EQ(r.openBytes(wavImage(x, 22050, 16)), WavStatus::ok);
    EXPECT_EQ(r.sampleRate(), 22050);
    EXPECT_EQ(r.sampleCount(), 8);
    std::vector<int> s(8);
    SampleRange range;
    ASSERT_TRUE(r.readBlock(s.data(), 8, &range));
    EXPECT_EQ(s, (std::vector<int>{0, 1024, -1024, 2047, -2048, 512, 204, -205}));
    EXPECT_EQ(range.level(), 4095);

    ASSERT_EQ(r.openBytes(wavImage(x, 8000, 8)), WavStatus::ok);
    ASSERT_TRUE(r.readBlock(s.data(), 8, nullptr));
    EXPECT_EQ(s, (std::vector<int>{0, 1024, -1024, 2032, -2032, 512, 208, -208}));
}

TEST(WavReader, FinalPartialBufferIsDroppedAndPositionsFollowTheReads) {
    std::vector<int> values;
    for (int i = 1; i <= 10; ++i) values.push_back(16 * i);
    WavReader r;
    ASSERT_EQ(r.openBytes(riff({fmt(1, 1, 8000, 16), chunk("data", pcm16(values), 20)})),
              WavStatus::ok);
    std::vector<int> s(4);
    ASSERT_TRUE(r.readBlock(s.data(), 4, nullptr));
    EXPECT_EQ(s, (std::vector<int>{1, 2, 3, 4}));
    EXPECT_EQ(r.samplePosition(), 4);
    EXPECT_EQ(r.bytePosition(), 44 + 8);
    ASSERT_TRUE(r.readBlock(s.data(), 4, nullptr));
    EXPECT_FALSE(r.readBlock(s.data(), 4, nullptr));  // two samples left over
    EXPECT_FALSE(r.readBlock(s.data(), 1, nullptr));  // and the file stays finished
}

TEST(WavReader, OnlyTheDataChunkIsSound) {
    const Bytes other(10, 0x7F);
    const Bytes data = pcm16({160, 320, 480, 640});
    WavReader r;
    // Chunks around the data, one of odd length with its pad byte.
    ASSERT_EQ(r.openBytes(riff({chunk("junk", Bytes(3, 0x55), 3), fmt(1, 1, 11025, 16),
                                chunk("LIST", other, 10), chunk("data", data, 8),
                                chunk("id3 ", other, 10)})),
              WavStatus::ok);
    EXPECT_EQ(readAll(r, 2), (std::vector<int>{10, 20, 30, 40}));

    // An unfinished recording states a size past the end: what exists is read.
    ASSERT_EQ(r.openBytes(riff({fmt(1, 1, 8000, 16), chunk("data", data, 0xFFFFFFFFu)})),
              WavStatus::ok);
    EXPECT_EQ(r.sampleCount(), 4);
}

TEST(WavReader, ExtendedFormatChunksAreUnderstood) {
    Bytes ext = {22, 0, 24, 0, 4, 0, 0, 0, 1, 0};  // cbSize, valid bits, mask, sub-format PCM
    ext.resize(24, 0xAA);
    WavReader r;
    ASSERT_EQ(r.openBytes(riff({fmt(0xFFFE, 1, 48000, 24, ext),
                                chunk("data", {0x00, 0x10, 0x00, 0x00, 0xF0, 0xFF}, 6)})),
              WavStatus::ok);
    EXPECT_EQ(readAll(r, 2), (std::vector<int>{1, -1}));

    ext[8] = 3;  // floating point underneath
    EXPECT_EQ(r.openBytes(riff({fmt(0xFFFE, 1, 48000, 32, ext), chunk("data", Bytes(8), 8)})),
              WavStatus::notPcmMono);
}

std::vector<int> samplesOf(const Bytes& image) {
    WavReader r;
    if (r.openBytes(image) != WavStatus::ok) return {};
    return readAll(r, 1);
}

Bytes withField(Bytes b, std::size_t offset, std::uint32_t value, int size) {
    for (int i = 0; i < size; ++i) b[offset + i] = static_cast<std::uint8_t>(value >> (8 * i));
    return b;
}

void expectSameReadings(const Bytes& image, const Bytes& wellFormed, double centsApart) {
    const auto got = testing::analyseImage(image, Settings{});
    const auto want = testing::analyseImage(wellFormed, Settings{});
    ASSERT_EQ(got.size(), want.size());
    ASSERT_GT(got.size(), 3u);
    for (std::size_t i = 1; i < got.size(); ++i) {
        EXPECT_EQ(got[i].reading.note, want[i].reading.note) << i;
        EXPECT_NE(got[i].reading.note, -1) << i;
        EXPECT_NEAR(got[i].reading.deviation * 100, want[i].reading.deviation * 100, centsApart);
    }
}

// What streaming recorders and careless writers leave reads like the well-formed file.
TEST(WavReader, StreamedAndLooseHeadersReadLikeTheWellFormedFile) {
    const Bytes good = wavImage(harmonicTone(196.0, 1.5, 8000, 8, 0.5), 8000, 16);
    const std::vector<int> reference = samplesOf(good);
    ASSERT_EQ(reference.size(), 12000u);

    const Bytes sizeZero = withField(good, 40, 0, 4);
    EXPECT_EQ(samplesOf(sizeZero), reference);
    Bytes oddTail = sizeZero;
    oddTail.push_back(0x7F);  // half a frame at the end is not a sample
    EXPECT_EQ(samplesOf(oddTail), reference);
    EXPECT_EQ(samplesOf(withField(good, 40, 0xFFFFFFF0u, 4)), reference);
    const Bytes alignZero = withField(good, 32, 0, 2);
    EXPECT_EQ(samplesOf(alignZero), reference);
    expectSameReadings(sizeZero, good, 0.0);
    expectSameReadings(alignZero, good, 0.0);

    // Without a "data" chunk the fixed layout applies: sound from byte 48, two samples later.
    Bytes noData = good;
    std::copy_n("junk", 4, noData.begin() + 36);
    const std::vector<int> fromByte48(reference.begin() + 2, reference.end());
    EXPECT_EQ(samplesOf(noData), fromByte48);
    expectSameReadings(noData, good, 1.0);

    // "data" before "fmt ": only readable when the fixed fields say PCM mono.
    const Bytes fmtBody(good.begin() + 20, good.begin() + 36);
    Bytes payload = fmtBody;
    payload.resize(28, 0);
    payload.insert(payload.end(), good.begin() + 44, good.end());
    const Bytes dataFirst =
        riff({chunk("data", payload, static_cast<std::uint32_t>(payload.size())),
              chunk("fmt ", fmtBody, 16)});
    // The fixed layout reads on to the end, through the trailing format chunk.
    const std::vector<int> read = samplesOf(dataFirst);
    ASSERT_EQ(read.size(), reference.size() + 12);
    EXPECT_TRUE(std::equal(reference.begin(), reference.end(), read.begin()));
    expectSameReadings(dataFirst, good, 0.0);
    WavReader r;
    const Bytes plainPayload(good.begin() + 44, good.end());
    EXPECT_EQ(r.openBytes(riff({chunk("data", plainPayload, 24000), chunk("fmt ", fmtBody, 16)})),
              WavStatus::headerError);
}

TEST(WavReader, AnOddChunkWithoutItsPadByteDoesNotHideTheData) {
    const Bytes good = wavImage(harmonicTone(196.0, 1.5, 8000, 8, 0.5), 8000, 16);
    const Bytes fmtChunk(good.begin() + 12, good.begin() + 36);
    const Bytes dataChunk(good.begin() + 36, good.end());
    Bytes info = chunk("LIST", Bytes(13, 'x'));
    info.pop_back();  // the pad byte a careless writer leaves out
    const Bytes loose = riff(std::vector<Bytes>{fmtChunk, info, dataChunk});
    EXPECT_EQ(samplesOf(loose), samplesOf(good));
    expectSameReadings(loose, good, 0.0);
}

TEST(WavReader, FileWithoutRiffTagsUsesTheFixedHeaderBlock) {
    Bytes b(48, 0);
    b[20] = 1;
    b[22] = 1;
    b[24] = 0x11;  // 11025
    b[25] = 0x2B;
    b[34] = 16;
    const Bytes samples = pcm16({32, 64, 96});
    b.insert(b.end(), samples.begin(), samples.end());
    WavReader r;
    ASSERT_EQ(r.openBytes(b), WavStatus::ok);
    EXPECT_EQ(r.sampleRate(), 11025);
    EXPECT_EQ(readAll(r, 3), (std::vector<int>{2, 4, 6}));
}

TEST(WavReader, RefusalsCarryTheTunersMessages) {
    WavReader r;
    EXPECT_EQ(r.open("/nonexistent/none.wav"), WavStatus::fileMissing);
    EXPECT_STREQ(wavStatusMessage(WavStatus::fileMissing), "File does not exist");
    EXPECT_STREQ(wavStatusMessage(WavStatus::headerError), "wave header error");
    EXPECT_STREQ(wavStatusMessage(WavStatus::notPcmMono), "Only PCM mono WAV files supported");

    const Bytes data(64, 0);
    EXPECT_EQ(r.openBytes(Bytes(47, 0)), WavStatus::headerError);
    EXPECT_EQ(r.openBytes(riff({chunk("data", data, 64)})), WavStatus::headerError);
    EXPECT_FALSE(r.isOpen());

    const auto status = [&](int tag, int channels, std::uint32_t rate, int bits) {
        return r.openBytes(riff({fmt(tag, channels, rate, bits), chunk("data", data, 64)}));
    };
    EXPECT_EQ(status(1, 2, 11025, 16), WavStatus::notPcmMono);
    EXPECT_EQ(status(3, 1, 11025, 32), WavStatus::notPcmMono);
    EXPECT_EQ(status(1, 1, 11025, 12), WavStatus::notPcmMono);
    EXPECT_EQ(status(1, 1, 0, 16), WavStatus::notPcmMono);
    EXPECT_EQ(status(1, 1, 3999, 16), WavStatus::notPcmMono);
    EXPECT_EQ(status(1, 1, 4000000000u, 16), WavStatus::notPcmMono);
    EXPECT_EQ(status(1, 1, 4000, 8), WavStatus::ok);
    EXPECT_EQ(status(1, 1, 384000, 32), WavStatus::ok);
}

TEST(WavReader, DamagedFilesNeverReadOutsideThemselves) {
    const Bytes good = wavImage(sineTone(440.0, 0.05, 8000, 0.5), 8000, 16);
    std::mt19937 gen(42);
    WavReader r;
    for (int round = 0; round < 3000; ++round) {
        Bytes b = good;
        for (int k = 0; k < 4; ++k) b[gen() % 64] = static_cast<std::uint8_t>(gen());
        b.resize(round < 120 ? round : gen() % good.size());
        if (r.openBytes(b) == WavStatus::ok) {
            EXPECT_LE(r.sampleCount() * (r.bitsPerSample() / 8),
                      static_cast<std::int64_t>(b.size()) - 44);
            readAll(r, 16);
        }
    }
}

}  // namespace
}  // namespace merlop
