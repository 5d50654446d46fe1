#pragma once

#include <cstddef>
#include <cstdint>

namespace merlop {

// A looped reference sine as a complete in-memory WAV: a 44-byte RIFF/WAVE header (PCM, mono,
// 44100 Hz, 16 bits) and room for 10000 samples, of which the data chunk covers the whole
// periods that fit, so the loop joins without a click.
constexpr std::size_t kSineHeaderBytes = 44;
constexpr std::size_t kSineDataBytes = 20000;
constexpr std::size_t kSineImageBytes = kSineHeaderBytes + kSineDataBytes;
constexpr int kSineRate = 44100;

// Writes the image for `frequency` as heard on a sound card whose true clock is
// kSineRate * calibrationFactor; volume 0..127 scales the amplitude up to 16384. Returns the
// number of samples in the data chunk, or -1 (image untouched) when the frequency or the factor
// is not a positive finite number.
int writeSineImage(std::uint8_t* image, float frequency, float calibrationFactor, int volume);

}  // namespace merlop
