#include <gtest/gtest.h>

#include "audio/reading_smoother.h"

namespace merlop {
namespace {

TEST(ReadingSmoother, AveragesSmallStepsFollowsModerateOnesRestartsOnLargeOnes) {
    ReadingSmoother s;
    EXPECT_FLOAT_EQ(s.smooth(60.0f, 100), 60.0f);
    EXPECT_FLOAT_EQ(s.smooth(60.1f, 100), 0.7f * 60.0f + 0.3f * 60.1f);
    EXPECT_EQ(s.stableCount(), 1);
    const float held = s.value();
    EXPECT_FLOAT_EQ(s.smooth(held + 0.3f, 100), held + 0.3f);
    EXPECT_FLOAT_EQ(s.smooth(62.0f, 100), 62.0f);
    EXPECT_EQ(s.stableCount(), 0);
}

TEST(ReadingSmoother, OneGapRaisesTheWeightTwoGapsForget) {
    ReadingSmoother s;
    s.smooth(60.0f, 100);
    EXPECT_EQ(s.smooth(-1.0f, 100), -1.0f);
    EXPECT_FLOAT_EQ(s.value(), 60.0f);
    EXPECT_FLOAT_EQ(s.smooth(60.1f, 100), 0.35f * 60.0f + 0.65f * 60.1f);

    s.smooth(-1.0f, 100);
    s.smooth(-1.0f, 100);
    EXPECT_EQ(s.value(), -1.0f);
    EXPECT_FLOAT_EQ(s.smooth(60.1f, 100), 60.1f);  // a fresh start, not an average
}

TEST(ReadingSmoother, FoldsOctaveSlipsOfASteadyNoteOnly) {
    ReadingSmoother s;
    s.smooth(48.0f, 100);
    EXPECT_FLOAT_EQ(s.smooth(60.0f, 100), 60.0f);  // not steady yet: a new note

    s.smooth(48.0f, 100);
    s.smooth(48.05f, 100);
    const float held = s.value();
    const float folded = s.smooth(60.05f, 100);
    EXPECT_NEAR(folded, 0.7 * held + 0.3 * 48.05, 1e-4);
    EXPECT_NEAR(s.smooth(24.0f, 100), 0.7 * folded + 0.3 * 48.0, 1e-4);
    EXPECT_FLOAT_EQ(s.smooth(55.0f, 100), 55.0f);  // another pitch class stays itself

    s.smooth(55.0f, 100);
    EXPECT_FLOAT_EQ(s.smooth(67.0f, 151), 67.0f);  // louder by half: a new attack
    s.reset();
    EXPECT_EQ(s.value(), -1.0f);
    EXPECT_FLOAT_EQ(s.alpha(), 0.3f);
}

}  // namespace
}  // namespace merlop
