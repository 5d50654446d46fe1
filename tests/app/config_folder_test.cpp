#include "app/config_folder.h"

#include <gtest/gtest.h>

#include <fstream>

#include "settings/settings.h"
#include "settings/test_files.h"

namespace merlop {
namespace {

using testing::TempDir;

TEST(ConfigFolder, OwnVariableThenXdgThenHome) {
    EXPECT_EQ(configFolder("/opt/m", "/x", "/home/u"), "/opt/m");
    EXPECT_EQ(configFolder(nullptr, "/x", "/home/u"), "/x/merlop");
    EXPECT_EQ(configFolder("", "/x", "/home/u"), "/x/merlop");
    // Relative or empty XDG values are to be ignored.
    EXPECT_EQ(configFolder(nullptr, "rel", "/home/u"), "/home/u/.config/merlop");
    EXPECT_EQ(configFolder(nullptr, "", "/home/u"), "/home/u/.config/merlop");
    EXPECT_EQ(configFolder(nullptr, nullptr, "/home/u"), "/home/u/.config/merlop");
}

TEST(ConfigFolder, FirstStartMakesAUsableConfigurationAndLaterOnesKeepIt) {
    TempDir dir;
    const auto folder = dir / "a" / "merlop";
    ASSERT_EQ(prepareConfigFolder(folder), "");
    Settings s;
    s.setLocation(folder);
    ASSERT_EQ(s.loadSettings(), 0);
    EXPECT_EQ(s.toImage(), Settings::defaultImage());

    // A user's file, even a damaged one, is never replaced: the tuner reports it instead.
    std::ofstream(folder / "merlo301.cfg", std::ios::binary | std::ios::trunc) << "short";
    ASSERT_EQ(prepareConfigFolder(folder), "");
    EXPECT_EQ(std::filesystem::file_size(folder / "merlo301.cfg"), 5u);
}

TEST(ConfigFolder, AFileInTheFolderPlaceIsReported) {
    TempDir dir;
    std::ofstream(dir / "merlop") << "x";
    const std::string problem = prepareConfigFolder(dir / "merlop");
    EXPECT_NE(problem.find("is not a folder"), std::string::npos) << problem;
    // Nothing is written into, or over, somebody's file.
    EXPECT_EQ(std::filesystem::file_size(dir / "merlop"), 1u);
}

}  // namespace
}  // namespace merlop
