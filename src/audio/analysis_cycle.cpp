#include "audio/analysis_cycle.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <cstring>

#include "audio/auto_sensitivity.h"
#include "audio/cycle_analyser.h"
#include "audio/period_refiner.h"
#include "audio/spectrum_analyser.h"
#include "common/translation.h"
#include "pitch/pitch_model.h"
#include "settings/settings.h"

namespace merlop {

namespace {

// To a whole cent, or a tenth of a cent with fine tuning; halves away from zero.
float roundDeviation(float deviation, bool fine) {
    const double half = deviation > 0.0f ? 0.5 : -0.5;
    return fine ? static_cast<float>(std::trunc(deviation * 1000.0 + half) * 0.001)
                : static_cast<float>(std::trunc(deviation * 100.0 + half) * 0.01);
}

// Longest period in samples any rate can ask for: a second of the fastest file.
constexpr double kMaxPeriodSamples = 1.0e7;

// A period limit in whole samples, held where an int holds it.
int periodSamples(double samples) {
    if (!(samples > 0.0)) return 0;
    return static_cast<int>(std::trunc(std::min(samples, kMaxPeriodSamples)));
}

}  // namespace

AnalysisCycle::AnalysisCycle(const Settings& settings, const CaptureConfig& config,
                             PitchModel& pitch, const CycleOptions& options)
    : pitch_(pitch) {
    clearNoteDeviations();
    reconfigure(settings, config, options);
}

AnalysisCycle::~AnalysisCycle() = default;

void AnalysisCycle::reconfigure(const Settings& settings, const CaptureConfig& config,
                                const CycleOptions& options) {
    config_ = config;
    options_ = options;
    fineTuning_ = settings.fineTuning;
    humFilter_ = settings.humFilter;
    instrumentKey_ = settings.instrumentKey;
    earTrainingOn_ = settings.earTrainingOn != 0;
    currentFrequency_ = -1.0f;
    rawFrequency_ = -1.0f;

    const int n = std::max(config.analysisLength, 0);
    sampleBuffer_.assign(n, 0);
    workBuffer_.assign(n, 0);
    spectrum_.reset();
    cycle_.reset();
    refiner_.reset();
    strobe_.reset();
    if (options.calibrating || n == 0) return;

    SpectrumParams params;
    params.analysisLength = n;
    params.analysisLowHz = config.analysisLowHz;
    params.analysisHighHz = config.analysisHighHz;
    params.sampleBits = config.analysisBits;
    params.effectiveRate = config.effectiveRate;
    params.sensitivityDb = options.autoSensitivity ? AutoSensitivity::kMeasuringThresholdDb
                                                   : static_cast<float>(settings.sensitivityDb);
    params.hammingWindow = settings.hammingWindow;
    params.weighting = settings.weighting;
    params.humFrequency = settings.humFrequency;
    params.freqLowHz = settings.freqLowHz;
    params.freqHighHz = settings.freqHighHz;
    spectrum_ = std::make_unique<SpectrumAnalyser>(params);
    autoSensitivity_ = options.autoSensitivity
                           ? std::make_unique<AutoSensitivity>(
                                 *spectrum_, static_cast<float>(settings.sensitivityDb))
                           : nullptr;
    if (options.tunerOn || options.waveOn) {
        cycle_ = std::make_unique<CycleAnalyser>(n, config.effectiveRate);
        if (fineTuning_ != 0) refiner_ = std::make_unique<PeriodRefiner>(n);
    }
    if (options.strobeOn && options.tunerOn) {
        StrobeParams strobe;
        strobe.effectiveRate = config.effectiveRate;
        strobe.sampleBits = config.analysisBits;
        strobe.sensitivityDb = static_cast<float>(settings.sensitivityDb);
        strobe.hammingWindow = settings.hammingWindow;
        strobe_ = std::make_unique<StrobeAnalyser>(strobe);
    }
}

void AnalysisCycle::startRun() {
    currentNoteValue_ = -1.0f;
    currentFrequency_ = -1.0f;
    rawFrequency_ = -1.0f;
    lastPeriod_ = -1.0f;
    smoother_.reset();
    if (strobe_) strobe_->reset();
}

void AnalysisCycle::blockSkipped() {
    if (strobe_) strobe_->reset();
}

double AnalysisCycle::shownTargetHz() const {
    const PitchReading& r = lastReading_;
    // Custom tuning shows no note for a reading beyond half a semitone of its tuning note.
    if (r.note < 0 || (options_.customTuningOn && std::fabs(r.deviation) > 0.5f)) return 0.0;
    if (options_.customTuningOn && r.tuningIndex >= 0) return pitch_.tuningFrequency(r.tuningIndex);
    return pitch_.frequencyOfNote(r.note, 0.0f);
}

void AnalysisCycle::clearNoteDeviations() {
    noteDeviations_.fill(kNoReading);
}

bool AnalysisCycle::spectrumUsable() const {
    return spectrum_ && spectrum_->usable();
}

bool AnalysisCycle::cycleUsable() const {
    return cycle_ && cycle_->extremumCapacity() > 0;
}

bool AnalysisCycle::automaticTuning() const {
    return options_.fixedTuningNote < 0 || options_.fixedTuningNote >= pitch_.tuningCount();
}

int AnalysisCycle::tuningNoteNumber(int index) const {
    const int key = index < static_cast<int>(options_.tuningMidiKeys.size())
                        ? options_.tuningMidiKeys[index]
                        : 0;
    // Keys 1..8 lie below note 0, and a negative note reads as none: they are named an octave
    // up, which keeps the name right.
    if (key >= 1 && key <= 8) return key - 9 + 12;
    if (key > 8 && key <= 127) return key - 9;
    // A tuning note without a chosen key is named after the nearest note of its frequency.
    return std::max(0, static_cast<int>(std::trunc(pitch_.tuningNoteValue(index) + 0.5)));
}

void AnalysisCycle::showReading(const PitchReading& reading) {
    lastReading_ = reading;
    if (sinks_.reading) sinks_.reading->showReading(reading);
}

bool AnalysisCycle::analyseBlock(const int* samples, const SampleRange& range) {
    if (!sampleBuffer_.empty()) {
        std::memcpy(sampleBuffer_.data(), samples, sampleBuffer_.size() * sizeof(int));
    }
    return analyseBuffer(range.max, range.min);
}

// The period of the shaped block around the target: the coarse frequency, or the fixed tuning
// note's; -1 when there is nothing to measure.
float AnalysisCycle::measurePeriod(int level) {
    const int n = static_cast<int>(spectrum_->fftSize());
    if (level < 1 || n <= 0 || !cycle_) return -1.0f;
    float f = -1.0f;
    spectrum_->coarseFrequency(humFilter_, &f);
    if (!(f > 0.0f)) return -1.0f;
    float target = f;
    int targetMode = 0;
    if (options_.customTuningOn && !automaticTuning()) {
        target = pitch_.tuningFrequency(options_.fixedTuningNote);
        targetMode = 1;
    }
    return refinedPeriod(periodAround(target, targetMode, n), n);
}

// Tenths of a cent need a period finer than the search's whole samples; a period the cycle would
// not take is left as it is.
float AnalysisCycle::refinedPeriod(float period, int n) {
    if (!refiner_ || !(period > 1.0f && period < config_.sampleRate * 0.05)) return period;
    return static_cast<float>(refiner_->refine(sampleBuffer_.data(), n, period));
}

float AnalysisCycle::periodAround(float target, int targetMode, int n) {
    const double rate = config_.effectiveRate;
    // A fixed note without a frequency has nothing to aim at; and no period may leave the int
    // range below.
    const double expected = target > 0.0f ? rate / target : 0.0;
    if (!(target > 0.0f && std::isfinite(expected) && expected < kMaxPeriodSamples)) return -1.0f;
    spectrum_->shapeAroundFrequency(target, n, sampleBuffer_.data(), workBuffer_.data());
    const auto strengthTolerance =
        static_cast<float>(std::min(0.15 + static_cast<double>(0.0001f) * target, 0.4));
    const auto scaledRate = static_cast<float>(config_.sampleRate * kHighestAnalysedFraction);
    const int maxPeriod = periodSamples(rate * 0.05);
    const int minPeriod = periodSamples(rate / scaledRate);
    return cycle_->estimatePeriod(n, workBuffer_.data(), maxPeriod, minPeriod,
                                  static_cast<float>(expected), targetMode, strengthTolerance,
                                  0.01f);
}

void AnalysisCycle::takePeriod(float period) {
    lastPeriod_ = period;
    currentFrequency_ = -1.0f;
    if (period > 1.0f && period < config_.sampleRate * 0.05) {
        currentFrequency_ = static_cast<float>(config_.effectiveRate / period);
        currentNoteValue_ = pitch_.noteValueOf(currentFrequency_);
    } else {
        currentNoteValue_ = -1.0f;
        if (period < -100.0f && sinks_.errors) {
            sinks_.errors->show(translate("MainFrame", "Not enough memory for"), "cyc ");
        }
    }
    rawFrequency_ = currentFrequency_;

    if (options_.waveOn && sinks_.wave) {
        sinks_.wave->showWave(sampleBuffer_.data(), length(),
                              currentFrequency_ > 0.0f ? period : 0.0f);
    }
}

// The tuning note a smoothed note value belongs to and its deviation from it; false when the
// tuning has no note to match.
bool AnalysisCycle::matchTuningNote(float smoothed, int* tuningIndex, float* deviation) const {
    if (automaticTuning()) {
        pitch_.nearestTuningNote(smoothed, tuningIndex, deviation);
    } else {
        *tuningIndex = options_.fixedTuningNote;
        // Folded to the nearest octave: the same note an octave off either way reads by its own
        // small deviation.
        *deviation = static_cast<float>(std::remainder(
            static_cast<double>(smoothed) - pitch_.tuningNoteValue(*tuningIndex), 12.0));
    }
    return *tuningIndex >= 0;
}

PitchReading AnalysisCycle::noteReading(float smoothed, int tuningIndex, float deviation) {
    int note = -1;
    if (options_.customTuningOn) {
        note = tuningNoteNumber(tuningIndex);
    } else {
        pitch_.splitNoteValue(smoothed, &note, &deviation);
    }
    deviation = roundDeviation(deviation, fineTuning_ != 0);
    currentFrequency_ =
        options_.customTuningOn
            ? pitch_.frequencyOfNoteValue(static_cast<float>(
                  static_cast<double>(pitch_.tuningNoteValue(tuningIndex)) + deviation))
            : pitch_.frequencyOfNote(note, deviation);

    if (options_.customTuningOn && options_.recordReadings && tuningIndex < kMaxTuningNotes &&
        (automaticTuning() || std::fabs(deviation) <= 0.5f)) {
        noteDeviations_[tuningIndex] = deviation;
    }
    if (earTrainingOn_ && sinks_.ear) {
        sinks_.ear->recordAnswer((PitchModel::writtenNote(note, instrumentKey_) % 12 + 12) % 12);
    }
    return PitchReading{note, tuningIndex, currentFrequency_, deviation};
}

void AnalysisCycle::reportReading(int level) {
    const float smoothed = smoother_.smooth(currentNoteValue_, level);
    PitchReading reading;
    int tuningIndex = -1;
    float deviation = -1.0f;
    bool haveNote = currentNoteValue_ > 0.0f && smoothed > 0.0f;
    if (haveNote && options_.customTuningOn) {
        haveNote = matchTuningNote(smoothed, &tuningIndex, &deviation);
    }
    if (haveNote) {
        reading = noteReading(smoothed, tuningIndex, deviation);
    } else {
        currentFrequency_ = -1.0f;
    }
    showReading(reading);
}

// With automatic sensitivity a block is measured only when a note stands out of the floor.
float AnalysisCycle::periodOfBlock(int level) {
    if (!autoSensitivity_) return measurePeriod(level);
    if (!autoSensitivity_->noteStandsOut()) return -1.0f;
    return AutoSensitivity::withoutHum(measurePeriod(level), config_.effectiveRate);
}

bool AnalysisCycle::analyseBuffer(int maxSample, int minSample) {
    // Before the skip below: a measurement needs every block.
    if (sinks_.tap) sinks_.tap->takeBlock(sampleBuffer_.data(), length());
    if (sinks_.inputPending && sinks_.inputPending()) {
        blockSkipped();
        return false;
    }
    if (options_.calibrating || !spectrum_) return false;

    const int level = std::abs(maxSample - minSample);
    lastLevel_ = level;

    spectrum_->computeSpectrum(sampleBuffer_.data());
    if (autoSensitivity_) autoSensitivity_->judge(*spectrum_);
    if (options_.tunerOn || options_.waveOn) takePeriod(periodOfBlock(level));
    if (options_.tunerOn) reportReading(level);
    if (options_.spectrumOn && sinks_.spectrum) sinks_.spectrum->showSpectrum(*spectrum_);
    if (strobe_) {
        strobe_->analyse(sampleBuffer_.data(), length(), shownTargetHz());
        if (sinks_.strobe) sinks_.strobe->showStrobe(strobe_->rows());
    }
    if (sinks_.level) {
        // Without a pitch estimate (the spectrum alone) there is no telling; it counts as heard.
        const bool estimated = options_.tunerOn || options_.waveOn;
        sinks_.level->showLevel(levelOf(maxSample, minSample, !estimated || lastPeriod_ > 0.0f));
    }
    return true;
}

InputLevel AnalysisCycle::levelOf(int maxSample, int minSample, bool heard) {
    // The 12-bit scale runs from -2048 to 2047; either end is as loud as the card records.
    constexpr double kFullScale = 2048.0;
    InputLevel level;
    level.heard = heard;
    level.clipped = maxSample >= 2047 || minSample <= -2048;
    const double peak = std::max(std::abs(static_cast<double>(maxSample)),
                                 std::abs(static_cast<double>(minSample)));
    if (peak > 0.0) {
        level.peakDbfs = static_cast<float>(std::max(-96.0, 20.0 * std::log10(peak / kFullScale)));
    }
    return level;
}

}  // namespace merlop
