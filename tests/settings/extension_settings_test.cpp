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
    changed.inTuneFineTenths = 7;
    changed.inputSource = "alsa_input.usb-Focusrite_Scarlett_2i2-00.analog-stereo";
    changed.inputSourceName = "Scarlett 2i2, \"Analog\" = 1; ;";
    std::map<std::string, std::string> written;
    writeExtensionSettings(
        changed, [&written](const char* key, const std::string& value) { written[key] = value; });
    EXPECT_EQ(written.size(), std::size(kExtensionFlags) + std::size(kExtensionNumbers) +
                                  std::size(kExtensionTexts));
    EXPECT_EQ(readFrom(written), changed);
}

TEST(ExtensionSettings, NumbersOutsideTheirRangeOrNotWholeKeepTheDefault) {
    const auto tenths = [](const char* text) {
        return readFrom({{"display/inTuneTenthsOfACent", text}}).inTuneTenths;
    };
    EXPECT_EQ(tenths("35"), 35);
    EXPECT_EQ(tenths(" 1 "), 1);
    EXPECT_EQ(tenths("250"), 250);
    for (const char* bad : {"0", "251", "-5", "2.5", "12abc", "", "99999999999999999999"}) {
        EXPECT_EQ(tenths(bad), ExtensionSettings{}.inTuneTenths) << bad;
    }
}

}  // namespace
}  // namespace merlop
