#pragma once

#include <QElapsedTimer>
#include <QTimer>
#include <QWidget>
#include <array>
#include <functional>
#include <memory>
#include <string>

#include "audio/analysis_cycle.h"
#include "display/announcement_gate.h"
#include "display/tuner_state.h"

namespace merlop {

class MeterWindow;
class MidiOutput;
class NoteButton;
class PianoWnd;
class PitchModel;
class ReferenceTone;
class StrobePanel;
class Settings;
class TuningStore;
class WaveSound;

// The chromatic tuner display: the meter across the top and below it the keyboard or the note
// buttons, created at the first size. Readings arrive through showReading; clicks on buttons or
// keys play reference tones through the ReferenceTone it owns. Settings, pitch model, tunings,
// the two sound outputs and the parent must outlive it; parent may be null.
class TunerWindow : public QWidget,
                    public ReadingDisplay,
                    public StrobeDisplay,
                    private TunerView,
                    private TunerTimers {
  public:
    TunerWindow(const Settings& settings, const PitchModel& pitch, const TuningStore* tunings,
                int customNoteIndex, bool calibrationMode, float calibrationFactor,
                MidiOutput& midi, WaveSound& sound, TunerParent* parent,
                QWidget* parentWidget = nullptr);
    ~TunerWindow() override;

    void showReading(const PitchReading& reading) override;
    // aux: the matched tuning note, or the remaining seconds while calibrating.
    void showReading(int note, int aux, float frequency, float deviation);
    // The meter shows a reading within `cents` of its note in green; negative: never.
    void setInTuneCents(float cents);
    // Read-outs for full screen; takes effect when the meter is made, at the first size.
    void setLargeReadouts(bool large) { largeReadouts_ = large; }
    // Marks the meter while the frame holds its reading (the frame stops the readings).
    void setHeld(bool held);
    // View / "Strobe": a strobe panel under the meter and keys, animated at kStrobeFrameMs;
    // takes effect when the children are made, at the first size.
    void setStrobeShown(bool shown) { strobeShown_ = shown; }
    void showStrobe(const std::array<StrobeRow, StrobeAnalyser::kRows>& rows) override;
    StrobePanel* strobe() const { return strobe_; }
    static constexpr int kStrobeFrameMs = 25;

    // id: note button id 700..711, key number on the keyboard, anything in custom tuning.
    void playNote(int id, bool switchTo);
    void retryTone();
    void stopTone();
    void playExercise(ExerciseNotes& exercise);

    // The meter's reading in words, as assistive technology gets it (readingWords).
    const std::string& readingWords() const { return readingWords_; }
    // Seconds on the clock that paces announcements of the reading; tests set their own.
    void setAnnouncementClock(std::function<double()> seconds) { clock_ = std::move(seconds); }
    // What has been announced so far (announced always, as events only while assistive
    // technology listens).
    const AnnouncementGate& announcements() const { return announcements_; }

    MeterWindow* meter() const { return meter_; }
    PianoWnd* piano() const { return piano_; }
    NoteButton* button(int i) const { return i >= 0 && i < 12 ? buttons_[i] : nullptr; }
    const TunerLogic& logic() const { return *logic_; }
    bool timerActive(TunerTimer timer) const;
    // Runs a timer's tick at once (tests).
    void fireTimer(TunerTimer timer) { logic_->onTimer(timer); }

  protected:
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;

  private:
    class TonePlayerAdapter;

    void createChildren();
    void announceReading(float frequency, float deviation, int note, const std::string& name);
    void placeChildren();
    QTimer& timer(TunerTimer t);

    void showMeterValues(float frequency, float deviation, int note,
                         const std::string& name) override;
    void setPianoKey(int key, char state) override;
    void setButtonColour(int index, Rgb colour) override;
    void setButtonLabel(int index, const std::string& label, Rgb colour) override;
    void start(TunerTimer timer, int ms) override;
    void stop(TunerTimer timer) override;

    const Settings& settings_;
    const PitchModel& pitch_;
    std::unique_ptr<ReferenceTone> tone_;
    std::unique_ptr<TonePlayerAdapter> player_;
    std::unique_ptr<TunerLogic> logic_;
    QTimer nextNoteTimer_;
    QTimer repeatTimer_;
    QTimer endOfToneTimer_;
    MeterWindow* meter_ = nullptr;
    float inTuneCents_ = -1.0f;  // until the meter is made
    bool held_ = false;
    bool largeReadouts_ = false;
    bool strobeShown_ = false;
    StrobePanel* strobe_ = nullptr;
    QTimer strobeFrames_;
    QElapsedTimer strobeClock_;
    PianoWnd* piano_ = nullptr;
    std::array<NoteButton*, 12> buttons_{};
    bool childrenCreated_ = false;
    std::string readingWords_ = "no note";
    AnnouncementGate announcements_;
    QElapsedTimer announcementClock_;
    std::function<double()> clock_;
};

}  // namespace merlop
