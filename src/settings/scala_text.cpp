#include "settings/scala_text.h"

#include <cstdio>

#include "common/translation.h"
#include "settings/cp1252.h"

namespace merlop {

namespace {

int lineOfOffset(std::string_view bytes, std::size_t offset) {
    int line = 1;
    for (std::size_t i = 0; i < offset; ++i) {
        if (bytes[i] == '\n' ||
            (bytes[i] == '\r' && (i + 1 >= bytes.size() || bytes[i + 1] != '\n')))
            ++line;
    }
    return line;
}

bool isControl(unsigned char c, bool cp1252) {
    if (c == '\t' || c == '\n' || c == '\r') return false;
    if (c < 0x20 || c == 0x7F) return true;
    return cp1252 && (c == 0x81 || c == 0x8D || c == 0x8F || c == 0x90 || c == 0x9D);
}

// Length of the UTF-8 sequence starting with b, 0 when b cannot start one.
int sequenceLength(unsigned char b) {
    if (b < 0x80) return 1;
    if (b >= 0xC2 && b <= 0xDF) return 2;
    if (b >= 0xE0 && b <= 0xEF) return 3;
    if (b >= 0xF0 && b <= 0xF4) return 4;
    return 0;
}

}  // namespace

bool isValidUtf8(std::string_view s) {
    std::size_t i = 0;
    while (i < s.size()) {
        const auto b = static_cast<unsigned char>(s[i]);
        const int n = sequenceLength(b);
        if (n == 0 || i + static_cast<std::size_t>(n) > s.size()) return false;
        char32_t c = n == 1 ? b : b & (0x7F >> n);
        for (int k = 1; k < n; ++k) {
            const auto t = static_cast<unsigned char>(s[i + static_cast<std::size_t>(k)]);
            if ((t & 0xC0) != 0x80) return false;
            c = (c << 6) | (t & 0x3F);
        }
        // Overlong forms, surrogates and code points past U+10FFFF.
        const char32_t least = n == 2 ? 0x80 : n == 3 ? 0x800 : 0x10000;
        if (n > 1 && (c < least || (c >= 0xD800 && c <= 0xDFFF) || c > 0x10FFFF)) return false;
        i += static_cast<std::size_t>(n);
    }
    return true;
}

ScalaError decodeScalaText(std::string_view bytes, const std::string& file, std::string* text) {
    if (bytes.substr(0, 3) == "\xEF\xBB\xBF") bytes.remove_prefix(3);
    const bool utf8 = isValidUtf8(bytes);
    for (std::size_t i = 0; i < bytes.size(); ++i) {
        const auto c = static_cast<unsigned char>(bytes[i]);
        if (isControl(c, !utf8)) {
            char hex[8];
            std::snprintf(hex, sizeof hex, "0x%02X", c);
            return ScalaError{
                file, lineOfOffset(bytes, i),
                fill(translate("ScalaFile", "not a text file: it holds the byte %1"), {hex})};
        }
    }
    *text = utf8 ? std::string(bytes) : cp1252ToUtf8(bytes);
    return {};
}

std::vector<std::string_view> splitLines(std::string_view text) {
    std::vector<std::string_view> lines;
    std::size_t start = 0;
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] != '\n' && text[i] != '\r') continue;
        lines.push_back(text.substr(start, i - start));
        if (text[i] == '\r' && i + 1 < text.size() && text[i + 1] == '\n') ++i;
        start = i + 1;
    }
    if (start < text.size()) lines.push_back(text.substr(start));
    return lines;
}

std::string_view trimmed(std::string_view s) {
    const auto blank = [](char c) { return c == ' ' || c == '\t' || c == '\r' || c == '\n'; };
    while (!s.empty() && blank(s.front())) s.remove_prefix(1);
    while (!s.empty() && blank(s.back())) s.remove_suffix(1);
    return s;
}

std::string oneLine(std::string_view s) {
    std::string out(s);
    for (char& c : out) {
        if (c == '\n' || c == '\r' || c == '\t') c = ' ';
    }
    return out;
}

}  // namespace merlop
