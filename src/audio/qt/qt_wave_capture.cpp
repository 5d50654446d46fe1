#include "audio/qt/qt_wave_capture.h"

#include <QAudioDevice>
#include <QAudioSource>
#include <QIODevice>
#include <QMediaDevices>
#include <QThread>
#include <algorithm>
#include <cstring>
#include <utility>

#include "audio/capture_config.h"
#include "audio/qt/sound_stream.h"

namespace merlop {

namespace {

QAudioFormat audioFormat(int rate, int bits) {
    QAudioFormat format;
    format.setSampleRate(rate);
    format.setChannelCount(1);
    format.setSampleFormat(bits == 8 ? QAudioFormat::UInt8 : QAudioFormat::Int16);
    return format;
}

}  // namespace

QtWaveCapture::QtWaveCapture(QObject* parent) : QObject(parent) {
    silence_.setSingleShot(true);
    silence_.setInterval(kSilenceLimitMs);
    connect(&silence_, &QTimer::timeout, this, &QtWaveCapture::lose);
    // The sound service moves the stream of a removed source elsewhere rather than end it, and
    // Qt 6.4 does not tell a QMediaDevices of the change, so the device list is looked at.
    presence_.setInterval(kPresenceCheckMs);
    connect(&presence_, &QTimer::timeout, this, &QtWaveCapture::checkDevicePresent);
    // Where the backend does tell, a source plugged in or out is seen at once.
    auto* devices = new QMediaDevices(this);
    connect(devices, &QMediaDevices::audioInputsChanged, this, &QtWaveCapture::checkDevicePresent);
}

QAudioDevice QtWaveCapture::wantedDevice() const {
    if (!chosen_.isEmpty()) {
        for (const QAudioDevice& d : QMediaDevices::audioInputs()) {
            if (d.id() == chosen_) return d;
        }
    }
    return QMediaDevices::defaultAudioInput();
}

std::vector<InputSource> QtWaveCapture::inputSources() {
    std::vector<InputSource> sources;
    const QAudioDevice fallback = QMediaDevices::defaultAudioInput();
    for (const QAudioDevice& d : QMediaDevices::audioInputs()) {
        sources.push_back(
            {d.id().toStdString(), d.description().toStdString(), d.id() == fallback.id()});
    }
    return sources;
}

void QtWaveCapture::chooseSource(const std::string& id) {
    chosen_ = QByteArray::fromStdString(id);
}

QtWaveCapture::~QtWaveCapture() {
    shutdown();
}

int QtWaveCapture::deviceCount() {
    return static_cast<int>(QMediaDevices::audioInputs().size());
}

int QtWaveCapture::capabilities(int device, WaveInCaps* caps) {
    QAudioDevice info;
    if (device < 0) {
        info = wantedDevice();
    } else {
        const QList<QAudioDevice> inputs = QMediaDevices::audioInputs();
        if (device < inputs.size()) info = inputs[device];
    }
    if (info.isNull()) return kWaveInNoCapabilities;
    caps->name = info.description().toStdString();
    caps->formats = 0;
    const auto& rates = kCandidateRates;
    const int depths[2] = {8, 16};
    for (int r = 0; r < 3; ++r) {
        for (int d = 0; d < 2; ++d) {
            if (info.isFormatSupported(audioFormat(rates[r], depths[d]))) {
                caps->formats |= 1u << (r * 2 + d);
            }
        }
    }
    return kWaveInNoError;
}

int QtWaveCapture::open(WaveInListener* listener, const WaveFormat& format) {
    if (open_) return kWaveInAlreadyOpen;
    if (format.formatTag != 1 || format.channels != 1 ||
        (format.bitsPerSample != 8 && format.bitsPerSample != 16) || format.samplesPerSec == 0) {
        return kWaveInBadFormat;
    }
    const QAudioDevice device = wantedDevice();
    if (device.isNull()) return kWaveInNoDevice;
    format_ = audioFormat(static_cast<int>(format.samplesPerSec), format.bitsPerSample);
    if (!device.isFormatSupported(format_)) return kWaveInBadFormat;

    device_ = device;
    listener_ = listener;
    open_ = true;
    recording_ = false;
    queue_.clear();
    post(Note::open);
    return kWaveInNoError;
}

int QtWaveCapture::addBuffer(WaveInBlock* block) {
    if (!open_) return kWaveInNotOpen;
    if (block == nullptr || block->data == nullptr || block->bufferLength == 0 ||
        !block->prepared || block->queued) {
        return kWaveInInvalidParameter;
    }
    block->bytesRecorded = 0;
    block->queued = true;
    queue_.push_back(block);
    return kWaveInNoError;
}

int QtWaveCapture::start() {
    if (!open_) return kWaveInNotOpen;
    if (recording_) return kWaveInNoError;
    streamBytes_ = 0;
    source_ = new QAudioSource(device_, format_, this);
    stream_ = source_->start();
    if (stream_ == nullptr || source_->error() != QAudio::NoError ||
        source_->state() == QAudio::StoppedState) {
        stopSource();
        return kWaveInDeviceFailed;
    }
    // Without a receiver of our own thread's affinity readyRead could run pull() elsewhere.
    connect(stream_, &QIODevice::readyRead, this, &QtWaveCapture::pull);
    // Qt stops a source whose sound service has gone away. Queued, so that the source is never
    // destroyed inside its own signal.
    QAudioSource* source = source_;
    connect(
        source_, &QAudioSource::stateChanged, this,
        [this, source](QAudio::State state) {
            if (state == QAudio::StoppedState && source == source_) lose();
        },
        Qt::QueuedConnection);
    recording_ = true;
    silence_.start();
    presence_.start();
    return kWaveInNoError;
}

void QtWaveCapture::pull() {
    if (QThread::currentThread() != thread()) {
        ++foreignDeliveries_;
        return;
    }
    if (!recording_ || stream_ == nullptr) return;
    chunk_.resize(8192);
    for (;;) {
        const qint64 n = stream_->read(chunk_.data(), chunk_.size());
        if (n <= 0) break;
        silence_.start();
        receive(chunk_.constData(), n);
        if (!recording_) break;
    }
}

bool QtWaveCapture::wholeBlockWaiting() const {
    if (!recording_ || source_ == nullptr || queue_.empty()) return false;
    const WaveInBlock* next = queue_.front();
    return next->bytesRecorded + source_->bytesAvailable() >= next->bufferLength;
}

void QtWaveCapture::checkDevicePresent() {
    if (!recording_) return;
    const QAudioDevice wanted = wantedDevice();
    if (!chosen_.isEmpty() && !wanted.isNull() && wanted.id() != device_.id()) {
        stopFor(Note::sourceChanged);
        return;
    }
    for (const QAudioDevice& d : QMediaDevices::audioInputs()) {
        if (d.id() == device_.id()) return;
    }
    lose();
}

void QtWaveCapture::lose() {
    stopFor(Note::error);
}

void QtWaveCapture::stopFor(Note note) {
    if (!recording_) return;
    stopSource();
    post(note);
    returnQueued();
}

void QtWaveCapture::receive(const char* data, qint64 length) {
    if (!recording_) return;
    const int frame = format_.bytesPerFrame();
    while (length > 0) {
        if (queue_.empty()) {
            dropped_ += length;
            streamBytes_ += length;
            return;
        }
        WaveInBlock* block = queue_.front();
        // A block must begin on a whole sample even when Qt split one and the rest was dropped.
        if (block->bytesRecorded == 0 && frame > 1 && streamBytes_ % frame != 0) {
            const qint64 skip = std::min<qint64>(frame - streamBytes_ % frame, length);
            dropped_ += skip;
            streamBytes_ += skip;
            data += skip;
            length -= skip;
            continue;
        }
        const qint64 n = std::min<qint64>(block->bufferLength - block->bytesRecorded, length);
        std::memcpy(block->data + block->bytesRecorded, data, static_cast<size_t>(n));
        block->bytesRecorded += static_cast<std::uint32_t>(n);
        streamBytes_ += n;
        data += n;
        length -= n;
        if (block->bytesRecorded == block->bufferLength) {
            block->queued = false;
            queue_.pop_front();
            post(Note::data);
        }
    }
}

int QtWaveCapture::reset() {
    if (!open_) return kWaveInNotOpen;
    stopSource();
    returnQueued();
    return kWaveInNoError;
}

void QtWaveCapture::returnQueued() {
    while (!queue_.empty()) {
        queue_.front()->queued = false;
        queue_.pop_front();
        post(Note::data);
    }
}

int QtWaveCapture::close() {
    if (!open_) return kWaveInNotOpen;
    if (!queue_.empty()) return kWaveInStillRecording;
    stopSource();
    open_ = false;
    post(Note::close);
    return kWaveInNoError;
}

void QtWaveCapture::shutdown() {
    ++generation_;
    if (!open_) return;
    stopSource();
    for (WaveInBlock* block : queue_) block->queued = false;
    queue_.clear();
    open_ = false;
}

void QtWaveCapture::stopSource() {
    recording_ = false;
    silence_.stop();
    presence_.stop();
    stream_ = nullptr;
    stopAndRelease(std::exchange(source_, nullptr));
}

void QtWaveCapture::post(Note note) {
    WaveInListener* listener = listener_;
    const unsigned generation = generation_;
    QMetaObject::invokeMethod(
        this,
        [this, listener, generation, note] {
            if (generation != generation_ || listener == nullptr) return;
            switch (note) {
                case Note::open:
                    listener->onWaveInOpen();
                    break;
                case Note::data:
                    listener->onWaveInData();
                    break;
                case Note::close:
                    listener->onWaveInClose();
                    break;
                case Note::error:
                    listener->onWaveInError(kWaveInDeviceLost);
                    break;
                case Note::sourceChanged:
                    listener->onWaveInError(kWaveInSourceChanged);
                    break;
            }
        },
        Qt::QueuedConnection);
}

}  // namespace merlop
