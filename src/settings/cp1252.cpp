#include "settings/cp1252.h"

#include <array>
#include <cstdint>
#include <utility>

namespace merlop {

namespace {

// Code points of bytes 0x80..0x9F; the rest of the code page is Latin-1.
constexpr std::array<char32_t, 32> kHighControls = {
    0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
    0x2039, 0x0152, 0x008D, 0x017D, 0x008F, 0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
    0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178};

char32_t codePointOf(unsigned char byte) {
    return byte >= 0x80 && byte < 0xA0 ? kHighControls[byte - 0x80] : char32_t{byte};
}

std::optional<unsigned char> byteOf(char32_t c) {
    if (c < 0x80 || (c >= 0xA0 && c <= 0xFF)) return static_cast<unsigned char>(c);
    for (std::size_t i = 0; i < kHighControls.size(); ++i) {
        if (kHighControls[i] == c) return static_cast<unsigned char>(0x80 + i);
    }
    return std::nullopt;
}

void appendUtf8(std::string& out, char32_t c) {
    if (c < 0x80) {
        out += static_cast<char>(c);
    } else if (c < 0x800) {
        out += static_cast<char>(0xC0 | (c >> 6));
        out += static_cast<char>(0x80 | (c & 0x3F));
    } else {
        out += static_cast<char>(0xE0 | (c >> 12));
        out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (c & 0x3F));
    }
}

// The code point starting at text[i] and its length in bytes; length 1 and no code point for a
// byte that starts no valid sequence (stray continuation, overlong form, surrogate, past
// U+10FFFF, cut short).
struct Decoded {
    std::optional<char32_t> code;
    std::size_t length;
};

Decoded decodeAt(std::string_view text, std::size_t i) {
    const auto b = static_cast<unsigned char>(text[i]);
    if (b < 0x80) return {b, 1};
    // 0xC0, 0xC1 and 0xF5.. only ever start overlong or out-of-range forms.
    const std::size_t length = b >= 0xC2 && b <= 0xDF   ? 2
                               : b >= 0xE0 && b <= 0xEF ? 3
                               : b >= 0xF0 && b <= 0xF4 ? 4
                                                        : 0;
    if (length == 0) return {std::nullopt, 1};
    constexpr char32_t kLeast[] = {0, 0, 0x80, 0x800, 0x10000};
    const char32_t least = kLeast[length];
    char32_t c = b & (0x7F >> length);
    if (text.size() - i < length) return {std::nullopt, 1};
    for (std::size_t k = 1; k < length; ++k) {
        const auto next = static_cast<unsigned char>(text[i + k]);
        if ((next & 0xC0) != 0x80) return {std::nullopt, 1};
        c = (c << 6) | (next & 0x3F);
    }
    if (c < least || c > 0x10FFFF || (c >= 0xD800 && c <= 0xDFFF)) return {std::nullopt, 1};
    return {c, length};
}

}  // namespace

Cp1252Text toCp1252(std::string_view utf8) {
    Cp1252Text out;
    out.bytes.reserve(utf8.size());
    for (std::size_t i = 0; i < utf8.size();) {
        const Decoded d = decodeAt(utf8, i);
        const std::optional<unsigned char> byte = d.code ? byteOf(*d.code) : std::nullopt;
        if (byte) {
            out.bytes += static_cast<char>(*byte);
        } else {
            out.bytes += '?';
            if (out.firstUnmappable.empty()) out.firstUnmappable = utf8.substr(i, d.length);
        }
        i += d.length;
    }
    return out;
}

std::optional<std::string> utf8ToCp1252(std::string_view utf8) {
    Cp1252Text t = toCp1252(utf8);
    if (!t.firstUnmappable.empty()) return std::nullopt;
    return std::move(t.bytes);
}

std::string cp1252ToUtf8(std::string_view bytes) {
    std::string out;
    out.reserve(bytes.size() * 2);
    for (const char b : bytes) appendUtf8(out, codePointOf(static_cast<unsigned char>(b)));
    return out;
}

}  // namespace merlop
