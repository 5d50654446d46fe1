#include "display/meter_layout.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>

namespace merlop {
namespace {

TEST(MeterLayout, GeometryUsesSinglePrecisionFactors) {
    const MeterLayout l = MeterLayout::compute(800, 240, false);
    EXPECT_EQ(l.fontH, 15);
    EXPECT_EQ(l.fontW, 7);
    // 800 x 0.9f x 0.1f lies just below 72.
    EXPECT_EQ(l.step, 71);
    EXPECT_EQ(l.left, 40);
    EXPECT_EQ(l.centre, 395);
    EXPECT_EQ(l.bar, (PixelRect{40, 144, 750, 222}));
    EXPECT_EQ(l.boxTop, 36);
    EXPECT_EQ(l.boxBottom, 120);
    EXPECT_EQ(l.noteBox, (PixelRect{40, 36, 146, 120}));
    EXPECT_EQ(l.centsBox, (PixelRect{359, 36, 430, 120}));
    EXPECT_EQ(l.frequencyBox, (PixelRect{608, 36, 750, 120}));
    EXPECT_EQ(l.minHalf, 3);
    EXPECT_EQ(MeterLayout::compute(800, 240, true).centsBox, (PixelRect{324, 36, 466, 120}));
}

TEST(MeterLayout, BarExtentAndFill) {
    const MeterLayout l = MeterLayout::compute(800, 240, false);
    // Half a semitone fills the right half exactly.
    EXPECT_EQ(l.barExtent(440.0f, 0.5f), 355);
    EXPECT_EQ(l.barFill(355), (PixelRect{392, 144, 750, 222}));
    EXPECT_EQ(l.barExtent(440.0f, -0.5f), -355);
    EXPECT_EQ(l.barFill(-355), (PixelRect{40, 144, 398, 222}));
    EXPECT_EQ(l.barExtent(440.0f, 0.51f), 0);
    // Near zero, either side, a small bar centred on the line.
    EXPECT_EQ(l.barExtent(440.0f, 0.0f), 3);
    EXPECT_EQ(l.barExtent(440.0f, -0.003f), 3);
    EXPECT_EQ(l.barFill(3).width(), 6);
    EXPECT_EQ(l.barExtent(440.0f, 0.1f), 71);
    EXPECT_EQ(l.barExtent(-1.0f, 0.1f), 0);
    EXPECT_EQ(l.barExtent(0.0f, 0.1f), 0);
    const float nan = std::numeric_limits<float>::quiet_NaN();
    EXPECT_EQ(l.barExtent(nan, 0.1f), 0);
    EXPECT_EQ(l.barExtent(440.0f, nan), 0);
    EXPECT_EQ(l.barExtent(440.0f, std::numeric_limits<float>::infinity()), 0);
}

TEST(MeterLayout, TinySizesStayOrdered) {
    for (int w : {0, 1, 5, 59}) {
        for (int h : {0, 1, 3}) {
            const MeterLayout l = MeterLayout::compute(w, h, true);
            EXPECT_GE(l.step, 0);
            EXPECT_GE(l.fontH, 0);
            EXPECT_GE(l.valueFontWidth(), 0);
            EXPECT_EQ(l.minHalf, 2);
        }
    }
}

TEST(MeterTexts, CentsAndFrequency) {
    EXPECT_EQ(meterCentsText(0.0f, false), "+0");
    EXPECT_EQ(meterCentsText(0.0f, true), "+ 0.0");
    EXPECT_EQ(meterCentsText(-0.0f, true), "+ 0.0");
    EXPECT_EQ(meterCentsText(0.07f, false), "+7");
    EXPECT_EQ(meterCentsText(-0.07f, false), "-7");
    EXPECT_EQ(meterCentsText(0.123f, true), "+12.3");
    EXPECT_EQ(meterCentsText(-0.5f, true), "-50.0");
    EXPECT_EQ(meterCentsText(std::nanf(""), true), "");
    EXPECT_EQ(meterCentsText(1e30f, false), "+99999");
    EXPECT_EQ(meterFrequencyText(440.0f), "  440.00");
    EXPECT_EQ(meterFrequencyText(std::numeric_limits<float>::infinity()), "");
}

TEST(MeterModel, RepaintsOnlyWhatChanged) {
    const MeterLayout l = MeterLayout::compute(800, 240, false);
    MeterModel m;
    MeterModel::Paint p = m.beginPaint(l, false);
    EXPECT_TRUE(p.full);  // nothing was painted before
    EXPECT_TRUE(p.note && p.frequency && p.cents && p.bar);
    EXPECT_EQ(p.noteText, "");

    m.showValues(440.0f, 0.07f, 60, "A 4");
    p = m.beginPaint(l, false);
    EXPECT_FALSE(p.full);
    EXPECT_TRUE(p.note && p.frequency && p.cents && p.bar && p.grid);
    EXPECT_EQ(p.noteText, "A 4");
    EXPECT_EQ(p.centsText, "+7");
    EXPECT_EQ(p.barExtent, 49);

    m.showValues(440.0f, 0.0701f, 60, "A 4");
    p = m.beginPaint(l, false);
    EXPECT_FALSE(p.note || p.frequency || p.bar);
    EXPECT_TRUE(p.cents);

    // A paint without new values draws nothing; a full one redraws the values as well.
    p = m.beginPaint(l, false);
    EXPECT_FALSE(p.note || p.frequency || p.cents || p.bar || p.grid);
    p = m.beginPaint(l, true);
    EXPECT_TRUE(p.full && p.note && p.frequency && p.cents && p.bar);
    EXPECT_EQ(p.frequencyText, "  440.00");

    // No note: boxes empty, bar kept only while frequency and deviation allow it.
    m.showValues(-1.0f, -1.0f, -1, "");
    p = m.beginPaint(l, false);
    EXPECT_TRUE(p.note && p.frequency && p.cents && p.bar);
    EXPECT_EQ(p.noteText + p.frequencyText + p.centsText, "");
    EXPECT_EQ(p.barExtent, 0);

    m.showValues(440.0f, 0.4f, 60, "A 4 and more");
    EXPECT_EQ(m.name(), "A 4 and");
}

// The colour follows the shown digits: exactly the tolerance is in tune, a tenth more is not,
// and a change of colour redraws every read-out and the bar together.
TEST(MeterModel, InTuneWithinTheToleranceAndEveryReadOutFollows) {
    const MeterLayout l = MeterLayout::compute(800, 240, true);
    MeterModel m;
    m.beginPaint(l, false);
    m.showValues(440.0f, 0.02f, 60, "A 4");
    EXPECT_FALSE(m.beginPaint(l, false).inTune);  // no tolerance: the meter's red

    m.setInTuneCents(2.0f);
    MeterModel::Paint p = m.beginPaint(l, false);
    EXPECT_TRUE(p.inTune);
    EXPECT_TRUE(p.note && p.frequency && p.cents && p.bar);
    m.showValues(440.0f, -0.02f, 60, "A 4");
    EXPECT_TRUE(m.beginPaint(l, false).inTune);

    m.showValues(440.0f, 0.021f, 60, "A 4");
    p = m.beginPaint(l, false);
    EXPECT_FALSE(p.inTune);
    EXPECT_TRUE(p.note && p.frequency && p.cents && p.bar);

    m.setInTuneCents(0.5f);
    m.showValues(440.0f, 0.005f, 60, "A 4");
    EXPECT_TRUE(m.beginPaint(l, false).inTune);
    m.showValues(-1.0f, -1.0f, -1, "");
    EXPECT_FALSE(m.beginPaint(l, false).inTune);  // nothing read is never in tune
}

}  // namespace
}  // namespace merlop
