#include "settings/extension_settings.h"

#include <algorithm>
#include <cctype>

namespace merlop {

namespace {

std::optional<bool> flagOf(std::string text) {
    // Blanks and case are the hand-editor's; the words are those INI files commonly use.
    const auto blank = [](unsigned char c) { return std::isspace(c) != 0; };
    text.erase(text.begin(), std::find_if_not(text.begin(), text.end(), blank));
    text.erase(std::find_if_not(text.rbegin(), text.rend(), blank).base(), text.end());
    std::transform(text.begin(), text.end(), text.begin(),
                   [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    if (text == "true" || text == "1" || text == "yes" || text == "on") return true;
    if (text == "false" || text == "0" || text == "no" || text == "off") return false;
    return std::nullopt;
}

std::optional<int> numberOf(const std::string& text, int lo, int hi) {
    std::size_t at = 0;
    while (at < text.size() && std::isspace(static_cast<unsigned char>(text[at])) != 0) ++at;
    bool negative = false;
    if (at < text.size() && (text[at] == '-' || text[at] == '+')) negative = text[at++] == '-';
    long long value = 0;
    std::size_t digits = 0;
    for (; at < text.size() && std::isdigit(static_cast<unsigned char>(text[at])) != 0; ++at) {
        if (++digits > 9) return std::nullopt;
        value = value * 10 + (text[at] - '0');
    }
    while (at < text.size() && std::isspace(static_cast<unsigned char>(text[at])) != 0) ++at;
    if (digits == 0 || at != text.size()) return std::nullopt;
    if (negative) value = -value;
    if (value < lo || value > hi) return std::nullopt;
    return static_cast<int>(value);
}

}  // namespace

ExtensionSettings readExtensionSettings(const ExtensionLookup& lookup) {
    ExtensionSettings settings;
    for (const ExtensionFlag& flag : kExtensionFlags) {
        const std::optional<std::string> text = lookup(flag.key);
        if (!text) continue;
        if (const std::optional<bool> value = flagOf(*text)) settings.*flag.member = *value;
    }
    for (const ExtensionNumber& number : kExtensionNumbers) {
        const std::optional<std::string> text = lookup(number.key);
        if (!text) continue;
        if (const std::optional<int> value = numberOf(*text, number.lo, number.hi)) {
            settings.*number.member = *value;
        }
    }
    for (const ExtensionText& entry : kExtensionTexts) {
        const std::optional<std::string> text = lookup(entry.key);
        if (text && text->size() <= kMaxExtensionText) settings.*entry.member = *text;
    }
    return settings;
}

void writeExtensionSettings(
    const ExtensionSettings& settings,
    const std::function<void(const char* key, const std::string& value)>& put) {
    for (const ExtensionFlag& flag : kExtensionFlags) {
        put(flag.key, settings.*flag.member ? "true" : "false");
    }
    for (const ExtensionNumber& number : kExtensionNumbers) {
        put(number.key, std::to_string(settings.*number.member));
    }
    for (const ExtensionText& entry : kExtensionTexts) put(entry.key, settings.*entry.member);
}

}  // namespace merlop
