#pragma once

#include <QAudioFormat>
#include <QObject>
#include <cstdint>
#include <memory>
#include <string>

#include "audio/riff_wave.h"

class QAudioSink;
class QFile;

namespace merlop {

class MessageBox;

// Audible playback of the WAV file being analysed, on the desktop's default audio output. It
// streams from the file as the output asks for data, on the GUI thread's event loop, so it never
// holds up the analysis. Positions count sample frames from the start of the sound data. A played
// output lets itself go shortly after the end of the data has been heard.
//
// Failures of Open are shown (caption "MCI device error"); those of Play, Stop and Close are only
// kept in lastError(). Every operation returns its error code, 0 on success.
class WavFilePlayer : public QObject {
    Q_OBJECT

  public:
    enum Error : int {
        kNoError = 0,
        kCannotOpenFile = 1,
        kNotWaveFile = 2,
        kUnsupportedFormat = 3,
        kNoOutputDevice = 4,
        kNotOpen = 5,
        kPositionOutOfRange = 6,
        kOutputFailed = 7,
    };

    explicit WavFilePlayer(MessageBox& messages, QObject* parent = nullptr);
    ~WavFilePlayer() override;

    // Opening a second file closes the first.
    int Open(const std::string& path);
    // Starts playback at sample frame `from` and returns at once; playing again restarts.
    int Play(std::int64_t from);
    int Stop();
    int Close();

    int lastError() const { return lastError_; }
    bool isOpen() const { return file_ != nullptr; }
    bool isPlaying() const { return sink_ != nullptr; }
    std::int64_t frameCount() const;
    const RiffWaveInfo& info() const { return info_; }

    // The message shown or kept for an error code, at most 128 characters.
    static std::string errorText(int error);

  private:
    class RangeDevice;

    int openFile(const std::string& path);
    int fail(int error);
    void stopOutput();
    void release();

    MessageBox& messages_;
    int lastError_ = kNoError;
    // Counts Play calls, so a late end-of-data notice cannot stop a newer playback.
    unsigned playRun_ = 0;
    RiffWaveInfo info_;
    QAudioFormat format_;
    std::unique_ptr<QFile> file_;
    // The output owns the device it reads from; both go together after a stop.
    QAudioSink* sink_ = nullptr;
    RangeDevice* range_ = nullptr;
};

}  // namespace merlop
