#pragma once

// What the main frame needs of its window and of the desktop: timers, bars, displays, dialogs
// and a clock, each small enough to be scripted in tests.

#include <cstdint>
#include <string>
#include <vector>

#include "app/frame_layout.h"
#include "app/readings.h"
#include "audio/analysis_cycle.h"
#include "audio/capture_config.h"
#include "common/translation.h"
#include "display/spectrum_axes.h"
#include "ear/ear_exercise.h"

namespace merlop {

// The frame's timers; each is single-shot and re-armed by its handler where it repeats. The
// window keeps them in this order, the last one last.
enum class FrameTimer {
    startCapture,     // 500 ms after a layout left capture stopped
    earAnswer,        // ear-training answer time
    fileFeed,         // one buffer of a WAV file per buffer period
    inputRetry,       // looks for the sound input again while it is gone
    calibrationStep,  // the calibration's next question, once the run has closed
    measurement,      // a piano key's samples are in: measure, outside the device's notice
};

// What a layout asks the window to build.
struct DisplayRequest {
    ShownDisplays shown;
    DisplayRects rects;
    int customNoteIndex = -1;  // the fixed tuning note, -1 for none or "Automatic"
    bool calibrating = false;
    CaptureConfig config;        // of the run the displays are built for
    float inTuneCents = -1.0f;   // the meter's in-tune tolerance, negative for none
    bool held = false;           // the tuner's reading is held: its meter says "HOLD"
    bool largeReadouts = false;  // full screen: read-outs seen from across the room
    bool strobe = false;         // a strobe panel in the tuner
    SpectrumBand spectrumBand;   // the analysed bins, empty when the analyser has none
};

// What the status bar's level meter shows (View / "Input Level").
struct LevelReading {
    bool shown = false;
    float peakDbfs = -96.0f;
    // Full scale was reached within the last moments.
    bool clipped = false;
};

// What the status bar's message pane reads while nothing writes an activity into it.
inline constexpr char kIdleStatusText[] = MERLOP_TR_NOOP("MainFrame", "For Help, press F1");

// What the status bar says while capture waits for the window to be active again.
inline constexpr char kInactiveStatusText[] =
    MERLOP_TR_NOOP("MainFrame", "Paused: window inactive");

inline constexpr char kAddPresetCaption[] = MERLOP_TR_NOOP("MainFrame", "Add Preset Tuning");
inline constexpr char kInTuneToleranceCaption[] = MERLOP_TR_NOOP("MainFrame", "In-Tune Tolerance");

// A merlop.conf that could not be written: the change holds for this session only.
inline constexpr char kExtensionsNotSavedText[] = MERLOP_TR_NOOP(
    "MainFrame", "The setting could not be saved in merlop.conf; it holds until Merlop is closed.");

// The window side of the main frame: bars, timers, displays and the tuner window's tone.
class FrameView {
  public:
    virtual ~FrameView() = default;
    virtual void startTimer(FrameTimer timer, int milliseconds) = 0;
    virtual void killTimer(FrameTimer timer) = 0;
    virtual void setStatusText(const std::string& text) = 0;
    // An empty list empties the combo box; selected -1 selects nothing.
    virtual void fillTuningCombo(const std::vector<std::string>& items, int selected) = 0;
    virtual void fillNoteCombo(const std::vector<std::string>& items, int selected) = 0;
    virtual int toolBarHeight() const = 0;
    virtual int statusBarHeight() const = 0;
    // Builds the requested displays and returns where the analysis hands its results.
    virtual CycleSinks createDisplays(const DisplayRequest& request) = 0;
    virtual void destroyDisplays() = 0;
    virtual void focusFrame() = 0;
    // Closes the window later, from the event loop, through the normal close path.
    virtual void postClose() = 0;
    virtual void setDisplaysPaused(bool spectrum, bool wave, bool paused) = 0;
    virtual void tunerStopTone() = 0;
    virtual void tunerRetryTone() = 0;
    // Plays the chosen tuning note's reference tone (the automatic reference tone).
    virtual void tunerPlayTuningNote() = 0;
    // Has the tuner window play the melody; it calls exercisePlayed() about 100 ms after the last
    // note.
    virtual void tunerPlayExercise(ExerciseNotes& exercise) = 0;
    // Keeps the screen awake while capture runs.
    virtual void keepScreenAwake(bool awake) = 0;
    // The level meter in the status bar; hidden when not shown.
    virtual void showInputLevel(const LevelReading& level) = 0;
    // Marks the tuner's meter as held, or not (the frame holds the reading itself).
    virtual void setTunerHeld(bool held) = 0;
    // Something the toolbar, menu or combos show has changed; see MainFrameCore::uiState().
    virtual void uiChanged() = 0;
};

// The Open dialog of WAV files and the save dialog of the CSV exports.
class FileDialogs : public CsvFileDialog {
  public:
    // The chosen WAV file, empty when the user cancels.
    virtual std::string openWaveFile() = 0;
    // A Scala scale to import, and where to export one; empty when the user cancels.
    virtual std::string openScalaFile() = 0;
    virtual std::string saveScalaFile(const std::string& initialName) = 0;
};

class MillisecondClock {
  public:
    virtual ~MillisecondClock() = default;
    virtual std::uint32_t milliseconds() = 0;
};

}  // namespace merlop
