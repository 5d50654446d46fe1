#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <limits>
#include <vector>

#include "display/spectrum_image.h"

namespace merlop {
namespace {

const SpectrumBand kBand{11025.0f / 2048.0f, 4, 223};

std::vector<float> flatLevel(float db) {
    return std::vector<float>(1025, db);
}

// Colour at height h above row margin of image column col.
std::uint8_t at(const SpectrumImage& w, int col, int h) {
    const IndexImage& img = w.image();
    return img.at(col, img.height() - 1 - (w.axes().margin() + h));
}

TEST(Waterfall, SustainSetsSlicesAndStep) {
    SpectrumViewSettings s;  // 5 s at 200 ms: 25 cycles
    const SpectrumImage big(800, 600, s, kBand);
    // 273 - 0 - 14 = 259 rows: 10 rows per slice.
    EXPECT_EQ(big.step(), 10);
    EXPECT_EQ(big.slices(), 25);
    const SpectrumImage small(200, 60, s, kBand);  // 26 - 0 - 3 = 23 rows
    EXPECT_EQ(small.step(), 1);
    EXPECT_EQ(small.slices(), 23);
    EXPECT_EQ(big.xOff()[24], 103);  // trunc(24 * 108 / 25)
    EXPECT_EQ(big.columnCount(), big.axes().x2() - big.axes().x1() + 1);
    // The frequency axis slopes down from depthY at its low end.
    s.viewAngleA = 40;
    const SpectrumImage tilted(800, 600, s, kBand);
    EXPECT_EQ(tilted.axes().depthY(), 54);  // 0.4 * (547 div 4)
    EXPECT_EQ(tilted.yOff()[0], 54);
    EXPECT_EQ(tilted.yOff().back(), 0);
}

TEST(Waterfall, ZeroViewAnglesStackSlicesStraightUp) {
    SpectrumViewSettings s;
    s.viewAngleA = 0;
    s.viewAngleB = 0;
    SpectrumImage w(800, 600, s, kBand);
    for (int x : w.xOff()) EXPECT_EQ(x, 0);
    for (int y : w.yOff()) EXPECT_EQ(y, 0);
    auto level = flatLevel(0.0f);
    for (int k = 0; k < 5; ++k) w.update(level.data());
    for (int x : w.xOff()) EXPECT_EQ(x, 0);
    // Floor: the rectangle from row margin up to the back slice's base, columns margin..margin+N.
    const IndexImage& bg = w.background();
    const int m = w.axes().margin();
    const int top = m + (w.slices() - 1) * w.step();
    for (int y = 0; y < bg.height(); ++y) {
        const int h = bg.height() - 1 - y;  // rows from the bottom
        for (int x : {m - 1, m, m + w.columnCount(), m + w.columnCount() + 1}) {
            const bool inside = h >= m && h <= top && x >= m && x <= m + w.columnCount();
            ASSERT_EQ(bg.at(x, y), inside ? SpectrumImage::kFloor : 0) << x << "," << h;
        }
    }
}

TEST(Waterfall, AgeingShiftsOffsetsAndHistory) {
    SpectrumViewSettings s;
    SpectrumImage w(800, 600, s, kBand);
    const std::vector<int> before = w.xOff();
    const int d = before[24] - before[23];
    EXPECT_EQ(d, 4);
    auto a = flatLevel(0.0f);
    w.update(a.data());
    const std::vector<int> row0(w.history().begin(), w.history().begin() + w.columnCount());
    EXPECT_EQ(w.xOff()[0], 0);
    EXPECT_EQ(w.xOff()[1], d);
    for (int k = 1; k <= 23; ++k) EXPECT_EQ(w.xOff()[k + 1], before[k] + d) << k;
    auto b = flatLevel(-20.0f);
    w.update(b.data());
    for (int j = 0; j < w.columnCount(); ++j) ASSERT_EQ(w.heightAt(1, j), row0[j]);
    // Never drawn: empty.
    EXPECT_EQ(w.heightAt(2, 100), -1);
}

TEST(Waterfall, LevelsOutsideTheRangeAndBadValues) {
    SpectrumViewSettings s;
    SpectrumImage w(800, 600, s, kBand);
    auto low = flatLevel(-80.0f);
    for (const ColumnPoint& p : w.columnLevels(low.data())) ASSERT_EQ(p.h, 0);
    auto high = flatLevel(90.0f);
    for (const ColumnPoint& p : w.columnLevels(high.data())) ASSERT_NEAR(p.h, w.axes().half(), 1);
    auto bad = flatLevel(std::numeric_limits<float>::quiet_NaN());
    bad[50] = std::numeric_limits<float>::infinity();
    bad[60] = -std::numeric_limits<float>::infinity();
    for (const ColumnPoint& p : w.columnLevels(bad.data())) {
        ASSERT_GE(p.h, 0);
        ASSERT_LE(p.h, w.axes().half());
    }
    w.update(bad.data());
    w.update(nullptr);
}

// The level of each column against a direct average over the indices in its window.
void expectSmoothing(int smoothing) {
    SpectrumViewSettings s;
    s.spectrum3D = false;
    s.curveSmoothing = smoothing;
    SpectrumImage w(1920, 1080, s, kBand);
    std::vector<float> level(1025);
    for (std::size_t i = 0; i < level.size(); ++i) {
        level[i] = static_cast<float>(-40.0 + 30.0 * std::sin(i * 0.7) + (i % 7));
    }
    const SpectrumAxes& a = w.axes();
    const auto& col = a.columns();
    const int hw = static_cast<int>(smoothing * a.xScale() * 4.0 * 0.5);
    const auto points = w.columnLevels(level.data());
    ASSERT_FALSE(points.empty());
    for (const ColumnPoint& p : points) {
        const int lo = std::max(p.x - hw, a.x1());
        const int hi = std::min(p.x + hw, a.x2());
        double sum = 0;
        int n = 0;
        for (std::size_t k = 0; k < col.size(); ++k) {
            if (col[k] >= lo && col[k] <= hi) {
                sum += std::max<double>(level[kBand.loBin + k], a.dbLow() - 1.0);
                ++n;
            }
        }
        double avg = std::trunc(sum / n);
        int h = 0;
        if (avg >= a.dbLow()) {
            avg = std::min<double>(avg, a.dbHigh());
            h = static_cast<int>(std::min((avg - a.dbLow()) * a.yScale(), double(a.yMax())));
        }
        ASSERT_EQ(p.h, h) << "column " << p.x << " smoothing " << smoothing;
    }
    for (std::size_t k = 1; k < points.size(); ++k) ASSERT_LT(points[k - 1].x, points[k].x);
}

TEST(Waterfall, ColumnLevelsAverageTheirWindow) {
    expectSmoothing(0);
    expectSmoothing(1);
    expectSmoothing(3);
}

TEST(Waterfall, FrontSliceIsOutlinedAndFilledOlderSlicesShowBehind) {
    SpectrumViewSettings s;
    SpectrumImage w(800, 600, s, kBand);
    auto loud = flatLevel(0.0f);  // 36 dB above the floor of the range
    w.update(loud.data());
    const int h = w.heightAt(0, 200);
    ASSERT_EQ(h, static_cast<int>(36 * w.axes().yScale()));
    const int m = w.axes().margin();
    const int col = m + 200;
    EXPECT_EQ(at(w, col, h), SpectrumImage::kOutline);
    EXPECT_EQ(at(w, col, h / 2), 239);
    EXPECT_EQ(at(w, col, h + 1), SpectrumImage::kFloor);
    // The first used column is the profile's left edge: outline all the way up.
    int first = 0;
    while (w.heightAt(0, first) < 0) ++first;
    EXPECT_EQ(at(w, m + first, h / 2), SpectrumImage::kOutline);

    // A quieter spectrum in front: the older one shows above it, one step up and d across, in
    // the next colour of the ramp.
    auto quiet = flatLevel(-30.0f);
    w.update(quiet.data());
    const int h2 = w.heightAt(0, 200);
    const int col1 = m + w.xOff()[1] + 200;
    const int top1 = h + w.step();
    EXPECT_EQ(w.sliceColour(1), 234);
    EXPECT_EQ(at(w, col1, (std::max(h2, w.step()) + top1) / 2), 234);
    EXPECT_EQ(at(w, col1, top1), SpectrumImage::kOutline);
    EXPECT_EQ(at(w, col1, top1 + 1), SpectrumImage::kFloor);
}

TEST(Waterfall, ClickReadsOutTheFrequencyAndMovesWithItsSlice) {
    SpectrumViewSettings s;
    SpectrumImage w(800, 600, s, kBand);
    auto level = flatLevel(0.0f);
    w.update(level.data());
    const SpectrumAxes& a = w.axes();
    const int x = a.xOfNoteValue(60.0);  // A 440
    const int yTop = a.yMax() - w.heightAt(0, x - a.x1());
    EXPECT_FALSE(w.click(x, yTop - 3));  // above every profile
    ASSERT_TRUE(w.click(x, yTop + 10));
    const auto& mk = w.marker();
    EXPECT_EQ(mk.slice, 0);
    EXPECT_EQ(mk.column, x - a.plot().left);
    const int hz = std::stoi(mk.text);
    EXPECT_NEAR(hz, 440, 440 * 0.03 / a.xScale() + 1);
    EXPECT_EQ(mk.text.substr(mk.text.size() - 5), " Hz A");
    ASSERT_TRUE(w.readout());
    EXPECT_EQ(w.readout()->x, x);
    w.render();  // paused: redraw with the cross
    const IndexImage& img = w.image();
    const int row = img.height() - 1 - (a.margin() + mk.height);
    EXPECT_EQ(img.at(mk.column, row), SpectrumImage::kMarker);
    EXPECT_EQ(img.at(mk.column + 5, row), SpectrumImage::kMarker);
    EXPECT_EQ(img.at(mk.column, row - 5), SpectrumImage::kMarker);
    const int oldHeight = mk.height, oldColumn = mk.column;
    const int d = w.xOff()[24] - w.xOff()[23];
    w.update(level.data());
    EXPECT_EQ(w.marker().slice, 1);
    EXPECT_EQ(w.marker().height, oldHeight + w.step());
    EXPECT_EQ(w.marker().column, oldColumn + d);
    for (int k = 0; k < 30; ++k) w.update(level.data());
    EXPECT_EQ(w.marker().slice, -1);

    s.spectrum3D = false;
    SpectrumImage flatView(800, 600, s, kBand);
    flatView.update(level.data());
    EXPECT_FALSE(flatView.click(x, yTop + 10));

    // On an instrument in B flat the sounding A is named as its part writes it; Hz stay.
    s.spectrum3D = true;
    s.instrumentKey = -2;
    SpectrumImage keyed(800, 600, s, kBand);
    keyed.update(level.data());
    ASSERT_TRUE(keyed.click(x, yTop + 10));
    EXPECT_EQ(std::stoi(keyed.marker().text), hz);
    EXPECT_EQ(keyed.marker().text.substr(keyed.marker().text.size() - 5), " Hz B");
}

TEST(FlatSpectrum, RedCurveFromTheBaseLine) {
    SpectrumViewSettings s;
    s.spectrum3D = false;
    SpectrumImage w(200, 100, s, SpectrumBand{100.0f, 2, 41});
    std::vector<float> level(64, -50.0f);  // below the range: the base line
    w.update(level.data());
    const IndexImage& img = w.image();
    const int base = w.axes().yMax();
    int reds = 0;
    for (int y = 0; y < img.height(); ++y) {
        for (int x = 0; x < img.width(); ++x) {
            if (img.at(x, y) == SpectrumImage::kCurve) {
                ++reds;
                EXPECT_TRUE(y == base || y == base + 1) << x << "," << y;
            } else {
                EXPECT_EQ(img.at(x, y), 0);
            }
        }
    }
    EXPECT_GT(reds, 20);
    // Bottom-up rows: the curve near the bottom sits early in memory.
    const std::size_t first =
        std::find(img.bytes().begin(), img.bytes().end(), 1) - img.bytes().begin();
    EXPECT_LT(first / img.stride(), static_cast<std::size_t>(img.height() / 2));
}

}  // namespace
}  // namespace merlop
