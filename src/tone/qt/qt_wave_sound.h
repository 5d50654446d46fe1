#pragma once

#include <QAudioFormat>
#include <QObject>
#include <memory>
#include <optional>

#include "audio/riff_wave.h"
#include "tone/wave_sound.h"

class QAudioSink;

namespace merlop {

// Qt audio format of a PCM (or 32-bit float) RIFF/WAVE sound; none for what Qt cannot play.
std::optional<QAudioFormat> qtAudioFormat(const RiffWaveInfo& info);

// The wave-sound service on Qt Multimedia: plays a WAV image from memory in an endless loop on
// the default audio output. The sound data is copied, so the caller's image may go at once.
class QtWaveSound final : public QObject, public WaveSound {
    Q_OBJECT

  public:
    explicit QtWaveSound(QObject* parent = nullptr);
    ~QtWaveSound() override;

    bool playLooped(const std::uint8_t* image, std::size_t size) override;
    void stop() override;
    bool isPlaying() const { return sink_ != nullptr; }

  private:
    class LoopDevice;

    // Owns the device it reads from.
    QAudioSink* sink_ = nullptr;
};

}  // namespace merlop
