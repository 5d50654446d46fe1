#include "audio/auto_sensitivity.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <string>
#include <vector>

#include "audio/analysis_harness.h"
#include "audio/spectrum_analyser.h"
#include "signals/tone_synth.h"

namespace merlop {
namespace {

using testing::analyseImage;
using testing::BlockResult;
using testing::expectedNote;

double rmsDb(const std::vector<float>& x) {
    double sum = 0.0;
    for (float v : x) sum += static_cast<double>(v) * v;
    return 10.0 * std::log10(sum / static_cast<double>(x.size()));
}

std::vector<BlockResult> analyse(const std::vector<float>& x, int rate, int bits, bool autoOn) {
    CycleOptions options;
    options.autoSensitivity = autoOn;
    return analyseImage(wavImage(x, rate, bits), Settings{}, options);
}

// Share of blocks that read the note of f.
double shareRead(const std::vector<BlockResult>& blocks, double f) {
    int right = 0;
    for (const BlockResult& b : blocks) right += b.reading.note == expectedNote(f) ? 1 : 0;
    return blocks.empty() ? 0.0 : static_cast<double>(right) / static_cast<double>(blocks.size());
}

int notesRead(const std::vector<BlockResult>& blocks) {
    int notes = 0;
    for (const BlockResult& b : blocks) notes += b.reading.note >= 0 ? 1 : 0;
    return notes;
}

TEST(AutoSensitivity, AQuietInterfaceIsReadThatTheFixedThresholdMisses) {
    // -40 dB of full scale on an 8-bit file: the tone moves by about one step either way.
    const std::vector<float> x = harmonicTone(196.0, 4.0, 11025, 8, 0.01);
    EXPECT_LT(shareRead(analyse(x, 11025, 8, false), 196.0), 0.5);
    EXPECT_GT(shareRead(analyse(x, 11025, 8, true), 196.0), 0.9);
}

TEST(AutoSensitivity, ANoisyToneIsReadInNearlyEveryBlock) {
    for (const double f : {82.41, 440.0}) {
        SCOPED_TRACE(f);
        std::vector<float> x = harmonicTone(f, 4.0, 11025, 8, 0.5);
        addWhiteNoise(x, rmsDb(x) - 10.0, 5);
        const std::vector<BlockResult> blocks = analyse(x, 11025, 16, true);
        const double share = shareRead(blocks, f);
        EXPECT_GT(share, 0.9);
        // No block reads another note.
        EXPECT_NEAR(notesRead(blocks), share * static_cast<double>(blocks.size()), 0.5);
    }
}

TEST(AutoSensitivity, APluckIsReadUntilFortyDecibelsBelowItsOnset) {
    std::vector<float> x = pluckedString(196.0, 6.0, 11025, 0.5, 6.0, 5);
    addWhiteNoise(x, -80.0, 9);
    const std::vector<BlockResult> blocks = analyse(x, 11025, 16, true);
    ASSERT_FALSE(blocks.empty());
    const int onset = blocks.front().level;
    // Every block down to 40 dB below the onset reads the note.
    for (const BlockResult& b : blocks) {
        if (20.0 * std::log10(static_cast<double>(onset) / std::max(b.level, 1)) > 40.0) break;
        EXPECT_EQ(b.reading.note, expectedNote(196.0)) << "level " << b.level;
    }
}

TEST(AutoSensitivity, ANoteOverHumIsStillReadWithTheHumFilter) {
    std::vector<float> x = harmonicTone(110.0, 3.0, 11025, 8, 0.3);
    addHum(x, 11025, 60.0, -30.0);
    Settings settings;
    settings.humFilter = 1;
    CycleOptions options;
    options.autoSensitivity = true;
    EXPECT_GT(shareRead(analyseImage(wavImage(x, 11025, 16), settings, options), 110.0), 0.9);
}

TEST(AutoSensitivity, InputWithoutANoteNeverReadsOne) {
    struct Case {
        std::string name;
        std::vector<float> x;
    };
    std::vector<Case> cases;
    for (const int rate : {11025, 44100}) {
        for (const double db : {-15.0, -45.0}) {
            const std::string at = std::to_string(rate) + " Hz " + std::to_string(db) + " dB";
            std::vector<float> x(static_cast<std::size_t>(3 * rate), 0.0f);
            std::vector<float> white = x, pink = x, hum50 = x, hum60 = x;
            addWhiteNoise(white, db, 31);
            addPinkNoise(pink, rate, db, 32);
            addHum(hum50, rate, 50.0, db);
            addHum(hum60, rate, 60.0, db);
            cases.push_back({"white " + at, white});
            cases.push_back({"pink " + at, pink});
            cases.push_back({"hum 50 " + at, hum50});
            cases.push_back({"hum 60 " + at, hum60});
        }
        cases.push_back({"silence " + std::to_string(rate), std::vector<float>(3 * rate, 0.0f)});
    }
    for (const Case& c : cases) {
        for (const int bits : {8, 16}) {
            const int rate = c.name.find("44100") != std::string::npos ? 44100 : 11025;
            EXPECT_EQ(notesRead(analyse(c.x, rate, bits, true)), 0)
                << c.name << ", " << bits << " bits";
        }
    }
}

struct Judged {
    float floorDb = 0.0f;
    bool noteStandsOut = false;
};

// What automatic sensitivity makes of the first 11025 Hz block of x.
Judged judge(const std::vector<float>& x) {
    SpectrumParams params;
    params.analysisLength = 2048;
    params.sensitivityDb = AutoSensitivity::kMeasuringThresholdDb;
    SpectrumAnalyser spectrum(params);
    AutoSensitivity sensitivity(spectrum, -36.0f);
    std::vector<int> block(2048);
    for (std::size_t i = 0; i < block.size(); ++i) {
        block[i] = static_cast<int>(std::lround(x[i] * 2047.0));
    }
    spectrum.computeSpectrum(block.data());
    std::vector<float> measured(spectrum.level(), spectrum.level() + 1025);
    sensitivity.judge(spectrum);
    EXPECT_GE(spectrum.threshold(), sensitivity.floorDb() + 10.0f);
    // The display keeps the fixed threshold's floor, not the moving one's plateau.
    for (int i = 1; i <= 1024; ++i) {
        EXPECT_EQ(spectrum.shownLevel()[i], std::max(measured[i], -36.0f)) << i;
        if (::testing::Test::HasFailure()) break;
    }
    return {sensitivity.floorDb(), sensitivity.noteStandsOut()};
}

std::vector<float> whiteNoise(double db, std::uint32_t seed) {
    std::vector<float> x(2048, 0.0f);
    addWhiteNoise(x, db, seed);
    return x;
}

TEST(AutoSensitivity, TheFloorFollowsTheNoiseAndNotAHeldNote) {
    EXPECT_NEAR(judge(whiteNoise(-30.0, 41)).floorDb - judge(whiteNoise(-50.0, 41)).floorDb, 20.0,
                2.0);

    // A note 20 dB over the noise; a much louder one raises the measured floor by its window's
    // skirts, where the threshold follows the note's own level anyway.
    std::vector<float> note = harmonicTone(196.0, 0.4, 11025, 8, 0.05);
    addWhiteNoise(note, -50.0, 41);
    const Judged withNote = judge(note);
    EXPECT_NEAR(withNote.floorDb, judge(whiteNoise(-50.0, 41)).floorDb, 3.0);
    EXPECT_TRUE(withNote.noteStandsOut);
}

TEST(AutoSensitivity, NoBlockOfNoiseStandsOut) {
    for (std::uint32_t seed = 1; seed <= 40; ++seed) {
        EXPECT_FALSE(judge(whiteNoise(-20.0 - seed, seed)).noteStandsOut) << seed;
        std::vector<float> pink(2048, 0.0f);
        addPinkNoise(pink, 11025, -30.0, seed);
        EXPECT_FALSE(judge(pink).noteStandsOut) << seed;
    }
}

TEST(AutoSensitivity, OnlyTheMainsPeriodsAreTakenForHum) {
    const double rate = 11025.0;
    for (const double hz : {25.0, 50.0, 60.0, 100.2, 120.0, 150.0, 180.0}) {
        EXPECT_EQ(AutoSensitivity::withoutHum(static_cast<float>(rate / hz), rate), -1.0f) << hz;
    }
    for (const double hz : {49.0, 55.0, 98.0, 110.0, 123.47, 146.83, 196.0}) {
        const auto period = static_cast<float>(rate / hz);
        EXPECT_EQ(AutoSensitivity::withoutHum(period, rate), period) << hz;
    }
}

}  // namespace
}  // namespace merlop
