#include "display/piano_layout.h"

#include <gtest/gtest.h>

#include <tuple>

#include "pitch/pitch_model.h"

namespace merlop {
namespace {

TEST(PianoLayout, GeometryOfThreeOctaves) {
    const PianoLayout l = PianoLayout::compute(800, 360, 2, 3);
    EXPECT_EQ(l.numWhite, 21);
    EXPECT_EQ(l.firstKey, 36);
    EXPECT_EQ(l.whiteW, 34);   // 0.9 x 800 / 21
    EXPECT_EQ(l.whiteH, 204);  // min((342 - 34) / 34, 6) x 34
    EXPECT_EQ(l.blackW, 23);
    EXPECT_EQ(l.blackH, 122);
    EXPECT_EQ(l.x0, 43);
    EXPECT_EQ(l.y0, 95);
    EXPECT_EQ(l.whiteArea, (PixelRect{43, 95, 757, 299}));
}

TEST(PianoLayout, WideLowWindowNarrowsTheKeys) {
    const PianoLayout l = PianoLayout::compute(1900, 100, 2, 4);
    EXPECT_EQ(l.whiteW, 23);  // 95 div 4, not 0.9 x 1900 / 28
    EXPECT_EQ(l.x0, (1900 - 28 * 23) / 2);
    EXPECT_GT(l.x0, 500);
}

TEST(PianoLayout, OctaveShiftBringsTheMarkIntoView) {
    const PianoLayout l = PianoLayout::compute(800, 360, 2, 3);
    EXPECT_EQ(l.firstOctaveShown(69), 2);
    EXPECT_EQ(l.firstOctaveShown(72), 3);
    EXPECT_EQ(l.firstOctaveShown(83), 3);
    EXPECT_EQ(l.firstOctaveShown(84), 4);
    EXPECT_EQ(l.firstOctaveShown(95), 4);
    EXPECT_EQ(l.firstOctaveShown(35), 1);
    EXPECT_EQ(l.firstOctaveShown(-1), 2);
    const PianoLayout one = PianoLayout::compute(400, 200, 4, 1);
    for (int key = 0; key < 128; ++key) {
        const int first = PitchModel::midiOfC(one.firstOctaveShown(key));
        EXPECT_GE(key, first);
        EXPECT_LT(key, first + 12);
    }
    EXPECT_EQ(one.firstOctaveShown(2000000000), 9);
}

TEST(PianoLayout, ClicksFindBlackAndWhiteKeys) {
    const PianoLayout l = PianoLayout::compute(800, 360, 2, 3);
    const int top = l.y0 + 5;
    const int low = l.y0 + l.blackH + 5;
    // Second white key (D2 = 38): left edge near the top is C#, right edge D#.
    const int dLeft = l.x0 + l.whiteW;
    EXPECT_EQ(l.keyAt(dLeft + 2, top, 36), 37);
    EXPECT_EQ(l.keyAt(dLeft + 2, low, 36), 38);
    EXPECT_EQ(l.keyAt(dLeft + l.whiteW - 2, top, 36), 39);
    EXPECT_EQ(l.keyAt(dLeft + l.whiteW / 2, top, 36), 38);
    // E has no black key to its right, F none to its left.
    const int eLeft = l.x0 + 2 * l.whiteW;
    EXPECT_EQ(l.keyAt(eLeft + l.whiteW - 2, top, 36), 40);
    EXPECT_EQ(l.keyAt(eLeft + l.whiteW + 2, top, 36), 41);
    // Likewise B and the C above it, inside the keyboard and at its right end.
    const int bLeft = l.x0 + 6 * l.whiteW;
    EXPECT_EQ(l.keyAt(bLeft + l.whiteW - 2, top, 36), 47);
    EXPECT_EQ(l.keyAt(bLeft + l.whiteW + 2, top, 36), 48);
    EXPECT_EQ(l.keyAt(l.x0 + l.numWhite * l.whiteW - 2, top, 36), 71);
    // Last key, shifted view, and misses.
    EXPECT_EQ(l.keyAt(l.whiteArea.right - 15, low, 36), 71);
    EXPECT_EQ(l.keyAt(l.x0 + 2, low, 48), 48);
    EXPECT_EQ(l.keyAt(l.x0 - 1, low, 36), -1);
    EXPECT_EQ(l.keyAt(l.whiteArea.right, low, 36), -1);
    EXPECT_EQ(l.keyAt(400, l.y0 - 1, 36), -1);
    EXPECT_EQ(l.keyAt(400, l.y0 + l.whiteH + 1, 36), -1);
}

TEST(PianoLayout, TinyWindowsHaveNoKeys) {
    for (int w : {0, 1, 20}) {
        for (int h : {0, 1, 4}) {
            const PianoLayout l = PianoLayout::compute(w, h, 2, 4);
            EXPECT_GE(l.whiteW, 0);
            EXPECT_EQ(l.keyAt(l.x0, l.y0, 36), l.whiteW > 0 ? 36 : -1);
        }
    }
    PianoState s;
    PitchModel pitch;
    s.setKey(60, 'T');
    const PianoState::Paint p = s.beginPaint(PianoLayout::compute(1, 1, 2, 4), pitch);
    EXPECT_EQ(p.markKey, 60);
    EXPECT_EQ(p.markRect.width(), 0);
}

TEST(PianoState, MarksAndTheirPaint) {
    const PianoLayout l = PianoLayout::compute(800, 360, 2, 3);
    PitchModel pitch;
    PianoState s;
    ASSERT_TRUE(s.setKey(69, 'T'));
    PianoState::Paint p = s.beginPaint(l, pitch);
    EXPECT_EQ(p.firstKeyDrawn, 36);
    EXPECT_EQ(p.markColour, (Rgb{255, 0, 0}));
    EXPECT_EQ(p.markName, "A");
    // Sixth white key of the last octave, a whiteW square at its bottom.
    EXPECT_EQ(p.markRect, (PixelRect{43 + 19 * 34, 95 + 204 - 34, 43 + 20 * 34, 299}));
    EXPECT_EQ(p.whiteLines.size(), 20u);
    EXPECT_EQ(p.blackKeys.size(), 15u);
    EXPECT_EQ(p.blackKeys[0].left, 43 + 34 - 11);  // C# centred on the C/D border
    ASSERT_EQ(p.octaves.size(), 3u);
    EXPECT_EQ(p.octaves[2].text, "4");
    EXPECT_FALSE(s.setKey(69, 'T'));

    // Playing mark survives readings without a note; a detected note replaces it.
    ASSERT_TRUE(s.setKey(73, 'P'));
    p = s.beginPaint(l, pitch);
    EXPECT_EQ(p.markColour, (Rgb{255, 255, 0}));
    EXPECT_EQ(p.firstKeyDrawn, 48);
    EXPECT_EQ(p.markRect, (PixelRect{542, 183, 565, 217}));  // C#5 over the C5/D5 border
    EXPECT_FALSE(s.setKey(-1, 'T'));
    ASSERT_TRUE(s.setKey(60, 'T'));
    EXPECT_EQ(s.beginPaint(l, pitch).markName, "C");

    // A detected C5 shifts the view; clearing keeps the shift for that paint only.
    ASSERT_TRUE(s.setKey(72, 'T'));
    p = s.beginPaint(l, pitch);
    EXPECT_EQ(p.firstKeyDrawn, 48);
    EXPECT_EQ(p.octaves[0].text, "3");
    EXPECT_EQ(p.octaves[2].text, "5");
    EXPECT_EQ(s.firstKeyShown(), 48);
    ASSERT_TRUE(s.setKey(72, 'C'));
    p = s.beginPaint(l, pitch);
    EXPECT_EQ(p.firstKeyDrawn, 48);
    EXPECT_EQ(p.markKey, -1);
    ASSERT_TRUE(s.setKey(60, 'T'));
    EXPECT_EQ(s.beginPaint(l, pitch).firstKeyDrawn, 36);
}

}  // namespace
}  // namespace merlop

namespace merlop {
namespace {

TEST(PianoKeyRects, EveryKeyRectIsWhereAClickFindsThatKey) {
    for (auto [w, h, octaves] :
         {std::tuple{800, 300, 4}, std::tuple{1920, 400, 7}, std::tuple{333, 120, 2}}) {
        const PianoLayout l = PianoLayout::compute(w, h, 2, octaves);
        const int first = l.firstKey + 12;  // the view moved an octave up
        int whiteSeen = 0;
        for (int key = first; key < first + l.numKeys; ++key) {
            const PixelRect r = l.keyRect(key, first);
            ASSERT_GT(r.width(), 0) << key;
            ASSERT_GT(r.height(), 0) << key;
            // White keys below the black ones, black keys in their middle.
            const bool white = PianoLayout::isWhite(key);
            const int y = white ? r.bottom - 2 : (r.top + r.bottom) / 2;
            EXPECT_EQ(l.keyAt((r.left + r.right) / 2, y, first), key) << w << " " << key;
            EXPECT_GE(r.left, l.whiteArea.left);
            EXPECT_LE(r.right, l.whiteArea.right);
            whiteSeen += white;
        }
        EXPECT_EQ(whiteSeen, l.numWhite);
        EXPECT_EQ(l.keyRect(first - 1, first), PixelRect{});
        EXPECT_EQ(l.keyRect(first + l.numKeys, first), PixelRect{});
    }
}

}  // namespace
}  // namespace merlop

namespace merlop {
namespace {

// The octave numbers stay readable on a small keyboard while there is room above the keys, and
// keep their old size where they were large enough.
TEST(PianoState, OctaveNumbersAreReadableWhereThereIsRoom) {
    PitchModel pitch;
    for (const int width : {320, 440, 800, 1900}) {
        const PianoLayout l = PianoLayout::compute(width, width / 3, 2, 4);
        PianoState s;
        const PianoState::Paint p = s.beginPaint(l, pitch);
        ASSERT_FALSE(p.octaves.empty());
        if (2 * p.nameFontW >= PianoLayout::kMinLabelPixels) {
            EXPECT_EQ(p.octaveFontH, 2 * p.nameFontW) << width;
        } else {
            EXPECT_EQ(p.octaveFontH, std::min(PianoLayout::kMinLabelPixels, l.y0)) << width;
        }
        EXPECT_GE(p.octaves[0].y, 0) << width;
        EXPECT_EQ(p.octaves[0].y + p.octaveFontH, l.y0) << width;
    }
    const PianoLayout small = PianoLayout::compute(440, 150, 2, 4);
    PianoState s;
    EXPECT_GE(s.beginPaint(small, pitch).octaveFontH, PianoLayout::kMinLabelPixels);
}

}  // namespace
}  // namespace merlop
