#pragma once

#include <QRect>
#include <QString>
#include <functional>
#include <vector>

#include "app/mainframe.h"

class QFrame;
class QMainWindow;
class QWidget;

namespace merlop {

class MidiOutput;
class PitchModel;
class Settings;
class SpectrumWindow;
class TunerParent;
class TunerWindow;
class TuningStore;
class WaveFormWindow;
class WaveSound;

// What the displays are built from; all of it must outlive the host.
struct DisplaySources {
    const Settings& settings;
    const TuningStore* tunings;
    MidiOutput& midi;
    WaveSound& sound;
    MessageBox* messages;
    TunerParent& tunerParent;
    // True when newer input already waits, so the block at hand is not drawn.
    std::function<bool()> inputPending;
};

// The displays below the window's toolbar, each in a raised panel of its own, made and dropped
// as the core asks. They are the window's children; the window must outlive the host.
class DisplayHost {
  public:
    DisplayHost(QMainWindow& window, DisplaySources sources);

    // Drops the displays there are, then makes those asked for.
    CycleSinks create(const DisplayRequest& request, const PitchModel& pitch);
    void destroy();

    TunerWindow* tuner() const { return tuner_; }
    SpectrumWindow* spectrum() const { return spectrum_; }
    WaveFormWindow* wave() const { return wave_; }

    void setSpectrumPaused(bool paused);
    void stopTone();
    void retryTone();
    void playTuningNote();
    void playExercise(ExerciseNotes& exercise);

  private:
    QRect toWindow(const PixelRect& r) const;
    // Puts the display inside a raised panel that takes its rectangle.
    void placeFramed(QWidget* display, const PixelRect& r, const QString& frameName);
    // Names, frames and shows a new display: "<name>Window" in "<name>Frame".
    void mount(QWidget* display, const PixelRect& r, const QString& name);

    QMainWindow& window_;
    DisplaySources sources_;
    TunerWindow* tuner_ = nullptr;
    SpectrumWindow* spectrum_ = nullptr;
    WaveFormWindow* wave_ = nullptr;
    std::vector<QFrame*> frames_;
};

}  // namespace merlop
