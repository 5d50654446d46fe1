#include "tone/gm_programs.h"

#include <gtest/gtest.h>

#include <set>
#include <string>

#include "common/translation.h"

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

std::string bracketed(const char* context, const char* source) {
    return std::string("[") + context + "]" + source;
}

TEST(GmPrograms, NamesAreShownTranslatedWhileEntriesStayEnglish) {
    EXPECT_EQ(gmProgramName(0), "Acou.Piano");
    EXPECT_EQ(gmProgramName(127), "Gun Shot");
    installTranslator(&bracketed);
    EXPECT_EQ(gmProgramName(40), "[GmPrograms]Violin");
    EXPECT_EQ(gmProgramName(-1), "");
    EXPECT_EQ(gmProgramName(128), "");
    EXPECT_STREQ(gmProgramEntry(40), "41 Violin         ");
    installTranslator(nullptr);
    // Every name is the tail of its English entry, so the two lists never part.
    for (int i = 0; i < kGmProgramCount; ++i) {
        const std::string entry = gmProgramEntry(i);
        const std::string name = gmProgramName(i);
        EXPECT_EQ(entry.substr(std::to_string(i + 1).size() + 1, name.size()), name) << entry;
    }
}

}  // namespace
}  // namespace merlop
