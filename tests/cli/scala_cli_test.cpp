// merlop-cli scala import and export, run in-process in throw-away settings folders.
#include <gtest/gtest.h>

#include <cmath>
#include <filesystem>
#include <sstream>
#include <string>
#include <vector>

#include "cli.h"
#include "cli/cli_run.h"
#include "pitch/temperament_table.h"
#include "settings/scala_convert.h"
#include "settings/scala_scale.h"
#include "settings/test_files.h"
#include "settings/tuning_store.h"
#include "settings/user_temperaments.h"

namespace merlop {
namespace {

namespace fs = std::filesystem;
using testing::TempDir;

using testing::CliOutcome;
using testing::runIn;

fs::path put(const TempDir& dir, const std::string& name, const std::string& text) {
    const fs::path p = dir / name;
    testing::writeBytes(p, testing::Bytes(text.begin(), text.end()));
    return p;
}

std::string text(const fs::path& p) {
    const testing::Bytes b = testing::readBytes(p);
    return std::string(b.begin(), b.end());
}

std::string equalScale(int steps) {
    std::string s = std::to_string(steps) + "-tone equal\n" + std::to_string(steps) + "\n";
    for (int i = 1; i < steps; ++i) s += std::to_string(1200.0 * i / steps) + "\n";
    return s + "2/1\n";
}

TEST(CliScala, TwelveNoteOctaveScaleBecomesTheNextUserTemperament) {
    TempDir dir;
    const fs::path pyth = put(dir, "pyth.scl",
                              "Pythagorean\n12\n256/243\n9/8\n32/27\n81/64\n4/3\n729/512\n3/2\n"
                              "128/81\n27/16\n16/9\n243/128\n2/1\n");
    CliOutcome r = runIn({"scala", "import", pyth.string(), "--dir", dir.path().string()});
    ASSERT_EQ(r.status, 0) << r.err;
    EXPECT_NE(r.out.find("user temperament 75 Pythagorean"), std::string::npos) << r.out;
    EXPECT_EQ(text(dir / "scales/pyth.scl"), text(pyth));
    r = runIn({"scala", "import", pyth.string(), "--dir", dir.path().string(), "--name", "A pyth"});
    ASSERT_EQ(r.status, 0) << r.err;
    // "A_pyth.scl" sorts before "pyth.scl".
    EXPECT_NE(r.out.find("scales/A_pyth.scl: user temperament 75"), std::string::npos) << r.out;
    // The same name again is refused and leaves the copy as it was.
    r = runIn({"scala", "import", pyth.string(), "--dir", dir.path().string()});
    EXPECT_EQ(r.status, 1);
    EXPECT_NE(r.err.find("already exists"), std::string::npos);

    // Exporting the user temperament gives its offsets back.
    const fs::path out = dir / "back.scl";
    r = runIn({"scala", "export", "76", "--key", "G", "--dir", dir.path().string(), out.string()});
    ASSERT_EQ(r.status, 0) << r.err;
    ScalaScale back;
    ASSERT_FALSE(loadScalaScale(out, &back).failed());
    EXPECT_EQ(back.description, "Pythagorean, key G");
    EXPECT_NEAR(temperamentOffsets(back)[7], 1200.0 * std::log2(1.5) - 700.0, 0.001);
    r = runIn({"scala", "export", "77", "--dir", dir.path().string(), (dir / "x.scl").string()});
    EXPECT_EQ(r.status, 2);
    EXPECT_FALSE(fs::exists(dir / "x.scl"));
}

TEST(CliScala, OtherScalesBecomeCustomTuningsAndSayWhatWasLeftOut) {
    TempDir dir;
    const fs::path edo = put(dir, "19edo.scl", equalScale(19));
    CliOutcome r = runIn({"scala", "import", edo.string(), "--dir", dir.path().string()});
    ASSERT_EQ(r.status, 0) << r.err;
    EXPECT_NE(r.out.find("custom tuning 3 19edo, 96 notes"), std::string::npos) << r.out;
    EXPECT_NE(r.out.find("MIDI keys 0-11, 108-127"), std::string::npos) << r.out;
    EXPECT_FALSE(fs::exists(dir / "scales"));

    // A 12-note scale with a keyboard map asks for frequencies, so it becomes a tuning too.
    const fs::path map = put(dir, "a.kbm",
                             "12\n60\n71\n60\n69\n432\n12\n0\n1\n2\n3\n4\n5\n6\n7\n"
                             "8\n9\n10\n11\n");
    r = runIn({"scala", "import", put(dir, "12.scl", equalScale(12)).string(), "--kbm",
               map.string(), "--name", "A432", "--dir", dir.path().string()});
    ASSERT_EQ(r.status, 0) << r.err;
    EXPECT_NE(r.out.find("custom tuning 4 A432, 12 notes"), std::string::npos) << r.out;
    TuningStore store(dir.path());
    ASSERT_EQ(store.readTuning(4), 0);
    EXPECT_NEAR(store.frequency(9), 432.0f, 1e-3f);
    EXPECT_NEAR(store.frequency(0), 432.0 * std::pow(2.0, -9.0 / 12.0), 1e-3);

    // Full at 32 tunings: refused with the store's message, nothing added.
    for (int i = store.tuningsInFile(); i < TuningStore::kMaxTunings; ++i) {
        ASSERT_EQ(runIn({"scala", "import", edo.string(), "--dir", dir.path().string()}).status, 0);
    }
    r = runIn({"scala", "import", edo.string(), "--dir", dir.path().string()});
    EXPECT_EQ(r.status, 1);
    EXPECT_NE(r.err.find("32 tunings"), std::string::npos) << r.err;
}

TEST(CliScala, BadFilesAndArgumentsAreRefusedNamingFileAndLine) {
    TempDir dir;
    const fs::path bad = put(dir, "bad.scl", "d\n2\n3/2\n3/0\n");
    CliOutcome r = runIn({"scala", "import", bad.string(), "--dir", dir.path().string()});
    EXPECT_EQ(r.status, 2);
    EXPECT_EQ(r.err,
              "merlop-cli scala: " + bad.string() + ": line 4: a ratio with a zero denominator\n");
    const fs::path edo = put(dir, "19.scl", equalScale(19));
    const fs::path badMap = put(dir, "bad.kbm", "1\n0\n127\n60\n69\n440\n0\n0\n1\n");
    r = runIn(
        {"scala", "import", edo.string(), "--kbm", badMap.string(), "--dir", dir.path().string()});
    EXPECT_EQ(r.status, 2);
    EXPECT_NE(r.err.find("bad.kbm: line 9:"), std::string::npos) << r.err;
    EXPECT_FALSE(fs::exists(dir / TuningStore::kFileName));
    r = runIn({"scala", "import", (dir / "none.scl").string(), "--dir", dir.path().string()});
    EXPECT_EQ(r.status, 2);
    EXPECT_NE(r.err.find("none.scl: cannot open"), std::string::npos);
    EXPECT_EQ(runIn({"scala", "export", "3", "--key", "H", "o.scl"}).status, 2);
    EXPECT_EQ(runIn({"scala", "frobnicate"}).status, 2);
    EXPECT_EQ(runIn({"scala", "import", edo.string(), "--dir", (dir / "nowhere").string()}).status,
              2);
}

TEST(CliScala, ExportAllWritesEveryRowOnceAndTheyImportBack) {
    TempDir dir;
    const fs::path out = dir / "out";
    fs::create_directory(out);
    CliOutcome r = runIn({"scala", "export", "--all", out.string()});
    ASSERT_EQ(r.status, 0) << r.err;
    const UserTemperaments user(dir.path());
    for (int i = 0; i < TemperamentTable::kRows; ++i) {
        const fs::path file = out / (safeFileName(TemperamentTable::name(i)) + ".scl");
        ASSERT_TRUE(fs::exists(file)) << file;
        const UserTemperamentImport in = user.import(file, file.filename().string());
        ASSERT_FALSE(in.error.failed()) << in.error.text();
    }
    const std::vector<UserTemperament> all = user.list();
    ASSERT_EQ(all.size(), static_cast<std::size_t>(TemperamentTable::kRows));
    for (const UserTemperament& t : all) {
        int row = -1;
        for (int i = 0; i < TemperamentTable::kRows; ++i) {
            if (temperamentDescription(TemperamentTable::name(i), 0) == t.name) row = i;
        }
        ASSERT_GE(row, 0) << t.name;
        for (int k = 0; k < 12; ++k)
            ASSERT_NEAR(t.offsets[k], TemperamentTable::row(row)[k], 0.001) << t.name << k;
    }
    // A second run finds the files in the way and writes nothing.
    const fs::path first = out / "Equal_temperament.scl";
    testing::writeBytes(first, {'x'});
    r = runIn({"scala", "export", "--all", out.string()});
    EXPECT_EQ(r.status, 1);
    EXPECT_EQ(text(first), "x");
    r = runIn({"scala", "export", "0", first.string()});
    EXPECT_EQ(r.status, 1);
    EXPECT_EQ(text(first), "x");
}

}  // namespace
}  // namespace merlop
