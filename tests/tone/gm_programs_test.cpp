#include "tone/gm_programs.h"

#include <gtest/gtest.h>

#include <set>
#include <string>

namespace merlop {
namespace {

TEST(GmPrograms, EntriesAreNumberBlankAndNamePaddedToFifteen) {
    EXPECT_STREQ(gmProgramEntry(0), "1 Acou.Piano     ");
    EXPECT_STREQ(gmProgramEntry(28), "29 El.Guitar muted");
    EXPECT_STREQ(gmProgramEntry(127), "128 Gun Shot       ");
    EXPECT_STREQ(gmProgramEntry(-1), "");
    EXPECT_STREQ(gmProgramEntry(128), "");
    std::set<std::string> names;
    for (int i = 0; i < kGmProgramCount; ++i) {
        const std::string entry = gmProgramEntry(i);
        const std::string number = std::to_string(i + 1) + " ";
        ASSERT_EQ(entry.compare(0, number.size(), number), 0) << entry;
        EXPECT_EQ(entry.size(), number.size() + 15) << entry;
        names.insert(entry.substr(number.size()));
    }
    EXPECT_EQ(names.size(), 128u);
}

}  // namespace
}  // namespace merlop
