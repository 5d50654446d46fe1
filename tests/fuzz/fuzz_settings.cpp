// merlo301.cfg from arbitrary bytes: what the load promises, a save that rewrites exactly the
// loaded image and nothing past it, and an analysis run configured from the result.
#include <algorithm>
#include <cmath>

#include "audio/analysis_cycle.h"
#include "audio/capture_config.h"
#include "fuzz_support.h"
#include "pitch/pitch_model.h"
#include "settings/settings.h"

using namespace merlop;

namespace {

bool in(int v, int lo, int hi) {
    return v >= lo && v <= hi;
}

void checkRanges(const Settings& s) {
    FUZZ_CHECK(in(s.analysisWindowMs, 20, 1000));
    FUZZ_CHECK(in(s.frequencyOfA, 400, 500));
    // The calibrations are kept as stored; what every reader applies stays within an octave.
    FUZZ_CHECK(in(usableCalibrationTenths(s.calibrationTenths), -12000, 12000));
    FUZZ_CHECK(in(s.freqLowHz, 20, 4000));
    FUZZ_CHECK(in(s.freqHighHz, 100, 20000) && s.freqHighHz >= s.freqLowHz + 100);
    FUZZ_CHECK(in(s.sensitivityDb, -42, -6));
    FUZZ_CHECK(in(s.spectrumDbLow, -50, 0));
    FUZZ_CHECK(in(s.spectrumDbHigh, s.spectrumDbLow + 1, Settings::kMaxSpectrumDbHigh));
    FUZZ_CHECK(in(s.viewAngleA, 0, 100) && in(s.viewAngleB, 0, 100));
    FUZZ_CHECK(in(s.spectrumSustain, 1, 20));
    FUZZ_CHECK(in(s.curveSmoothing, 0, 3) && in(s.weighting, 0, 3));
    FUZZ_CHECK(in(s.toneVolume, 0, 127) && in(s.midiPatch, 0, 127));
    FUZZ_CHECK(in(s.toneOctave, 1, 10));
    FUZZ_CHECK(in(usableMidiCalibrationCents(s.midiCalibrationCents), -1200, 1200));
    FUZZ_CHECK(in(s.midiChannel, 0, 16));
    FUZZ_CHECK(in(s.pitchBendSpan, 2, 96));
    FUZZ_CHECK(in(s.toneRepeatRate, 0, 200));
    FUZZ_CHECK(in(s.sampleRate, 4000, 192000));
    FUZZ_CHECK(s.bitsPerSample == 8 || s.bitsPerSample == 16);
    FUZZ_CHECK(in(s.currentTuning, 0, 31));
    FUZZ_CHECK(in(s.instrumentKey, -5, 6));
    FUZZ_CHECK(in(s.earRangeLow, 0, 127) && in(s.earRangeHigh, s.earRangeLow, 127));
    FUZZ_CHECK(in(s.earNoteCount, 1, 12));
    FUZZ_CHECK(in(s.earMaxInterval, 1, 48));
    FUZZ_CHECK(in(s.earTempo, 30, 200));
    FUZZ_CHECK(in(s.earScale, 0, 6) && in(s.earKey, 0, 12));
    FUZZ_CHECK(in(s.temperamentIndex, 0, 74));
    FUZZ_CHECK(in(s.temperamentKey, 0, 11) && in(s.temperamentRefNote, 0, 11));
    FUZZ_CHECK(s.humFrequency == 50 || s.humFrequency == 60);
    FUZZ_CHECK(in(s.pianoFirstOctave, 0, 9) && in(s.pianoOctaveCount, 1, 10));
}

void checkConfig(const CaptureConfig& c) {
    FUZZ_CHECK(in(c.analysisLength, 1, kMaxAnalysisLength));
    FUZZ_CHECK((c.analysisLength & (c.analysisLength - 1)) == 0);
    FUZZ_CHECK(std::isfinite(c.effectiveRate) && c.effectiveRate > 0.0f);
    // A slow file can leave the band empty (low above high); the analysis must cope.
    FUZZ_CHECK(c.analysisLowHz > 0 && c.analysisHighHz > 0);
}

// A tone inside the analysed band, then silence: every reading is a note or none, never garbage.
void analyse(Settings settings, bool liveConfig) {
    CaptureMode mode;
    mode.fileMode = !liveConfig;
    mode.fileSampleRate = settings.sampleRate;
    mode.fileBitsPerSample = settings.bitsPerSample;
    const CaptureConfig config = configureCapture(settings, {}, settings.sampleRate, mode);
    checkConfig(config);
    if (liveConfig) checkRanges(settings);

    PitchModel pitch;
    configurePitchModel(pitch, settings, nullptr, 0);
    CycleOptions options;
    options.waveOn = settings.showWaveForm != 0;
    options.spectrumOn = settings.showSpectrum != 0;
    AnalysisCycle cycle(settings, config, pitch, options);
    cycle.startRun();
    FUZZ_CHECK(cycle.length() == config.analysisLength);

    const double hz = std::clamp(220.0, config.analysisLowHz * 1.5, config.analysisHighHz / 1.5);
    const std::vector<int> tone = fuzz::sineBlock(hz, config.sampleRate, cycle.length());
    const std::vector<int> silence(tone.size(), 0);
    SampleRange toneRange{-1500, 1500};
    SampleRange quiet{0, 0};
    for (int i = 0; i < 4; ++i) {
        const bool loud = i < 3;
        cycle.analyseBlock(loud ? tone.data() : silence.data(), loud ? toneRange : quiet);
        const PitchReading& r = cycle.lastReading();
        FUZZ_CHECK(r.tuningIndex == -1);
        if (r.note < 0) {
            FUZZ_CHECK(r.note == -1);
            continue;
        }
        FUZZ_CHECK(std::isfinite(r.frequency) && r.frequency > 0.0f);
        FUZZ_CHECK(r.frequency < config.effectiveRate / 2.0f);
        FUZZ_CHECK(std::fabs(r.deviation) <= (settings.temperamentIndex == 0 ? 0.5f : 1.0f));
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const auto dir = fuzz::freshDir("settings");
    const auto path = dir / Settings::kDefaultFileName;
    fuzz::writeFile(path, data, size);

    Settings settings;
    settings.setLocation(dir);
    const int failed = settings.loadSettings();
    FUZZ_CHECK(failed == (size < Settings::kFileSize ? 1 : 0));
    checkRanges(settings);
    if (failed) {
        FUZZ_CHECK(settings.toImage() == Settings::defaultImage());
        FUZZ_CHECK(settings.saveSettings() == -1);
        FUZZ_CHECK(fuzz::readFile(path) == std::vector<std::uint8_t>(data, data + size));
    } else {
        // Loading an image that is already in range changes nothing.
        Settings again = Settings::fromImage(settings.toImage());
        again.normalise();
        FUZZ_CHECK(again.toImage() == settings.toImage());

        FUZZ_CHECK(settings.saveSettings() == 0);
        const std::vector<std::uint8_t> saved = fuzz::readFile(path);
        FUZZ_CHECK(saved.size() == size);
        const Settings::Image image = settings.toImage();
        FUZZ_CHECK(std::equal(image.begin(), image.end(), saved.begin()));
        FUZZ_CHECK(std::equal(saved.begin() + Settings::kFileSize, saved.end(),
                              data + Settings::kFileSize));

        Settings reloaded;
        reloaded.setLocation(dir);
        FUZZ_CHECK(reloaded.loadSettings() == 0);
        FUZZ_CHECK(reloaded.toImage() == image);
    }

    analyse(settings, false);
    analyse(settings, true);
    return 0;
}
