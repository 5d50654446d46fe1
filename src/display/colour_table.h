#pragma once

#include <array>
#include <cstdint>

namespace merlop {

struct Rgb {
    std::uint8_t r = 0, g = 0, b = 0;
    friend bool operator==(const Rgb&, const Rgb&) = default;
};

// The 256 colours every indexed display image is drawn with. Entry 0 is black; 16..239 is the
// red ramp the spectrum levels use.
const std::array<Rgb, 256>& displayColourTable();

// Named entries the displays draw with.
namespace colour {
inline constexpr std::uint8_t kBlack = 0;
inline constexpr std::uint8_t kRed = 1;
inline constexpr std::uint8_t kGreen = 2;
inline constexpr std::uint8_t kYellow = 3;
inline constexpr std::uint8_t kRampFirst = 16;
inline constexpr std::uint8_t kRampLast = 239;
inline constexpr std::uint8_t kWhite = 255;
}  // namespace colour

}  // namespace merlop
