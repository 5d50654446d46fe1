#include <gtest/gtest.h>

#include <cmath>

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

TEST(ReadingSmoother, ADecayingStringThatSlipsAnOctaveForABlockOrTwoDoesNotFlicker) {
    ReadingSmoother s;
    // A 2 dying away, its estimate slipping up or down an octave now and then.
    const float estimates[] = {45.0f,  45.01f, 45.0f, 57.02f, 45.0f,  56.99f, 57.01f,
                               45.02f, 33.0f,  45.0f, 57.0f,  33.01f, 57.0f,  45.01f,
                               56.98f, 57.0f,  -1.0f, 57.0f,  45.0f,  45.0f};
    double level = 1500.0;
    for (float v : estimates) {
        const float shown = s.smooth(v, static_cast<int>(level));
        level *= 0.85;
        if (v < 0.0f) continue;
        EXPECT_NEAR(shown, 45.0f, 0.05f) << v;
    }
}

TEST(ReadingSmoother, ANoteHeldAnOctaveAwayIsFollowed) {
    ReadingSmoother s;
    for (int i = 0; i < 5; ++i) s.smooth(48.0f, 2000);
    // Played legato at the same level: folded while it could be a slip, then taken.
    const float up[] = {60.01f, 59.98f, 60.02f, 60.0f, 60.01f};
    float shown = 0.0f;
    int folded = 0;
    for (float v : up) {
        shown = s.smooth(v, 2000);
        folded += std::fabs(shown - 48.0f) < 0.05f;
    }
    EXPECT_EQ(folded, ReadingSmoother::kOctaveBlocks - 1);
    EXPECT_NEAR(shown, 60.0f, 0.05f);

    // Two octaves down as well.
    for (int i = 0; i < ReadingSmoother::kOctaveBlocks; ++i) shown = s.smooth(36.0f, 2000);
    EXPECT_NEAR(shown, 36.0f, 0.05f);
}

}  // namespace
}  // namespace merlop
