#pragma once

#include <cstdint>

// Little-endian fields of the program's binary files (settings, tunings, WAV), whatever the host.
namespace merlop::le {

inline std::uint32_t get16(const std::uint8_t* p) {
    return static_cast<std::uint32_t>(p[0]) | static_cast<std::uint32_t>(p[1]) << 8;
}

inline std::uint32_t get32(const std::uint8_t* p) {
    return get16(p) | get16(p + 2) << 16;
}

inline void put16(std::uint8_t* p, std::uint32_t v) {
    p[0] = static_cast<std::uint8_t>(v);
    p[1] = static_cast<std::uint8_t>(v >> 8);
}

inline void put32(std::uint8_t* p, std::uint32_t v) {
    put16(p, v);
    put16(p + 2, v >> 16);
}

}  // namespace merlop::le
