#pragma once

// Windows-1252, the single-byte text of the tunings file's name fields, and UTF-8, the text of
// the rest of the program. The five bytes the code page leaves undefined (0x81, 0x8D, 0x8F, 0x90,
// 0x9D) stand for the C1 controls of the same number, as Windows reads them, so every byte has a
// character and any field read from a file is written back unchanged.

#include <optional>
#include <string>
#include <string_view>

namespace merlop {

struct Cp1252Text {
    std::string bytes;            // one byte per character; '?' for each that has none
    std::string firstUnmappable;  // that character as UTF-8 (a bad byte as is); empty when none
};

Cp1252Text toCp1252(std::string_view utf8);
// Empty when a character has no single byte, or when the text is no valid UTF-8.
std::optional<std::string> utf8ToCp1252(std::string_view utf8);
std::string cp1252ToUtf8(std::string_view bytes);

}  // namespace merlop
