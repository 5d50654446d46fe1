#include "settings/extension_settings.h"

#include <gtest/gtest.h>

#include <map>
#include <string>

namespace merlop {
namespace {

ExtensionSettings readFrom(const std::map<std::string, std::string>& file) {
    return readExtensionSettings([&file](const char* key) -> std::optional<std::string> {
        const auto it = file.find(key);
        if (it == file.end()) return std::nullopt;
        return it->second;
    });
}

// A hand-edited file may say a flag in the words INI files use; anything else keeps the default
// rather than switching a feature on by accident.
TEST(ExtensionSettings, FlagsReadAsWrittenAndAnythingElseKeepsTheDefault) {
    EXPECT_EQ(readFrom({}), ExtensionSettings{});
    for (const char* on : {"true", "1", " Yes ", "ON"}) {
        EXPECT_TRUE(readFrom({{"analysis/autoSensitivity", on}}).autoSensitivity) << on;
    }
    for (const char* off : {"false", "0", "no", "banana", "", "2", "truely"}) {
        EXPECT_FALSE(readFrom({{"analysis/autoSensitivity", off}}).autoSensitivity) << off;
    }

    ExtensionSettings changed;
    changed.autoSensitivity = true;
    std::map<std::string, std::string> written;
    writeExtensionSettings(
        changed, [&written](const char* key, const std::string& value) { written[key] = value; });
    EXPECT_EQ(written.size(), std::size(kExtensionFlags));
    EXPECT_EQ(readFrom(written), changed);
}

}  // namespace
}  // namespace merlop
