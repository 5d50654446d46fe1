#include "audio/capture_config.h"

#include <algorithm>
#include <cmath>

#include "audio/samples.h"
#include "pitch/pitch_model.h"
#include "settings/settings.h"

namespace merlop {

namespace {

int largestPowerOfTwoAtMost(std::int64_t n, int cap) {
    int p = 1;
    while (p < cap && static_cast<std::int64_t>(p) * 2 <= n) p *= 2;
    return p;
}

int liveSampleRate(const CaptureCandidates& c, int highHz, int previous) {
    for (std::uint32_t rate : c.rates) {
        if (rate != 0 && static_cast<std::int64_t>(rate / 2) > highHz) {
            return static_cast<int>(rate);
        }
    }
    if (previous > 0) return previous;
    std::uint32_t fastest = 0;
    for (std::uint32_t rate : c.rates) fastest = std::max(fastest, rate);
    return fastest != 0 ? static_cast<int>(fastest) : 44100;
}

}  // namespace

CaptureConfig configureCapture(const Settings& settings, const CaptureCandidates& candidates,
                               int previousSampleRate, const CaptureMode& mode) {
    CaptureConfig c;
    c.analysisLowHz = settings.freqLowHz;
    c.analysisHighHz = settings.freqHighHz;

    if (mode.fileMode) {
        // A file without a usable rate is refused before it gets here; never divide by zero.
        c.sampleRate = mode.fileSampleRate > 0
                           ? mode.fileSampleRate
                           : (previousSampleRate > 0 ? previousSampleRate : 11025);
        c.bitsPerSample = mode.fileBitsPerSample;
        if (c.sampleRate / 2 < c.analysisHighHz) {
            c.analysisHighHz = static_cast<int>(c.sampleRate * kHighestAnalysedFraction);
        }
    } else {
        c.bitsPerSample = candidates.bits[1] == 16 ? 16 : 8;
        c.sampleRate = liveSampleRate(candidates, c.analysisHighHz, previousSampleRate);
    }

    c.analysisBits = kAnalysisBits;
    const int32_t tenths = usableCalibrationTenths(settings.calibrationTenths);
    c.calibrationFactor =
        tenths == 0 ? 1.0f
                    : static_cast<float>(std::pow(2.0, tenths * 0.001 * 0.08333333333333333));
    c.effectiveRate = static_cast<float>(c.sampleRate * static_cast<double>(c.calibrationFactor));

    double seconds = settings.analysisWindowMs * 0.001;
    if (mode.earTraining && settings.earTempo > 0) {
        // A block never spans more than a third of a beat.
        seconds = std::min(static_cast<double>(static_cast<float>(seconds)),
                           (60.0 / settings.earTempo) / 3);
    }
    c.bufferSeconds = static_cast<float>(seconds);

    if (mode.calibrating) {
        c.analysisLength = c.sampleRate;
        return c;
    }

    const auto n = static_cast<std::int64_t>(static_cast<double>(c.bufferSeconds) * c.sampleRate);
    // A window shorter than one sample still gets a block of one: a block of none would never
    // be analysed nor end.
    c.analysisLength = largestPowerOfTwoAtMost(n, kMaxAnalysisLength);
    c.bufferSeconds = static_cast<float>(static_cast<double>(c.analysisLength) / c.sampleRate);
    return c;
}

void keepLiveChoices(Settings& settings, const CaptureConfig& c, const CaptureMode& mode) {
    if (mode.fileMode) return;
    settings.bitsPerSample = c.bitsPerSample;
    settings.sampleRate = c.sampleRate;
    // A calibration's one-second buffers are no analysis window.
    if (mode.calibrating) return;
    // The extra 10 ms keeps the next derivation on the same power of two.
    settings.analysisWindowMs =
        static_cast<std::int32_t>(static_cast<double>(c.bufferSeconds) * 1000 + 10);
}

void configurePitchModel(PitchModel& pitch, const Settings& settings,
                         const float* tuningFrequencies, int tuningCount) {
    pitch.setReferenceA(settings.frequencyOfA);
    pitch.setTemperament(settings.temperamentIndex, settings.temperamentKey,
                         settings.temperamentRefNote);
    pitch.setSharpNotation(settings.sharpNotation);
    if (settings.customTuningOn) {
        pitch.setTemperament(0, 0, 0);
        const int count =
            tuningFrequencies ? std::clamp(tuningCount, 0, PitchModel::kMaxTuningNotes) : 0;
        pitch.setTuningNotes(tuningFrequencies, count);
    }
}

}  // namespace merlop
