// The values of merlop.conf from arbitrary bytes, one "key=value" per line: whatever they say,
// the settings read are what writing them and reading again gives, and an unknown or missing
// key changes nothing.
#include <map>
#include <string>

#include "fuzz_support.h"
#include "settings/extension_settings.h"

using namespace merlop;

namespace {

ExtensionSettings readFrom(const std::map<std::string, std::string>& values) {
    return readExtensionSettings([&values](const char* key) -> std::optional<std::string> {
        const auto it = values.find(key);
        if (it == values.end()) return std::nullopt;
        return it->second;
    });
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    std::map<std::string, std::string> values;
    const std::string text(reinterpret_cast<const char*>(data), size);
    std::size_t start = 0;
    while (start <= text.size()) {
        std::size_t end = text.find('\n', start);
        if (end == std::string::npos) end = text.size();
        const std::string line = text.substr(start, end - start);
        const std::size_t eq = line.find('=');
        if (eq != std::string::npos) values[line.substr(0, eq)] = line.substr(eq + 1);
        start = end + 1;
    }

    const ExtensionSettings read = readFrom(values);
    std::map<std::string, std::string> written;
    writeExtensionSettings(
        read, [&written](const char* key, const std::string& value) { written[key] = value; });
    FUZZ_CHECK(readFrom(written) == read);

    std::map<std::string, std::string> known;
    const auto keep = [&](const char* key) {
        if (const auto it = values.find(key); it != values.end()) known.insert(*it);
    };
    for (const ExtensionFlag& flag : kExtensionFlags) keep(flag.key);
    for (const ExtensionNumber& number : kExtensionNumbers) keep(number.key);
    for (const ExtensionText& text : kExtensionTexts) keep(text.key);
    FUZZ_CHECK(readFrom(known) == read);
    return 0;
}
