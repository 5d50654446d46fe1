#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <string>
#include <vector>

#include "display/spectrum_scan.h"
#include "display/wave_trace.h"

namespace merlop {
namespace {

std::vector<int> sineBlock(double period, int n, long long offset, double amp) {
    std::vector<int> b(n);
    for (int i = 0; i < n; ++i) {
        b[i] = static_cast<int>(std::lround(amp * std::sin(2 * M_PI * (offset + i) / period)));
    }
    return b;
}

TEST(WaveTrace, FourPeriodsOfASteadyToneStandStill) {
    const int n = 2048;
    const double period = 11025.0 / 440.0;
    WaveTrace w(800, 600, n, 30);
    double firstPhase = -1;
    for (int b = 0; b < 12; ++b) {
        const auto block = sineBlock(period, n, static_cast<long long>(b) * n, 1000);
        ASSERT_TRUE(w.showWave(block.data(), n, static_cast<float>(period)));
        EXPECT_EQ(w.traceLength(), 100);  // trunc(4 * 25.06)
        // Where the trace starts, in periods of the continuous tone.
        const double start = std::floor(w.phase() + 0.5) + static_cast<double>(b) * n;
        const double cycle = std::fmod(start, period);
        if (b == 0) firstPhase = cycle;
        double diff = std::fabs(cycle - firstPhase);
        diff = std::min(diff, period - diff);
        EXPECT_LE(diff, 1.0) << "block " << b;
    }
}

TEST(WaveTrace, LongPeriodShowsTheRestOfTheBlock) {
    const int n = 256;
    WaveTrace w(800, 600, n, 30);
    const auto block = sineBlock(100.0, n, 0, 500);
    w.showWave(block.data(), n, 100.0f);
    const int start = static_cast<int>(std::floor(w.phase() + 0.5));
    EXPECT_EQ(start, 100 - 256 % 100);  // 44
    EXPECT_EQ(w.traceLength(), n - start);
    EXPECT_EQ(w.trace()[0], block[start]);
    // The trace stops short of the right edge by the offset.
    const IndexImage& img = w.image();
    int lastX = -1;
    for (int x = 0; x < img.width(); ++x) {
        for (int y = 0; y < img.height(); ++y) {
            if (img.at(x, y) == WaveTrace::kTrace) lastX = x;
        }
    }
    const int expectedEnd = static_cast<int>((n - start - 1) * (img.width() / double(n)));
    EXPECT_LE(lastX, expectedEnd);
    EXPECT_GE(lastX, expectedEnd - 3);
}

TEST(WaveTrace, FifthBlockWithoutPitchBlanks) {
    const int n = 512;
    WaveTrace w(400, 300, n, 30);
    const auto block = sineBlock(50.0, n, 0, 800);
    ASSERT_TRUE(w.showWave(block.data(), n, 50.0f));
    const std::vector<std::uint8_t> shown = w.image().bytes();
    for (int k = 0; k < 4; ++k) {
        EXPECT_FALSE(w.showWave(block.data(), n, 0.0f));
        EXPECT_EQ(w.image().bytes(), shown);
    }
    EXPECT_TRUE(w.showWave(block.data(), n, std::numeric_limits<float>::quiet_NaN()));
    for (auto b : w.image().bytes()) ASSERT_EQ(b, 0);
    EXPECT_EQ(w.missCount(), 0);
    // A block with a period does not reset the count.
    w.showWave(block.data(), n, -1.0f);
    w.showWave(block.data(), n, 50.0f);
    EXPECT_EQ(w.missCount(), 1);
}

TEST(WaveTrace, ScaleAndClipping) {
    WaveTrace w(800, 600, 512, 30);
    EXPECT_NEAR(w.fullScale(), 4096.0f, 0.01f);
    const auto labels = w.scaleLabels();
    EXPECT_EQ(labels[0], (TextItem{"-12", 6, 549 - 24}));
    EXPECT_EQ(labels[1], (TextItem{"  0", 6, 273 + 12 + 2}));
    EXPECT_EQ(labels[2], (TextItem{"12", 6, 2}));
    std::vector<int> block(512);
    for (int i = 0; i < 512; ++i) block[i] = (i / 8) % 2 ? 100000 : -100000;
    w.showWave(block.data(), 512, 16.0f);
    const IndexImage& img = w.image();
    bool top = false, bottom = false;
    for (int x = 0; x < img.width(); ++x) {
        top |= img.at(x, 0) == WaveTrace::kTrace;
        bottom |= img.at(x, img.height() - 1) == WaveTrace::kTrace;
    }
    EXPECT_TRUE(top);
    EXPECT_TRUE(bottom);
    // A sample of 4096 reaches the top.
    std::vector<int> full(512, 4096);
    w.showWave(full.data(), 512, 16.0f);
    EXPECT_EQ(img.at(img.width() / 2, 0), WaveTrace::kTrace);
    EXPECT_EQ(WaveTrace(800, 600, 512, std::numeric_limits<int>::max()).scaleLabels()[2].text,
              std::to_string((static_cast<long long>(std::numeric_limits<int>::max()) + 42) / 6));
}

TEST(WaveTrace, SmallImageByteForByte) {
    // 20 x 12 client: no font, plot 18 x 10 at (0, 2); rows padded to 20 bytes.
    WaveTrace w(20, 12, 64, 30);
    ASSERT_EQ(w.image().width(), 18);
    ASSERT_EQ(w.image().height(), 10);
    ASSERT_EQ(w.image().stride(), 20);
    // Period 4.5: 18 samples over 18 columns. y = trunc(5 - s * 10 / 8192).
    std::vector<int> s(64, 0);
    s[9] = 500;    // y 4
    s[10] = 1200;  // y 3
    s[11] = 1200;
    s[12] = 9000;                    // beyond full scale: y 0
    w.showWave(s.data(), 18, 4.5f);  // block length 18: phase stays 0
    ASSERT_EQ(w.phase(), 0.0f);
    // Each segment leaves out its end point, the last one included.
    const char* expected[10] = {
        "............#.....",  //
        "............#.....",  //
        "...........##.....",  //
        "..........##.#....",  //
        ".........#...#....",  //
        "#########....####.",  //
        "..................", "..................", "..................", "..................",
    };
    for (int y = 0; y < 10; ++y) {
        std::string row;
        for (int x = 0; x < 18; ++x) row += w.image().at(x, y) == WaveTrace::kTrace ? '#' : '.';
        EXPECT_EQ(row, expected[y]) << "row " << y;
        for (int x = 18; x < 20; ++x) EXPECT_EQ(w.image().row(y)[x], 0);
    }
}

TEST(WaveTrace, TinyWindowsAndBadInput) {
    const std::vector<int> block(256, 100);
    for (int cx : {0, 1, 5}) {
        for (int cy : {0, 1, 5}) {
            WaveTrace w(cx, cy, 256, 30);
            w.showWave(block.data(), 256, 20.0f);
            w.showWave(nullptr, 256, 20.0f);
            w.showWave(block.data(), 10, std::numeric_limits<float>::infinity());
            w.showWave(block.data(), 256, 1.0e30f);
        }
    }
    WaveTrace w(800, 600, 256, 30);
    w.showWave(block.data(), 100, 200.0f);  // shorter block than expected: stays inside it
    EXPECT_LE(w.traceLength(), 100);
}

SpectrumAxes scanAxes() {
    SpectrumViewSettings s;
    return SpectrumAxes(800, 600, s, SpectrumBand{11025.0f / 2048.0f, 4, 223});
}

TEST(SpectrumScan, PeaksAtTheMiddleOfFlatTopsAndValleys) {
    const SpectrumAxes a = scanAxes();
    // Rise to a three-wide top, fall to a two-wide bottom, rise, then a peak right after a rise.
    const std::vector<int> h = {-1, 5, 9, 9, 9, 4, 2, 2, 6, 8, 3, 3};
    const auto e = scanPeaksAndValleys(h, 1, 12, a);
    ASSERT_EQ(e.size(), 3u);
    EXPECT_EQ(e[0].mark, 'P');
    EXPECT_EQ(e[0].column, 3);
    EXPECT_EQ(e[0].height, 9);
    EXPECT_EQ(e[1].mark, 'V');
    EXPECT_EQ(e[1].column, 7);  // 2, 2: run 1 halves to 0, the column before the rise
    EXPECT_EQ(e[2].mark, 'P');
    EXPECT_EQ(e[2].column, 9);
    EXPECT_EQ(e[0].db, static_cast<int>(9 / a.yScale() + a.dbLow()));
    const double nv = (a.x1() - a.xOffset() + 3) / a.xScale();
    EXPECT_NEAR(e[0].frequency, 13.75 * std::pow(2.0, nv / 12),
                13.75 * std::pow(2.0, nv / 12) * 0.03);
    EXPECT_EQ(formatExtremum(SpectrumExtremum{2, 0, 0, 'V', 110.0f, -12}), "2, 110.00,-12,V");
}

TEST(SpectrumScan, AValleyOfEmptyCellsHasTheLevelOfMinusOne) {
    // A tall dB range on a short plot: under a pixel per dB, so -1 and 0 differ in level.
    SpectrumViewSettings s;
    s.spectrumDbHigh = 700;
    const SpectrumAxes a(400, 200, s, SpectrumBand{11025.0f / 2048.0f, 4, 223});
    ASSERT_LT(a.yScale(), 0.5);
    const auto e = scanPeaksAndValleys({7, -1, -1, 7, 7}, 1, 5, a);
    ASSERT_EQ(e.size(), 2u);
    EXPECT_EQ(e[1].mark, 'V');
    EXPECT_EQ(e[1].column, 2);
    EXPECT_EQ(e[1].height, -1);
    EXPECT_EQ(e[1].db, static_cast<int>(-1 / static_cast<double>(a.yScale()) + a.dbLow()));
    EXPECT_LT(e[1].db, static_cast<int>(a.dbLow()));
}

TEST(SpectrumScan, NoSlopeChangeAndRowsJoined) {
    const SpectrumAxes a = scanAxes();
    EXPECT_TRUE(scanPeaksAndValleys({0, 0, 3, 3, 7, 9}, 2, 3, a).empty());
    EXPECT_TRUE(scanPeaksAndValleys({}, 0, 0, a).empty());
    // A top that spans the end of row 0 and the start of row 1 is reported where it lies.
    const auto e = scanPeaksAndValleys({1, 4, 6, 6, 6, 2}, 2, 3, a);
    ASSERT_EQ(e.size(), 1u);
    EXPECT_EQ(e[0].slice, 1);
    EXPECT_EQ(e[0].column, 0);
    // A history shorter than claimed is read only as far as it goes.
    EXPECT_EQ(scanPeaksAndValleys({1, 4, 2}, 5, 3, a).size(), 1u);
}

}  // namespace
}  // namespace merlop
