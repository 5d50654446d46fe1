#pragma once

#include <QAudioFormat>
#include <QObject>
#include <deque>
#include <memory>

#include "audio/wave_input.h"

class QAudioSource;

namespace merlop {

// Capture service on Qt Multimedia: records the default input device and fills the queued
// buffers in order. Bytes that arrive while no buffer is queued are lost, as with any sound card
// whose program falls behind. Lives on the GUI thread; notifications are queued events there.
class QtWaveCapture final : public QObject, public WaveCaptureService {
    Q_OBJECT

  public:
    explicit QtWaveCapture(QObject* parent = nullptr);
    ~QtWaveCapture() override;

    int deviceCount() override;
    int capabilities(int device, WaveInCaps* caps) override;
    int open(WaveInListener* listener, const WaveFormat& format) override;
    int addBuffer(WaveInBlock* block) override;
    int start() override;
    int reset() override;
    int close() override;
    void shutdown() override;

    // Bytes dropped so far because no buffer was queued.
    qint64 droppedBytes() const { return dropped_; }

  private:
    class Writer;
    enum class Note { open, data, close };

    void receive(const char* data, qint64 length);
    void post(Note note);
    void stopSource();

    WaveInListener* listener_ = nullptr;
    QAudioFormat format_;
    std::unique_ptr<QAudioSource> source_;
    std::unique_ptr<Writer> writer_;
    std::deque<WaveInBlock*> queue_;
    bool open_ = false;
    bool recording_ = false;
    // Notifications posted before a shutdown carry an older generation and are dropped.
    unsigned generation_ = 0;
    qint64 dropped_ = 0;
    qint64 streamBytes_ = 0;
};

}  // namespace merlop
