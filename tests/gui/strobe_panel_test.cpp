// The strobe panel paints its rows as the model plans them and moves them only when told to.
#include "display/qt/strobe_panel.h"

#include <gtest/gtest.h>

#include <QDir>
#include <QImage>

namespace merlop {
namespace {

std::vector<StrobeRowState> movingRows(double rate, bool resting = false) {
    return {{1, resting, 0.2, rate}, {2, resting, 0.4, 2.0 * rate}, {4, resting, 0.8, 4.0 * rate}};
}

void saveShot(QImage image, const QString& name) {
    QDir().mkpath(MERLOP_SCREENSHOT_DIR);
    ASSERT_TRUE(image.save(QString(MERLOP_SCREENSHOT_DIR "/") + name));
}

TEST(StrobePanel, AdvanceMovesOnlyMovingRowsByTheirRate) {
    StrobePanel panel;
    panel.setRows(movingRows(0.5));
    panel.advance(0.1);
    panel.advance(0.3);
    ASSERT_EQ(panel.rows().size(), 3u);
    EXPECT_NEAR(panel.rows()[0].phase, 0.2 + 0.5 * 0.4, 1e-12);
    EXPECT_NEAR(panel.rows()[2].phase, 0.8 + 2.0 * 0.4, 1e-12);
    panel.rest();
    panel.advance(1.0);
    EXPECT_NEAR(panel.rows()[0].phase, 0.4, 1e-12);
    EXPECT_TRUE(panel.rows()[1].resting);
    panel.setRows(movingRows(-1.0, true));
    panel.advance(1.0);
    EXPECT_EQ(panel.rows()[1].phase, 0.4);
}

// Pixels as planned: red bands, black gaps, a green label, dim bands at rest.
TEST(StrobePanel, PaintsBandsLabelsAndRestingRows) {
    StrobePanel panel;
    panel.resize(600, 200);
    for (const auto& [name, rate, resting] :
         {std::tuple{"strobe-sharp.png", 0.3, false}, std::tuple{"strobe-flat.png", -0.3, false},
          std::tuple{"strobe-rest.png", 0.0, true}}) {
        panel.setRows(movingRows(rate, resting));
        panel.advance(rate > 0.0 ? 0.5 : 0.25);
        const QImage image = panel.grab().toImage();
        const StrobePlan plan = panel.plan();
        ASSERT_EQ(plan.rows.size(), 3u);
        for (const StrobeRowPlan& row : plan.rows) {
            ASSERT_FALSE(row.bands.empty());
            const PixelRect& b = row.bands[row.bands.size() / 2];
            const QColor lit = image.pixelColor((b.left + b.right) / 2, (b.top + b.bottom) / 2);
            EXPECT_EQ(lit, QColor(row.bandColour.r, row.bandColour.g, row.bandColour.b)) << name;
            EXPECT_EQ(lit.red(), resting ? kStrobeRestingBand.r : 255) << name;
            // Just past a band's right edge the row is dark.
            EXPECT_EQ(image.pixelColor(b.right + 1, (b.top + b.bottom) / 2), QColor(Qt::black));
            bool green = false;
            for (int x = row.label.left; x < row.label.right && !green; ++x) {
                for (int y = row.label.top; y < row.label.bottom && !green; ++y) {
                    green = image.pixelColor(x, y).green() > 128;
                }
            }
            EXPECT_TRUE(green) << name << " label " << row.text;
        }
        saveShot(image, name);
    }
}

}  // namespace
}  // namespace merlop
