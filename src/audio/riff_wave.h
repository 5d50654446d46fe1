#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>

namespace merlop {

// Layout of a RIFF/WAVE sound as a player needs it.
struct RiffWaveInfo {
    int formatTag = 0;  // 1 = PCM; an extensible format reports its sub-format here
    int channels = 0;
    std::uint32_t sampleRate = 0;
    int bitsPerSample = 0;
    int blockAlign = 0;  // derived from channels and bits when the file has 0
    std::uint64_t dataOffset = 0;
    // Bytes of sound data actually present (a truncated file reports what it holds; a size of 0
    // means up to the end), rounded down to whole sample frames.
    std::uint64_t dataBytes = 0;
};

// Reads up to n bytes at offset into buffer and returns how many it read.
using ReadAt = std::function<std::size_t(std::uint64_t offset, void* buffer, std::size_t n)>;

// Walks the chunks of a "RIFF"/"WAVE" sound of `size` bytes: false when the tags, the "fmt "
// chunk or the "data" chunk are missing or malformed. An odd chunk without its pad byte is
// walked past when the next chunk plainly starts right after it.
bool parseRiffWave(const ReadAt& readAt, std::uint64_t size, RiffWaveInfo* info);
bool parseRiffWave(const std::uint8_t* image, std::size_t size, RiffWaveInfo* info);

constexpr std::size_t kCanonicalHeaderBytes = 44;

// Writes the 44-byte header of a PCM mono sound: "RIFF", its size, "WAVEfmt ", a 16-byte format
// chunk and the "data" chunk's header for dataBytes of samples.
void writeCanonicalHeader(std::uint8_t* p, std::uint32_t rate, int bitsPerSample,
                          std::uint32_t dataBytes);

}  // namespace merlop
