#pragma once

// Hand-made RIFF/WAVE images, for tests of what a reader makes of odd files.

#include <cstdint>
#include <string>
#include <utility>
#include <vector>

namespace merlop::testing {

using RiffBytes = std::vector<std::uint8_t>;

// Appends the low `size` bytes of v, least significant first.
inline void putLittleEndian(RiffBytes& b, std::uint32_t v, int size) {
    for (int i = 0; i < size; ++i) b.push_back(static_cast<std::uint8_t>(v >> (8 * i)));
}

// A chunk whose size field states statedSize, whatever the payload holds; odd payloads padded.
inline RiffBytes chunk(const std::string& id, const RiffBytes& payload, std::uint32_t statedSize) {
    RiffBytes b(id.begin(), id.end());
    putLittleEndian(b, statedSize, 4);
    b.insert(b.end(), payload.begin(), payload.end());
    if (payload.size() % 2) b.push_back(0);
    return b;
}

inline RiffBytes chunk(const std::string& id, const RiffBytes& payload) {
    return chunk(id, payload, static_cast<std::uint32_t>(payload.size()));
}

// The body of a "fmt " chunk, with optional extension bytes after the 16 plain ones.
inline RiffBytes fmtBody(int tag, int channels, std::uint32_t rate, int bits,
                         const RiffBytes& extra = {}) {
    RiffBytes p;
    putLittleEndian(p, static_cast<std::uint32_t>(tag), 2);
    putLittleEndian(p, static_cast<std::uint32_t>(channels), 2);
    putLittleEndian(p, rate, 4);
    putLittleEndian(p, rate * static_cast<std::uint32_t>(channels * bits / 8), 4);
    putLittleEndian(p, static_cast<std::uint32_t>(channels * bits / 8), 2);
    putLittleEndian(p, static_cast<std::uint32_t>(bits), 2);
    p.insert(p.end(), extra.begin(), extra.end());
    return p;
}

inline RiffBytes fmtChunk(int tag, int channels, std::uint32_t rate, int bits,
                          const RiffBytes& extra = {}) {
    return chunk("fmt ", fmtBody(tag, channels, rate, bits, extra));
}

// "RIFF", its size, "WAVE" and the chunks as given.
inline RiffBytes riff(const std::vector<RiffBytes>& chunks) {
    RiffBytes body = {'W', 'A', 'V', 'E'};
    for (const RiffBytes& c : chunks) body.insert(body.end(), c.begin(), c.end());
    RiffBytes b = {'R', 'I', 'F', 'F'};
    putLittleEndian(b, static_cast<std::uint32_t>(body.size()), 4);
    b.insert(b.end(), body.begin(), body.end());
    return b;
}

// The same from (id, payload) pairs, each chunk stating its true size.
inline RiffBytes riff(const std::vector<std::pair<std::string, RiffBytes>>& chunks) {
    std::vector<RiffBytes> built;
    for (const auto& [id, payload] : chunks) built.push_back(chunk(id, payload));
    return riff(built);
}

}  // namespace merlop::testing
