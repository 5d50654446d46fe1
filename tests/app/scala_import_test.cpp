// File / Import and Export Scala Scale through the main frame: a temperament joins the list and
// tunes the pitch model, any other scale becomes the current custom tuning (as a preset does),
// a bad file changes nothing.
#include <fstream>
#include <string>

#include "app/frame_fixture.h"
#include "pitch/temperament_table.h"
#include "settings/scala_scale.h"

namespace merlop {
namespace {

using testing::Frame;

class ScalaImport : public Frame {
  protected:
    std::string write(const std::string& name, const std::string& text) {
        const std::filesystem::path path = dir / name;
        std::ofstream(path, std::ios::binary) << text;
        return path.string();
    }
    // Cents between two pitch classes (0 = A) in the pitch model.
    double centsBetween(int from, int to) {
        return 100.0 *
               (frame->pitch().temperamentOffset(to) - frame->pitch().temperamentOffset(from));
    }
};

// Pythagorean, from ratios: E is a ditone, 81/64 = 407.82 cents above C.
constexpr char kPythagorean[] =
    "! pythagorean.scl\n!\nPythagorean on C\n 12\n!\n2187/2048\n9/8\n32/27\n81/64\n4/3\n"
    "729/512\n3/2\n6561/4096\n27/16\n16/9\n243/128\n2/1\n";

TEST_F(ScalaImport, ATwelveToneOctaveScaleBecomesAUserTemperamentInUse) {
    start();
    frame->onSize(800, 600);
    ASSERT_EQ(view.tuningItems.size(), static_cast<std::size_t>(TemperamentTable::kRows));
    dialogs.scalaAnswer = write("pyth.scl", kPythagorean);
    frame->importScalaScale();
    EXPECT_TRUE(messages.shown.empty()) << messages.shown.front().text;
    EXPECT_EQ(extensions.stored.userTemperament, "pyth.scl");
    EXPECT_TRUE(std::filesystem::exists(dir / "scales" / "pyth.scl"));
    ASSERT_EQ(view.tuningItems.size(), static_cast<std::size_t>(TemperamentTable::kRows + 1));
    EXPECT_EQ(view.tuningItems.back(), "Pythagorean on C");
    EXPECT_EQ(view.tuningSelected, TemperamentTable::kRows);
    EXPECT_EQ(frame->pitch().temperamentIndex(), TemperamentTable::kRows);
    // Offsets from equal temperament: E 7.82 cents and G 1.96 cents wider from C.
    EXPECT_NEAR(centsBetween(3, 7), 7.82, 0.01);
    EXPECT_NEAR(centsBetween(3, 10), 1.955, 0.01);
    const auto classic = testing::readBytes(dir / "merlo301.cfg");

    // It stays in use at the next start; a built-in row takes over when chosen.
    frame.reset();
    start();
    frame->onSize(800, 600);
    EXPECT_EQ(frame->pitch().temperamentIndex(), TemperamentTable::kRows);
    frame->tuningSelected(5);
    EXPECT_TRUE(extensions.stored.userTemperament.empty());
    EXPECT_EQ(frame->pitch().temperamentIndex(), 5);
    frame->tuningSelected(TemperamentTable::kRows);
    EXPECT_EQ(extensions.stored.userTemperament, "pyth.scl");
    frame->tuningSelected(TemperamentTable::kRows + 1);  // there is none
    EXPECT_EQ(frame->pitch().temperamentIndex(), TemperamentTable::kRows);
    EXPECT_EQ(testing::readBytes(dir / "merlo301.cfg"), classic);  // its layout untouched
}

TEST_F(ScalaImport, AnotherScaleBecomesTheCurrentCustomTuningAndABadOneChangesNothing) {
    start();
    frame->onSize(800, 600);
    // 19 equal steps to the octave: a tuning, not a temperament.
    std::string edo19 = "19-tone equal\n19\n";
    for (int i = 1; i <= 19; ++i) edo19 += std::to_string(1200.0 * i / 19) + "\n";
    dialogs.scalaAnswer = write("edo19.scl", edo19);
    frame->importScalaScale();
    EXPECT_EQ(view.status, "Tuning added: edo19");
    EXPECT_EQ(tunings->currentName(), "edo19");
    EXPECT_EQ(tunings->noteCount(), 96);  // around the reference, as many as a tuning holds
    ASSERT_FALSE(messages.shown.empty());
    EXPECT_NE(messages.shown.back().text.find("Left out"), std::string::npos);

    // Not a number on line 4: one message naming the file and the line, and nothing added.
    const int saves = extensions.saves;
    const int tuningCount = tunings->tuningsInFile();
    messages.shown.clear();
    dialogs.scalaAnswer = write("bad.scl", "Bad\n3\n100.0\nabc\n2/1\n");
    frame->importScalaScale();
    ASSERT_EQ(messages.shown.size(), 1u);
    EXPECT_NE(messages.shown[0].text.find("bad.scl"), std::string::npos) << messages.shown[0].text;
    EXPECT_NE(messages.shown[0].text.find("line 4"), std::string::npos) << messages.shown[0].text;
    EXPECT_EQ(extensions.saves, saves);
    EXPECT_EQ(tunings->tuningsInFile(), tuningCount);
    EXPECT_FALSE(std::filesystem::exists(dir / "scales" / "bad.scl"));
}

TEST_F(ScalaImport, TheTemperamentInUseIsExportedWithItsKeyAndReadsBackTheSame) {
    Settings s;
    s.temperamentIndex = 1;
    s.temperamentKey = 2;
    writeConfig(s);
    start();
    frame->onSize(800, 600);
    dialogs.scalaSaveAnswer = (dir / "out.scl").string();
    frame->exportScalaScale();
    ASSERT_EQ(dialogs.scalaOffered.size(), 1u);
    const std::string trimmed = [] {
        std::string n = TemperamentTable::name(1);
        while (!n.empty() && n.back() == ' ') n.pop_back();
        return n;
    }();
    ScalaScale scale;
    ASSERT_FALSE(loadScalaScale(dir / "out.scl", &scale).failed());
    EXPECT_EQ(scale.description, trimmed + ", key D");
    ASSERT_EQ(scale.size(), 12);
    for (int i = 1; i < 12; ++i) {
        EXPECT_NEAR(scale.pitches[static_cast<std::size_t>(i - 1)].cents,
                    100.0 * i + TemperamentTable::row(1)[static_cast<std::size_t>(i)], 0.001)
            << i;
    }
    EXPECT_NEAR(scale.periodCents(), 1200.0, 1e-9);
}

}  // namespace
}  // namespace merlop
