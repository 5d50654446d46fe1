// The spectrum and wave form windows as a user sees them: screenshots at two sizes, pixel facts
// taken from the renderers' own geometry, and a plucked string through the real analysis.
#include <gtest/gtest.h>

#include <QApplication>
#include <QDir>
#include <QImage>
#include <QMouseEvent>
#include <cmath>
#include <string>
#include <vector>

#include "audio/analysis_cycle.h"
#include "audio/capture_config.h"
#include "audio/spectrum_analyser.h"
#include "audio/wav_reader.h"
#include "display/qt/spectrum_window.h"
#include "display/qt/wave_form_window.h"
#include "pitch/pitch_model.h"
#include "settings/settings.h"
#include "signals/tone_synth.h"

namespace merlop {
namespace {

const SpectrumBand kBand{11025.0f / 2048.0f, 4, 223};

void save(QWidget& w, const std::string& name) {
    QDir().mkpath(MERLOP_SCREENSHOT_DIR);
    const QImage img = w.grab().toImage();
    ASSERT_TRUE(img.save(QString(MERLOP_SCREENSHOT_DIR "/") + QString::fromStdString(name)));
}

// A string's spectrum: harmonics of f0 falling 4 dB each, `age` dB quieter, over a floor.
std::vector<float> stringSpectrum(double f0, double age) {
    std::vector<float> level(1025, -36.0f);
    for (int L = 1; L < 1025; ++L) {
        const double f = (L - 1) * kBand.binWidth;
        double db = -36.0;
        for (int k = 1; k <= 8; ++k) {
            const double d = (f - k * f0) / 6.0;
            db = std::max(db, 12.0 - 4.0 * k - age * (1 + 0.3 * k) - 6.0 * d * d);
        }
        level[L] = static_cast<float>(db);
    }
    return level;
}

QRgb pixelAtHeight(const QImage& grab, const SpectrumImage& p, int col, int h) {
    const SpectrumAxes& a = p.axes();
    return grab.pixel(a.plot().left + col, 2 + a.plotH() - 1 - (a.margin() + h));
}

struct Size {
    int w, h;
};
const Size kSizes[] = {{800, 600}, {1920, 1080}};

TEST(SpectrumWindowShots, WaterfallOfADecayingString) {
    for (const Size sz : kSizes) {
        Settings settings;
        SpectrumWindow w(settings, kBand);
        w.resize(sz.w, sz.h);
        w.show();
        for (int k = 0; k < 30; ++k) {
            auto level = stringSpectrum(196.0, 29 - k);  // louder and louder: older ones behind
            w.showLevels(kBand, level.data());
        }
        const SpectrumImage& p = *w.plot();
        const QImage g = w.grab().toImage();
        save(w, "spectrum3d_" + std::to_string(sz.w) + "x" + std::to_string(sz.h) + ".png");
        // Front slice: bright red fill, dark red outline at its top.
        const int j = p.axes().xOfNoteValue(12 * std::log2(196.0 / 13.75)) - p.axes().x1();
        const int h = p.heightAt(0, j);
        ASSERT_GT(h, 4);
        EXPECT_EQ(pixelAtHeight(g, p, p.axes().margin() + j, h / 2), qRgb(255, 0, 0));
        EXPECT_EQ(pixelAtHeight(g, p, p.axes().margin() + j, h), qRgb(125, 0, 0));
        // Between the peaks the floor shows green.
        const int valley =
            p.axes().xOfNoteValue(12 * std::log2(1.5 * 196.0 / 13.75)) - p.axes().x1();
        EXPECT_EQ(pixelAtHeight(g, p, p.axes().margin() + valley, 1), qRgb(0, 180, 0));
        // Scales: the light grey client and black label text left of the plot.
        EXPECT_EQ(g.pixel(1, 1), qRgb(192, 192, 192));
        bool text = false;
        for (int y = 2; y < 2 + p.axes().fontH(); ++y) {
            for (int x = 0; x < p.axes().plot().left - 1; ++x)
                text |= g.pixel(x, y) == qRgb(0, 0, 0);
        }
        EXPECT_TRUE(text) << "the dB caption";
    }
}

TEST(SpectrumWindowShots, FlatSpectrumAndClickReadout) {
    for (const Size sz : kSizes) {
        Settings settings;
        settings.spectrum3D = 0;
        settings.curveSmoothing = 1;
        SpectrumWindow w(settings, kBand);
        w.resize(sz.w, sz.h);
        w.show();
        auto level = stringSpectrum(110.0, 0);
        w.showLevels(kBand, level.data());
        save(w, "spectrum2d_" + std::to_string(sz.w) + "x" + std::to_string(sz.h) + ".png");
        const QImage g = w.grab().toImage();
        int reds = 0;
        const SpectrumAxes& a = w.plot()->axes();
        for (int x = a.plot().left; x < a.plot().right; ++x) {
            for (int y = 2; y < a.plot().bottom; ++y) reds += g.pixel(x, y) == qRgb(255, 0, 0);
        }
        EXPECT_GT(reds, a.plotW());
    }
    // 3D, paused: a click on the front profile marks it at once with a yellow cross.
    Settings settings;
    SpectrumWindow w(settings, kBand);
    w.resize(800, 600);
    w.show();
    auto level = stringSpectrum(220.0, 0);
    w.showLevels(kBand, level.data());
    w.setPaused(true);
    const SpectrumAxes& a = w.plot()->axes();
    const int x = a.xOfNoteValue(12 * std::log2(220.0 / 13.75));
    const int y = a.yMax() - w.plot()->heightAt(0, x - a.x1()) + 5;
    QMouseEvent press(QEvent::MouseButtonPress, QPointF(x, y), QPointF(x, y), Qt::LeftButton,
                      Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(&w, &press);
    ASSERT_NE(w.plot()->marker().slice, -1);
    EXPECT_EQ(w.plot()->marker().text.substr(w.plot()->marker().text.size() - 5), " Hz A");
    const QImage g = w.grab().toImage();
    save(w, "spectrum3d_click_800x600.png");
    const int row = 2 + a.plotH() - 1 - (a.margin() + w.plot()->marker().height);
    EXPECT_EQ(g.pixel(x + 4, row), qRgb(255, 255, 0));
}

TEST(WaveFormWindowShots, SteadyToneStandsStill) {
    for (const Size sz : kSizes) {
        Settings settings;
        const int n = 2048;
        WaveFormWindow w(settings, n);
        w.resize(sz.w, sz.h);
        w.show();
        const double period = 11025.0 / 196.0;
        const auto tone = harmonicTone(196.0, 12.0 * n / 11025.0, 11025, 6, 0.5);
        std::vector<QImage> grabs;
        for (int b = 0; b < 10; ++b) {
            std::vector<int> block(n);
            for (int i = 0; i < n; ++i)
                block[i] = static_cast<int>(std::lround(tone[b * n + i] * 2047));
            w.showWave(block.data(), n, static_cast<float>(period));
            grabs.push_back(w.grab().toImage());
        }
        save(w, "wave_" + std::to_string(sz.w) + "x" + std::to_string(sz.h) + ".png");
        // Column by column the trace keeps its height from block to block (a sample of slip at
        // most, as the start is rounded to whole samples).
        const PlotGeometry& g = w.trace()->geometry();
        const auto traceY = [&](const QImage& img, int x) {
            for (int y = 2; y < g.plot.bottom; ++y) {
                if (img.pixel(x, y) == qRgb(255, 0, 255)) return y;
            }
            return -1;
        };
        int magenta = 0;
        for (int x = g.plot.left + 5; x < g.plot.right - 5; x += 37) {
            const int y0 = traceY(grabs[1], x);
            if (y0 < 0) continue;
            ++magenta;
            for (std::size_t b = 2; b < grabs.size(); ++b) {
                EXPECT_NEAR(traceY(grabs[b], x), y0, g.plotH / 25) << "x " << x << " block " << b;
            }
        }
        EXPECT_GT(magenta, 10);
        EXPECT_EQ(grabs.back().pixel(1, 1), qRgb(192, 192, 192));
    }
}

TEST(DisplayWindows, TinySizesAndBadInputDoNotCrash) {
    Settings settings;
    auto level = stringSpectrum(196.0, 0);
    level[30] = std::nanf("");
    std::vector<int> block(256, 1000);
    for (const Size sz : {Size{1, 1}, Size{3, 3}, Size{200, 0}, Size{0, 200}, Size{40, 30}}) {
        for (int mode3D : {0, 1}) {
            settings.spectrum3D = mode3D;
            SpectrumWindow s(settings, kBand);
            s.resize(sz.w, sz.h);
            s.show();
            s.showLevels(kBand, level.data());
            s.showLevels(SpectrumBand{}, nullptr);
            s.showLevels(kBand, level.data());
            (void)s.grab();
            (void)s.scanHistory();
        }
        WaveFormWindow w(settings, 256);
        w.resize(sz.w, sz.h);
        w.show();
        w.showWave(block.data(), 256, 20.0f);
        w.showWave(block.data(), 256, std::nanf(""));
        (void)w.grab();
    }
}

TEST(DisplayWindows, PluckedStringThroughTheAnalysis) {
    const int rate = 11025;
    const std::string path = MERLOP_SCREENSHOT_DIR "/pluck_g3.wav";
    QDir().mkpath(MERLOP_SCREENSHOT_DIR);
    ASSERT_TRUE(writeWav(path, pluckedString(196.0, 4.0, rate, 0.8, 3.0), rate, 16));
    WavReader wav;
    ASSERT_EQ(wav.open(path), WavStatus::ok);

    Settings settings;
    CaptureConfig config;
    config.sampleRate = rate;
    config.bitsPerSample = 16;
    config.analysisLength = 2048;
    config.bufferSeconds = 2048.0f / rate;
    config.effectiveRate = static_cast<float>(rate);
    PitchModel pitch;
    configurePitchModel(pitch, settings, nullptr, 0);
    CycleOptions options;
    options.tunerOn = false;
    options.spectrumOn = true;
    options.waveOn = true;
    AnalysisCycle cycle(settings, config, pitch, options);
    cycle.startRun();
    const SpectrumAnalyser& an = *cycle.spectrumAnalyser();
    SpectrumWindow spectrum(settings, SpectrumBand{an.binWidth(), an.loBin(), an.hiBin()});
    WaveFormWindow wave(settings, cycle.length());
    for (QWidget* w : {static_cast<QWidget*>(&spectrum), static_cast<QWidget*>(&wave)}) {
        w->resize(1920, 1080);
        w->show();
    }
    CycleSinks sinks;
    sinks.spectrum = &spectrum;
    sinks.wave = &wave;
    cycle.setSinks(sinks);
    std::vector<int> block(cycle.length());
    SampleRange range;
    int blocks = 0;
    while (wav.readBlock(block.data(), cycle.length(), &range)) {
        cycle.analyseBlock(block.data(), range);
        ++blocks;
        if (blocks == 2) save(wave, "pluck_wave_1920x1080.png");
        if (blocks == 4 || blocks == 8 || blocks == 21) {
            save(spectrum, "pluck_waterfall_" + std::to_string(blocks) + "_1920x1080.png");
        }
    }
    EXPECT_EQ(blocks, 21);
    // The newest slice is quieter than the one four blocks back at the fundamental.
    const SpectrumImage& p = *spectrum.plot();
    const int j = p.axes().xOfNoteValue(12 * std::log2(196.0 / 13.75)) - p.axes().x1();
    int oldest = 0, newest = 0;
    for (int d = -3; d <= 3; ++d) {
        newest = std::max(newest, p.heightAt(0, j + d));
        oldest = std::max(oldest, p.heightAt(15, j + d));
    }
    EXPECT_GT(oldest, newest);
    EXPECT_FALSE(spectrum.scanHistory().empty());
}

}  // namespace
}  // namespace merlop
