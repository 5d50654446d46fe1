#pragma once

#include <cstddef>
#include <cstdint>

namespace merlop {

// Every sample reaching the analysis is a signed value on this scale (-2048..2047).
constexpr int kAnalysisBits = 12;

// Largest and smallest converted sample of a block. The starting values lie outside any
// 12-bit sample so that the first sample always replaces them.
struct SampleRange {
    int min = 32000;
    int max = -32000;

    // Peak-to-peak level of the block.
    int level() const { return max > min ? max - min : min - max; }
};

// Depths the conversion understands: 8-bit unsigned, 16-, 24- and 32-bit signed little-endian.
bool isSupportedSampleDepth(int bitsPerSample);

// Converts the recorded bytes of one buffer into `count` samples on the 12-bit scale. When the
// bytes run out first, the remaining samples are zero and the zeros count towards the range, so
// an empty or short buffer never reports a level it does not contain. An unsupported depth
// yields a silent block.
SampleRange convertSamples(const std::uint8_t* bytes, std::size_t byteCount, int bitsPerSample,
                           int* samples, std::size_t count);

}  // namespace merlop
