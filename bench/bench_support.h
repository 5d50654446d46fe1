#pragma once

// The configurations the benchmarks analyse with: a live block of a given length and rate, or a
// WAV file as the tuner's file input sets it up.

#include "audio/capture_config.h"
#include "audio/wav_reader.h"
#include "settings/settings.h"

namespace merlop::bench {

inline CaptureConfig blockConfig(const Settings& settings, int n, int rate) {
    CaptureConfig config;
    config.sampleRate = rate;
    config.bitsPerSample = 16;
    config.analysisLength = n;
    config.bufferSeconds = static_cast<float>(static_cast<double>(n) / rate);
    config.effectiveRate = static_cast<float>(rate);
    config.analysisLowHz = settings.freqLowHz;
    config.analysisHighHz = settings.freqHighHz;
    return config;
}

inline CaptureConfig fileConfig(const Settings& settings, const WavReader& reader) {
    CaptureMode mode;
    mode.fileMode = true;
    mode.fileSampleRate = reader.sampleRate();
    mode.fileBitsPerSample = reader.bitsPerSample();
    return configureCapture(settings, {}, settings.sampleRate, mode);
}

}  // namespace merlop::bench
