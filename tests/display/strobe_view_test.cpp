// The strobe's paint model: rows of bands that wrap, move with the phase and dim at rest.
#include "display/strobe_view.h"

#include <gtest/gtest.h>

#include <vector>

namespace merlop {
namespace {

std::vector<StrobeRowState> threeRows(double phase, bool resting = false) {
    return {
        {1, resting, phase, 0.0}, {2, resting, 2.0 * phase, 0.0}, {4, resting, 4.0 * phase, 0.0}};
}

int litWidth(const StrobeRowPlan& row) {
    int w = 0;
    for (const PixelRect& b : row.bands) w += b.width();
    return w;
}

// The left edge of the first band that starts inside the row (not cut by its left edge).
int firstWholeBand(const StrobeRowPlan& row) {
    for (const PixelRect& b : row.bands) {
        if (b.left > row.area.left) return b.left;
    }
    return -1;
}

TEST(StrobeView, RowsOfHalfLitBandsInsideTheirAreaWithLabelsOnTheLeft) {
    for (const double phase : {0.0, 0.13, 0.5, 0.97, -2.3}) {
        const StrobePlan plan = planStrobe(600, 200, threeRows(phase));
        ASSERT_EQ(plan.rows.size(), 3u);
        EXPECT_EQ(plan.background, (Rgb{0, 0, 0}));
        EXPECT_EQ(plan.labelColour, kStrobeLabel);
        EXPECT_GT(plan.labelHeight, 10);
        int previousBottom = 0;
        for (const StrobeRowPlan& row : plan.rows) {
            EXPECT_GE(row.area.top, previousBottom);
            previousBottom = row.area.bottom;
            EXPECT_LE(row.label.right, row.area.left);
            EXPECT_LE(row.area.right, 600);
            EXPECT_GT(row.area.height(), 40);
            // Half the row is lit, whatever the phase: the bands wrap round.
            EXPECT_NEAR(litWidth(row), row.area.width() / 2, kStrobeBandsPerRow + 1) << phase;
            for (const PixelRect& b : row.bands) {
                EXPECT_GE(b.left, row.area.left);
                EXPECT_LE(b.right, row.area.right);
                EXPECT_EQ(b.top, row.area.top);
                EXPECT_EQ(b.bottom, row.area.bottom);
            }
        }
        EXPECT_LE(previousBottom, 200);
        EXPECT_EQ(plan.rows[0].text, "1");
        EXPECT_EQ(plan.rows[1].text, "2");
        EXPECT_EQ(plan.rows[2].text, "4");
    }
}

TEST(StrobeView, BandsMoveRightWithTheGrowingPhaseAndRepeatEveryTurn) {
    const StrobePlan start = planStrobe(600, 200, threeRows(0.1));
    const StrobePlan later = planStrobe(600, 200, threeRows(0.15));
    const StrobePlan turned = planStrobe(600, 200, threeRows(1.1));
    const StrobePlan back = planStrobe(600, 200, threeRows(0.05));
    for (std::size_t r = 0; r < 3; ++r) {
        const double period = static_cast<double>(start.rows[r].area.width()) / kStrobeBandsPerRow;
        const double step = 0.05 * (1 << r) * period;  // row r follows partial 2^r
        EXPECT_NEAR(firstWholeBand(later.rows[r]) - firstWholeBand(start.rows[r]), step, 1.0) << r;
        EXPECT_NEAR(firstWholeBand(start.rows[r]) - firstWholeBand(back.rows[r]), step, 1.0) << r;
        EXPECT_EQ(turned.rows[r].bands, start.rows[r].bands) << r;
    }
}

TEST(StrobeView, RestingRowsAreDimmedAndSmallPanelsDrawNoBands) {
    std::vector<StrobeRowState> rows = threeRows(0.3);
    rows[1].resting = true;
    const StrobePlan plan = planStrobe(600, 200, rows);
    EXPECT_EQ(plan.rows[0].bandColour, kStrobeBand);
    EXPECT_EQ(plan.rows[1].bandColour, kStrobeRestingBand);
    EXPECT_EQ(plan.rows[2].bandColour, kStrobeBand);
    EXPECT_FALSE(plan.rows[1].bands.empty());

    for (const auto& [w, h] : {std::pair{0, 0}, std::pair{10, 4}, std::pair{-5, 100}}) {
        const StrobePlan tiny = planStrobe(w, h, threeRows(0.3));
        for (const StrobeRowPlan& row : tiny.rows) EXPECT_TRUE(row.bands.empty()) << w << "x" << h;
    }
    EXPECT_TRUE(planStrobe(600, 200, {}).rows.empty());
}

}  // namespace
}  // namespace merlop
