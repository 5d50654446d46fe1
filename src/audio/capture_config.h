#pragma once

#include <cstdint>

namespace merlop {

class Settings;
class PitchModel;

// How samples are captured and analysed during one capture run.
struct CaptureConfig {
    int sampleRate = 11025;  // nominal rate, Hz
    int bitsPerSample = 8;   // device or file depth
    int analysisLength = 0;  // samples per block
    float bufferSeconds = 0.0f;
    int analysisBits = 12;
    float calibrationFactor = 1.0f;  // 2^(calibrationTenths / 12000)
    float effectiveRate = 11025.0f;  // sampleRate x calibrationFactor: all frequency arithmetic
    int analysisLowHz = 20;
    int analysisHighHz = 1200;
};

// What the capture is for.
struct CaptureMode {
    bool fileMode = false;
    int fileSampleRate = 0;
    int fileBitsPerSample = 0;
    bool calibrating = false;
    bool earTraining = false;
};

// The sample rates the tuner asks a sound card for, slowest first.
inline constexpr int kCandidateRates[3] = {11025, 22050, 44100};

// Highest analysed frequency as a fraction of the sample rate: a margin below half the rate.
inline constexpr double kHighestAnalysedFraction = 0.47619047619047616;

// Rates and depths offered to live capture; an entry the sound card lacks is 0.
struct CaptureCandidates {
    std::uint32_t rates[3] = {kCandidateRates[0], kCandidateRates[1], kCandidateRates[2]};
    std::uint32_t bits[2] = {8, 16};
};

constexpr int kMaxAnalysisLength = 8192;

// Derives the capture configuration from the settings, changing nothing. Blocks are the largest
// power of two within the window, at most kMaxAnalysisLength and at least one sample. In live mode
// it picks the rate and depth. previousSampleRate is kept when no candidate rate covers the
// frequency range (a non-positive one means there is none: the fastest offered rate is used).
CaptureConfig configureCapture(const Settings& settings, const CaptureCandidates& candidates,
                               int previousSampleRate, const CaptureMode& mode);

// What a live run settled on goes back into the settings, so that the next derivation, the sheet
// and the next start see it: the rate, the depth and the window length actually used. A file run
// leaves the settings alone. The frame calls this once for each run it configures.
void keepLiveChoices(Settings& settings, const CaptureConfig& config, const CaptureMode& mode);

// Applies reference A, temperament and notation to the pitch model; with custom tuning on, equal
// temperament and the tuning's note frequencies (count is clamped to 0..96).
void configurePitchModel(PitchModel& pitch, const Settings& settings,
                         const float* tuningFrequencies, int tuningCount);

}  // namespace merlop
