// Stretched piano tunings as custom tunings of merlo230.tng.
#include "settings/piano_tuning.h"

#include <gtest/gtest.h>

#include <cmath>
#include <string>
#include <vector>

#include "pitch/stretch_tuning.h"
#include "settings/test_files.h"
#include "settings/tuning_presets.h"

namespace merlop {
namespace {

using testing::readBytes;
using testing::TempDir;

std::vector<StretchTarget> targetsAt(double referenceA) {
    const StretchResult r = computeStretch({{21, 6e-4}, {45, 1.5e-4}, {69, 4e-4}, {108, 2e-2}},
                                           referenceA, OctaveRule::mix);
    EXPECT_EQ(r.problem, "");
    return r.targets;
}

TEST(PianoTuning, HoldsTheEightyEightKeysAtA440WhateverTheReference) {
    const std::vector<StretchTarget> targets = targetsAt(442.0);
    const Tuning t = pianoTuning("Grand 442", targets, 442.0);
    EXPECT_EQ(t.nameText(), "Grand 442");
    EXPECT_EQ(t.instrument, 0);
    ASSERT_EQ(t.noteCount, 88);
    EXPECT_EQ(t.description(0), "A0");
    EXPECT_EQ(t.description(1), "Bb0");
    EXPECT_EQ(t.description(87), "C8");
    for (int i = 0; i < 88; ++i) {
        EXPECT_EQ(t.notes[i], 21 + i);
        EXPECT_NEAR(t.frequencies[i], targets[i].frequency * 440.0 / 442.0,
                    1e-6 * targets[i].frequency);
    }
    EXPECT_FLOAT_EQ(t.frequencies[48], 440.0f);  // A4, the reference
}

TEST(PianoTuning, IsAppendedWholeOrNotAtAll) {
    TempDir dir;
    TuningStore store(dir.path());
    ASSERT_EQ(store.tuningsInFile(), 3);
    const std::vector<StretchTarget> targets = targetsAt(440.0);
    ASSERT_EQ(addPianoTuning(store, "Stretch mix", targets, 440.0), "");
    TuningStore reread(dir.path());
    ASSERT_EQ(reread.tuningsInFile(), 4);
    ASSERT_EQ(reread.readTuning(3), 0);
    EXPECT_EQ(reread.currentName(), "Stretch mix");
    ASSERT_EQ(reread.noteCount(), 88);
    EXPECT_NEAR(reread.frequency(0), targets[0].frequency, 1e-4);
    EXPECT_EQ(reread.description(87), "C8");

    const auto before = readBytes(store.path());
    EXPECT_EQ(addPianoTuning(store, "", targets, 440.0), "give the tuning a name");
    EXPECT_NE(addPianoTuning(store, "Sixteen letters!", targets, 440.0).find("longer than 15"),
              std::string::npos);
    std::vector<StretchTarget> short87(targets.begin(), targets.end() - 1);
    EXPECT_NE(addPianoTuning(store, "Short", short87, 440.0), "");
    std::vector<StretchTarget> shuffled = targets;
    std::swap(shuffled[3], shuffled[4]);
    EXPECT_NE(addPianoTuning(store, "Shuffled", shuffled, 440.0), "");
    EXPECT_EQ(readBytes(store.path()), before);

    while (store.tuningsInFile() < TuningStore::kMaxTunings)
        ASSERT_EQ(addPresetTuning(store, *findTuningPreset("cello")), "");
    const auto full = readBytes(store.path());
    EXPECT_NE(addPianoTuning(store, "One too many", targets, 440.0).find("already holds 32"),
              std::string::npos);
    EXPECT_EQ(readBytes(store.path()), full);
}

}  // namespace
}  // namespace merlop
