#pragma once

// The configurations the benchmarks analyse with: a live block of a given length and rate, or a
// WAV file as the tuner's file input sets it up.

#include <algorithm>
#include <cmath>
#include <utility>
#include <vector>

#include "audio/capture_config.h"
#include "audio/samples.h"
#include "audio/wav_reader.h"
#include "settings/settings.h"
#include "signals/tone_synth.h"

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

// Eight consecutive blocks of n samples of a guitar-like tone with a little noise, on the 12-bit
// scale, with each block's range.
struct ToneBlocks {
    std::vector<std::vector<int>> samples;
    std::vector<SampleRange> ranges;
};

inline ToneBlocks toneBlocks(int n, int rate, double tone) {
    std::vector<float> x = harmonicTone(tone, 8.0 * n / rate + 0.01, rate, 8, 0.5);
    addWhiteNoise(x, -40.0);
    ToneBlocks s;
    for (int b = 0; b < 8; ++b) {
        std::vector<int> block(n);
        SampleRange r;
        for (int i = 0; i < n; ++i) {
            block[i] = static_cast<int>(std::lround(x[b * n + i] * 2047.0));
            r.min = std::min(r.min, block[i]);
            r.max = std::max(r.max, block[i]);
        }
        s.samples.push_back(std::move(block));
        s.ranges.push_back(r);
    }
    return s;
}

}  // namespace merlop::bench
