#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <string>

#include "settings/qt/ini_extension_store.h"
#include "settings/test_files.h"

namespace merlop {
namespace {

std::string textOf(const std::filesystem::path& p) {
    std::ifstream in(p);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

TEST(IniExtensionStore, KeepsItsSettingsAndLeavesOthersAsTheyWere) {
    testing::TempDir dir;
    const std::filesystem::path conf = dir / "merlop.conf";
    IniExtensionStore store(conf);
    EXPECT_EQ(store.load(), ExtensionSettings{});  // no file yet

    // A newer program's key, and one of a section this one does not know.
    std::ofstream(conf) << "[analysis]\nautoSensitivity=true\nfutureKnob=7\n[strobe]\nbands=3\n";
    EXPECT_TRUE(store.load().autoSensitivity);
    ExtensionSettings off;
    ASSERT_TRUE(store.save(off));
    EXPECT_FALSE(store.load().autoSensitivity);
    const std::string text = textOf(conf);
    EXPECT_NE(text.find("futureKnob=7"), std::string::npos) << text;
    EXPECT_NE(text.find("bands=3"), std::string::npos) << text;

    // Source names as sound servers give them: commas, quotes, semicolons, UTF-8.
    ExtensionSettings named;
    named.inputSource = "alsa_input.usb-Focusrite_Scarlett_2i2,0";
    named.inputSourceName = "Scarlett 2i2 \"USB\", Eingang; Mikrofon \u00e0 gauche";
    ASSERT_TRUE(store.save(named));
    EXPECT_EQ(store.load(), named);

    // Bytes that are no INI file at all read as the defaults.
    std::ofstream(conf, std::ios::binary) << std::string("\0\xff\xfe[=\n==]\x01", 11);
    EXPECT_EQ(store.load(), ExtensionSettings{});
}

TEST(IniExtensionStore, AFolderWhereTheFileShouldBeIsNeitherReadNorReplaced) {
    testing::TempDir dir;
    const std::filesystem::path conf = dir / "merlop.conf";
    std::filesystem::create_directory(conf);
    IniExtensionStore store(conf);
    EXPECT_EQ(store.load(), ExtensionSettings{});
    ExtensionSettings on;
    on.autoSensitivity = true;
    EXPECT_FALSE(store.save(on));
    EXPECT_TRUE(std::filesystem::is_directory(conf));
}

}  // namespace
}  // namespace merlop
