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

}  // namespace

ExtensionSettings readExtensionSettings(const ExtensionLookup& lookup) {
    ExtensionSettings settings;
    for (const ExtensionFlag& flag : kExtensionFlags) {
        const std::optional<std::string> text = lookup(flag.key);
        if (!text) continue;
        if (const std::optional<bool> value = flagOf(*text)) settings.*flag.member = *value;
    }
    return settings;
}

void writeExtensionSettings(
    const ExtensionSettings& settings,
    const std::function<void(const char* key, const std::string& value)>& put) {
    for (const ExtensionFlag& flag : kExtensionFlags) {
        put(flag.key, settings.*flag.member ? "true" : "false");
    }
}

}  // namespace merlop
