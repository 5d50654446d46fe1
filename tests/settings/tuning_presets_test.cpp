#include "settings/tuning_presets.h"

#include <gtest/gtest.h>

#include <cmath>
#include <set>

#include "settings/test_files.h"

namespace merlop {
namespace {

using testing::readBytes;
using testing::TempDir;

// A misspelt key number is a wrong string a player tunes to: check them against the pitches.
TEST(TuningPresets, EachStringSoundsItsEqualTemperedPitchAtA440) {
    std::set<std::string> ids;
    for (const TuningPreset& p : tuningPresets()) {
        EXPECT_TRUE(ids.insert(p.id).second) << p.id;
        EXPECT_EQ(findTuningPreset(p.id), &p);
        EXPECT_GT(p.tuning.noteCount, 0) << p.id;
        for (int i = 0; i < p.tuning.noteCount; ++i) {
            const TuningNote n = p.tuning.entry(i);
            EXPECT_FALSE(n.description.empty()) << p.id << ' ' << i;
            EXPECT_NEAR(n.frequency, 440.0 * std::pow(2.0, (n.note - 69) / 12.0), 0.01)
                << p.id << ' ' << i;
        }
    }
    EXPECT_EQ(findTuningPreset("kazoo"), nullptr);

    const auto frequency = [](const char* id, int i) {
        return findTuningPreset(id)->tuning.entry(i).frequency;
    };
    EXPECT_NEAR(frequency("bass4", 0), 41.203, 0.001);     // E 1
    EXPECT_NEAR(frequency("drop-d", 0), 73.416, 0.001);    // D 2
    EXPECT_NEAR(frequency("ukulele", 0), 391.995, 0.001);  // re-entrant G 4
    EXPECT_NEAR(frequency("ukulele-low-g", 0), 195.998, 0.001);
    EXPECT_NEAR(frequency("open-d", 3), 184.997, 0.001);  // F# 3
    EXPECT_NEAR(frequency("cello", 0), 65.406, 0.001);    // C 2
    EXPECT_EQ(findTuningPreset("guitar7")->tuning.noteCount, 7);
    EXPECT_EQ(findTuningPreset("guitar7")->tuning.nameText(), "Guitar 7 string");
}

TEST(TuningPresets, AddedAfterTheFileTuningsUntilTheFileIsFull) {
    TempDir dir;
    TuningStore store(dir.path());
    ASSERT_EQ(store.tuningsInFile(), 3);
    ASSERT_EQ(addPresetTuning(store, *findTuningPreset("dadgad")), "");
    EXPECT_EQ(store.tuningsInFile(), 4);
    EXPECT_EQ(store.currentTuning(), 3);
    EXPECT_EQ(TuningStore(dir.path()).name(3), "Guitar DADGAD");

    while (store.tuningsInFile() < TuningStore::kMaxTunings) {
        ASSERT_EQ(addPresetTuning(store, *findTuningPreset("cello")), "");
    }
    store.readTuning(1);
    const auto before = readBytes(store.path());
    const std::string problem = addPresetTuning(store, *findTuningPreset("viola"));
    EXPECT_NE(problem.find("already holds 32"), std::string::npos) << problem;
    EXPECT_EQ(readBytes(store.path()), before);
    EXPECT_EQ(store.currentTuning(), 1);
    EXPECT_EQ(store.currentName(), "Violin");
}

TEST(TuningPresets, AStoreWithoutAFileKeepsItsCurrentTuning) {
    TempDir dir;
    std::filesystem::create_directory(dir / "merlo230.tng");  // a folder where the file should be
    TuningStore store(dir.path());
    ASSERT_FALSE(store.hasFile());
    store.readTuning(2);
    const std::string problem = addPresetTuning(store, *findTuningPreset("bass5"));
    EXPECT_NE(problem.find("cannot be written"), std::string::npos) << problem;
    EXPECT_EQ(store.currentName(), "Bagpipe");
    EXPECT_EQ(store.tuningsInFile(), 3);
}

}  // namespace
}  // namespace merlop
