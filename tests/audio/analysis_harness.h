#pragma once

// Runs whole WAV images through the file-mode analysis the way the tuner feeds them.

#include <cmath>
#include <cstdint>
#include <vector>

#include "audio/analysis_cycle.h"
#include "audio/capture_config.h"
#include "audio/wav_reader.h"
#include "pitch/pitch_model.h"
#include "settings/settings.h"

namespace merlop::testing {

struct BlockResult {
    PitchReading reading;
    float rawFrequency = -1.0f;
    int level = 0;
};

class RecordingDisplay : public ReadingDisplay {
  public:
    void showReading(const PitchReading& r) override { readings.push_back(r); }
    std::vector<PitchReading> readings;
};

// Analyses every whole block of the image; the pitch model is configured from the settings (and
// the tuning frequencies when custom tuning is on).
inline std::vector<BlockResult> analyseImage(const std::vector<std::uint8_t>& image,
                                             Settings settings, CycleOptions options = {},
                                             const std::vector<float>& tuning = {}) {
    WavReader reader;
    if (reader.openBytes(image) != WavStatus::ok) return {};
    CaptureMode mode;
    mode.fileMode = true;
    mode.fileSampleRate = reader.sampleRate();
    mode.fileBitsPerSample = reader.bitsPerSample();
    settings.customTuningOn = options.customTuningOn ? 1 : 0;
    const CaptureConfig config = configureCapture(settings, {}, settings.sampleRate, mode);
    PitchModel pitch;
    configurePitchModel(pitch, settings, tuning.data(), static_cast<int>(tuning.size()));

    AnalysisCycle cycle(settings, config, pitch, options);
    RecordingDisplay display;
    CycleSinks sinks;
    sinks.reading = &display;
    cycle.setSinks(sinks);
    cycle.startRun();

    std::vector<BlockResult> out;
    SampleRange range;
    while (reader.readBlock(cycle.sampleBuffer(), cycle.length(), &range)) {
        cycle.analyseBuffer(range.max, range.min);
        out.push_back({cycle.lastReading(), cycle.rawFrequency(), range.level()});
    }
    return out;
}

// Nearest equal-tempered note number (A 440 = 60) of a frequency and the cents from it.
inline int expectedNote(double f) {
    return static_cast<int>(std::lround(12.0 * std::log2(f / 13.75)));
}

inline double expectedCents(double f) {
    return 1200.0 * std::log2(f / 13.75) - 100.0 * expectedNote(f);
}

}  // namespace merlop::testing
