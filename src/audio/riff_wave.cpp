#include "audio/riff_wave.h"

#include <algorithm>
#include <cstring>

#include "common/byte_order.h"

namespace merlop {

namespace {

constexpr int kExtensible = 0xFFFE;

// How much the bytes at pos look like a chunk header: 0 not at all, 1 an id of four printable
// ASCII characters, 2 a chunk the walk looks for.
int chunkLikeness(const ReadAt& readAt, std::uint64_t size, std::uint64_t pos) {
    std::uint8_t header[8];
    if (pos + 8 > size || readAt(pos, header, 8) != 8) return 0;
    if (std::memcmp(header, "fmt ", 4) == 0 || std::memcmp(header, "data", 4) == 0) return 2;
    const bool printable =
        std::all_of(header, header + 4, [](std::uint8_t c) { return c >= 0x20 && c <= 0x7E; });
    return printable ? 1 : 0;
}

// Reads a "fmt " chunk's body into *found; false when it is too short to describe the samples.
bool readFormat(const ReadAt& readAt, std::uint64_t body, std::uint64_t length,
                RiffWaveInfo* found) {
    std::uint8_t fmt[26] = {};
    const std::size_t want = static_cast<std::size_t>(std::min<std::uint64_t>(length, 26));
    if (length < 16 || readAt(body, fmt, want) != want) return false;
    found->formatTag = static_cast<int>(le::get16(fmt));
    found->channels = static_cast<int>(le::get16(fmt + 2));
    found->sampleRate = le::get32(fmt + 4);
    found->blockAlign = static_cast<int>(le::get16(fmt + 12));
    found->bitsPerSample = static_cast<int>(le::get16(fmt + 14));
    // Some writers leave the block align at 0; the frame size follows from the format.
    if (found->blockAlign == 0) {
        found->blockAlign = found->channels * ((found->bitsPerSample + 7) / 8);
    }
    if (found->formatTag == kExtensible && length >= 26) {
        found->formatTag = static_cast<int>(le::get16(fmt + 24));
    }
    return true;
}

// Sets the sample range of *found from a "data" chunk's position and declared length.
void placeData(std::uint64_t size, std::uint64_t body, std::uint64_t length, RiffWaveInfo* found) {
    // A recorder that cannot seek back leaves the size at 0 (or too large): the samples then run
    // to the end of the file.
    const std::uint64_t available = size - std::min(size, body);
    const std::uint64_t present = length == 0 ? available : std::min(length, available);
    found->dataOffset = body;
    found->dataBytes = present - present % static_cast<std::uint64_t>(found->blockAlign);
}

// Where the chunk after the one whose body starts at `body` begins.
std::uint64_t nextChunk(const ReadAt& readAt, std::uint64_t size, std::uint64_t body,
                        std::uint64_t length) {
    // Chunks are word aligned, but many writers leave out the pad byte after an odd one: the
    // unpadded position counts when a chunk looks likelier to start there.
    std::uint64_t pos = body + length;
    if ((length & 1) != 0 &&
        chunkLikeness(readAt, size, pos) <= chunkLikeness(readAt, size, pos + 1)) {
        pos += 1;
    }
    return pos;
}

// Chunk ids are four bytes with no terminator.
template <std::size_t N>
void putId(std::uint8_t* p, const char (&id)[N]) {
    std::copy_n(id, N - 1, p);
}

}  // namespace

bool parseRiffWave(const ReadAt& readAt, std::uint64_t size, RiffWaveInfo* info) {
    std::uint8_t head[12];
    if (size < 12 || readAt(0, head, 12) != 12) return false;
    if (std::memcmp(head, "RIFF", 4) != 0 || std::memcmp(head + 8, "WAVE", 4) != 0) return false;

    RiffWaveInfo found;
    bool haveFormat = false;
    std::uint64_t pos = 12;
    while (pos + 8 <= size) {
        std::uint8_t chunk[8];
        if (readAt(pos, chunk, 8) != 8) return false;
        const std::uint64_t length = le::get32(chunk + 4);
        const std::uint64_t body = pos + 8;
        if (std::memcmp(chunk, "fmt ", 4) == 0) {
            if (!readFormat(readAt, body, length, &found)) return false;
            haveFormat = true;
        } else if (std::memcmp(chunk, "data", 4) == 0) {
            if (!haveFormat || found.blockAlign <= 0) return false;
            placeData(size, body, length, &found);
            *info = found;
            return true;
        }
        pos = nextChunk(readAt, size, body, length);
    }
    return false;
}

bool parseRiffWave(const std::uint8_t* image, std::size_t size, RiffWaveInfo* info) {
    const ReadAt readAt = [image, size](std::uint64_t offset, void* buffer, std::size_t n) {
        if (offset >= size) return std::size_t{0};
        const std::size_t count = std::min<std::size_t>(n, size - offset);
        std::memcpy(buffer, image + offset, count);
        return count;
    };
    return parseRiffWave(readAt, size, info);
}

void writeCanonicalHeader(std::uint8_t* p, std::uint32_t rate, int bitsPerSample,
                          std::uint32_t dataBytes) {
    const auto width = static_cast<std::uint32_t>(bitsPerSample / 8);
    putId(p, "RIFF");
    le::put32(p + 4, 36 + dataBytes);
    putId(p + 8, "WAVEfmt ");
    le::put32(p + 16, 16);
    le::put16(p + 20, 1);  // PCM
    le::put16(p + 22, 1);  // mono
    le::put32(p + 24, rate);
    le::put32(p + 28, rate * width);
    le::put16(p + 32, width);
    le::put16(p + 34, static_cast<std::uint32_t>(bitsPerSample));
    putId(p + 36, "data");
    le::put32(p + 40, dataBytes);
}

}  // namespace merlop
