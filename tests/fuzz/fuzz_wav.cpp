// A WAV file from arbitrary bytes, opened from disk and from memory alike, and analysed block by
// block as the tuner's file mode does.
#include <algorithm>
#include <cmath>

#include "audio/analysis_cycle.h"
#include "audio/capture_config.h"
#include "audio/samples.h"
#include "audio/wav_reader.h"
#include "fuzz_support.h"
#include "pitch/pitch_model.h"
#include "settings/settings.h"

using namespace merlop;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size > (1u << 17)) return -1;
    const auto path = fuzz::freshDir("wav") / "take.wav";
    fuzz::writeFile(path, data, size);

    WavReader reader;
    WavReader memory;
    const WavStatus status = reader.open(path.string());
    FUZZ_CHECK(memory.openBytes(std::vector<std::uint8_t>(data, data + size)) == status);
    FUZZ_CHECK((status == WavStatus::ok) == reader.isOpen());
    if (status != WavStatus::ok) {
        FUZZ_CHECK(status != WavStatus::fileMissing);
        FUZZ_CHECK(*wavStatusMessage(status) != '\0');
        return 0;
    }
    FUZZ_CHECK(reader.sampleRate() >= WavReader::kMinSampleRate &&
               reader.sampleRate() <= WavReader::kMaxSampleRate);
    FUZZ_CHECK(isSupportedSampleDepth(reader.bitsPerSample()));
    FUZZ_CHECK(memory.sampleRate() == reader.sampleRate() &&
               memory.bitsPerSample() == reader.bitsPerSample());
    const std::int64_t samples = reader.sampleCount();
    FUZZ_CHECK(samples >= 0 && samples == memory.sampleCount());
    FUZZ_CHECK(samples * (reader.bitsPerSample() / 8) <= static_cast<std::int64_t>(size));
    FUZZ_CHECK(reader.samplePosition() == 0);

    Settings settings;
    CaptureMode mode;
    mode.fileMode = true;
    mode.fileSampleRate = reader.sampleRate();
    mode.fileBitsPerSample = reader.bitsPerSample();
    const CaptureConfig config = configureCapture(settings, {}, settings.sampleRate, mode);
    FUZZ_CHECK(config.sampleRate == reader.sampleRate());
    PitchModel pitch;
    configurePitchModel(pitch, settings, nullptr, 0);
    CycleOptions options;
    options.waveOn = true;
    AnalysisCycle cycle(settings, config, pitch, options);
    cycle.startRun();
    const int n = cycle.length();
    FUZZ_CHECK(n >= 1 && n <= kMaxAnalysisLength && (n & (n - 1)) == 0);

    std::vector<int> copy(static_cast<std::size_t>(n));
    std::int64_t blocks = 0;
    SampleRange range;
    while (reader.readBlock(cycle.sampleBuffer(), n, &range)) {
        SampleRange other;
        FUZZ_CHECK(memory.readBlock(copy.data(), n, &other));
        FUZZ_CHECK(std::equal(copy.begin(), copy.end(), cycle.sampleBuffer()));
        const auto [lo, hi] = std::minmax_element(copy.begin(), copy.end());
        FUZZ_CHECK(*lo >= -2048 && *hi <= 2047);
        FUZZ_CHECK(range.min == *lo && range.max == *hi);
        ++blocks;
        FUZZ_CHECK(reader.samplePosition() == blocks * n);

        cycle.analyseBuffer(range.max, range.min);
        const PitchReading& r = cycle.lastReading();
        if (r.note < 0) {
            FUZZ_CHECK(r.note == -1);
            continue;
        }
        FUZZ_CHECK(std::isfinite(r.frequency) && r.frequency > 0.0f);
        FUZZ_CHECK(r.frequency < config.effectiveRate / 2.0f);
        FUZZ_CHECK(std::fabs(r.deviation) <= 0.5f);
    }
    FUZZ_CHECK(blocks == samples / n);
    FUZZ_CHECK(!memory.readBlock(copy.data(), n, &range));
    return 0;
}
