// The custom tunings editor without its window: what it refuses on leaving the page, and how a
// name outside ASCII reaches the tunings file and comes back.
#include "settings/custom_tuning_page.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "common/message_box.h"
#include "common/question_box.h"
#include "settings/test_files.h"
#include "settings/tuning_store.h"

namespace merlop {
namespace {

using testing::readBytes;
using testing::TempDir;

struct Controls : CustomPageControls {
    CustomFields shown;
    std::vector<std::string> tunings, notes;
    int tuning = -1, note = -1, focused = 0;
    CustomFields read() const override { return shown; }
    void write(const CustomFields& f) override { shown = f; }
    void setTuningList(const std::vector<std::string>& names, int selected) override {
        tunings = names;
        tuning = selected;
    }
    int tuningSelection() const override { return tuning; }
    void setNoteList(const std::vector<std::string>& lines, int selected) override {
        notes = lines;
        note = selected;
    }
    int noteSelection() const override { return note; }
    void focus(int id) override { focused = id; }
};

struct Answers : QuestionBox {
    std::vector<std::string> asked;
    bool ask(const std::string& text, const std::string&, Buttons) override {
        asked.push_back(text);
        return true;
    }
};

struct Messages : MessageBox {
    std::vector<std::string> shown;
    void show(const std::string& text, const std::string& caption) override {
        shown.push_back(text + "|" + caption);
    }
};

class CustomPage : public ::testing::Test {
  protected:
    void SetUp() override { page_.init(); }
    std::string fileBytes(std::size_t at, std::size_t n) const {
        const auto b = readBytes(dir_ / TuningStore::kFileName);
        return std::string(reinterpret_cast<const char*>(b.data()) + at, n);
    }
    TempDir dir_;
    TuningStore store_{dir_.path()};
    Controls controls_;
    Answers questions_;
    Messages messages_;
    CustomTuningPage page_{store_, controls_, questions_, messages_, 0};
};

TEST_F(CustomPage, WesternNamesAreStoredAsSingleBytesAndAskOnlyOnce) {
    controls_.shown.name = "Ré mineur";
    controls_.shown.description = "Saite Ä";
    ASSERT_TRUE(page_.ok());
    EXPECT_EQ(questions_.asked, (std::vector<std::string>{"Save changes to Ré mineur ?"}));
    EXPECT_EQ(fileBytes(0, 16), std::string("R\xE9 mineur\0\0\0\0\0\0\0", 16));
    EXPECT_EQ(fileBytes(36, 8), std::string("Saite \xC4\0", 8));
    // What was saved is what the controls hold: nothing is left to ask about.
    ASSERT_TRUE(page_.ok());
    EXPECT_EQ(questions_.asked.size(), 1u);
    EXPECT_TRUE(messages_.shown.empty());
    TuningStore again(dir_.path());
    EXPECT_EQ(again.name(0), "Ré mineur");
    EXPECT_EQ(again.description(0), "Saite Ä");
}

std::string times(int n, const std::string& s) {
    std::string out;
    for (int i = 0; i < n; ++i) out += s;
    return out;
}

TEST_F(CustomPage, LongNamesAreCutBetweenCharacters) {
    // Fifteen characters fit, however many bytes UTF-8 gives them.
    const std::string fifteen = times(15, "É");
    controls_.shown.name = fifteen + "ÉÉ";
    controls_.shown.description = "D" + times(16, "ü");
    ASSERT_TRUE(page_.ok());
    EXPECT_EQ(page_.fields().name, fifteen);
    EXPECT_EQ(page_.fields().description, "D" + times(14, "ü"));
    EXPECT_EQ(fileBytes(0, 16), std::string(15, '\xC9') + '\0');
    TuningStore again(dir_.path());
    EXPECT_EQ(again.name(0), fifteen);
    controls_.shown = page_.fields();
    ASSERT_TRUE(page_.ok());
    EXPECT_EQ(questions_.asked.size(), 1u);
}

TEST_F(CustomPage, CharactersTheFileCannotHoldKeepThePage) {
    const auto before = readBytes(dir_ / TuningStore::kFileName);
    controls_.shown.name = "Gitāra";
    EXPECT_FALSE(page_.leave());
    EXPECT_FALSE(page_.ok());
    EXPECT_EQ(controls_.focused, 1015);
    ASSERT_FALSE(messages_.shown.empty());
    EXPECT_EQ(messages_.shown.back(),
              "The name can only hold letters of Western European languages: \"ā\" has no place "
              "in it.|Merlop");
    controls_.shown.name = "Gitara";
    controls_.shown.description = "E 🎸";
    EXPECT_FALSE(page_.ok());
    EXPECT_EQ(controls_.focused, 1017);
    EXPECT_EQ(messages_.shown.back(),
              "The name can only hold letters of Western European languages: \"🎸\" has no place "
              "in it.|Merlop");
    EXPECT_TRUE(questions_.asked.empty());
    EXPECT_EQ(readBytes(dir_ / TuningStore::kFileName), before);
}

TEST_F(CustomPage, OctaveMustBeAnIntegerThenInRange) {
    for (const char* text : {"", "  ", "x", "3.5"}) {
        controls_.shown.octave = text;
        EXPECT_FALSE(page_.leave()) << text;
        EXPECT_EQ(messages_.shown.back(), "Please enter an integer.|Merlop") << text;
        EXPECT_EQ(controls_.focused, 1021);
    }
    controls_.shown.octave = "9";
    EXPECT_FALSE(page_.leave());
    EXPECT_EQ(messages_.shown.back(), "Please enter an integer between 1 and 8.|Merlop");
    controls_.shown.octave = "8";
    EXPECT_TRUE(page_.leave());
}

}  // namespace
}  // namespace merlop
