#include "audio/wav_reader.h"

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <fstream>

#include "audio/riff_wave.h"
#include "common/byte_order.h"
#include "common/translation.h"

namespace merlop {

namespace {

constexpr int kPcmFormat = 1;

bool tagIs(const std::uint8_t* p, const char* tag) {
    return std::memcmp(p, tag, 4) == 0;
}

// A stream over bytes held in memory, without copying them into a string.
class ByteStream : public std::istream {
  public:
    explicit ByteStream(std::vector<std::uint8_t> bytes)
        : std::istream(nullptr), bytes_(std::move(bytes)) {
        char* begin = reinterpret_cast<char*>(bytes_.data());
        buffer_.pubsetbuf(begin, static_cast<std::streamsize>(bytes_.size()));
        rdbuf(&buffer_);
    }

  private:
    struct Buffer : std::streambuf {
        std::streambuf* setbuf(char* s, std::streamsize n) override {
            setg(s, s, s + n);
            return this;
        }
        pos_type seekoff(off_type off, std::ios_base::seekdir dir,
                         std::ios_base::openmode) override {
            const off_type size = egptr() - eback();
            off_type target = off;
            if (dir == std::ios_base::cur) target += gptr() - eback();
            if (dir == std::ios_base::end) target += size;
            if (target < 0 || target > size) return pos_type(off_type(-1));
            setg(eback(), eback() + target, egptr());
            return pos_type(target);
        }
        pos_type seekpos(pos_type pos, std::ios_base::openmode mode) override {
            return seekoff(off_type(pos), std::ios_base::beg, mode);
        }
    };

    std::vector<std::uint8_t> bytes_;
    Buffer buffer_;
};

// A forward-only stream made seekable over what has been read of it so far, for the header
// walk; once the samples begin, forget() lets go of the header and reads on in small pieces.
class HeadKeepingStream : public std::istream {
  public:
    explicit HeadKeepingStream(std::istream& source) : std::istream(nullptr), buffer_(source) {
        rdbuf(&buffer_);
    }
    void forget() { buffer_.forget(); }

  private:
    struct Buffer : std::streambuf {
        explicit Buffer(std::istream& in) : source(in) {}

        // Reads on until `end` bytes are kept or the source ends.
        void keepUpTo(std::int64_t end) {
            const std::int64_t at = gptr() - eback();
            while (static_cast<std::int64_t>(kept.size()) < end && source) {
                const std::size_t old = kept.size();
                kept.resize(old + kPiece);
                source.read(reinterpret_cast<char*>(kept.data() + old), kPiece);
                kept.resize(old + static_cast<std::size_t>(source.gcount()));
            }
            char* begin = reinterpret_cast<char*>(kept.data());
            setg(begin, begin + at, begin + kept.size());
        }
        void forget() {
            kept.erase(kept.begin(), kept.begin() + (gptr() - eback()));
            keeping = false;
            char* begin = reinterpret_cast<char*>(kept.data());
            setg(begin, begin, begin + kept.size());
        }
        int_type underflow() override {
            if (keeping) {
                keepUpTo(static_cast<std::int64_t>(kept.size()) + 1);
            } else {
                kept.resize(kPiece);
                source.read(reinterpret_cast<char*>(kept.data()), kPiece);
                kept.resize(static_cast<std::size_t>(source.gcount()));
                char* begin = reinterpret_cast<char*>(kept.data());
                setg(begin, begin, begin + kept.size());
            }
            return gptr() < egptr() ? traits_type::to_int_type(*gptr()) : traits_type::eof();
        }
        pos_type seekoff(off_type off, std::ios_base::seekdir dir,
                         std::ios_base::openmode) override {
            if (!keeping || dir == std::ios_base::end) return pos_type(off_type(-1));
            off_type target = off;
            if (dir == std::ios_base::cur) target += gptr() - eback();
            if (target < 0) return pos_type(off_type(-1));
            keepUpTo(target);
            if (target > egptr() - eback()) return pos_type(off_type(-1));
            setg(eback(), eback() + target, egptr());
            return pos_type(target);
        }
        pos_type seekpos(pos_type pos, std::ios_base::openmode mode) override {
            return seekoff(off_type(pos), std::ios_base::beg, mode);
        }

        static constexpr std::size_t kPiece = 1 << 16;
        std::istream& source;
        std::vector<std::uint8_t> kept;
        bool keeping = true;
    };

    Buffer buffer_;
};

// The size of a stream whose end is not known: the samples run to wherever it ends.
constexpr std::int64_t kUnknownSize = INT64_MAX;

std::int64_t streamSize(std::istream& in) {
    in.seekg(0, std::ios::end);
    const std::int64_t size = in.tellg();
    in.seekg(0, std::ios::beg);
    return size < 0 ? 0 : size;
}

// Reads up to n bytes at offset; returns how many arrived.
std::int64_t readAt(std::istream& in, std::int64_t offset, std::uint8_t* out, std::int64_t n) {
    in.clear();
    in.seekg(offset, std::ios::beg);
    if (!in) return 0;
    in.read(reinterpret_cast<char*>(out), n);
    return in.gcount();
}

}  // namespace

const char* wavStatusMessage(WavStatus status) {
    switch (status) {
        case WavStatus::ok:
            return "";
        case WavStatus::fileMissing:
            return MERLOP_TR_NOOP("WaveFile", "File does not exist");
        case WavStatus::headerError:
            return MERLOP_TR_NOOP("WaveFile", "wave header error");
        case WavStatus::notPcmMono:
            return MERLOP_TR_NOOP("WaveFile", "Only PCM mono WAV files supported");
    }
    return "";
}

WavReader::WavReader() = default;
WavReader::~WavReader() = default;

void WavReader::close() {
    stream_.reset();
    dataStart_ = dataEnd_ = position_ = 0;
    sampleRate_ = bitsPerSample_ = 0;
    block_.clear();
    block_.shrink_to_fit();
}

WavStatus WavReader::open(const std::string& path) {
    close();
    auto file = std::make_unique<std::ifstream>(path, std::ios::binary);
    if (!file->is_open()) return WavStatus::fileMissing;
    stream_ = std::move(file);
    return start(parse(streamSize(*stream_)));
}

WavStatus WavReader::openBytes(std::vector<std::uint8_t> bytes) {
    close();
    const auto size = static_cast<std::int64_t>(bytes.size());
    stream_ = std::make_unique<ByteStream>(std::move(bytes));
    return start(parse(size));
}

WavStatus WavReader::openStream(std::istream& in) {
    close();
    auto stream = std::make_unique<HeadKeepingStream>(in);
    HeadKeepingStream& head = *stream;
    stream_ = std::move(stream);
    const WavStatus status = start(parse(kUnknownSize));
    if (status == WavStatus::ok) head.forget();
    return status;
}

WavStatus WavReader::start(WavStatus parsed) {
    if (parsed != WavStatus::ok) {
        close();
        return parsed;
    }
    // Blocks are then read in sequence without seeking.
    stream_->clear();
    stream_->seekg(dataStart_, std::ios::beg);
    return WavStatus::ok;
}

WavStatus WavReader::checkFormat(int formatTag, int channels, std::int64_t rate, int bits) {
    if (formatTag != kPcmFormat || channels != 1 || rate < kMinSampleRate ||
        rate > kMaxSampleRate || !isSupportedSampleDepth(bits)) {
        return WavStatus::notPcmMono;
    }
    sampleRate_ = static_cast<int>(rate);
    bitsPerSample_ = bits;
    return WavStatus::ok;
}

WavStatus WavReader::parse(std::int64_t fileSize) {
    std::uint8_t header[kHeaderBlockBytes];
    if (readAt(*stream_, 0, header, kHeaderBlockBytes) < kHeaderBlockBytes) {
        return WavStatus::headerError;
    }
    if (tagIs(header, "RIFF") && tagIs(header + 8, "WAVE")) {
        const WavStatus walked = parseRiff(fileSize);
        // Chunks out of order or no "data" chunk: the fixed layout still reads such a file when
        // its fixed fields describe PCM mono.
        if (walked != WavStatus::headerError || le::get16(header + 20) != kPcmFormat ||
            le::get16(header + 22) != 1) {
            return walked;
        }
    }

    const WavStatus status = checkFormat(
        static_cast<int>(le::get16(header + 20)), static_cast<int>(le::get16(header + 22)),
        le::get32(header + 24), static_cast<int>(le::get16(header + 34)));
    if (status != WavStatus::ok) return status;
    dataStart_ = kHeaderBlockBytes;
    dataEnd_ = fileSize;
    position_ = dataStart_;
    return WavStatus::ok;
}

WavStatus WavReader::parseRiff(std::int64_t fileSize) {
    const ReadAt readChunk = [this](std::uint64_t offset, void* buffer, std::size_t n) {
        const std::int64_t got =
            readAt(*stream_, static_cast<std::int64_t>(offset), static_cast<std::uint8_t*>(buffer),
                   static_cast<std::int64_t>(n));
        return static_cast<std::size_t>(std::max<std::int64_t>(got, 0));
    };
    RiffWaveInfo info;
    if (!parseRiffWave(readChunk, static_cast<std::uint64_t>(fileSize), &info)) {
        return WavStatus::headerError;
    }
    const WavStatus status =
        checkFormat(info.formatTag, info.channels, info.sampleRate, info.bitsPerSample);
    if (status != WavStatus::ok) return status;
    dataStart_ = static_cast<std::int64_t>(info.dataOffset);
    dataEnd_ = dataStart_ + static_cast<std::int64_t>(info.dataBytes);
    position_ = dataStart_;
    return WavStatus::ok;
}

std::int64_t WavReader::sampleCount() const {
    if (bitsPerSample_ < 8) return 0;
    return (dataEnd_ - dataStart_) / (bitsPerSample_ / 8);
}

std::int64_t WavReader::samplePosition() const {
    if (bitsPerSample_ < 8) return 0;
    return (position_ - dataStart_) / (bitsPerSample_ / 8);
}

bool WavReader::readBlock(int* samples, int count, SampleRange* range) {
    if (!stream_ || count <= 0) return false;
    const std::int64_t bytes = static_cast<std::int64_t>(count) * (bitsPerSample_ / 8);
    if (dataEnd_ - position_ < bytes) {
        position_ = dataEnd_;
        return false;
    }
    if (static_cast<std::int64_t>(block_.size()) < bytes) block_.resize(bytes);
    stream_->read(reinterpret_cast<char*>(block_.data()), bytes);
    if (stream_->gcount() < bytes) {
        position_ = dataEnd_;
        return false;
    }
    position_ += bytes;
    const SampleRange r = convertSamples(block_.data(), static_cast<std::size_t>(bytes),
                                         bitsPerSample_, samples, static_cast<std::size_t>(count));
    if (range) *range = r;
    return true;
}

}  // namespace merlop
