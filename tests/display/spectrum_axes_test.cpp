#include "display/spectrum_axes.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>

#include "display/spectrum_image.h"

namespace merlop {
namespace {

// 11025 Hz, 2048-point blocks, band 20..1200 Hz.
const SpectrumBand kBand{11025.0f / 2048.0f, 4, 223};

SpectrumViewSettings flat() {
    SpectrumViewSettings s;
    s.spectrum3D = false;
    return s;
}

TEST(SpectrumAxes, GeometryOf800x600) {
    SpectrumViewSettings s;  // 3D, view angles 0 / 30
    const SpectrumAxes a(800, 600, s, kBand);
    EXPECT_EQ(a.fontH(), 24);
    EXPECT_EQ(a.fontW(), 12);
    EXPECT_EQ(a.plot(), (PixelRect{72, 2, 798, 549}));
    EXPECT_EQ(a.plotW(), 726);
    EXPECT_EQ(a.plotH(), 547);
    EXPECT_EQ(a.half(), 273);
    EXPECT_EQ(a.margin(), 14);
    EXPECT_EQ(a.depthX(), 108);
    EXPECT_EQ(a.depthY(), 0);
    EXPECT_EQ(a.yMax(), 535);
    EXPECT_EQ(a.x1(), 86);
    // xScale from the first right end 798 - 108 - 14; the right end then follows the scale.
    const double semis = a.nvHigh() - a.nvLow();
    EXPECT_NEAR(a.xScale(), (676 - 86 + 1) / semis, 1e-4);
    EXPECT_EQ(a.x2(), static_cast<int>(86 + semis * a.xScale() + 0.5));
    EXPECT_NEAR(a.yScale(), 273.0 / 66.0, 1e-5);
    EXPECT_EQ(a.yNote(), 553);
    // The band is cut to the analysed bins at the top, to the settings at the bottom.
    EXPECT_NEAR(a.nvLow(), 12 * std::log2(20.0 / 13.75), 1e-4);
    EXPECT_NEAR(a.nvHigh(), 12 * std::log2(222 * 11025.0 / 2048 / 13.75), 1e-3);
    // Columns rise with the frequency.
    ASSERT_EQ(a.columns().size(), 220u);
    for (std::size_t k = 1; k < a.columns().size(); ++k) {
        EXPECT_LE(a.columns()[k - 1], a.columns()[k]);
    }
    EXPECT_EQ(a.columns()[0], a.xOfNoteValue(12 * std::log2(3 * 11025.0 / 2048 / 13.75)));
}

TEST(SpectrumAxes, DbLabelsSkipTheCaptionRowAndIndentByValue) {
    const SpectrumAxes a(800, 600, flat(), kBand);
    const auto labels = a.dbLabels();
    ASSERT_EQ(labels.size(), 7u);  // "dB", -30 .. 20; 30 would cover the caption
    EXPECT_EQ(labels[0], (TextItem{"dB", 6, 2}));
    EXPECT_EQ(labels[1], (TextItem{"-30", 6, 473}));  // 549 - 14 - 6 * 547/66 - 12
    EXPECT_EQ(labels[4].text, "0");
    EXPECT_EQ(labels[4].x, 30);
    EXPECT_EQ(labels[5].text, "10");
    EXPECT_EQ(labels[5].x, 18);
    EXPECT_EQ(labels[6].text, "20");
}

TEST(SpectrumAxes, AnyDbRangeGivesFewLabelsAndFiniteScales) {
    SpectrumViewSettings s = flat();
    s.spectrumDbHigh = std::numeric_limits<int>::max();
    const SpectrumAxes a(800, 600, s, kBand);
    EXPECT_GT(a.yScale(), 0.0f);
    EXPECT_LT(a.dbLabels().size(), 1002u);
    s.spectrumDbHigh = s.spectrumDbLow;  // not above the low end: one dB of range
    EXPECT_NEAR(SpectrumAxes(800, 600, s, kBand).yScale(), 547.0f, 1e-3);
}

TEST(SpectrumAxes, NoteAndHzLabels) {
    const SpectrumAxes a(1920, 1080, flat(), kBand);
    const auto labels = a.frequencyLabels();
    ASSERT_GE(labels.size(), 2u);
    EXPECT_EQ(labels[0].text, "Note");
    EXPECT_EQ(labels[1].text, "Hz");
    int hzEnd = 0;
    bool sawA440 = false, sawE = false;
    for (std::size_t k = 2; k < labels.size(); ++k) {
        const TextItem& t = labels[k];
        EXPECT_EQ(t.text.find_first_of("#b"), std::string::npos) << t.text;
        if (t.y == a.yNote() + a.fontH()) {
            EXPECT_GT(t.x, hzEnd) << t.text;
            hzEnd = t.x + (static_cast<int>(t.text.size()) + 1) * a.fontW();
            sawA440 |= t.text == "440";
        } else {
            // About four names fit per octave here: A and E only.
            EXPECT_TRUE(t.text == "A" || t.text == "E") << t.text;
            sawE |= t.text == "E";
        }
    }
    EXPECT_TRUE(sawA440);
    EXPECT_TRUE(sawE);
    // With the instrument key the names are the written ones, as on the keyboard: on an
    // instrument in D the written A sounds as B, so it stands where B sounds.
    SpectrumViewSettings keyed = flat();
    keyed.instrumentKey = 2;
    const SpectrumAxes d(1920, 1080, keyed, kBand);
    const auto written = d.frequencyLabels();
    bool sawWrittenA = false;
    for (std::size_t k = 2; k < written.size(); ++k) {
        const TextItem& t = written[k];
        if (t.y != d.yNote()) continue;
        EXPECT_EQ(t.text.find_first_of("#b"), std::string::npos) << t.text;
        const auto sounding =
            static_cast<int>(std::lround(d.noteValueAtColumn(t.x + d.fontW() / 2)));
        EXPECT_EQ(t.text, d.pitch().noteName(sounding - 2)) << t.x;
        sawWrittenA |= t.text == "A";
    }
    EXPECT_TRUE(sawWrittenA);
}

TEST(SpectrumAxes, TinyAndBrokenInputsStayDefined) {
    for (int cx : {0, 1, 2, 7, 50}) {
        for (int cy : {0, 1, 3, 24, 60}) {
            SpectrumViewSettings s;
            const SpectrumAxes a(cx, cy, s, kBand);
            (void)a.dbLabels();
            (void)a.frequencyLabels();
            SpectrumImage img(cx, cy, s, kBand);
            std::vector<float> level(1025, 10.0f);
            img.update(level.data());
            img.update(level.data());
            img.click(cx / 2, cy / 2);
            s.spectrum3D = false;
            SpectrumImage flatImg(cx, cy, s, kBand);
            flatImg.update(level.data());
        }
    }
    const float nan = std::numeric_limits<float>::quiet_NaN();
    const SpectrumAxes broken(800, 600, flat(), SpectrumBand{nan, 4, 223});
    EXPECT_TRUE(broken.columns().empty());
    EXPECT_TRUE(std::isfinite(broken.xScale()));
}

}  // namespace
}  // namespace merlop
