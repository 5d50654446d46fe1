#include "audio/samples.h"

namespace merlop {

namespace {

inline void track(SampleRange& range, int s) {
    if (s < range.min) range.min = s;
    if (s > range.max) range.max = s;
}

}  // namespace

bool isSupportedSampleDepth(int bitsPerSample) {
    return bitsPerSample == 8 || bitsPerSample == 16 || bitsPerSample == 24 || bitsPerSample == 32;
}

SampleRange convertSamples(const std::uint8_t* bytes, std::size_t byteCount, int bitsPerSample,
                           int* samples, std::size_t count) {
    SampleRange range;
    const std::size_t width = isSupportedSampleDepth(bitsPerSample) ? bitsPerSample / 8 : 0;
    std::size_t available = width > 0 ? byteCount / width : 0;
    if (available > count) available = count;

    const std::uint8_t* p = bytes;
    switch (width) {
        case 1:
            for (std::size_t i = 0; i < available; ++i, ++p) {
                const int s = (static_cast<int>(*p) - 128) * 16;
                samples[i] = s;
                track(range, s);
            }
            break;
        case 2:
            for (std::size_t i = 0; i < available; ++i, p += 2) {
                const auto v = static_cast<std::int16_t>(p[0] | (p[1] << 8));
                const int s = v >> (16 - kAnalysisBits);
                samples[i] = s;
                track(range, s);
            }
            break;
        case 3:
            for (std::size_t i = 0; i < available; ++i, p += 3) {
                // Place the 24 bits at the top of a 32-bit word so the shift carries the sign.
                const auto v = static_cast<std::int32_t>((static_cast<std::uint32_t>(p[0]) << 8) |
                                                         (static_cast<std::uint32_t>(p[1]) << 16) |
                                                         (static_cast<std::uint32_t>(p[2]) << 24));
                const int s = v >> (32 - kAnalysisBits);
                samples[i] = s;
                track(range, s);
            }
            break;
        case 4:
            for (std::size_t i = 0; i < available; ++i, p += 4) {
                const auto v = static_cast<std::int32_t>(static_cast<std::uint32_t>(p[0]) |
                                                         (static_cast<std::uint32_t>(p[1]) << 8) |
                                                         (static_cast<std::uint32_t>(p[2]) << 16) |
                                                         (static_cast<std::uint32_t>(p[3]) << 24));
                const int s = v >> (32 - kAnalysisBits);
                samples[i] = s;
                track(range, s);
            }
            break;
        default:
            break;
    }
    if (available < count) {
        for (std::size_t i = available; i < count; ++i) samples[i] = 0;
        track(range, 0);
    }
    return range;
}

}  // namespace merlop
