#pragma once

#include <QAudioDevice>
#include <QAudioFormat>
#include <QByteArray>
#include <QObject>
#include <QTimer>
#include <deque>
#include <memory>
#include <string>
#include <vector>

#include "audio/wave_input.h"

class QAudioSource;
class QIODevice;

namespace merlop {

// Capture service on Qt Multimedia: records the default input device and fills the queued
// buffers in order. Bytes that arrive while no buffer is queued are lost, as with any sound card
// whose program falls behind.
//
// Lives on the thread that made it (the GUI thread) and touches its queue only there: it pulls
// the recorded bytes when the source's device signals readyRead, a signal delivered on the
// receiver's thread. Notifications to the listener are queued events on that thread too.
//
// A device that disappears while recording (removed from the system, its sound service gone, or
// silent for kSilenceLimitMs) ends the recording with onWaveInError and the queued buffers.
// A chosen source that goes while recorded from, or comes back while the default stands in for
// it, ends the recording the same way with kWaveInSourceChanged, so the next open takes the
// right one.
class QtWaveCapture final : public QObject, public WaveCaptureService {
    Q_OBJECT

  public:
    // Far above any fragment the sound service delivers while it works.
    static constexpr int kSilenceLimitMs = 3000;
    static constexpr int kPresenceCheckMs = 250;

    explicit QtWaveCapture(QObject* parent = nullptr);
    ~QtWaveCapture() override;

    int deviceCount() override;
    int capabilities(int device, WaveInCaps* caps) override;
    std::vector<InputSource> inputSources() override;
    void chooseSource(const std::string& id) override;
    int open(WaveInListener* listener, const WaveFormat& format) override;
    int addBuffer(WaveInBlock* block) override;
    int start() override;
    int reset() override;
    int close() override;
    void shutdown() override;

    // True when the stream already holds enough to complete the next queued buffer: a block
    // handed over before it is stale, and its analysis may give way.
    bool wholeBlockWaiting() const;

    // Bytes dropped so far because no buffer was queued.
    qint64 droppedBytes() const { return dropped_; }
    // Deliveries of recorded data that came on another thread than this object's; they are
    // dropped untouched. Zero while Qt keeps its word.
    int foreignThreadDeliveries() const { return foreignDeliveries_; }

  private:
    enum class Note { open, data, close, error, sourceChanged };

    // The chosen source when it is there, else the system default (null when there is none).
    QAudioDevice wantedDevice() const;
    void pull();
    void receive(const char* data, qint64 length);
    void checkDevicePresent();
    void lose();
    void stopFor(Note note);
    void post(Note note);
    void stopSource();
    void returnQueued();

    WaveInListener* listener_ = nullptr;
    QAudioFormat format_;
    QAudioDevice device_;
    QByteArray chosen_;  // empty: the system default
    QAudioSource* source_ = nullptr;
    QIODevice* stream_ = nullptr;
    QTimer silence_;
    QTimer presence_;
    QByteArray chunk_;
    std::deque<WaveInBlock*> queue_;
    bool open_ = false;
    bool recording_ = false;
    // Notifications posted before a shutdown carry an older generation and are dropped.
    unsigned generation_ = 0;
    qint64 dropped_ = 0;
    qint64 streamBytes_ = 0;
    int foreignDeliveries_ = 0;
};

}  // namespace merlop
