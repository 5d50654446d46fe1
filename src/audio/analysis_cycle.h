#pragma once

#include <array>
#include <functional>
#include <memory>
#include <vector>

#include "audio/capture_config.h"
#include "audio/reading_smoother.h"
#include "audio/samples.h"
#include "audio/strobe_analyser.h"
#include "common/message_box.h"
#include "pitch/pitch_model.h"

namespace merlop {

class AutoSensitivity;
class CycleAnalyser;
class PeriodRefiner;
class PitchModel;
class Settings;
class SpectrumAnalyser;

// Receivers of what one analysed block produces. The desktop windows implement them; tests and
// the command-line tool plug in their own.
class ReadingDisplay {
  public:
    virtual ~ReadingDisplay() = default;
    virtual void showReading(const PitchReading& reading) = 0;
};

class WaveDisplay {
  public:
    virtual ~WaveDisplay() = default;
    // period: samples per cycle of the block, 0 when none was found.
    virtual void showWave(const int* samples, int n, float period) = 0;
};

class SpectrumDisplay {
  public:
    virtual ~SpectrumDisplay() = default;
    virtual void showSpectrum(const SpectrumAnalyser& analyser) = 0;
};

class EarAnswerSink {
  public:
    virtual ~EarAnswerSink() = default;
    // Pitch class 0..11 (0 = A) of a played note, as written for the instrument.
    virtual void recordAnswer(int pitchClass) = 0;
};

// One block's input level: the peak in dB of full scale, whether it reached full scale, and
// whether the analysis found a note in it.
struct InputLevel {
    float peakDbfs = -96.0f;
    bool clipped = false;
    bool heard = false;
};

class LevelDisplay {
  public:
    virtual ~LevelDisplay() = default;
    virtual void showLevel(const InputLevel& level) = 0;
};

class StrobeDisplay {
  public:
    virtual ~StrobeDisplay() = default;
    // The strobe's rows after a block, against the note the tuner shows.
    virtual void showStrobe(const std::array<StrobeRow, StrobeAnalyser::kRows>& rows) = 0;
};

// Every block handed to the analysis, before anything is made of it: for measurements over
// several blocks.
class BlockTap {
  public:
    virtual ~BlockTap() = default;
    virtual void takeBlock(const int* samples, int n) = 0;
};

struct CycleSinks {
    ReadingDisplay* reading = nullptr;
    WaveDisplay* wave = nullptr;
    SpectrumDisplay* spectrum = nullptr;
    EarAnswerSink* ear = nullptr;  // only while an exercise waits for an answer
    LevelDisplay* level = nullptr;
    StrobeDisplay* strobe = nullptr;
    BlockTap* tap = nullptr;
    MessageBox* errors = nullptr;
    // True when user input waits: the block is then skipped so the window stays responsive.
    std::function<bool()> inputPending;
};

// Which displays want results and how custom tuning stands.
struct CycleOptions {
    bool tunerOn = true;
    bool waveOn = false;
    bool spectrumOn = false;
    bool calibrating = false;  // blocks then belong to the calibration procedure
    bool customTuningOn = false;
    // Index of the selected tuning note; anything outside 0..tuningCount-1 means "Automatic".
    int fixedTuningNote = -1;
    bool recordReadings = false;
    // MIDI key number of each tuning note (0 or missing: none chosen).
    std::vector<int> tuningMidiKeys;
    // The threshold follows the input's noise floor instead of the sensitivity setting.
    bool autoSensitivity = false;
    // The strobe follows the tuner's note (View / "Strobe").
    bool strobeOn = false;
};

// What happens to every block of samples, live or from a file: spectrum, pitch estimate,
// smoothing, the split into note and deviation, and the hand-offs to the displays.
//
// The pitch model is used in place and must outlive the cycle. Between blocks the cycle keeps the
// last frequency and note value, the smoother and the custom-tuning readings; reconfigure()
// rebuilds the analysers for a new capture configuration and keeps the readings.
class AnalysisCycle {
  public:
    static constexpr int kMaxTuningNotes = PitchModel::kMaxTuningNotes;
    static constexpr float kNoReading = -999.0f;

    AnalysisCycle(const Settings& settings, const CaptureConfig& config, PitchModel& pitch,
                  const CycleOptions& options);
    ~AnalysisCycle();
    AnalysisCycle(const AnalysisCycle&) = delete;
    AnalysisCycle& operator=(const AnalysisCycle&) = delete;

    void reconfigure(const Settings& settings, const CaptureConfig& config,
                     const CycleOptions& options);
    void setSinks(CycleSinks sinks) { sinks_ = std::move(sinks); }

    // Start of a capture run: no estimate yet, the smoother starts afresh.
    void startRun();
    // A block of the run was not analysed: the strobe, which follows the sound's phase from
    // block to block, starts again.
    void blockSkipped();
    // The frequency of the note the tuner shows (a custom tuning's note in custom tuning), 0
    // when it shows none.
    double shownTargetHz() const;

    // The block to analyse: length() samples on the 12-bit scale.
    int* sampleBuffer() { return sampleBuffer_.data(); }
    int length() const { return static_cast<int>(sampleBuffer_.size()); }

    // Analyses sampleBuffer() given its largest and smallest sample. Returns false when the block
    // was skipped (user input pending, calibrating).
    bool analyseBuffer(int maxSample, int minSample);
    // Copies length() samples into the buffer and analyses them.
    bool analyseBlock(const int* samples, const SampleRange& range);
    // The level of a block of that largest and smallest sample (12-bit scale).
    static InputLevel levelOf(int maxSample, int minSample, bool heard);

    // Hz of the last reading as shown, -1 none.
    float currentFrequency() const { return currentFrequency_; }
    // Note value of the last raw estimate, -1 none.
    float currentNoteValue() const { return currentNoteValue_; }
    // Hz of the last block before smoothing and rounding, -1 none.
    float rawFrequency() const { return rawFrequency_; }
    // Period in samples found in the last block (the estimator's raw result, -1 none).
    float lastPeriod() const { return lastPeriod_; }
    int lastLevel() const { return lastLevel_; }
    // The last reading handed to the tuner display.
    const PitchReading& lastReading() const { return lastReading_; }
    const ReadingSmoother& smoother() const { return smoother_; }

    // Deviation last measured for each custom-tuning note, kNoReading where none.
    const std::array<float, kMaxTuningNotes>& noteDeviations() const { return noteDeviations_; }
    void clearNoteDeviations();

    const CaptureConfig& config() const { return config_; }
    const SpectrumAnalyser* spectrumAnalyser() const { return spectrum_.get(); }
    // False when an analyser could not be set up; blocks then yield no readings.
    bool spectrumUsable() const;
    bool cycleUsable() const;

  private:
    bool automaticTuning() const;
    int tuningNoteNumber(int index) const;
    void showReading(const PitchReading& reading);
    float measurePeriod(int level);
    float periodAround(float target, int targetMode, int n);
    float refinedPeriod(float period, int n);
    void takePeriod(float period);
    bool matchTuningNote(float smoothed, int* tuningIndex, float* deviation) const;
    PitchReading noteReading(float smoothed, int tuningIndex, float deviation);
    void reportReading(int level);
    float periodOfBlock(int level);

    PitchModel& pitch_;
    CaptureConfig config_;
    CycleOptions options_;
    CycleSinks sinks_;
    int fineTuning_ = 0;
    int humFilter_ = 0;
    int instrumentKey_ = 0;
    bool earTrainingOn_ = false;

    std::unique_ptr<SpectrumAnalyser> spectrum_;
    std::unique_ptr<CycleAnalyser> cycle_;
    std::unique_ptr<PeriodRefiner> refiner_;  // only with fine tuning
    std::vector<int> sampleBuffer_;
    std::vector<int> workBuffer_;
    std::unique_ptr<AutoSensitivity> autoSensitivity_;  // only with automatic sensitivity
    std::unique_ptr<StrobeAnalyser> strobe_;            // only with the strobe

    float currentFrequency_ = -1.0f;
    float currentNoteValue_ = -1.0f;
    float rawFrequency_ = -1.0f;
    float lastPeriod_ = -1.0f;
    int lastLevel_ = 0;
    PitchReading lastReading_;
    ReadingSmoother smoother_;
    std::array<float, kMaxTuningNotes> noteDeviations_;
};

}  // namespace merlop
