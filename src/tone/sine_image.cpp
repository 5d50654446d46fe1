#include "tone/sine_image.h"

#include <algorithm>
#include <cmath>
#include <cstddef>
#include <cstring>

#include "audio/riff_wave.h"
#include "common/byte_order.h"

namespace merlop {

int writeSineImage(std::uint8_t* image, float frequency, float calibrationFactor, int volume) {
    if (!(frequency > 0.0f) || !(calibrationFactor > 0.0f)) return -1;
    // Samples per period, kept in single precision like every stored quantity of the program.
    const float period =
        static_cast<float>(kSineRate * static_cast<double>(calibrationFactor) / frequency);
    if (!std::isfinite(period) || !(period > 0.0f)) return -1;
    const int maxSamples = static_cast<int>(kSineDataBytes / 2);
    // Whole periods, one fewer than would fill the buffer; tiny periods are held in range here
    // rather than overflowing an int.
    const double periods =
        std::max(0.0, std::trunc(maxSamples / static_cast<double>(period) - 1.0));
    const int count = static_cast<int>(
        std::clamp(std::trunc(periods * static_cast<double>(period)), 0.0, double(maxSamples)));

    writeCanonicalHeader(image, kSineRate, 16, static_cast<std::uint32_t>(2 * count));

    std::uint8_t* data = image + kSineHeaderBytes;
    std::memset(data, 0, kSineDataBytes);
    volume = std::clamp(volume, 0, 127);
    const double amplitude = std::trunc(volume / 127.0 * 16384.0);
    for (int j = 0; j < count; ++j) {
        const double s =
            std::floor(amplitude * std::sin(j * 6.2831853071 / static_cast<double>(period)) + 0.5);
        le::put16(data + std::ptrdiff_t{2} * j,
                  static_cast<std::uint16_t>(static_cast<std::int16_t>(s)));
    }
    return count;
}

}  // namespace merlop
