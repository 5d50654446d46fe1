#pragma once

#include <QString>
#include <memory>
#include <string>

#include "app/mainframe.h"
#include "app/qt/wav_file_player.h"

class QWidget;

namespace merlop {

struct FrameDevices;
class MidiOutput;
class QuestionBox;
class WaveSound;
class WidgetMessageBox;

// Plays a WAV file through the desktop's sound output.
class WavPlayerAdapter final : public FilePlayer {
  public:
    explicit WavPlayerAdapter(MessageBox& messages) : player_(messages) {}
    bool open(const std::string& path) override { return player_.Open(path) == 0; }
    void play(std::int64_t fromSample) override { player_.Play(fromSample); }
    void stop() override { player_.Stop(); }
    void close() override { player_.Close(); }

  private:
    WavFilePlayer player_;
};

// The dialogs start where a user keeps files, not in the settings folder the program runs in,
// and each remembers the folder last used.
class DesktopDialogs final : public FileDialogs {
  public:
    explicit DesktopDialogs(QWidget* parent) : parent_(parent) {}
    std::string openWaveFile() override;
    std::string saveCsv(const std::string& initialName) override;
    std::string openScalaFile() override;
    std::string saveScalaFile(const std::string& initialName) override;

  private:
    static QString startIn(const QString& last);

    QWidget* parent_;
    QString waveFolder_;
    QString csvFolder_;
    QString scalaFolder_;
};

// A file given on the command line or dropped on the window takes the dialog's place once.
class ChosenFileDialogs final : public FileDialogs {
  public:
    explicit ChosenFileDialogs(FileDialogs& dialogs) : dialogs_(dialogs) {}
    void choose(std::string path) { chosen_ = std::move(path); }
    std::string openWaveFile() override;
    std::string saveCsv(const std::string& initialName) override {
        return dialogs_.saveCsv(initialName);
    }
    std::string openScalaFile() override { return dialogs_.openScalaFile(); }
    std::string saveScalaFile(const std::string& initialName) override {
        return dialogs_.saveScalaFile(initialName);
    }

  private:
    FileDialogs& dialogs_;
    std::string chosen_;
};

// Monotonic, so a wall-clock change cannot upset what is measured between two blocks.
class MonotonicClock final : public MillisecondClock {
  public:
    std::uint32_t milliseconds() override;
};

// The desktop's own devices and boxes for whatever a caller left null, owned for the window's
// life; `parent` is the window the boxes and dialogs belong to.
class DesktopDevices {
  public:
    DesktopDevices(FrameDevices& devices, QWidget* parent);
    ~DesktopDevices();
    DesktopDevices(const DesktopDevices&) = delete;
    DesktopDevices& operator=(const DesktopDevices&) = delete;

    // Null when the caller brought its own message box.
    WidgetMessageBox* ownMessages() const { return messages_.get(); }

  private:
    void provideBoxes(FrameDevices& devices, QWidget* parent);
    void provideSound(FrameDevices& devices);

    std::unique_ptr<WidgetMessageBox> messages_;
    std::unique_ptr<QuestionBox> questions_;
    std::unique_ptr<WaveCaptureService> capture_;
    std::unique_ptr<MidiOutput> midi_;
    std::unique_ptr<WaveSound> sound_;
    std::unique_ptr<FilePlayer> player_;
    std::unique_ptr<FileDialogs> dialogs_;
    std::unique_ptr<MillisecondClock> clock_;
};

}  // namespace merlop
