#include <gtest/gtest.h>

#include "display/colour_table.h"
#include "display/frame3d.h"

namespace merlop {
namespace {

TEST(ColourTable, FixedEntriesAndTheRedRamp) {
    const auto& t = displayColourTable();
    EXPECT_EQ(t[0], (Rgb{0, 0, 0}));
    EXPECT_EQ(t[2], (Rgb{0, 180, 0}));
    EXPECT_EQ(t[15], (Rgb{153, 153, 153}));
    EXPECT_EQ(t[16], (Rgb{32, 0, 0}));
    EXPECT_EQ(t[239], (Rgb{255, 0, 0}));
    for (int i = 16; i < 240; ++i) EXPECT_EQ(t[i].r, i + 16) << i;
    EXPECT_EQ(t[240], (Rgb{0, 0, 119}));
    EXPECT_EQ(t[246], (Rgb{255, 251, 240}));
    EXPECT_EQ(t[255], (Rgb{255, 255, 255}));
}

TEST(Frame3d, RaisedAndSunkenEdges) {
    const PixelRect r{2, 3, 50, 40};
    auto raised = frame3dLines(r, true);
    EXPECT_EQ(raised[0].colour, kFrameWhite);
    EXPECT_EQ(raised[1].colour, kFrameDarkGrey);
    EXPECT_EQ(raised[1].penWidth, 2);
    EXPECT_EQ(raised[2].x1, 50);
    EXPECT_EQ(raised[2].y1, 40);
    EXPECT_EQ(raised[3].x2, 2);
    EXPECT_EQ(raised[3].y2, 3);
    auto sunken = frame3dLines(r, false);
    EXPECT_EQ(sunken[0].colour, kFrameDarkGrey);
    EXPECT_EQ(sunken[2].colour, kFrameWhite);
    EXPECT_EQ(sunken[2].penWidth, 1);
}

}  // namespace
}  // namespace merlop
