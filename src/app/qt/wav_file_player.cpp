#include "app/qt/wav_file_player.h"

#include <QAudioDevice>
#include <QAudioSink>
#include <QFile>
#include <QIODevice>
#include <QMediaDevices>
#include <algorithm>
#include <optional>
#include <utility>

#include "audio/qt/sound_stream.h"
#include "common/message_box.h"
#include "tone/qt/qt_wave_sound.h"

namespace merlop {

namespace {

constexpr const char* kCaption = QT_TRANSLATE_NOOP("merlop::WavFilePlayer", "MCI device error");
constexpr qint64 kBufferMicroseconds = 100000;

}  // namespace

// The sound data of the open file, from a start position to the end of the data chunk, then
// `padding` bytes of silence so the sound still in the output's buffer is heard to its end.
//
// It never reports atEnd(): Qt 6.4's PulseAudio output answers an underrun at the end of its
// source with a drain request that carries a pointer to the output, and nothing cancels that
// request when the output is stopped and destroyed, so its completion can call into a destroyed
// object on the sound server client's thread. Without an end there is no such request; the end
// is ours to notice (exhausted()).
class WavFilePlayer::RangeDevice : public QIODevice {
  public:
    RangeDevice(QFile& file, std::int64_t begin, std::int64_t end, char silence, QObject* parent)
        : QIODevice(parent), file_(file), pos_(begin), end_(end), silence_(silence) {}

    void setPadding(std::int64_t bytes) { padding_ = bytes; }
    bool exhausted() const { return pos_ >= end_ && padding_ <= 0; }

    bool isSequential() const override { return true; }
    bool atEnd() const override { return false; }
    qint64 bytesAvailable() const override {
        return (end_ - pos_) + padding_ + QIODevice::bytesAvailable();
    }

  protected:
    qint64 readData(char* out, qint64 max) override {
        if (pos_ >= end_) {
            const qint64 n = std::min<qint64>(max, padding_);
            std::fill(out, out + std::max<qint64>(n, 0), silence_);
            padding_ -= std::max<qint64>(n, 0);
            return std::max<qint64>(n, 0);
        }
        const qint64 n = std::min<qint64>(max, end_ - pos_);
        if (!file_.seek(pos_)) return -1;
        const qint64 got = file_.read(out, n);
        if (got > 0) pos_ += got;
        return got;
    }
    qint64 writeData(const char*, qint64) override { return -1; }

  private:
    QFile& file_;
    std::int64_t pos_;
    std::int64_t end_;
    std::int64_t padding_ = 0;
    char silence_;
};

WavFilePlayer::WavFilePlayer(MessageBox& messages, QObject* parent)
    : QObject(parent), messages_(messages) {}

WavFilePlayer::~WavFilePlayer() {
    release();
}

std::string WavFilePlayer::errorText(int error) {
    switch (error) {
        case kNoError:
            return tr("The specified command was carried out.").toStdString();
        case kCannotOpenFile:
            return tr("The specified file cannot be opened. Make sure the path and file name are "
                      "correct.")
                .toStdString();
        case kNotWaveFile:
            return tr("The file is not a valid wave audio file.").toStdString();
        case kUnsupportedFormat:
            return tr("The wave audio format of this file cannot be played.").toStdString();
        case kNoOutputDevice:
            return tr("No wave audio output device is available.").toStdString();
        case kNotOpen:
            return tr("The device is not open.").toStdString();
        case kPositionOutOfRange:
            return tr("The specified position is beyond the end of the sound.").toStdString();
        case kOutputFailed:
            return tr("The wave audio output could not be started.").toStdString();
        default:
            return tr("Unknown wave audio error %1.").arg(error).toStdString();
    }
}

std::int64_t WavFilePlayer::frameCount() const {
    if (!isOpen() || info_.blockAlign <= 0) return 0;
    return static_cast<std::int64_t>(info_.dataBytes /
                                     static_cast<std::uint64_t>(info_.blockAlign));
}

int WavFilePlayer::fail(int error) {
    lastError_ = error;
    return error;
}

int WavFilePlayer::Open(const std::string& path) {
    release();
    const int error = openFile(path);
    lastError_ = error;
    if (error != kNoError) {
        release();
        messages_.show(errorText(error), tr(kCaption).toStdString());
    }
    return error;
}

int WavFilePlayer::openFile(const std::string& path) {
    file_ = std::make_unique<QFile>(QString::fromStdString(path));
    if (!file_->open(QIODevice::ReadOnly)) return kCannotOpenFile;
    QFile& file = *file_;
    const ReadAt readAt = [&file](std::uint64_t offset, void* buffer, std::size_t n) {
        if (!file.seek(static_cast<qint64>(offset))) return std::size_t{0};
        const qint64 got = file.read(static_cast<char*>(buffer), static_cast<qint64>(n));
        return got > 0 ? static_cast<std::size_t>(got) : std::size_t{0};
    };
    if (!parseRiffWave(readAt, static_cast<std::uint64_t>(file.size()), &info_)) {
        return kNotWaveFile;
    }
    const std::optional<QAudioFormat> format = qtAudioFormat(info_);
    if (!format) return kUnsupportedFormat;
    const QAudioDevice device = QMediaDevices::defaultAudioOutput();
    if (device.isNull()) return kNoOutputDevice;
    if (!device.isFormatSupported(*format)) return kUnsupportedFormat;
    format_ = *format;
    return kNoError;
}

int WavFilePlayer::Play(std::int64_t from) {
    if (!isOpen()) return fail(kNotOpen);
    if (from < 0 || from > frameCount()) return fail(kPositionOutOfRange);
    stopOutput();
    const QAudioDevice device = QMediaDevices::defaultAudioOutput();
    if (device.isNull()) return fail(kNoOutputDevice);

    const auto begin = static_cast<std::int64_t>(info_.dataOffset) + from * info_.blockAlign;
    const auto end = static_cast<std::int64_t>(info_.dataOffset + info_.dataBytes);
    sink_ = new QAudioSink(device, format_, this);
    // A short buffer keeps a stop prompt and the silence after the data short.
    sink_->setBufferSize(format_.bytesForDuration(kBufferMicroseconds));
    range_ = new RangeDevice(*file_, begin, end, info_.bitsPerSample == 8 ? '\x80' : '\0', sink_);
    range_->open(QIODevice::ReadOnly);
    // When the data and the silence after it have run out the output falls idle; let it go then
    // rather than hold the device.
    const unsigned run = ++playRun_;
    connect(sink_, &QAudioSink::stateChanged, this, [this, run](QAudio::State state) {
        if (state != QAudio::IdleState || run != playRun_ || !range_->exhausted()) return;
        QMetaObject::invokeMethod(
            this,
            [this, run] {
                if (run == playRun_) stopOutput();
            },
            Qt::QueuedConnection);
    });
    sink_->start(range_);
    range_->setPadding(std::max<qint64>(sink_->bufferSize(), format_.bytesPerFrame()));
    if (sink_->error() != QAudio::NoError || sink_->state() == QAudio::StoppedState) {
        stopOutput();
        return fail(kOutputFailed);
    }
    lastError_ = kNoError;
    return kNoError;
}

int WavFilePlayer::Stop() {
    if (!isOpen()) return fail(kNotOpen);
    stopOutput();
    lastError_ = kNoError;
    return kNoError;
}

void WavFilePlayer::stopOutput() {
    ++playRun_;
    QAudioSink* sink = std::exchange(sink_, nullptr);
    range_ = nullptr;
    stopAndRelease(sink);
}

int WavFilePlayer::Close() {
    if (!isOpen()) return fail(kNotOpen);
    Stop();
    release();
    lastError_ = kNoError;
    return kNoError;
}

void WavFilePlayer::release() {
    stopOutput();
    file_.reset();
    info_ = RiffWaveInfo{};
}

}  // namespace merlop
