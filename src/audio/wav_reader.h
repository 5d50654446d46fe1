#pragma once

#include <cstdint>
#include <istream>
#include <memory>
#include <string>
#include <vector>

#include "audio/samples.h"

namespace merlop {

enum class WavStatus {
    ok,
    fileMissing,  // "File does not exist"
    headerError,  // "wave header error"
    notPcmMono,   // "Only PCM mono WAV files supported"
};

// The text the tuner shows for a refused file, in English (translated where shown); empty for ok.
const char* wavStatusMessage(WavStatus status);

// Reads a PCM mono WAV file one analysis buffer at a time.
//
// A file tagged "RIFF"/"WAVE" has its chunks walked: the format comes from the "fmt " chunk
// (plain or extensible), the samples from the "data" chunk's payload and never from outside it
// (a size of 0 or one past the end, as streaming recorders leave it, reads to the end of the
// file in whole frames). A file without those tags, or one whose walk finds no "data" chunk after
// "fmt " but whose fixed fields describe PCM mono, is read the traditional way: format fields at
// fixed offsets of a 48-byte header block and samples from byte 48 to the end of the file.
class WavReader {
  public:
    // Lowest and highest sample rates accepted; anything outside cannot be analysed sensibly.
    static constexpr int kMinSampleRate = 4000;
    static constexpr int kMaxSampleRate = 384000;
    // Size of the header block every file must at least have.
    static constexpr int kHeaderBlockBytes = 48;

    WavReader();
    ~WavReader();
    WavReader(const WavReader&) = delete;
    WavReader& operator=(const WavReader&) = delete;

    WavStatus open(const std::string& path);
    WavStatus openBytes(std::vector<std::uint8_t> bytes);
    // Reads a stream that cannot seek (a pipe), which must outlive the reader: only the header
    // is held in memory, and the samples end where the stream does. The blocks are those the same
    // bytes give as a file; sampleCount() is then the most the header allows.
    WavStatus openStream(std::istream& in);
    void close();
    bool isOpen() const { return stream_ != nullptr; }

    int sampleRate() const { return sampleRate_; }
    int bitsPerSample() const { return bitsPerSample_; }
    // Whole samples in the sound data (a trailing fragment of a sample is not counted).
    std::int64_t sampleCount() const;

    // Fills `samples` with the next `count` samples on the 12-bit scale and returns true, or
    // returns false when fewer than `count` samples remain: a final partial buffer is dropped.
    bool readBlock(int* samples, int count, SampleRange* range);

    // Position of the next unread byte from the start of the file, header included.
    std::int64_t bytePosition() const { return position_; }
    // Index of the next unread sample: where audible playback resumes after a pause.
    std::int64_t samplePosition() const;

  private:
    WavStatus start(WavStatus parsed);
    WavStatus parse(std::int64_t fileSize);
    WavStatus parseRiff(std::int64_t fileSize);
    WavStatus checkFormat(int formatTag, int channels, std::int64_t rate, int bits);

    std::unique_ptr<std::istream> stream_;
    std::int64_t dataStart_ = 0;
    std::int64_t dataEnd_ = 0;
    std::int64_t position_ = 0;
    int sampleRate_ = 0;
    int bitsPerSample_ = 0;
    std::vector<std::uint8_t> block_;
};

}  // namespace merlop
