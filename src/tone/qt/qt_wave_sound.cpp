#include "tone/qt/qt_wave_sound.h"

#include <QAudioDevice>
#include <QAudioSink>
#include <QByteArray>
#include <QIODevice>
#include <QMediaDevices>
#include <algorithm>
#include <cstring>
#include <utility>

#include "audio/qt/sound_stream.h"

namespace merlop {

// Hands out the same sound data over and over. Never at its end, which also keeps Qt's
// PulseAudio output from the end-of-source drain that can outlive it (audio/qt/sound_stream.h).
class QtWaveSound::LoopDevice : public QIODevice {
  public:
    LoopDevice(QByteArray data, QObject* parent) : QIODevice(parent), data_(std::move(data)) {}

    bool isSequential() const override { return true; }
    bool atEnd() const override { return false; }
    qint64 bytesAvailable() const override { return data_.size() + QIODevice::bytesAvailable(); }

  protected:
    qint64 readData(char* out, qint64 max) override {
        qint64 done = 0;
        while (done < max) {
            const qint64 n = std::min<qint64>(max - done, data_.size() - pos_);
            std::memcpy(out + done, data_.constData() + pos_, static_cast<size_t>(n));
            done += n;
            pos_ = (pos_ + n) % data_.size();
        }
        return done;
    }
    qint64 writeData(const char*, qint64) override { return -1; }

  private:
    QByteArray data_;
    qint64 pos_ = 0;
};

std::optional<QAudioFormat> qtAudioFormat(const RiffWaveInfo& info) {
    QAudioFormat format;
    if (info.formatTag == 1 && info.bitsPerSample == 8) {
        format.setSampleFormat(QAudioFormat::UInt8);
    } else if (info.formatTag == 1 && info.bitsPerSample == 16) {
        format.setSampleFormat(QAudioFormat::Int16);
    } else if (info.formatTag == 1 && info.bitsPerSample == 32) {
        format.setSampleFormat(QAudioFormat::Int32);
    } else if (info.formatTag == 3 && info.bitsPerSample == 32) {
        format.setSampleFormat(QAudioFormat::Float);
    } else {
        return std::nullopt;
    }
    if (info.channels < 1 || info.sampleRate == 0 ||
        info.blockAlign != info.channels * info.bitsPerSample / 8) {
        return std::nullopt;
    }
    format.setChannelCount(info.channels);
    format.setSampleRate(static_cast<int>(info.sampleRate));
    return format;
}

QtWaveSound::QtWaveSound(QObject* parent) : QObject(parent) {}

QtWaveSound::~QtWaveSound() {
    stop();
}

bool QtWaveSound::playLooped(const std::uint8_t* image, std::size_t size) {
    stop();
    RiffWaveInfo info;
    if (image == nullptr || !parseRiffWave(image, size, &info)) return false;
    const std::optional<QAudioFormat> format = qtAudioFormat(info);
    if (!format) return false;
    // Nothing to loop: silence is what was asked for.
    if (info.dataBytes == 0) return true;

    const QAudioDevice device = QMediaDevices::defaultAudioOutput();
    if (device.isNull() || !device.isFormatSupported(*format)) return false;

    sink_ = new QAudioSink(device, *format, this);
    auto* loop = new LoopDevice(QByteArray(reinterpret_cast<const char*>(image + info.dataOffset),
                                           static_cast<qsizetype>(info.dataBytes)),
                                sink_);
    loop->open(QIODevice::ReadOnly);
    sink_->start(loop);
    if (sink_->error() != QAudio::NoError || sink_->state() == QAudio::StoppedState) {
        stop();
        return false;
    }
    return true;
}

void QtWaveSound::stop() {
    stopAndRelease(std::exchange(sink_, nullptr));
}

}  // namespace merlop
