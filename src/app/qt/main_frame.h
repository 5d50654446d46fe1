#pragma once

#include <QMainWindow>
#include <QPointer>
#include <QTimer>
#include <array>
#include <filesystem>
#include <functional>
#include <memory>
#include <vector>

#include "app/mainframe.h"
#include "app/qt/frame_bars.h"
#include "display/tuner_state.h"

class QAction;
class QComboBox;
class QTextBrowser;

namespace merlop {

class ChosenFileDialogs;
class DesktopDevices;
class DisplayHost;
class ExtensionSettingsStore;
class MidiOutput;
class QuestionBox;
class ScreenAwake;
class Settings;
class SpectrumWindow;
class TunerWindow;
class TuningStore;
class WaveFormWindow;
class WaveSound;

// The devices and boxes the frame talks to. Anything left null is the desktop's own: the default
// sound input and output, FluidSynth, file dialogs, message boxes and a monotonic clock. Tests
// put scripted ones in; they must outlive the frame.
struct FrameDevices {
    WaveCaptureService* capture = nullptr;
    MidiOutput* midi = nullptr;
    WaveSound* sound = nullptr;
    FilePlayer* player = nullptr;
    FileDialogs* dialogs = nullptr;
    MillisecondClock* clock = nullptr;
    MessageBox* messages = nullptr;
    QuestionBox* questions = nullptr;
    // True when newer input already waits, so the block at hand is not analysed or drawn.
    // Left empty with the desktop's sound input: that input's own check.
    std::function<bool()> inputPending;
};

// The tuner's main window: menu, toolbar with the two combo boxes, status bar and the displays
// below the toolbar. Every decision is the core's (MainFrameCore); this class turns window events
// into its calls and carries out what it asks of the window. The settings and the tunings live
// in `folder`; the settings are written back when the frame is destroyed.
class MainFrame final : public QMainWindow, private FrameView, private TunerParent {
    Q_OBJECT

  public:
    explicit MainFrame(const std::filesystem::path& folder, const FrameDevices& devices = {},
                       QWidget* parent = nullptr);
    ~MainFrame() override;

    MainFrameCore& core() { return *core_; }
    TunerWindow* tunerWindow() const;
    SpectrumWindow* spectrumWindow() const;
    WaveFormWindow* waveWindow() const;
    QComboBox* tuningCombo() const { return bars_.tuningCombo; }
    QComboBox* noteCombo() const { return bars_.noteCombo; }
    QString statusText() const;
    QAction* action(const QString& objectName) const;
    // Lays out at once what a resize has asked for (tests; the event loop does it otherwise).
    void layoutNow();
    // Shows the window where it was last closed (maximised if it was), or at the default size
    // when that place is on no screen now.
    void showAtSavedPlace();
    static constexpr int kDefaultWidth = 820;
    static constexpr int kDefaultHeight = 640;

    // Closes as File / Exit does, for the session's end or a signal: any modal box or dialog is
    // cancelled first, since nobody is there to answer it.
    void closeFromOutside();

    // Opens a WAV file as if chosen in the Open dialog.
    void openFile(const QString& path);
    void showHelp();
    void showAbout();
    // View / "Full Screen": the bars hide and the tuner alone takes the screen.
    void setFullScreen(bool on);

  protected:
    void resizeEvent(QResizeEvent* event) override;
    void closeEvent(QCloseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void dragEnterEvent(QDragEnterEvent* event) override;
    void dropEvent(QDropEvent* event) override;

  private:
    // The command runs in the core, then the bars show its outcome.
    void connectCommand(QAction* action, void (MainFrameCore::*command)());
    void connectToolCommands();
    void connectMenuCommands();
    void connectCombos();
    void refreshUi();

    // FrameView
    void startTimer(FrameTimer timer, int milliseconds) override;
    void killTimer(FrameTimer timer) override;
    void setStatusText(const std::string& text) override;
    void fillTuningCombo(const std::vector<std::string>& items, int selected) override;
    void fillNoteCombo(const std::vector<std::string>& items, int selected) override;
    int toolBarHeight() const override;
    int statusBarHeight() const override;
    CycleSinks createDisplays(const DisplayRequest& request) override;
    void destroyDisplays() override;
    void focusFrame() override;
    void postClose() override;
    void setDisplaysPaused(bool spectrum, bool wave, bool paused) override;
    void tunerStopTone() override;
    void tunerRetryTone() override;
    void tunerPlayTuningNote() override;
    void keepScreenAwake(bool awake) override;
    void showInputLevel(const LevelReading& level) override;
    void setTunerHeld(bool held) override;
    void uiChanged() override;
    void tunerPlayExercise(ExerciseNotes& exercise) override;

    // TunerParent
    void startCapture() override;
    void releaseDeviceForTone() override;
    void exercisePlayed() override;

    void createTimers();
    QTimer& timer(FrameTimer t);

    std::unique_ptr<Settings> settings_;
    std::unique_ptr<TuningStore> tunings_;
    std::unique_ptr<ExtensionSettingsStore> extensions_;

    // The devices as used: the caller's, or the desktop's own where it left them null.
    FrameDevices devices_;
    std::unique_ptr<DesktopDevices> desktop_;
    std::unique_ptr<ChosenFileDialogs> chosenFile_;
    bool closingFromOutside_ = false;

    ScreenAwake* screenAwake_ = nullptr;
    static constexpr int kFrameTimers = static_cast<int>(FrameTimer::measurement) + 1;
    std::array<QTimer, kFrameTimers> frameTimers_;
    // Coalesces the resizes of one pass of the event loop into one layout.
    QTimer layoutTimer_;

    FrameBars bars_;
    QPointer<QTextBrowser> help_;
    bool fillingCombos_ = false;
    bool wasMaximized_ = false;

    std::unique_ptr<DisplayHost> displays_;

    // Last: it reports to the window as it goes, so everything above must exist first and
    // outlive it.
    std::unique_ptr<MainFrameCore> core_;
};

}  // namespace merlop
