#pragma once

#include <array>
#include <string>

#include "display/colour_table.h"

namespace merlop {

class PitchModel;
class Settings;
class TuningStore;

// What the tuner logic drives: its child windows. Each call repaints at once.
class TunerView {
  public:
    virtual ~TunerView() = default;
    virtual void showMeterValues(float frequency, float deviation, int note,
                                 const std::string& name) = 0;
    // state 'C' clear, 'T' detected, 'P' playing.
    virtual void setPianoKey(int key, char state) = 0;
    virtual void setButtonColour(int index, Rgb colour) = 0;
    virtual void setButtonLabel(int index, const std::string& label, Rgb colour) = 0;
};

// The reference-tone player, as ReferenceTone offers it.
class TonePlayer {
  public:
    virtual ~TonePlayer() = default;
    virtual int open() = 0;                                         // 0 on success
    virtual int play(float frequency, int cents, int program) = 0;  // 0 on success
    virtual void stop() = 0;
    virtual int close() = 0;
};

enum class TunerTimer { nextNote, repeat, endOfTone };

class TunerTimers {
  public:
    virtual ~TunerTimers() = default;
    // (Re)starts a repeating timer; the logic stops the one-shot ones itself.
    virtual void start(TunerTimer timer, int ms) = 0;
    virtual void stop(TunerTimer timer) = 0;
};

// What the tuner asks of the main frame.
class TunerParent {
  public:
    virtual ~TunerParent() = default;
    virtual void startCapture() = 0;
    // A tone needs the sound device: the frame stops capture, then calls retryTone.
    virtual void releaseDeviceForTone() = 0;
    virtual void exercisePlayed() = 0;
};

// The melody of an ear-training exercise, note by note.
class ExerciseNotes {
  public:
    virtual ~ExerciseNotes() = default;
    virtual int nextNote() = 0;  // MIDI key, -1 at the end
    virtual bool showNote() const = 0;
    virtual int noteDuration() const = 0;  // ms
};

// Everything the tuner window decides: which note the meter, buttons and keyboard show, and
// the reference tone and exercise playback with their timers. Settings, pitch model and tunings
// are read in place and must outlive it; tunings may be null outside custom tuning.
class TunerLogic {
  public:
    static constexpr int kMaxMisses = 10;

    struct Services {
        TunerView* view = nullptr;
        TonePlayer* tone = nullptr;
        TunerTimers* timers = nullptr;
        TunerParent* parent = nullptr;  // may be null: requests then go nowhere
    };

    TunerLogic(const Settings& settings, const PitchModel& pitch, const TuningStore* tunings,
               int customNoteIndex, bool calibrationMode, Services services);

    bool pianoMode() const { return pianoMode_; }
    // 0 with the keyboard, else 1 or 12.
    int buttonCount() const;
    // Caption, colour and style the buttons start with; clicks off for the empty single button.
    struct ButtonSetup {
        std::string label;
        Rgb colour = {0, 255, 0};
        int style = 2;
        bool clicksDisabled = false;
    };
    ButtonSetup buttonSetup(int index) const;

    void showReading(int note, int aux, float frequency, float deviation);

    // A click on a button (id 700..711) or key (key number), or the frame's automatic tone;
    // switchTo false toggles, true switches to this note even while another sounds.
    void playNote(int id, bool switchTo);
    void retryTone();
    void stopTone();
    void playExercise(ExerciseNotes& exercise);
    void onTimer(TunerTimer timer);
    // Stops and closes a tone still sounding (the window is going away).
    void shutdown();

    int shownIndex() const { return shownIndex_; }
    int toneIndex() const { return toneIndex_; }
    int missCount() const { return missCount_; }
    int aux() const { return aux_; }
    bool tonePlaying() const { return tonePlaying_; }
    bool exerciseActive() const { return exerciseActive_; }
    bool firstAttempt() const { return firstAttempt_; }

  private:
    bool customTuning() const;
    bool automaticCustom() const;
    bool buttonExists(int i) const { return i >= 0 && i < buttonCount(); }
    std::string tuningNoteName(int i) const;
    void highlightDetected(int key);
    void showPlaying(int index);
    void clearPlaying(int index);
    bool startTone();
    bool playCurrent();
    // The three timers' work.
    void onRepeat();
    void onEndOfTone();
    void onNextNote();
    void setColour(int i, Rgb c);
    void setLabel(int i, const std::string& text, Rgb c);

    const Settings& settings_;
    const PitchModel& pitch_;
    const TuningStore* tunings_;
    Services s_;
    ExerciseNotes* exercise_ = nullptr;
    int customNoteIndex_;
    bool calibrationMode_;
    bool pianoMode_;
    int shownIndex_ = -1;
    int shownTuningNote_ = -1;  // the tuning note the "Automatic" caption names
    int toneIndex_ = -1;
    int aux_ = 0;
    int missCount_ = 0;
    bool exerciseActive_ = false;
    bool tonePlaying_ = false;
    bool firstAttempt_ = true;
    bool toneOpen_ = false;
};

}  // namespace merlop
